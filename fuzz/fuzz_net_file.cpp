// libFuzzer harness for the network file reader: any input either reads
// into a network whose text reads back to the very same text, or leaves the
// network without layers; a network read runs its forward pass.
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I core
//     core/shell/numtext.cpp core/shell/file_replace.cpp core/neural/neural_net.cpp
//     core/neural/net_file.cpp fuzz/fuzz_net_file.cpp
//   ./a.out fuzz/corpus/net_file
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "neural/net_file.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  vemo::TNeuroNet net;
  vemo::AddLayer(net, 2, 0);
  if (!vemo::ParseNetFile(text, net)) {
    Check(net.Layers.empty());
    return 0;
  }
  for (size_t i = 0; i < net.Layers.size(); ++i) {
    const vemo::TNeuroLayer& l = net.Layers[i];
    Check(l.NeuronCount >= 1 && l.NeuronCount <= vemo::kMaxNeurons && l.Function < 5);
    Check(l.Weights.size() == (size_t{net.LayerInputs(i)} + 1) * l.NeuronCount);
  }
  // Written out, the network reads back to the same text.
  const std::string written = vemo::NetFileText(net);
  vemo::TNeuroNet back;
  Check(vemo::ParseNetFile(written, back));
  Check(vemo::NetFileText(back) == written);
  // Small networks run once on inputs taken from the data.
  if (net.WeightTotal() < 100000) {
    vemo::StartRun(net);
    for (size_t k = 0; k < 3; ++k) net.InputValues[k] = size > k ? data[k] - 128.0 : 0.0;
    double y = 0.0;
    vemo::Forward(net, &y);
    vemo::EndRun(net);
  }
  return 0;
}
