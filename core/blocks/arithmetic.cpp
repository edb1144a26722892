#include "blocks/arithmetic.h"

#include <cmath>

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

}  // namespace vemo
