#include "neural/neural_net.h"

namespace vemo {

void InitWeights(TNeuroNet& net, size_t index) {
  TNeuroLayer& l = net.Layers[index];
  const size_t n = (static_cast<size_t>(net.LayerInputs(index)) + 1) * l.NeuronCount;
  l.Weights.assign(n, 1.0);
  if (n) l.Weights.back() = 0.0;
}

void AddLayer(TNeuroNet& net, uint32_t neurons, uint8_t function) {
  TNeuroLayer l;
  l.NeuronCount = neurons;
  l.Function = function;
  net.Layers.push_back(std::move(l));
  InitWeights(net, net.Layers.size() - 1);
}

void ClearNet(TNeuroNet& net) { net.Layers.clear(); }

}  // namespace vemo
