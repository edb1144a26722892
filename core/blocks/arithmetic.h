// Multi-input arithmetic: summers, multiplier, maximum and minimum, and the
// two-argument blocks (divider, arctangent with quadrant).
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
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

// Product of all inputs; 0 with none.
class TMultiplier : public TTableParamBlock {
 public:
  TMultiplier() : TTableParamBlock(34) {}
  void Step() override;
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

// Largest (code 52) or smallest (53) input; 0 with none.
class TExtremum : public TTableParamBlock {
 public:
  explicit TExtremum(uint16_t code) : TTableParamBlock(code) {}
  void Step() override;
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

// The two-argument blocks take their first argument on the left and the
// second on the bottom; any other connection is error 2.
bool CheckLeftAndBottom(TBlock& b);

// left / bottom; 0 when the bottom input is within 1e-8 of zero.
class TDivider : public TTableParamBlock {
 public:
  TDivider() : TTableParamBlock(41) {}
  void Check() override { CheckLeftAndBottom(*this); }
  void Step() override;
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

// The angle of the point (left, bottom) in radians, all four quadrants.
class TArcTangent2 : public TTableParamBlock {
 public:
  TArcTangent2() : TTableParamBlock(55) {}
  void Check() override { CheckLeftAndBottom(*this); }
  void Step() override;
};

}  // namespace vemo
