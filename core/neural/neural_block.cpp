#include "neural/neural_block.h"

#include "shell/program.h"

namespace vemo {

TNeuralBlock::TNeuralBlock() : TKindBlock(102) {
  AddLayer(Net, 2, 0);
  AddLayer(Net, 1, 4);
}

void TNeuralBlock::Save(TMemCursor& c) {
  c.U32(static_cast<uint32_t>(Net.Layers.size()));
  for (const TNeuroLayer& l : Net.Layers) {
    c.U32(l.NeuronCount);
    c.U8(l.Function);
    for (double w : l.Weights) c.F64(w);
  }
}

bool TNeuralBlock::Load(TLoadCursor& c) {
  ClearNet(Net);
  const uint32_t layers = c.U32();
  // Every layer takes at least 5 + 16 bytes (one neuron, one weight and bias).
  if (!c.CanRead(layers, 21)) return c.Ok = false;
  for (uint32_t i = 0; i < layers && c.Ok; ++i) {
    const uint32_t neurons = c.U32();
    const uint8_t function = c.U8();
    if (neurons < 1 || neurons > kMaxNeurons || function > 4) return c.Ok = false;
    const uint64_t weights = (static_cast<uint64_t>(Net.LayerInputs(i)) + 1) * neurons;
    if (!c.CanRead(weights, 8)) return c.Ok = false;
    AddLayer(Net, neurons, function);
    for (double& w : Net.Layers.back().Weights) w = c.F64();
  }
  if (!c.Ok) ClearNet(Net);
  return c.Ok;
}

void TNeuralBlock::Check() {
  if (OutSide != Right) Prog.Err.ErrorCode = 40;
}

void TNeuralBlock::Start() {
  StartRun(Net);
  Output = 0.0;
}

void TNeuralBlock::Step() {
  double* x = Net.InputValues.data();
  if (Net.InputValues.size() >= 3) {
    x[0] = Inputs[Top] ? Inputs[Top]->Output : 0.0;
    x[1] = Inputs[Left] ? Inputs[Left]->Output : 0.0;
    x[2] = Inputs[Bottom] ? Inputs[Bottom]->Output : 0.0;
  }
  Forward(Net, &Output);
}

}  // namespace vemo
