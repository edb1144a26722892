// The hodograph (Nyquist plot) of the linear part of a contour: its points,
// the phase margin and negative-real-axis bookkeeping made while it is
// traced, the closed-loop verdict with its margins, the visible rectangle
// of the plane and the text file of the curve.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "frequency/zero_pole.h"

namespace vemo {

// Equal lg w steps of the hodograph grid.
inline constexpr int kHodographSteps = 1240;
// Capacity of one point list in floats (32768 bytes).
inline constexpr size_t kPointListFloats = 8192;
// Phase margin value meaning "none found".
inline constexpr double kNoPhaseMargin = 1e8;

inline constexpr const char* kStableText = "Устойчива";
inline constexpr const char* kUnstableText = "Неустойчива!";
inline constexpr const char* kPhaseMarginLabel = "Запас по фазе:";
inline constexpr const char* kGainMarginLabel = "Запас по амплитуде:";
inline constexpr const char* kNoHodographText = "Без годографа линейной части сложно судить о системе.";

// A curve of the plane as single-precision triples: (Re, Im, w) for the
// hodograph, (Re, Im, A) for the describing-function curve. Appending to a
// full list drops the point.
class TPointList {
 public:
  bool Append(float re, float im, float third);
  size_t Count() const { return Data.size() / 3; }
  float Re(size_t i) const { return Data[3 * i]; }
  float Im(size_t i) const { return Data[3 * i + 1]; }
  float Third(size_t i) const { return Data[3 * i + 2]; }
  bool Full() const { return Data.size() + 3 > kPointListFloats; }
  void Clear() { Data.clear(); }

 private:
  std::vector<float> Data;
};

// How the points of the linear part are transformed before they are stored.
struct THodographOptions {
  // Popov's modified hodograph: Im is multiplied by w.
  bool Popov = false;
  // A pulse element in the loop: the point (X, Y) becomes
  // ((X sin wT + Y (1 - cos wT)) / w, (Y sin wT - X (1 - cos wT)) / w) * gain.
  bool Pulse = false;
  double PulseT = 0.1;
  double PulseGain = 1.0;
};

struct THodograph {
  TPointList Points;
  // Smallest theta + pi where |W| falls to 1 or below (radians);
  // kNoPhaseMargin or more when |W| never falls through 1.
  double PhaseMargin = kNoPhaseMargin;
  // Largest |W| where the curve crosses the negative real axis (0: none).
  double CrossingMagnitude = 0.0;
  // The frequencies (rad/s) of the crossing that gave PhaseMargin (the gain
  // crossover) and of the one that gave CrossingMagnitude (the phase
  // crossover); 0 when there is none.
  double GainCrossover = 0.0;
  double PhaseCrossover = 0.0;
};

// Traces W(jw) of the form (with the pure delay) for lg w from lgwMin to
// lgwMax: 1240 equal grid steps, each subdivided into
// round(|dphi| 180/pi + 1) parts with amplitude, phase and lg w
// interpolated linearly. False on a floating-point fault of the evaluation
// or a value that is not finite (the caller reports ErrorCode 18).
//
// The stored points follow that interpolation; the margins do not. Each
// crossing of the unit circle and of the negative real axis that the
// points show is found again on the exact response between the two points
// that bracket it (or within their grid step), by bisection on w down to
// 1e-10, and the margins and crossover frequencies are read there.
bool BuildHodograph(const TZeroPoleForm& form, Real delay, double lgwMin, double lgwMax,
                    const THodographOptions& options, THodograph& out);

// True when some pair of successive points lies on both sides of the line
// Im = level and crosses it at an abscissa below limit (interpolated
// linearly; the first point's Re when |dIm| <= 0.001).
bool CrossesLineLeftOf(const TPointList& points, double level, double limit);

// The closed-loop verdict of the "about the system" report.
struct TClosedLoopVerdict {
  bool Stable = false;
  bool HasPhaseMargin = false;
  double PhaseMarginDeg = 0.0;  // |margin| in degrees
  bool HasGainMargin = false;
  double GainMarginDb = 0.0;  // -20 lg of the crossing magnitude
  double GainCrossover = 0.0;   // rad/s, with the phase margin
  double PhaseCrossover = 0.0;  // rad/s, with the gain margin
};

// Stable when the hodograph does not cross the real axis left of -1 and
// the largest negative-axis crossing magnitude is below 1; the gain margin
// exists for a crossing magnitude in (0, 1).
TClosedLoopVerdict AnalyseClosedLoop(const THodograph& h);

// The report lines: the verdict, "Запас по фазе: " + degrees + "°" (or
// "-"), "Запас по амплитуде: " + dB + " дБ" (or "-"), each ended by "\n".
std::string ClosedLoopText(const TClosedLoopVerdict& v);

// The crossover frequencies, for the batch program's report after the
// window's text: "Частота среза: " + w + " rad/с" (where |W| = 1) and
// "Частота при фазе -180°: " + w + " rad/с" (where the gain margin is
// read), each "-" when the margin is "-", each ended by "\n".
std::string CrossoverText(const TClosedLoopVerdict& v);

// The visible rectangle of the plane.
struct TPlaneRect {
  double ReMin = -2.0, ImMin = -2.0, ReMax = 1.0, ImMax = 2.0;
};

// Autoscale types.
enum : int {
  kAutoscaleHodograph = 0,
  kAutoscaleDescribing = 1,
  kAutoscaleBoth = 2,
  kAutoscaleManual = 3,
};

// The autoscale rule: Re [-1, 0.01], Im [-0.001, 0.001] widened over the
// describing-function points (types 1, 2; the pulse-frequency table sets
// Re min -2.5 and Im min -1.5 instead) and the hodograph points (types 0,
// 2). Type 3 takes the manual rectangle; a side narrower than 0.0001 keeps
// its maximum. Otherwise, with popovK > 0, Re min is lowered to -1/popovK.
// Either list may be null.
TPlaneRect HodographAutoscale(int type, const TPointList* hodograph, const TPointList* describing,
                              bool pulseFrequencyTable, const TPlaneRect& manual, double popovK = 0.0);

// The saved curve: one line per point, third value, Im, Re in the
// 23-character real format separated by one blank, lines ended by "\n".
std::string PointListText(const TPointList& points);

}  // namespace vemo
