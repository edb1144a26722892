// Multi-input arithmetic: summers.
#pragma once
#include "blocks/linear.h"

namespace vemo {

// Positive summer (code 1) and the four negative summers (codes 2..5),
// which subtract the inputs of their negated sides.
class TSummer : public TTableParamBlock {
 public:
  uint8_t NegatedSides;  // side set
  explicit TSummer(uint16_t code);
  void Check() override;
  void Step() override;
  void GetTransferFunction(int side, TPolynomial& num, TPolynomial& den) override;
};

}  // namespace vemo
