// The block that controls a parameter of another block during a run.
#pragma once
#include "blocks/linear.h"

namespace vemo {

class TParamControl : public TKindBlock {
 public:
  int32_t TargetCol = -1;  // the controlled cell: one column left, one row up
  int32_t TargetRow = -1;
  uint8_t ParamIndex = 0;
  TParamBlock* Target = nullptr;  // resolved by Prepare
  uint8_t Active = 0;

  TParamControl() : TKindBlock(40) {}
  uint8_t EditorKind() const override { return 7; }
  // Record: column and row (32-bit), then the parameter index.
  void Save(TMemCursor& c) override;
  bool Load(TLoadCursor& c) override;
};

}  // namespace vemo
