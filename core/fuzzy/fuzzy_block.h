// The fuzzy controller block.
#pragma once
#include "blocks/linear.h"
#include "fuzzy/fuzzy_model.h"

namespace vemo {

class TFuzzyBlock : public TKindBlock {
 public:
  TFuzzyModel Model;
  uint8_t OutputSide = Right;

  TFuzzyBlock();
  uint8_t EditorKind() const override { return 6; }
  void Save(TMemCursor& c) override;
  bool Load(TLoadCursor& c) override;
  void Done() override { Model.Clear(); }
};

}  // namespace vemo
