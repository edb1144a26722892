// --plot OUT.png [--size WxH]: pictures written without a display.
//
// The drawing half lives in a library of its own (vemo-cli-plot.so, built
// beside the program) that links Qt; vemo-cli opens it only when a picture is
// asked for, so the commands that draw nothing never load Qt. The library
// hands back one table of functions; a new kind of picture is a new member
// of TPlotOutputs, its implementation in cli/plot/, and a call through
// PlotOutputs() in its command.
#pragma once
#include <cstdint>
#include <string>

#include "cli_common.h"

namespace vemo {
class TTransientRun;
class TPhaseRun;
struct TFuzzyModel;
}

namespace vemo::cli {

inline constexpr int kDefaultPlotWidth = 800, kDefaultPlotHeight = 560;

// The functions of the plot library. Each writes its picture as PNG
// (beside the target, renamed over it when complete) and returns false
// after printing why it could not.
struct TPlotOutputs {
  // sizeof(TPlotOutputs) of the library: a library older than the program
  // (fewer members) is refused.
  uint32_t Size = sizeof(TPlotOutputs);
  bool (*WriteTransient)(const TTransientRun& run, const std::string& path, int width,
                         int height) = nullptr;
  bool (*WritePhase)(const TPhaseRun& run, const std::string& path, int width,
                     int height) = nullptr;
  // The membership functions of variable var as the fuzzy editor draws them.
  bool (*WriteMembership)(const TFuzzyModel& m, size_t var, const std::string& path, int width,
                          int height) = nullptr;
};

// The library's one exported entry point returns its table.
inline constexpr const char* kPlotLibraryName = "vemo-cli-plot.so";
inline constexpr const char* kPlotEntryName = "VemoCliPlotOutputs";
using TPlotEntry = const TPlotOutputs* (*)();

// The picture size of --size WxH (16..8192 each), the default size without
// it; false after a usage message, also when --plot is given to a build
// that cannot draw.
bool PlotOptions(const TArgs& a, int& width, int& height);
// Whether this build can draw pictures.
bool PlotsAvailable();
// The plot library's table, loaded on first use from the program's own
// directory; nullptr after a message when it cannot be loaded.
const TPlotOutputs* PlotOutputs();

}  // namespace vemo::cli
