// The feed-forward network of the neural block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vemo {

inline constexpr uint32_t kMaxNeurons = 1000;

struct TNeuroLayer {
  uint8_t Function = 0;         // activation 0..4
  std::vector<double> Weights;  // (inputs + 1) per neuron, bias last
  uint32_t NeuronCount = 0;
  std::vector<double> Outputs;  // only during a run
};

struct TNeuroNet {
  uint32_t InputCount = 3;
  std::vector<double> InputValues = std::vector<double>(3, 0.0);
  uint32_t OutputCount = 1;
  std::vector<TNeuroLayer> Layers;

  uint32_t LayerInputs(size_t index) const {
    return index == 0 ? InputCount : Layers[index - 1].NeuronCount;
  }
};

// Appends a layer with freshly initialised weights.
void AddLayer(TNeuroNet& net, uint32_t neurons, uint8_t function);
// Every weight 1.0 except the very last (bias of the last neuron), 0.0.
void InitWeights(TNeuroNet& net, size_t index);
void ClearNet(TNeuroNet& net);

}  // namespace vemo
