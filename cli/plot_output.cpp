#include "plot_output.h"

#include <dlfcn.h>
#include <unistd.h>

#include <charconv>
#include <iostream>
#include <vector>

#include "shell/numtext.h"

namespace vemo::cli {

namespace {

bool ParseDimension(const std::string& s, int& out) {
  int v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || v < 16 || v > 8192) return false;
  out = v;
  return true;
}

// The directory of the running program, with its final "/"; empty when the
// system does not say.
std::string ProgramDirectory() {
  std::vector<char> buf(4096);
  const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
  if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return {};
  std::string path(buf.data(), static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

const TPlotOutputs* LoadPlotLibrary() {
  // Only the library beside the program: it is part of it.
  const std::string path = ProgramDirectory() + kPlotLibraryName;
  void* lib = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  const char* why = lib ? nullptr : ::dlerror();
  const TPlotOutputs* table = nullptr;
  if (lib) {
    // The library stays loaded until the program ends (Qt keeps state of
    // its own that must outlive the pictures).
    if (auto entry = reinterpret_cast<TPlotEntry>(::dlsym(lib, kPlotEntryName))) table = entry();
    if (!table || table->Size < sizeof(TPlotOutputs)) {
      table = nullptr;
      why = "not the plot library of this program";
    }
  }
  if (!table) std::cerr << "vemo-cli: --plot: " << path << ": " << (why ? why : "") << "\n";
  return table;
}

}  // namespace

bool PlaneOption(const TArgs& a, TPlaneRect& rect, bool& has) {
  has = a.Has("--plane");
  if (!has) return true;
  const std::string& text = a.Options.at("--plane");
  double v[4] = {0, 0, 0, 0};
  size_t from = 0;
  for (int i = 0; i < 4; ++i) {
    const size_t comma = i < 3 ? text.find(',', from) : text.size();
    if (comma == std::string::npos || !ParseNumber(text.substr(from, comma - from), v[i])) {
      UsageError("--plane: REMIN,REMAX,IMMIN,IMMAX (" + text + ")");
      return false;
    }
    from = comma + 1;
  }
  if (!(v[1] > v[0]) || !(v[3] > v[2])) {
    UsageError(std::string("--plane: ") + kBadParameter + " (" + text + ")");
    return false;
  }
  rect = {v[0], v[2], v[1], v[3]};
  return true;
}

bool PlotOptions(const TArgs& a, int& width, int& height) {
  if (a.Has("--plot") && !PlotsAvailable()) {
    UsageError("--plot: built without Qt");
    return false;
  }
  width = kDefaultPlotWidth;
  height = kDefaultPlotHeight;
  if (!a.Has("--size")) return true;
  const std::string s = a.Options.at("--size");
  const size_t x = s.find_first_of("xX");
  if (x == std::string::npos || !ParseDimension(s.substr(0, x), width) ||
      !ParseDimension(s.substr(x + 1), height)) {
    UsageError("--size: WIDTHxHEIGHT, each 16..8192 (" + s + ")");
    return false;
  }
  return true;
}

bool PlotsAvailable() {
#ifdef VEMO_CLI_PLOT
  return true;
#else
  return false;
#endif
}

const TPlotOutputs* PlotOutputs() {
  if (!PlotsAvailable()) return nullptr;
  static const TPlotOutputs* table = LoadPlotLibrary();
  return table;
}

}  // namespace vemo::cli
