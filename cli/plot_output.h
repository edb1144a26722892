// --plot OUT.png [--size WxH]: the pictures of the time-domain windows
// written without a display (when the program is built with Qt).
#pragma once
#include <string>

#include "cli_common.h"
#include "frequency/hodograph.h"
#include "frequency/zero_pole.h"

namespace vemo {
class TTransientRun;
class TPhaseRun;
struct TDescribingCurve;
struct TPopovVerdict;
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
// Both Bode plots as the window first shows them: autoscaled, L above phi,
// lg w from lgwMin to lgwMax. False after a message (also on a fault of
// the evaluation).
bool WriteBodePlot(const TZeroPoleForm& form, Real delay, double lgwMin, double lgwMax,
                   const std::string& path, int width, int height);
// The plane of the hodograph window, autoscaled over what it shows: the
// hodograph, the describing-function curve (curve may be null) and the
// Popov point -1/K with its line (verdict may be null; the point is drawn
// when the sector fits).
// manual, when given, is the visible rectangle instead of the autoscale.
bool WritePlanePlot(const TPointList& hodograph, const TDescribingCurve* curve,
                    const TPopovVerdict* popov, const TPlaneRect* manual, const std::string& path,
                    int width, int height);
// --plane REMIN,REMAX,IMMIN,IMMAX: the visible rectangle of the plane
// (has = false without the option); false after a usage message.
bool PlaneOption(const TArgs& a, TPlaneRect& rect, bool& has);

}  // namespace vemo::cli
