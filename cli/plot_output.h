// --plot OUT.png [--size WxH]: the pictures of the time-domain windows
// written without a display (when the program is built with Qt).
#pragma once
#include <string>

#include "cli_common.h"

namespace vemo {
class TTransientRun;
class TPhaseRun;
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

// What `print` puts on its page: the scheme's cells as an editor opening the
// project shows them (mode 0: the top left 20 x 14 cells and the partly
// visible column and row beyond) or all occupied cells (mode 1).
inline constexpr int kPrintViewCols = 20, kPrintViewRows = 14;
struct TSchemePrint {
  int Mode = 1;
  bool Monochrome = false;
  bool Landscape = false;
  std::string Title;
};
// Writes the one-page PDF; false after a message.
bool WriteSchemePdf(const TField& field, const TSchemePrint& job, const std::string& path);

}  // namespace vemo::cli
