#include "blocks/arithmetic.h"

#include <cmath>

#include "codegen/code_writer.h"
#include "shell/program.h"

namespace vemo {

TSummer::TSummer(uint16_t code) : TTableParamBlock(code) {
  // Indexed by type code: 1 positive, 2 "NDSum", 3 "NUSum", 4 "NUDSum", 5 "NLRSum".
  static const uint8_t negated[6] = {0, 0, 1 << Bottom, 1 << Top, (1 << Top) | (1 << Bottom),
                                     (1 << Left) | (1 << Right)};
  NegatedSides = code <= 5 ? negated[code] : 0;
}

void TSummer::Check() {
  if (OutSide < 4 && (NegatedSides & (1 << OutSide))) Prog.Err.ErrorCode = 3;
}

void TSummer::Step() {
  double y = 0.0;
  uint8_t stepped = 1;
  for (int s = 0; s < 4; ++s) {
    if (TBlock* in = Inputs[s]) {
      y += (NegatedSides & (1 << s)) ? -in->Output : in->Output;
      if (!in->Stepped) stepped = 0;
    }
  }
  Output = y;
  Stepped = stepped;
}

void TSummer::GetTransferFunction(int side, TPolynomial& num, TPolynomial& den) {
  const bool neg = side >= 0 && side < 4 && (NegatedSides & (1 << side));
  num = PolyConst(neg ? -1.0L : 1.0L);
  den = PolyConst(1.0L);
}

void TMultiplier::Step() {
  double y = 1.0;
  bool any = false;
  uint8_t stepped = 1;
  for (TBlock* in : Inputs) {
    if (!in) continue;
    y *= in->Output;
    any = true;
    if (!in->Stepped) stepped = 0;
  }
  Output = any ? y : 0.0;
  Stepped = stepped;
}

void TExtremum::Step() {
  const bool max = TypeCode == 52;
  bool any = false;
  double y = 0.0;
  for (TBlock* in : Inputs) {
    if (!in) continue;
    const double v = in->Output;
    if (!any || (max ? v > y : v < y)) y = v;
    any = true;
  }
  Output = y;
}

bool CheckLeftAndBottom(TBlock& b) {
  if (!b.Inputs[Left] || !b.Inputs[Bottom] || b.Inputs[Top] || b.Inputs[Right]) {
    Prog.Err.ErrorCode = 2;
    return false;
  }
  return true;
}

void TDivider::Step() {
  const TBlock* num = Inputs[Left];
  const TBlock* den = Inputs[Bottom];
  const double a = num ? num->Output : 0.0, b = den ? den->Output : 0.0;
  Output = std::fabs(b) > 1e-8 ? a / b : 0.0;
  Stepped = 1;
}

void TArcTangent2::Step() {
  const TBlock* x = Inputs[Left];
  const TBlock* y = Inputs[Bottom];
  Output = std::atan2(y ? y->Output : 0.0, x ? x->Output : 0.0);
}

// Code generation.

namespace {
// "%k": the k-th stored input name.
std::string In(int k) { return "%" + std::to_string(k); }
}  // namespace

// v := first input (negated on a negated side), then + or - each further one.
void TSummer::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  w.UseConnectedInputs(*this);
  w.NewStateVar(*this, 0.0);
  int k = 0;
  for (int s = 0; s < 4; ++s) {
    if (!Inputs[s]) continue;
    const bool neg = NegatedSides & (1 << s);
    if (++k == 1) {
      w.Assign("", In(k));
      if (neg) w.Neg("", "");
    } else if (neg) {
      w.Sub("", "", In(k));
    } else {
      w.Add("", "", In(k));
    }
  }
  if (k == 0) w.Assign("", "0");
}

void TMultiplier::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  w.UseConnectedInputs(*this);
  w.NewStateVar(*this, 0.0);
  const int n = InputCount();
  w.Assign("", n ? In(1) : std::string("0"));
  for (int k = 2; k <= n; ++k) w.Mul("", "", In(k));
}

void TExtremum::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  w.UseConnectedInputs(*this);
  w.NewStateVar(*this, 0.0);
  const int n = InputCount();
  w.Assign("", n ? In(1) : std::string("0"));
  for (int k = 2; k <= n; ++k) {
    w.If("", TypeCode == 52 ? TRelation::Less : TRelation::Greater, In(k));
    w.Assign("", In(k));
    w.EndIf();
  }
}

// left / bottom, 0 when the bottom input is within 1e-8 of zero (as a run
// computes it; a controller never divides by zero).
void TDivider::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  w.UseInputs(*this, {Left, Bottom});
  w.ReserveTemps(1);
  w.NewStateVar(*this, 0.0);
  w.Assign("", "%1");
  w.Assign("Z1", "%2");
  w.If("Z1", TRelation::Greater, w.Number(1e-8));
  w.Div("", "", "Z1");
  w.Else();
  w.If("Z1", TRelation::Less, w.Number(-1e-8));
  w.Div("", "", "Z1");
  w.Else();
  w.Assign("", "0");
  w.EndIf();
  w.EndIf();
}

}  // namespace vemo
