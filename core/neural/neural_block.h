// The neural network block: three inputs (top, left, bottom), one output.
#pragma once
#include "blocks/linear.h"
#include "neural/neural_net.h"

namespace vemo {

class TNeuralBlock : public TKindBlock {
 public:
  TNeuroNet Net;

  TNeuralBlock();
  uint8_t EditorKind() const override { return 13; }
  // Record: u32 layer count; per layer u32 neurons, u8 function, weights.
  void Save(TMemCursor& c) override;
  bool Load(TLoadCursor& c) override;
  void Done() override { ClearNet(Net); }
  // Error 40 unless the output leaves on the right.
  void Check() override;
  void Start() override;
  void Step() override;
  void Stop() override { EndRun(Net); }
};

}  // namespace vemo
