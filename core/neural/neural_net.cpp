#include "neural/neural_net.h"

#include <cmath>

namespace vemo {

size_t TNeuroNet::WeightTotal() const {
  size_t n = 0;
  for (const TNeuroLayer& l : Layers) n += l.Weights.size();
  return n;
}

double Activation(uint8_t f, double s) {
  switch (f) {
    case 0: return s / (std::fabs(s) + 1.0);
    case 1: return (s / (std::fabs(s) + 1.0) + 1.0) / 2.0;
    case 2: return s <= 0.0 ? -1.0 : 1.0;
    case 3: return s <= 0.0 ? 0.0 : 1.0;
    default: return s;
  }
}

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

void SetLayerSize(TNeuroNet& net, size_t index, uint32_t neurons) {
  if (index >= net.Layers.size() || net.Layers[index].NeuronCount == neurons) return;
  net.Layers[index].NeuronCount = neurons;
  InitWeights(net, index);
  if (index + 1 < net.Layers.size()) InitWeights(net, index + 1);
}

void DeleteLayer(TNeuroNet& net, size_t index) {
  if (index >= net.Layers.size()) return;
  net.Layers.erase(net.Layers.begin() + static_cast<std::ptrdiff_t>(index));
  if (index < net.Layers.size()) InitWeights(net, index);
}

void ClearNet(TNeuroNet& net) { net.Layers.clear(); }

void StartRun(TNeuroNet& net) {
  net.InputValues.assign(net.InputCount, 0.0);
  for (TNeuroLayer& l : net.Layers) l.Outputs.assign(l.NeuronCount, 0.0);
}

void EndRun(TNeuroNet& net) {
  for (TNeuroLayer& l : net.Layers) {
    l.Outputs.clear();
    l.Outputs.shrink_to_fit();
  }
}

void Forward(TNeuroNet& net, double* outputValues) {
  if (net.Layers.empty()) return;
  if (net.InputValues.size() != net.InputCount) net.InputValues.assign(net.InputCount, 0.0);
  const double* in = net.InputValues.data();
  size_t nIn = net.InputCount;
  for (TNeuroLayer& l : net.Layers) {
    // Outside a run (a layer edited since it started) the outputs are made here.
    if (l.Outputs.size() != l.NeuronCount) l.Outputs.assign(l.NeuronCount, 0.0);
    if (l.Weights.size() != (nIn + 1) * l.NeuronCount) return;
    const double* w = l.Weights.data();
    for (uint32_t j = 0; j < l.NeuronCount; ++j, w += nIn + 1) {
      double s = 0.0;
      for (size_t i = 0; i < nIn; ++i) s += w[i] * in[i];
      s += w[nIn];
      l.Outputs[j] = Activation(l.Function, s);
    }
    in = l.Outputs.data();
    nIn = l.NeuronCount;
  }
  const TNeuroLayer& last = net.Layers.back();
  for (uint32_t k = 0; k < net.OutputCount && k < last.NeuronCount; ++k) outputValues[k] = last.Outputs[k];
}

}  // namespace vemo
