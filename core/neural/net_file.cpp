#include "neural/net_file.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <vector>

#include "shell/file_read.h"
#include "shell/file_replace.h"
#include "shell/numtext.h"

namespace vemo {

std::string NetFileText(const TNeuroNet& net) {
  std::string t;
  t.reserve(96 + net.WeightTotal() * 29);
  t += kNetFileHeader;
  t += "\r\nLayer Count:" + std::to_string(net.Layers.size()) + "\r\nLayers:\r\n";
  for (size_t i = 0; i < net.Layers.size(); ++i) {
    const TNeuroLayer& l = net.Layers[i];
    t += "Layer " + std::to_string(i) + "\r\n";
    t += "  Function:" + std::to_string(l.Function) + "\r\n";
    t += "  Neuron Count:" + std::to_string(l.NeuronCount) + "\r\n";
    t += "  Weights:\r\n";
    for (double w : l.Weights) {
      t += "    ";
      t += FormatReal23(w);
      t += "\r\n";
    }
  }
  return t;
}

namespace {

// The lines of a text, each without its CR LF (or LF) end.
class TLines {
 public:
  explicit TLines(std::string_view text) : text_(text) {
    for (char ch : text) total_ += ch == '\n';
    ++total_;
  }
  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    const size_t stop = end == std::string_view::npos ? text_.size() : end;
    line = text_.substr(pos_, stop - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end == std::string_view::npos ? text_.size() : end + 1;
    ++read_;
    return true;
  }
  // Lines not yet read (an upper bound).
  size_t Left() const { return total_ - read_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  size_t total_ = 0, read_ = 0;
};

// A line that is `label` followed by a non-negative decimal integer
// (blanks allowed around it).
bool LabelledCount(TLines& lines, std::string_view label, uint64_t& value) {
  std::string_view line;
  if (!lines.Next(line) || line.substr(0, label.size()) != label) return false;
  std::string_view rest = line.substr(label.size());
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  while (!rest.empty() && rest.back() == ' ') rest.remove_suffix(1);
  if (rest.empty()) return false;
  const auto r = std::from_chars(rest.data(), rest.data() + rest.size(), value);
  return r.ec == std::errc() && r.ptr == rest.data() + rest.size();
}

bool ParseLayers(TLines& lines, TNeuroNet& net) {
  std::string_view line;
  if (!lines.Next(line) || line != kNetFileHeader) return false;
  uint64_t layers = 0;
  if (!LabelledCount(lines, "Layer Count:", layers)) return false;
  if (!lines.Next(line) || line != "Layers:") return false;
  // Every layer takes at least six lines (four labels, a neuron, a weight).
  if (layers > lines.Left() / 6 + 1) return false;
  for (uint64_t i = 0; i < layers; ++i) {
    if (!lines.Next(line)) return false;  // the layer's heading, not checked
    uint64_t function = 0, neurons = 0;
    if (!LabelledCount(lines, "  Function:", function) || function >= kFunctionCount) return false;
    if (!LabelledCount(lines, "  Neuron Count:", neurons) || neurons < 1 || neurons > kMaxNeurons)
      return false;
    if (!lines.Next(line)) return false;  // "  Weights:", not checked
    const uint64_t weights = (uint64_t{net.LayerInputs(net.Layers.size())} + 1) * neurons;
    if (weights > lines.Left()) return false;
    AddLayer(net, static_cast<uint32_t>(neurons), static_cast<uint8_t>(function));
    for (double& w : net.Layers.back().Weights) {
      if (!lines.Next(line) || line.substr(0, 4) != "    ") return false;
      if (!ParseNumber(line.substr(4), w)) return false;
    }
  }
  return true;
}

}  // namespace

bool ParseNetFile(std::string_view text, TNeuroNet& net) {
  ClearNet(net);
  TLines lines(text);
  if (ParseLayers(lines, net)) return true;
  ClearNet(net);
  return false;
}

bool SaveNetFile(const TNeuroNet& net, const std::string& path) {
  const std::string text = NetFileText(net);
  return ReplaceFileContents(path, text.data(), text.size());
}

bool LoadNetFile(TNeuroNet& net, const std::string& path) {
  ClearNet(net);
  std::string text;
  if (ReadRegularFile(path, kMaxDataFileBytes, text) != TFileRead::Ok) return false;
  return ParseNetFile(text, net);
}

}  // namespace vemo
