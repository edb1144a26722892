// --plot OUT.png [--size WxH]: the pictures of the time-domain windows
// written without a display (when the program is built with Qt).
#pragma once
#include <string>

#include "cli_common.h"

namespace vemo {
class TTransientRun;
class TPhaseRun;
struct TFuzzyModel;
}

namespace vemo::cli {

inline constexpr int kDefaultPlotWidth = 800, kDefaultPlotHeight = 560;

// The picture size of --size WxH (16..8192 each), the default size without
// it; false after a usage message, also when --plot is given to a build
// that cannot draw.
bool PlotOptions(const TArgs& a, int& width, int& height);
// Whether this build can draw pictures.
bool PlotsAvailable();
// Write the picture of a finished run as PNG; false after a message.
bool WriteTransientPlot(const TTransientRun& run, const std::string& path, int width,
                        int height);
bool WritePhasePlot(const TPhaseRun& run, const std::string& path, int width, int height);
// The membership functions of variable var as the fuzzy editor draws them.
bool WriteMembershipPlot(const TFuzzyModel& m, size_t var, const std::string& path, int width,
                         int height);

}  // namespace vemo::cli
