// Bode plots of a contour: the logarithmic amplitude L(w) in dB and the
// phase phi(w) against lg w, their autoscale, the range sliders and the
// text file of one curve.
#pragma once
#include <string>

#include "frequency/zero_pole.h"

namespace vemo {

// Default lg w range of the plots.
inline constexpr double kDefaultLgwMin = -3.0;
inline constexpr double kDefaultLgwMax = 3.0;
// Lines of a saved curve.
inline constexpr int kBodeTextLines = 200;

// L (dB) and phi (radians) at w = 10^lgw, with the pure delay of the contour.
// False when the evaluation raised a floating-point fault (a gain K <= 0
// has no logarithm, overflow) or gave a value that is not finite.
bool BodeResponse(const TZeroPoleForm& form, Real delay, double lgw, Real& l, Real& phi);

// The vertical ranges of the two plots (phi in radians) and their autoscale.
struct TBodeRanges {
  bool LAutoscale = true;
  bool PhiAutoscale = true;
  double LMin = -60.0, LMax = 60.0;
  double PhiMin = -3.14159265358979323846, PhiMax = 3.14159265358979323846;
};

// The autoscale rule: autoscaled L starts at 0..0, autoscaled phi at
// -pi..-pi; both widen over lg w from lgwMin while below lgwMax in steps of
// 0.01; then any range narrower than 0.01 is widened by 0.01 on each side.
// False on a floating-point fault of the evaluation (the ranges are then
// not to be used).
bool BodeAutoscale(const TZeroPoleForm& form, Real delay, double lgwMin, double lgwMax, TBodeRanges& r);

// The horizontal slider spans lg w from -8 to 8 over positions 0..1000:
// position = (lg w + 8) 1000 / 16 rounded to the nearest integer (halves
// to even), clamped to 0..1000; and back, lg w = p 16 / 1000 - 8.
int LgwToSlider(double lgw);
double SliderToLgw(int position);
// The lg w range of the settings as a window takes it: kept when the
// sliders can show it (-8 <= min < max <= 8), else the default -3..3.
void UsableLgwRange(double& lgwMin, double& lgwMax);
// A vertical slider's positions q1, q2 give the visible window of a plot:
// top = max - (max - min) q1 / 1000, bottom = max - (max - min) q2 / 1000.
void SliderWindow(double min, double max, int q1, int q2, double& top, double& bottom);

// Pixel mapping of a plot: the column of lg w in [left, right], and the row
// of a value v of the visible window [bottom, top] leaving 16 pixels above
// and below in the pixel rows topPx..bottomPx.
int BodePlotX(double lgw, double lgwMin, double lgwMax, int left, int right);
int BodePlotY(double v, double top, double bottom, int topPx, int bottomPx);

// Grid step of the L plot for a visible range: NiceStep, with a step
// between 5 and 30 dB made 20 dB. The phi plot's grid step in radians for a
// range in radians (computed on degrees).
double BodeLGridStep(double range);
double BodePhiGridStep(double range);

// The text of a saved curve: 200 lines, line i for x = lgwMin + i (lgwMax -
// lgwMin) 0.005, holding x, a blank and L in dB (or phi in degrees when
// phase is set), each in the 23-character real format, lines ended by "\n".
// False on a floating-point fault of the evaluation.
bool BodeCurveText(const TZeroPoleForm& form, Real delay, double lgwMin, double lgwMax, bool phase,
                   std::string& text);

}  // namespace vemo
