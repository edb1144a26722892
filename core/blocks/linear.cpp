#include "blocks/linear.h"

#include <cmath>
#include <new>

#include "blocks/registry.h"
#include "codegen/code_writer.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo {

TTableParamBlock::TTableParamBlock(uint16_t code) {
  const TKindInfo* k = FindKind(code);
  TypeCode = code;
  if (!k) return;
  Kind = k->Kind;
  Stepped = k->Stepped;
  ParamCount = k->ParamCount;
  for (int i = 0; i < ParamCount; ++i) Params[i] = k->Defaults[i];
}

namespace {
inline double Dt() { return Prog.Clock.TimeStep; }

void SetTf(TPolynomial& num, TPolynomial& den, std::initializer_list<Real> n,
           std::initializer_list<Real> d) {
  num = PolyNew(static_cast<uint16_t>(n.size() - 1));
  den = PolyNew(static_cast<uint16_t>(d.size() - 1));
  size_t i = 0;
  for (Real c : n) num.Coef[i++] = c;
  i = 0;
  for (Real c : d) den.Coef[i++] = c;
}

bool TimeConstantFault(double T, double K) { return T < 1e-9 || std::fabs(K) < 1e-9; }
}  // namespace

// Proportional: y = K x.
void TProportional::Step() {
  if (TBlock* in = FirstInput()) {
    Output = Params[0] * in->Output;
    Stepped = in->Stepped;
  } else {
    Output = 0.0;
  }
}
void TProportional::PlanStep(TRunRecord& r, double) {
  r.Op = !RunInput           ? TRunOp::Virtual
         : Params[0] == 1.0 ? TRunOp::ProportionalUnit
                            : TRunOp::Proportional;
  r.C[0] = Params[0];
}
void TProportional::GetTransferFunction(int, TPolynomial& num, TPolynomial& den) {
  SetTf(num, den, {Params[0]}, {1});
}

// Integrating, trapezoidal rule.
void TIntegrating::Start() {
  S = Params[1];
  U = Params[1];
  Output = Params[1];
}
void TIntegrating::Step() {
  if (TBlock* in = FirstInput()) Advance(in->Output, Dt());
  Output = Params[0] * S;
}
void TIntegrating::PlanStep(TRunRecord& r, double dt) {
  r.Op = RunInput ? TRunOp::Integrating : TRunOp::Virtual;
  r.C[0] = dt;
  r.C[1] = Params[0];
}
void TIntegrating::GetTransferFunction(int, TPolynomial& num, TPolynomial& den) {
  SetTf(num, den, {Params[0]}, {0, 1});
}

// Differentiating, backward difference.
void TDifferentiating::Start() {
  U = 0.0;
  Output = 0.0;
}
void TDifferentiating::Step() {
  if (TBlock* in = FirstInput()) Output = Advance(in->Output, Params[0], Dt());
}
void TDifferentiating::PlanStep(TRunRecord& r, double dt) {
  r.Op = RunInput ? TRunOp::Differentiating : TRunOp::Virtual;
  r.C[0] = dt;
  r.C[1] = Params[0];
}
void TDifferentiating::GetTransferFunction(int, TPolynomial& num, TPolynomial& den) {
  SetTf(num, den, {0, Params[0]}, {1});
}

// Forcing: y = K (T x' + x).
void TForcing::Step() {
  if (TBlock* in = FirstInput()) {
    const double x = in->Output;
    const double d = (x - U) / Dt();
    U = x;
    Output = Params[1] * (Params[0] * d + x);
  }
}
void TForcing::GetTransferFunction(int, TPolynomial& num, TPolynomial& den) {
  const Real T = Params[0], K = Params[1];
  SetTf(num, den, {K, K * T}, {1});
}
double TForcing::GetStepHint() { return 0.1 * std::fabs(Params[0]); }

// Aperiodic: explicit Euler with the gain clamped at one.
void TAperiodic::Check() {
  if (TimeConstantFault(Params[0], Params[1])) {
    Prog.Err.ErrorCode = 4;
    return;
  }
  CheckSingleInput();
}
void TAperiodic::Start() {
  Output = Params[2];
  S = Params[2] / Params[1];
}
void TAperiodic::Step() {
  const TBlock* in = StepInput();
  Output = Params[1] * Advance(in ? in->Output : 0.0, Factor(Dt(), Params[0]));
}
void TAperiodic::PlanStep(TRunRecord& r, double dt) {
  // A gain of exactly one leaves the state's bits as they are.
  r.Op = Params[1] == 1.0 ? TRunOp::AperiodicUnit : TRunOp::Aperiodic;
  r.C[0] = Factor(dt, Params[0]);
  r.C[1] = Params[1];
  r.C[2] = S;
}
void TAperiodic::UnplanStep(const TRunRecord& r) {
  if (r.Op == TRunOp::Aperiodic || r.Op == TRunOp::AperiodicUnit) S = r.C[2];
}
void TAperiodic::GetTransferFunction(int, TPolynomial& num, TPolynomial& den) {
  SetTf(num, den, {Params[1]}, {1, Params[0]});
}

// Oscillatory: two cascaded first-order stages.
void TOscillatory::Check() {
  const double T = Params[0], xi = Params[1];
  if (T < 1e-9) {
    Prog.Err.ErrorCode = 4;
    return;
  }
  if (xi < 0.0) {
    Prog.Err.ErrorCode = 15;
    return;
  }
  if (xi > 1.0 && Prog.Dialogs &&
      Prog.Dialogs->AskYesNo("Коэф.демпфирования больше единицы! Прервать расчет?")) {
    Prog.Err.ErrorCode = 15;
    return;
  }
  CheckSingleInput();
}
void TOscillatory::Start() {
  Output = V = S = 0.0;
}
void TOscillatory::Step() {
  TBlock* in = FirstInput();
  const double T = Params[0], xi = Params[1], dt = Dt();
  Output = Params[2] * Advance(in ? in->Output : 0.0, dt, Divisor(T, xi), Factor(T, xi, dt));
}
void TOscillatory::PlanStep(TRunRecord& r, double dt) {
  const double T = Params[0], xi = Params[1];
  r.Op = TRunOp::Oscillatory;
  r.C[0] = dt;
  r.C[1] = Divisor(T, xi);
  r.C[2] = Factor(T, xi, dt);
  r.C[3] = Params[2];
}
void TOscillatory::GetTransferFunction(int, TPolynomial& num, TPolynomial& den) {
  const Real T = Params[0], xi = Params[1];
  SetTf(num, den, {Params[2]}, {1, 2 * xi * T, T * T});
}

// Delay: a shift register of single-precision samples, kept as a ring.
bool TDelay::SampleCount(double T, double dt, int32_t& n) {
  // At most 2^26 samples (256 MiB of samples) per delay element.
  constexpr double kMaxSamples = 67108864.0;
  if (!(dt > 0.0)) return false;
  const double q = std::nearbyint(T / dt);  // halves go to the even neighbour
  if (!(q >= 0.0) || q + 1.0 > kMaxSamples) return false;
  n = static_cast<int32_t>(q) + 1;
  return true;
}
void TDelay::Check() {
  if (Params[0] < 1e-9) {
    Prog.Err.ErrorCode = 15;
    return;
  }
  CheckSingleInput();
}
void TDelay::Start() {
  Output = 0.0;
  Head = 0;
  Buffer.clear();
  N = 0;
  int32_t n = 0;
  if (!SampleCount(Params[0], Dt(), n)) {
    Prog.Err.ErrorCode = 15;
    return;
  }
  try {
    Buffer.assign(static_cast<size_t>(n), 0.0f);
  } catch (const std::bad_alloc&) {
    Buffer.clear();
    Prog.Err.ErrorCode = 15;
    return;
  }
  N = n;
}
void TDelay::Step() {
  TBlock* in = FirstInput();
  double x = in ? in->Output : 0.0;
  if (in) Stepped = in->Stepped;
  if (N <= 0) {
    Output = 0.0;
    return;
  }
  if (x > 1e30) x = 1e30;
  else if (x < -1e30) x = -1e30;
  // The new sample replaces the oldest one; the output is the sample taken
  // n - 1 steps ago (with n = 1 the input passes straight through).
  Buffer[Head] = static_cast<float>(x);
  if (++Head == static_cast<size_t>(N)) Head = 0;
  Output = Params[1] * static_cast<double>(Buffer[Head]);
}
void TDelay::Stop() {
  Buffer.clear();
  Buffer.shrink_to_fit();
  N = 0;
  Head = 0;
}
void TDelay::GetTransferFunction(int, TPolynomial& num, TPolynomial& den) {
  SetTf(num, den, {Params[1]}, {1});
}

// Real differentiating: K s / (T s + 1).
void TRealDifferentiating::Check() {
  if (TimeConstantFault(Params[0], Params[1])) {
    Prog.Err.ErrorCode = 4;
    return;
  }
  CheckSingleInput();
}
void TRealDifferentiating::Start() { S = P = Output = 0.0; }
void TRealDifferentiating::Step() {
  if (TBlock* in = FirstInput()) {
    const double dt = Dt(), T = Params[0];
    const double a = dt < T ? dt / T : 1.0;
    S += (in->Output - S) * a;
    Output = Params[1] * (S - P) / dt;
    P = S;
  }
}
void TRealDifferentiating::GetTransferFunction(int, TPolynomial& num, TPolynomial& den) {
  SetTf(num, den, {0, Params[1]}, {1, Params[0]});
}

// Code generation: each element's statements in the writer's operations
// (v the element's variable, x its input "%1", dt the sampling step).

void TProportional::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  w.UseFirstInput(*this);
  w.NewStateVar(*this, 0.0);
  w.Assign("", "%1");
  w.Mul("", "", w.Number(Params[0]));
}

// The integrating element; the incremental speed sensor uses it too, with
// its marks per second as the gain.
void IntegratorCode(TParamBlock& b, TCodeWriter& w, std::string& v, double K, double y0) {
  if (!w.BeginBlock(b, v)) return;
  w.UseFirstInput(b);
  w.NewStateVar(b, y0);
  w.NewVarWithValue("Sum", w.Number(y0));
  w.NewVarWithValue("Old", w.Number(y0));
  w.Assign("", "%1");
  w.Add("", "", "Old");
  w.Mul("", "", w.Number(K * w.Step() * 0.5));
  w.Add("Sum", "Sum", "");
  w.Assign("", "Sum");
  w.Assign("Old", "%1");
}

void TIntegrating::GenerateCode(TCodeWriter& w, std::string& v) {
  IntegratorCode(*this, w, v, Params[0], Params[1]);
}

void TDifferentiating::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  w.UseFirstInput(*this);
  w.NewStateVar(*this, 0.0);
  w.NewVarWithValue("Old", "0");
  w.Assign("", "%1");
  w.Sub("", "", "Old");
  w.Assign("Old", "%1");
  w.Mul("", "", w.Number(Params[0] / w.Step()));
}

void TForcing::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  const double T = Params[0], K = Params[1];
  w.UseFirstInput(*this);
  w.NewStateVar(*this, 0.0);
  w.NewVarWithValue("Old", "0");
  w.Assign("", "%1");
  w.Sub("", "", "Old");
  w.Mul("", "", w.Number(T * K / w.Step()));
  w.Assign("Old", "%1");
  w.Mul("Old", "Old", w.Number(K));
  w.Add("", "", "Old");
  w.Assign("Old", "%1");
}

void TAperiodic::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  const double T = Params[0], K = Params[1], dt = w.Step();
  w.UseFirstInput(*this);
  w.NewStateVar(*this, Params[2]);
  w.NewVarWithValue("Old", w.Number(Params[2] / K));
  w.Assign("", "%1");
  if (T >= dt) {
    w.Sub("", "", "Old");
    w.Mul("", "", w.Number(dt / T));
    w.Add("", "", "Old");
    w.Assign("Old", "");
  }
  if (std::fabs(K - 1.0) > 1e-5) w.Mul("", "", w.Number(K));
}

void TOscillatory::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  const double T = Params[0], xi = Params[1], K = Params[2], dt = w.Step();
  w.UseFirstInput(*this);
  w.NewStateVar(*this, 0.0);
  w.NewVarWithValue("Old", "0");
  w.NewVarWithValue("Sum", "0");
  w.Assign("", "%1");
  w.Sub("", "", "Old");
  w.Mul("", "", w.Number(dt / (2.0 * xi * T)));
  w.Add("Sum", "Sum", "");
  w.Assign("", "Sum");
  const double a = 2.0 * xi * dt / T;
  if (a < 1.0) {
    w.Sub("", "", "Old");
    w.Mul("", "", w.Number(a));
    w.Add("", "", "Old");
  }
  w.Assign("Old", "");
  w.Mul("", "", w.Number(K));
}

// The delay keeps the last n samples in an array (n as a run computes it):
// the loop moves them one place up, the new sample goes to the bottom and
// the output is K times the oldest.
void TDelay::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  int32_t n = 0;
  if (!SampleCount(Params[0], w.Step(), n)) {
    w.Refuse(*this, v, kBadParameter);
    return;
  }
  w.UseFirstInput(*this);
  w.NewStateVar(*this, 0.0);
  w.NewArray("Buf", n);
  if (n > 1) {
    w.Loop(n - 1);
    w.LoadFromArray("", "Buf", -1);
    w.StoreToArray("Buf", 0, "");
    w.EndLoop();
  }
  w.StoreToArrayAt("Buf", 0, "%1");
  w.LoadFromArrayAt("", "Buf", n - 1);
  w.Mul("", "", w.Number(Params[1]));
}

void TRealDifferentiating::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  const double T = Params[0], K = Params[1], dt = w.Step();
  w.UseFirstInput(*this);
  w.NewStateVar(*this, 0.0);
  w.NewVarWithValue("Old", "0");
  w.NewVarWithValue("xx", "0");
  w.Assign("", "%1");
  if (dt < T) {
    w.Sub("", "", "xx");
    w.Mul("", "", w.Number(dt / T));
    w.Add("", "", "xx");
  }
  w.Assign("xx", "");
  w.Sub("", "", "Old");
  w.Mul("", "", w.Number(K / dt));
  w.Assign("Old", "xx");
}

}  // namespace vemo

namespace vemo {

TKindBlock::TKindBlock(uint16_t code) {
  TypeCode = code;
  if (const TKindInfo* k = FindKind(code)) {
    Kind = k->Kind;
    Stepped = k->Stepped;
  }
}

}  // namespace vemo
