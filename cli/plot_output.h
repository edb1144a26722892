// --plot OUT.png [--size WxH] and print: pictures and pages written without
// a display.
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
#include "frequency/hodograph.h"
#include "frequency/zero_pole.h"

namespace vemo {
class TTransientRun;
class TPhaseRun;
struct TField;
struct TDescribingCurve;
struct TPopovVerdict;
struct TFuzzyModel;
}

namespace vemo::cli {

inline constexpr int kDefaultPlotWidth = 800, kDefaultPlotHeight = 560;

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
  // The scheme on a one-page PDF file, placed as the print dialog places it.
  bool (*WriteSchemePdf)(const TField& field, const TSchemePrint& job,
                         const std::string& path) = nullptr;
  // Both Bode plots as the window first shows them: autoscaled, L above
  // phi, lg w from lgwMin to lgwMax (a fault of the evaluation is error 18).
  bool (*WriteBode)(const TZeroPoleForm& form, Real delay, double lgwMin, double lgwMax,
                    const std::string& path, int width, int height) = nullptr;
  // The plane of the hodograph window: the hodograph, the describing-
  // function curve (curve may be null), the Popov point -1/K with its line
  // (popov may be null; drawn when the sector fits), autoscaled over what
  // is shown or, when manual is given, that rectangle.
  bool (*WritePlane)(const TPointList& hodograph, const TDescribingCurve* curve,
                     const TPopovVerdict* popov, const TPlaneRect* manual, const std::string& path,
                     int width, int height) = nullptr;
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
// --plane REMIN,REMAX,IMMIN,IMMAX: the visible rectangle of the plane
// (has = false without the option); false after a usage message.
bool PlaneOption(const TArgs& a, TPlaneRect& rect, bool& has);
// Whether this build can draw pictures.
bool PlotsAvailable();
// The plot library's table, loaded on first use from the program's own
// directory; nullptr after a message when it cannot be loaded.
const TPlotOutputs* PlotOutputs();

}  // namespace vemo::cli
