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
// Width in w down to which a crossing is refined.
constexpr Real kCrossingWidth = 1e-10L;

void Widen(double& lo, double& hi, double v) {
  if (v < lo) lo = v;
  if (v > hi) hi = v;
}

// theta of a point of the plane, reduced to (-2 pi, 0].
double Angle(double x, double y) {
  double theta = std::atan2(y, x);
  if (theta > 0.0) theta -= 2.0 * kPi;
  return theta;
}

// The point of the plane for amplitude a and phase phi at w, with the
// transformations of the options.
void PlanePoint(const THodographOptions& options, double a, double phi, double w, double& x, double& y) {
  x = a * std::cos(phi);
  y = a * std::sin(phi);
  if (options.Pulse) {
    const double s = std::sin(w * options.PulseT), c = 1.0 - std::cos(w * options.PulseT);
    const double nx = (x * s + y * c) / w * options.PulseGain;
    const double ny = (y * s - x * c) / w * options.PulseGain;
    x = nx;
    y = ny;
  }
  if (options.Popov) y *= w;
}

// The curve's exact points: the frequency response itself rather than the
// interpolation between grid values that the stored points follow.
class TExactCurve {
 public:
  TExactCurve(const TZeroPoleForm& form, Real delay, const THodographOptions& options)
      : Form_(form), Delay_(delay), Options_(options) {}

  // False when the evaluation is not finite.
  bool At(Real w, double& x, double& y) const {
    Real amp = 0, phase = 0;
    FrequencyResponse(Form_, false, amp, phase, w, Delay_);
    PlanePoint(Options_, static_cast<double>(amp), static_cast<double>(phase), static_cast<double>(w), x, y);
    return std::isfinite(x) && std::isfinite(y);
  }

  // The frequency in [lo, hi] (lg w values) where side(x, y) changes, by
  // bisection on w down to kCrossingWidth; false when side is the same at
  // both ends. The point there is returned in (x, y).
  template <class Side>
  bool Refine(double lgwLo, double lgwHi, Side side, Real& w, double& x, double& y) const {
    Real lo = Pow10(static_cast<Real>(lgwLo)), hi = Pow10(static_cast<Real>(lgwHi));
    double xl, yl, xh, yh;
    if (!At(lo, xl, yl) || !At(hi, xh, yh)) return false;
    const bool atLo = side(xl, yl);
    if (atLo == side(xh, yh)) return false;
    for (int i = 0; i < 200 && hi - lo > kCrossingWidth; ++i) {
      const Real mid = (lo + hi) / 2;
      if (mid <= lo || mid >= hi) break;
      double xm, ym;
      if (!At(mid, xm, ym)) return false;
      (side(xm, ym) == atLo ? lo : hi) = mid;
    }
    w = (lo + hi) / 2;
    return At(w, x, y);
  }

 private:
  const TZeroPoleForm& Form_;
  Real Delay_;
  const THodographOptions& Options_;
};

// Watches one point after another for the phase-margin candidates (|W|
// falls through 1) and the crossings of the negative real axis, and
// refines each on the exact curve between the two points that bracket it,
// or else within the grid step around them.
struct TTracker {
  bool HavePrev = false;
  double PrevX = 0.0, PrevY = 0.0, PrevLgw = 0.0;

  void Add(THodograph& h, const TExactCurve& curve, double x, double y, double lgw, double gridLo, double gridHi) {
    if (HavePrev) {
      const double rho = std::hypot(x, y), prevRho = std::hypot(PrevX, PrevY);
      Real at = 0;
      double ex = 0, ey = 0;
      if (prevRho > 1.0 && rho <= 1.0) {
        double theta = Angle(x, y);
        Real w = Pow10(static_cast<Real>(lgw));
        if (Refine(curve, lgw, gridLo, gridHi, [](double px, double py) { return std::hypot(px, py) <= 1.0; }, at,
                   ex, ey)) {
          theta = Angle(ex, ey);
          w = at;
        }
        if (theta + kPi < h.PhaseMargin) {
          h.PhaseMargin = theta + kPi;
          h.GainCrossover = static_cast<double>(w);
        }
      }
      // theta of the points passes -pi: the curve crosses the real axis.
      // It is the negative real axis when the segment meets the axis left
      // of the origin (the wrap of theta from 0 to -2 pi is the positive
      // one, no crossing of interest).
      if ((PrevY > 0.0) != (y > 0.0) && PrevX + (x - PrevX) * PrevY / (PrevY - y) < 0.0) {
        double magnitude = rho;
        Real w = Pow10(static_cast<Real>(lgw));
        if (Refine(curve, lgw, gridLo, gridHi, [](double, double py) { return py > 0.0; }, at, ex, ey) &&
            ex < 0.0) {
          magnitude = std::hypot(ex, ey);
          w = at;
        }
        if (magnitude > h.CrossingMagnitude) {
          h.CrossingMagnitude = magnitude;
          h.PhaseCrossover = static_cast<double>(w);
        }
      }
    }
    HavePrev = true;
    PrevX = x;
    PrevY = y;
    PrevLgw = lgw;
  }

  // A crossing on the exact curve between this point and the previous one,
  // or else within the grid step around them.
  template <class Side>
  bool Refine(const TExactCurve& curve, double lgw, double gridLo, double gridHi, Side side, Real& w, double& x,
              double& y) const {
    return curve.Refine(PrevLgw, lgw, side, w, x, y) || curve.Refine(gridLo, gridHi, side, w, x, y);
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
  const TExactCurve curve(form, delay, options);
  std::feclearexcept(kFaults);
  double gridLo = lgwMin, gridHi = lgwMin;
  auto emit = [&](double a, double phi, double lgw) -> bool {
    const double w = std::pow(10.0, lgw);
    double x = 0, y = 0;
    PlanePoint(options, a, phi, w, x, y);
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    tracker.Add(out, curve, x, y, lgw, gridLo, gridHi);
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
    gridLo = prevX;
    gridHi = lgw;
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
    v.GainCrossover = h.GainCrossover;
  }
  if (h.CrossingMagnitude > 0.0 && h.CrossingMagnitude < 1.0) {
    v.HasGainMargin = true;
    v.GainMarginDb = -20.0 * std::log10(h.CrossingMagnitude);
    v.PhaseCrossover = h.PhaseCrossover;
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

std::string CrossoverText(const TClosedLoopVerdict& v) {
  auto line = [](const char* label, bool has, double w) {
    return std::string(label) + (has ? " " + FormatNumber(w) + " rad/с" : std::string(" -")) + "\n";
  };
  return line("Частота среза:", v.HasPhaseMargin, v.GainCrossover) +
         line("Частота при фазе -180°:", v.HasGainMargin, v.PhaseCrossover);
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
