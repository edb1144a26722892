// The static nonlinearities (dead zone, saturation, relays, quantiser,
// backlash) and the single-argument functions. All take one input; with no
// input the input is 0.
#pragma once
#include "blocks/linear.h"

namespace vemo {

// The input of a single-input element: the first connected side's output,
// 0 when nothing is connected.
inline double InputOrZero(const TBlock& b) {
  const TBlock* in = b.StepInput();
  return in ? in->Output : 0.0;
}

class TDeadZone : public TTableParamBlock {
 public:
  TDeadZone() : TTableParamBlock(20) {}
  void Check() override;
  void Step() override;
  void PlanStep(TRunRecord& r, double dt) override;
  static double Apply(double x, double d) {
    if (x > d) return x - d;
    if (x < -d) return x + d;
    return 0.0;
  }
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

class TSaturation : public TTableParamBlock {
 public:
  TSaturation() : TTableParamBlock(21) {}
  void Check() override;
  void Step() override;
  void PlanStep(TRunRecord& r, double dt) override;
  static double Apply(double x, double hi, double lo) {
    if (x > hi) return hi;
    if (x < lo) return lo;
    return x;
  }
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

class TDeadZoneSaturation : public TTableParamBlock {
 public:
  TDeadZoneSaturation() : TTableParamBlock(22) {}
  void Check() override;
  void Step() override;
  void PlanStep(TRunRecord& r, double dt) override;
  static double Apply(double x, double d, double hi, double lo) {
    return TSaturation::Apply(TDeadZone::Apply(x, d), hi, lo);
  }
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

class TRelay2 : public TTableParamBlock {
 public:
  TRelay2() : TTableParamBlock(23) {}
  void Check() override { CheckSingleInput(); }
  void Step() override;
  void PlanStep(TRunRecord& r, double dt) override;
  // Y1 from the threshold up, Y2 below it.
  static double Apply(double x, double y1, double y2, double threshold) {
    return x < threshold ? y2 : y1;
  }
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

class TRelay2Hysteresis : public TTableParamBlock {
 public:
  uint8_t On = 0;
  TRelay2Hysteresis() : TTableParamBlock(24) {}
  void Check() override;
  void Start() override;
  void Step() override;
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

class TRelay3 : public TTableParamBlock {
 public:
  TRelay3() : TTableParamBlock(25) {}
  void Check() override;
  void Step() override;
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

class TRelay3Hysteresis : public TTableParamBlock {
 public:
  uint8_t State = 1;  // 0 negative, 1 zero, 2 positive output
  TRelay3Hysteresis() : TTableParamBlock(26) {}
  void Check() override;
  void Start() override;
  void Step() override;
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

class TQuantiser : public TTableParamBlock {
 public:
  TQuantiser() : TTableParamBlock(27) {}
  void Check() override;
  void Step() override;
  // q times the nearest 32-bit integer to x / q (halves to even). A
  // quotient beyond the 32-bit range raises FE_INVALID, so the run loop
  // ends the run with its math-error message, and gives 0.
  static double Apply(double x, double q);
};

class TBacklash : public TTableParamBlock {
 public:
  TBacklash() : TTableParamBlock(28) {}
  void Check() override;
  void Step() override;
  void PlanStep(TRunRecord& r, double dt) override;
  // The output after input x, from the output y before it (half width a).
  static double Apply(double x, double a, double y) {
    if (y + a < x) return x - a;
    if (y - a > x) return x + a;
    return y;
  }
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

// 1/x, sin, cos, tg, arcsin, arccos, arctg, ln, exp (codes 42..50),
// square root (56) and modulus (80). No check: extra inputs are ignored.
class TFunctionBlock : public TTableParamBlock {
 public:
  explicit TFunctionBlock(uint16_t code) : TTableParamBlock(code) {}
  void Step() override;
  static double Apply(uint16_t code, double x);
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

}  // namespace vemo
