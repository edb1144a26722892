// Signal sources.
#pragma once
#include "blocks/linear.h"

namespace vemo {

// Sources take no input: a connected side is error 1.
bool CheckNoInput(TBlock& b);

class TConstant : public TTableParamBlock {
 public:
  TConstant() : TTableParamBlock(0) {}
  void Check() override { CheckNoInput(*this); }
  void Start() override { Output = Params[0]; }
};

}  // namespace vemo
