#include "blocks/arithmetic.h"

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

}  // namespace vemo
