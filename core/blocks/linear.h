// The linear elements: proportional, integrating, differentiating,
// forcing, aperiodic, oscillatory, delay and real differentiating.
#pragma once
#include <memory>
#include <vector>

#include "blocks/cell_object.h"

namespace vemo {

// A block with parameters whose names and defaults come from the kinds table.
class TTableParamBlock : public TParamBlock {
 public:
  explicit TTableParamBlock(uint16_t code);
};

class TProportional : public TTableParamBlock {
 public:
  TProportional() : TTableParamBlock(6) {}
  void Check() override { CheckSingleInput(); }
  void Step() override;
  void PlanStep(TRunRecord& r, double dt) override;
  void GetTransferFunction(int side, TPolynomial& num, TPolynomial& den) override;
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

class TIntegrating : public TTableParamBlock {
 public:
  double S = 0.0, U = 0.0;
  TIntegrating() : TTableParamBlock(7) {}
  void Check() override { CheckSingleInput(); }
  void Start() override;
  void Step() override;
  void PlanStep(TRunRecord& r, double dt) override;
  // One trapezoid of the input x over dt.
  void Advance(double x, double dt) {
    S += (x + U) * 0.5 * dt;
    U = x;
  }
  void GetTransferFunction(int side, TPolynomial& num, TPolynomial& den) override;
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

// The integrating element's statements (gain K, starting value y0); the
// incremental speed sensor generates them too.
void IntegratorCode(TParamBlock& b, TCodeWriter& w, std::string& v, double K, double y0);

class TDifferentiating : public TTableParamBlock {
 public:
  double U = 0.0;
  TDifferentiating() : TTableParamBlock(8) {}
  void Check() override { CheckSingleInput(); }
  void Start() override;
  void Step() override;
  void PlanStep(TRunRecord& r, double dt) override;
  // The backward difference of the input x with gain K; x becomes the
  // previous input.
  double Advance(double x, double K, double dt) {
    const double y = K * (x - U) / dt;
    U = x;
    return y;
  }
  void GetTransferFunction(int side, TPolynomial& num, TPolynomial& den) override;
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

class TForcing : public TTableParamBlock {
 public:
  double U = 0.0;
  TForcing() : TTableParamBlock(9) {}
  void Check() override { CheckSingleInput(); }
  void Start() override { U = 0.0; }
  void Step() override;
  void GetTransferFunction(int side, TPolynomial& num, TPolynomial& den) override;
  double GetStepHint() override;
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

class TAperiodic : public TTableParamBlock {
 public:
  double S = 0.0;
  TAperiodic() : TTableParamBlock(10) {}
  void Check() override;
  void Start() override;
  void Step() override;
  // The record carries the state S in C[2].
  void PlanStep(TRunRecord& r, double dt) override;
  void UnplanStep(const TRunRecord& r) override;
  // The Euler factor dt / T, clamped at one.
  static double Factor(double dt, double T) {
    const double a = dt / T;
    return a > 1.0 ? 1.0 : a;
  }
  // One step of the state s toward the input x; the new state.
  static double Advance(double& s, double x, double a) {
    s += (x - s) * a;
    return s;
  }
  double Advance(double x, double a) { return Advance(S, x, a); }
  void GetTransferFunction(int side, TPolynomial& num, TPolynomial& den) override;
  double GetStepHint() override { return 0.1 * Params[0]; }
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

class TOscillatory : public TTableParamBlock {
 public:
  double V = 0.0, S = 0.0;
  TOscillatory() : TTableParamBlock(11) {}
  void Check() override;
  void Start() override;
  void Step() override;
  void PlanStep(TRunRecord& r, double dt) override;
  // The first stage's divisor 2ξT and the second stage's factor
  // 2ξ dt / T, clamped at one.
  static double Divisor(double T, double xi) { return 2.0 * xi * T; }
  static double Factor(double T, double xi, double dt) {
    const double a = 2.0 * xi * dt / T;
    return a > 1.0 ? 1.0 : a;
  }
  // One step of both stages toward the input x; the new state.
  double Advance(double x, double dt, double divisor, double a) {
    const double e = x - S;
    V += e * dt / divisor;
    S += (V - S) * a;
    return S;
  }
  void GetTransferFunction(int side, TPolynomial& num, TPolynomial& den) override;
  double GetStepHint() override { return 0.1 * Params[1]; }
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

class TDelay : public TTableParamBlock {
 public:
  int32_t N = 0;
  std::vector<float> Buffer;  // owned from Start to Stop
  size_t Head = 0;            // index of the oldest sample (ring buffer)
  TDelay() : TTableParamBlock(12) {}
  void Check() override;
  void Start() override;
  void Step() override;
  void Stop() override;
  void Done() override { Stop(); }
  void GetTransferFunction(int side, TPolynomial& num, TPolynomial& den) override;
  double GetStepHint() override { return 0.25 * Params[0]; }
  void GenerateCode(TCodeWriter& w, std::string& name) override;
  // The sample count for a delay T at step dt; false when it cannot be held.
  static bool SampleCount(double T, double dt, int32_t& n);
};

class TRealDifferentiating : public TTableParamBlock {
 public:
  double S = 0.0, P = 0.0;
  TRealDifferentiating() : TTableParamBlock(95) {}
  void Check() override;
  void Start() override;
  void Step() override;
  void GetTransferFunction(int side, TPolynomial& num, TPolynomial& den) override;
  double GetStepHint() override { return 0.1 * Params[0]; }
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

}  // namespace vemo

namespace vemo {

// A block without parameters whose class and stepped flag come from the
// kinds table (kinds with records of their own derive from it).
class TKindBlock : public TBlock {
 public:
  explicit TKindBlock(uint16_t code);
};

}  // namespace vemo
