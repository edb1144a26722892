// The fuzzy controller block: up to four variables bound to the block's
// sides (position k to internal side k), one of them the output.
#pragma once
#include "blocks/linear.h"
#include "fuzzy/fuzzy_infer.h"
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
  // Error 36 when the output leaves on another side than the configured one.
  void Check() override;
  // Inputs into their variables, one inference, the output variable out.
  void Step() override;

 private:
  TFuzzyInference work_;
};

}  // namespace vemo
