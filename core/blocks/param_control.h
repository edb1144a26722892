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

  // Chooses the controlled cell for a control block standing at (col, row):
  // the cell one column left and one row up. Done when the block is edited.
  void AimFrom(int32_t col, int32_t row) {
    TargetCol = col - 1;
    TargetRow = row - 1;
  }
  // Resolves the target in the field being compiled: no cell or an empty
  // one is error 30; anything but a block of code 0..34 with parameters, or
  // a parameter index beyond its parameters, is error 31.
  void Prepare(TField* owner) override;
  // Exactly one input, else error 2.
  void Check() override;
  void Start() override;
  // Once the input has left 0, the target's parameter follows the input.
  void Step() override;
  // Stepped by its Step; the run loop then derives the target's constants
  // again from the parameter just written.
  void PlanStep(TRunRecord& r, double) override { r.Op = TRunOp::ParamControl; }
};

}  // namespace vemo
