#include "frequency/hodograph.h"

#include <cfenv>
#include <cmath>

#include "frequency/numeric.h"
#include "shell/numtext.h"

namespace vemo {

namespace {

constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
constexpr double kPi = 3.14159265358979323846;
// Most parts one grid step is cut into (a hundred turns of phase).
constexpr double kMaxParts = 36000.0;

void Widen(double& lo, double& hi, double v) {
  if (v < lo) lo = v;
  if (v > hi) hi = v;
}

// Tracks one point after another: the phase-margin candidates and the
// crossings of the negative real axis.
struct TTracker {
  bool HavePrev = false;
  double PrevRho = 0.0, PrevTheta = 0.0;

  void Add(THodograph& h, double x, double y) {
    double theta = std::atan2(y, x);
    if (theta > 0.0) theta -= 2.0 * kPi;  // (-2 pi, 0]
    const double rho = std::hypot(x, y);
    if (HavePrev) {
      if (PrevRho > 1.0 && rho <= 1.0 && theta + kPi < h.PhaseMargin) h.PhaseMargin = theta + kPi;
      // theta passes -pi in either direction: the curve crosses the
      // negative real axis (the wrap at 0 / -2 pi is the positive one).
      if ((PrevTheta < -kPi) != (theta < -kPi) && rho > h.CrossingMagnitude) h.CrossingMagnitude = rho;
    }
    HavePrev = true;
    PrevRho = rho;
    PrevTheta = theta;
  }
};

}  // namespace

bool TPointList::Append(float re, float im, float third) {
  if (Full()) return false;
  Data.push_back(re);
  Data.push_back(im);
  Data.push_back(third);
  return true;
}

bool BuildHodograph(const TZeroPoleForm& form, Real delay, double lgwMin, double lgwMax,
                    const THodographOptions& options, THodograph& out) {
  out = THodograph{};
  TTracker tracker;
  std::feclearexcept(kFaults);
  auto emit = [&](double a, double phi, double lgw) -> bool {
    const double w = std::pow(10.0, lgw);
    double x = a * std::cos(phi), y = a * std::sin(phi);
    if (options.Pulse) {
      const double s = std::sin(w * options.PulseT), c = 1.0 - std::cos(w * options.PulseT);
      const double nx = (x * s + y * c) / w * options.PulseGain;
      const double ny = (y * s - x * c) / w * options.PulseGain;
      x = nx;
      y = ny;
    }
    if (options.Popov) y *= w;
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    tracker.Add(out, x, y);
    out.Points.Append(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w));
    return true;
  };
  const double dx = (lgwMax - lgwMin) / kHodographSteps;
  double prevA = 0, prevPhi = 0, prevX = lgwMin;
  for (int i = 0; i <= kHodographSteps; ++i) {
    const double lgw = i == kHodographSteps ? lgwMax : lgwMin + i * dx;
    Real amp = 0, phase = 0;
    FrequencyResponse(form, false, amp, phase, Pow10(static_cast<Real>(lgw)), delay);
    if (std::fetestexcept(kFaults) || !std::isfinite(amp) || !std::isfinite(phase)) return false;
    const double a = static_cast<double>(amp), phi = static_cast<double>(phase);
    if (i == 0) {
      if (!emit(a, phi, lgw)) return false;
    } else {
      const double parts = std::nearbyint(std::fabs(phi - prevPhi) * 180.0 / kPi + 1.0);  // halves to even
      const int n = static_cast<int>(parts < 1.0 ? 1.0 : (parts > kMaxParts ? kMaxParts : parts));
      for (int k = 1; k <= n; ++k) {
        const double t = static_cast<double>(k) / n;
        if (!emit(prevA + (a - prevA) * t, prevPhi + (phi - prevPhi) * t, prevX + (lgw - prevX) * t))
          return false;
      }
    }
    prevA = a;
    prevPhi = phi;
    prevX = lgw;
  }
  return !std::fetestexcept(kFaults);
}

bool CrossesLineLeftOf(const TPointList& points, double level, double limit) {
  for (size_t i = 1; i < points.Count(); ++i) {
    const double y0 = points.Im(i - 1), y1 = points.Im(i);
    if ((y0 < level) == (y1 < level)) continue;
    const double x0 = points.Re(i - 1), x1 = points.Re(i);
    const double x = std::fabs(y1 - y0) <= 0.001 ? x0 : x0 + (x1 - x0) * (level - y0) / (y1 - y0);
    if (x < limit) return true;
  }
  return false;
}

TClosedLoopVerdict AnalyseClosedLoop(const THodograph& h) {
  TClosedLoopVerdict v;
  v.Stable = !CrossesLineLeftOf(h.Points, 0.0, -1.0) && h.CrossingMagnitude < 1.0;
  if (h.PhaseMargin < kNoPhaseMargin) {
    v.HasPhaseMargin = true;
    v.PhaseMarginDeg = std::fabs(h.PhaseMargin) * 180.0 / kPi;
  }
  if (h.CrossingMagnitude > 0.0 && h.CrossingMagnitude < 1.0) {
    v.HasGainMargin = true;
    v.GainMarginDb = -20.0 * std::log10(h.CrossingMagnitude);
  }
  return v;
}

std::string ClosedLoopText(const TClosedLoopVerdict& v) {
  std::string t = v.Stable ? kStableText : kUnstableText;
  t += "\n";
  t += kPhaseMarginLabel;
  t += v.HasPhaseMargin ? " " + FormatNumber(v.PhaseMarginDeg) + "°" : std::string(" -");
  t += "\n";
  t += kGainMarginLabel;
  t += v.HasGainMargin ? " " + FormatNumber(v.GainMarginDb) + " дБ" : std::string(" -");
  t += "\n";
  return t;
}

TPlaneRect HodographAutoscale(int type, const TPointList* hodograph, const TPointList* describing,
                              bool pulseFrequencyTable, const TPlaneRect& manual, double popovK) {
  TPlaneRect r;
  if (type == kAutoscaleManual) {
    r = manual;
    if (r.ReMax - r.ReMin < 0.0001) r.ReMin = r.ReMax - 0.0001;
    if (r.ImMax - r.ImMin < 0.0001) r.ImMin = r.ImMax - 0.0001;
    return r;
  }
  r.ReMin = -1.0;
  r.ReMax = 0.01;
  r.ImMin = -0.001;
  r.ImMax = 0.001;
  if (type == kAutoscaleDescribing || type == kAutoscaleBoth) {
    if (pulseFrequencyTable) {
      r.ReMin = -2.5;
      r.ImMin = -1.5;
    } else if (describing) {
      for (size_t i = 0; i < describing->Count(); ++i) {
        Widen(r.ReMin, r.ReMax, describing->Re(i));
        Widen(r.ImMin, r.ImMax, describing->Im(i));
      }
    }
  }
  if ((type == kAutoscaleHodograph || type == kAutoscaleBoth) && hodograph) {
    for (size_t i = 0; i < hodograph->Count(); ++i) {
      Widen(r.ReMin, r.ReMax, hodograph->Re(i));
      Widen(r.ImMin, r.ImMax, hodograph->Im(i));
    }
  }
  if (popovK > 0.0 && -1.0 / popovK < r.ReMin) r.ReMin = -1.0 / popovK;
  return r;
}

std::string PointListText(const TPointList& points) {
  std::string text;
  text.reserve(points.Count() * 72);
  for (size_t i = 0; i < points.Count(); ++i) {
    text += FormatReal23(points.Third(i));
    text += ' ';
    text += FormatReal23(points.Im(i));
    text += ' ';
    text += FormatReal23(points.Re(i));
    text += '\n';
  }
  return text;
}

}  // namespace vemo
