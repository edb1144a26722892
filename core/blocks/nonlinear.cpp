#include "blocks/nonlinear.h"

#include <cfenv>
#include <cmath>
#include <numbers>

#include "codegen/code_writer.h"
#include "shell/program.h"

namespace vemo {

namespace {
// Parameter fault (15) first, then the single-input test (2).
void CheckParamsThenInput(TBlock& b, bool paramFault) {
  if (paramFault) {
    Prog.Err.ErrorCode = 15;
    return;
  }
  b.CheckSingleInput();
}
}  // namespace

// Dead zone (d).
void TDeadZone::Check() { CheckParamsThenInput(*this, Params[0] < 0.0); }
void TDeadZone::Step() { Output = Apply(InputOrZero(*this), Params[0]); }
void TDeadZone::PlanStep(TRunRecord& r, double) {
  r.Op = TRunOp::DeadZone;
  r.C[0] = Params[0];
}

// Saturation (upper Hв, lower Hн).
void TSaturation::Check() { CheckParamsThenInput(*this, Params[0] < Params[1]); }
void TSaturation::Step() { Output = Apply(InputOrZero(*this), Params[0], Params[1]); }
void TSaturation::PlanStep(TRunRecord& r, double) {
  r.Op = TRunOp::Saturation;
  r.C[0] = Params[0];
  r.C[1] = Params[1];
}

// Dead zone, then saturation of its result (d, Hв, Hн).
void TDeadZoneSaturation::Check() {
  CheckParamsThenInput(*this, Params[0] < 0.0 || Params[1] < Params[2]);
}
void TDeadZoneSaturation::Step() {
  Output = Apply(InputOrZero(*this), Params[0], Params[1], Params[2]);
}
void TDeadZoneSaturation::PlanStep(TRunRecord& r, double) {
  r.Op = TRunOp::DeadZoneSaturation;
  for (int i = 0; i < 3; ++i) r.C[i] = Params[i];
}

// Two-position relay (Y1, Y2, threshold): Y1 from the threshold up.
void TRelay2::Step() { Output = Apply(InputOrZero(*this), Params[0], Params[1], Params[2]); }
void TRelay2::PlanStep(TRunRecord& r, double) {
  r.Op = TRunOp::Relay2;
  for (int i = 0; i < 3; ++i) r.C[i] = Params[i];
}

// Two-position relay with hysteresis (Y1, Y2, switch-on Xс, switch-off Xо).
void TRelay2Hysteresis::Check() { CheckParamsThenInput(*this, Params[2] < Params[3]); }
void TRelay2Hysteresis::Start() {
  On = 0;
  Output = 0.0;
}
void TRelay2Hysteresis::Step() {
  const double x = InputOrZero(*this);
  if (On) {
    if (x <= Params[3]) On = 0;
  } else if (x >= Params[2]) {
    On = 1;
  }
  Output = On ? Params[0] : Params[1];
}

// Three-position relay (Y1, Y2, right threshold X1, left threshold X2).
void TRelay3::Check() { CheckParamsThenInput(*this, Params[2] < Params[3]); }
void TRelay3::Step() {
  const double x = InputOrZero(*this);
  if (x < Params[3]) Output = Params[1];
  else if (x < Params[2]) Output = 0.0;
  else Output = Params[0];
}

// Three-position relay with hysteresis (amplitude A, width h, X1, X2).
void TRelay3Hysteresis::Check() {
  CheckParamsThenInput(*this, Params[2] < Params[3] || Params[1] < 1e-10);
}
void TRelay3Hysteresis::Start() {
  State = 1;
  Output = 0.0;
}
void TRelay3Hysteresis::Step() {
  const double x = InputOrZero(*this);
  const double A = Params[0], h = Params[1], X1 = Params[2], X2 = Params[3];
  switch (State) {
    case 0:
      if (x > X2 + h) {
        State = 1;
        if (x > X1) State = 2;
      }
      break;
    case 1:
      if (x < X2) State = 0;
      else if (x > X1) State = 2;
      break;
    default:
      if (x < X1 - h) {
        State = 1;
        if (x < X2) State = 0;
      }
      break;
  }
  Output = State == 0 ? -A : State == 1 ? 0.0 : A;
}

// Quantiser (step q).
double TQuantiser::Apply(double x, double q) {
  const double n = std::nearbyint(x / q);  // the current rounding: halves to even
  if (!(n >= -2147483648.0 && n <= 2147483647.0)) {
    std::feraiseexcept(FE_INVALID);
    return 0.0;
  }
  return q * static_cast<double>(static_cast<int32_t>(n));
}
void TQuantiser::Check() { CheckParamsThenInput(*this, Params[0] < 1e-20); }
void TQuantiser::Step() { Output = Apply(InputOrZero(*this), Params[0]); }

// Backlash (half width a): the output follows the input only once the
// input has crossed the gap; the previous output is the state.
void TBacklash::Check() { CheckParamsThenInput(*this, Params[0] < 1e-20); }
void TBacklash::Step() { Output = Apply(InputOrZero(*this), Params[0], Output); }
void TBacklash::PlanStep(TRunRecord& r, double) {
  r.Op = TRunOp::Backlash;
  r.C[0] = Params[0];
}

// Single-argument functions.
double TFunctionBlock::Apply(uint16_t code, double x) {
  switch (code) {
    case 42: return std::fabs(x) < 1e-5 ? 0.0 : 1.0 / x;
    case 43: return std::sin(x);
    case 44: return std::cos(x);
    case 45: {
      const double c = std::cos(x);
      return std::fabs(c) < 1e-4 ? 1000.0 : std::sin(x) / c;
    }
    case 46:
    case 47: {
      if (std::fabs(x) > 1.0) return 0.0;
      // arctan(x / sqrt(1 - x^2)); at |x| = 1 its limit +-pi/2, so the
      // ends of the domain are no division by zero.
      const double r = std::sqrt(1.0 - x * x);
      const double as = r > 0.0 ? std::atan(x / r) : std::copysign(std::numbers::pi / 2, x);
      return code == 46 ? as : std::numbers::pi / 2 - as;
    }
    case 48: return std::atan(x);
    case 49: return x < 1e-10 ? 0.0 : std::log(x);
    case 50: return x > 100.0 ? 1e10 : std::exp(x);
    case 56: return x < 0.0 ? 0.0 : std::sqrt(x);
    case 80: return std::fabs(x);
    default: return 0.0;
  }
}
void TFunctionBlock::Step() {
  const TBlock* in = FirstInput();
  Output = in ? Apply(TypeCode, in->Output) : 0.0;
}

// Code generation (v the element's variable, x its input "%1").

namespace {

void DeadZoneCode(TCodeWriter& w, double d) {
  w.If("", TRelation::Greater, w.Number(d));
  w.Sub("", "", w.Number(d));
  w.Else();
  w.If("", TRelation::Less, w.Number(-d));
  w.Add("", "", w.Number(d));
  w.Else();
  w.Assign("", "0");
  w.EndIf();
  w.EndIf();
}

void LimitCode(TCodeWriter& w, double hi, double lo) {
  w.If("", TRelation::Greater, w.Number(hi));
  w.Assign("", w.Number(hi));
  w.Else();
  w.If("", TRelation::Less, w.Number(lo));
  w.Assign("", w.Number(lo));
  w.EndIf();
  w.EndIf();
}

// The common opening of a one-input element: false when its name is known.
bool Open(TBlock& b, TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(b, v)) return false;
  w.UseFirstInput(b);
  w.NewStateVar(b, 0.0);
  return true;
}

}  // namespace

void TDeadZone::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!Open(*this, w, v)) return;
  w.Assign("", "%1");
  DeadZoneCode(w, Params[0]);
}

void TSaturation::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!Open(*this, w, v)) return;
  w.Assign("", "%1");
  LimitCode(w, Params[0], Params[1]);
}

void TDeadZoneSaturation::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!Open(*this, w, v)) return;
  w.Assign("", "%1");
  DeadZoneCode(w, Params[0]);
  LimitCode(w, Params[1], Params[2]);
}

void TRelay2::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!Open(*this, w, v)) return;
  w.If("%1", TRelation::GreaterEqual, w.Number(Params[2]));
  w.Assign("", w.Number(Params[0]));
  w.Else();
  w.Assign("", w.Number(Params[1]));
  w.EndIf();
}

void TRelay2Hysteresis::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!Open(*this, w, v)) return;
  w.NewVarWithValue("OnOff", "0");
  w.If("OnOff", TRelation::NotEqual, "0");
  w.If("%1", TRelation::LessEqual, w.Number(Params[3]));
  w.Assign("OnOff", "0");
  w.EndIf();
  w.Else();
  w.If("%1", TRelation::GreaterEqual, w.Number(Params[2]));
  w.Assign("OnOff", "1");
  w.EndIf();
  w.EndIf();
  w.If("OnOff", TRelation::NotEqual, "0");
  w.Assign("", w.Number(Params[0]));
  w.Else();
  w.Assign("", w.Number(Params[1]));
  w.EndIf();
}

void TRelay3::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!Open(*this, w, v)) return;
  w.If("%1", TRelation::Less, w.Number(Params[3]));
  w.Assign("", w.Number(Params[1]));
  w.Else();
  w.If("%1", TRelation::Less, w.Number(Params[2]));
  w.Assign("", "0");
  w.Else();
  w.Assign("", w.Number(Params[0]));
  w.EndIf();
  w.EndIf();
}

// The three-position relay with hysteresis keeps its state in vState: -1
// (negative output), 0 (zero) or 1 (positive), moving between them as a
// run does; the output is vState times the amplitude.
void TRelay3Hysteresis::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!Open(*this, w, v)) return;
  const double A = Params[0], h = Params[1], X1 = Params[2], X2 = Params[3];
  w.NewVarWithValue("State", "0");
  w.If("State", TRelation::Less, w.Number(-0.5));
  w.If("%1", TRelation::Greater, w.Number(X2 + h));
  w.Assign("State", "0");
  w.If("%1", TRelation::Greater, w.Number(X1));
  w.Assign("State", "1");
  w.EndIf();
  w.EndIf();
  w.Else();
  w.If("State", TRelation::Greater, w.Number(0.5));
  w.If("%1", TRelation::Less, w.Number(X1 - h));
  w.Assign("State", "0");
  w.If("%1", TRelation::Less, w.Number(X2));
  w.Assign("State", "-1");
  w.EndIf();
  w.EndIf();
  w.Else();
  w.If("%1", TRelation::Less, w.Number(X2));
  w.Assign("State", "-1");
  w.Else();
  w.If("%1", TRelation::Greater, w.Number(X1));
  w.Assign("State", "1");
  w.EndIf();
  w.EndIf();
  w.EndIf();
  w.EndIf();
  w.Assign("", "State");
  w.Mul("", "", w.Number(A));
}

// The backlash's variable is its state, 0 at the start.
void TBacklash::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  const std::string b = w.Number(Params[0]);
  w.UseFirstInput(*this);
  w.ReserveTemps(1);
  w.NewStateVar(*this, 0.0);
  w.Assign("Z1", "");
  w.Add("Z1", "Z1", b);
  w.If("%1", TRelation::Greater, "Z1");
  w.Assign("", "%1");
  w.Sub("", "", b);
  w.Else();
  w.Assign("Z1", "");
  w.Sub("Z1", "Z1", b);
  w.If("%1", TRelation::Less, "Z1");
  w.Assign("", "%1");
  w.Add("", "", b);
  w.EndIf();
  w.EndIf();
}

// Of the functions only 1/x generates code: 0 where abs(x) < 1e-5.
void TFunctionBlock::GenerateCode(TCodeWriter& w, std::string& v) {
  if (TypeCode != 42) {
    TParamBlock::GenerateCode(w, v);
    return;
  }
  if (!Open(*this, w, v)) return;
  w.Assign("", "0");
  w.If("%1", TRelation::GreaterEqual, w.Number(1e-5));
  w.Assign("", "1");
  w.Div("", "", "%1");
  w.Else();
  w.If("%1", TRelation::LessEqual, w.Number(-1e-5));
  w.Assign("", "1");
  w.Div("", "", "%1");
  w.EndIf();
  w.EndIf();
}

}  // namespace vemo
