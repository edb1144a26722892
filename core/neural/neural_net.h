// The feed-forward network of the neural block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vemo {

inline constexpr uint32_t kMaxNeurons = 1000;
inline constexpr uint8_t kFunctionCount = 5;

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
  // Every weight of every layer.
  size_t WeightTotal() const;
};

// The output of a neuron of function f (0..4) for the weighted sum s.
double Activation(uint8_t f, double s);

// Appends a layer with freshly initialised weights.
void AddLayer(TNeuroNet& net, uint32_t neurons, uint8_t function);
// Every weight 1.0 except the very last (bias of the last neuron), 0.0.
void InitWeights(TNeuroNet& net, size_t index);
// A new neuron count: the layer's weights and the next layer's (whose input
// count changed) are made anew; nothing happens when the count is the same.
void SetLayerSize(TNeuroNet& net, size_t index, uint32_t neurons);
// Removes the layer; the one that takes its place gets new weights.
void DeleteLayer(TNeuroNet& net, size_t index);
void ClearNet(TNeuroNet& net);
// Create and free the layers' outputs.
void StartRun(TNeuroNet& net);
void EndRun(TNeuroNet& net);
// One evaluation from InputValues; the first OutputCount outputs of the last
// layer go to outputValues. A net without layers leaves them untouched.
void Forward(TNeuroNet& net, double* outputValues);

}  // namespace vemo
