#include "frequency/describing.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <numbers>

#include "blocks/cell_object.h"
#include "frequency/pfm_table.h"
#include "shell/program.h"

namespace vemo {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
// Most steps of one turn of the numeric describing function.
constexpr double kMaxTurnSteps = 1e9;
// Most amplitudes of one curve (the point list holds fewer anyway).
constexpr int kMaxAmplitudes = 100000;

// N of the limit reached at input b with unit slope: (2a + sin 2a) / pi,
// a = arcsin(b / A); 1 below the limit.
double SaturationGain(double b, double a) {
  if (a <= b) return 1.0;
  const double al = std::asin(b / a);
  return (2.0 * al + std::sin(2.0 * al)) / kPi;
}

// N of the symmetric relay of level c that switches on when the rising
// input passes b2 and off when the falling input passes b1 (b1 <= b2,
// -b2 <= b1): the output is c for theta in [asin(b2/A), pi - asin(b1/A)]
// and the mirror image in the other half-turn, so the first harmonic is
//   N = 2c / (pi A) * (sqrt(1 - (b1/A)^2) + sqrt(1 - (b2/A)^2)
//                      - j (b2 - b1) / A).
// The ideal relay (b1 = b2 = 0), the hysteresis relay (b1 = -b, b2 = b) and
// the three-position relays are all of this form.
TComplexD RelayGain(double c, double b1, double b2, double a) {
  const double r1 = b1 / a, r2 = b2 / a;
  const double re = std::sqrt(std::max(0.0, 1.0 - r1 * r1)) + std::sqrt(std::max(0.0, 1.0 - r2 * r2));
  return 2.0 * c / (kPi * a) * TComplexD(re, r1 - r2);
}

}  // namespace

bool StandardDescribingFunction(const TChainClass& cls, double a, TComplexD& n) {
  const double* p = cls.Params;
  if (!(a > 0.0) || !std::isfinite(a)) return false;
  switch (cls.Code) {
    case 20:  // dead zone d
      if (a < p[0]) return false;
      n = 1.0 - SaturationGain(p[0], a);
      return true;
    case 21:  // limit at b
      if (a < p[0]) return false;
      n = SaturationGain(p[0], a);
      return true;
    case 22:  // dead zone d, then a limit reached at d + L
      // The characteristic is the unit-slope limit at d + L less the
      // unit-slope limit at d, and so is its first harmonic. Above d + L:
      //   N = (2A(a2 - a1) + 2(d + L) cos a2 - 2d cos a1) / (pi A).
      if (a < p[0]) return false;
      n = SaturationGain(p[0] + p[1], a) - SaturationGain(p[0], a);
      return true;
    case 23:  // ideal relay c
      n = RelayGain(p[0], 0.0, 0.0, a);
      return true;
    case 24:  // relay c with hysteresis half-width b
      if (a < p[1]) return false;
      n = RelayGain(p[0], -p[1], p[1], a);
      return true;
    case 25:  // three-position relay c, threshold b
      if (a < p[1] + 1e-5) return false;
      n = RelayGain(p[0], p[1], p[1], a);
      return true;
    case 26: {
      // Three-position relay of level c with upper threshold b and
      // hysteresis h: on at b, off again at b - h. With h > 2b the off
      // threshold lies beyond the other side's on threshold, and the
      // element is a two-position relay with hysteresis half-width h - b.
      const double c = p[0], h = p[1], b = p[2];
      if (h > 2.0 * b) {
        if (a < h - b) return false;
        n = RelayGain(c, b - h, h - b, a);
        return true;
      }
      if (a < b) return false;
      n = RelayGain(c, b - h, b, a);
      return true;
    }
    case 27: {  // quantiser of step h: a stack of three-position relays
      // of level h with thresholds (2i - 1) h / 2, i = 1..n:
      //   N = 2h / (pi A) * sum sqrt(1 - ((2i - 1) h / (2A))^2).
      const double h = p[0];
      if (!(h > 0.0) || a <= h / 2.0) return false;
      const double ratio = std::nearbyint(a / h);
      if (!(ratio >= 1.0) || ratio > 1e7) return false;
      const int count = static_cast<int>(ratio);
      double sum = 0.0;
      for (int i = 1; i <= count; ++i) {
        const double r = (2.0 * i - 1.0) * h / a;
        sum += std::sqrt(std::max(0.0, 4.0 - r * r));
      }
      n = 2.0 * h / (kPi * a) * sum;
      return true;
    }
    case 28: {
      // Backlash of half-width b with unit slope, A > b. In the periodic
      // state the output holds A - b from the top of the sine until the
      // input has fallen by 2b (theta = pi - beta, sin beta = 1 - 2b/A),
      // then follows the input as x + b down to -A + b; the other half-turn
      // is the mirror image. Integrating y sin and y cos over the half-turn
      // [pi/2, 3pi/2] and doubling gives S = A (pi/2 + beta + sin beta
      // cos beta) and C = -A cos^2 beta, so
      //   N = (pi/2 + beta + sin beta cos beta) / pi - j cos^2 beta / pi.
      const double b = p[0];
      if (a <= b) return false;
      const double beta = std::asin(std::clamp(1.0 - 2.0 * b / a, -1.0, 1.0));
      const double cb = std::cos(beta);
      n = TComplexD((kPi / 2.0 + beta + std::sin(beta) * cb) / kPi, -cb * cb / kPi);
      return true;
    }
    default:
      return false;
  }
}

TAmplitudeRange DescribingAmplitudeRange(const TChainClass& cls) {
  const double* p = cls.Params;
  TAmplitudeRange r;
  auto span = [&](double lo, double scale) {
    if (!(scale > 0.0) || !std::isfinite(scale)) return;
    r.Min = lo > 0.0 ? lo : kNumericAmplitudeMin * scale;
    r.Max = 1000.0 * std::max(scale, r.Min);
  };
  switch (cls.Code) {
    case kChainNumeric:
      r.Min = kNumericAmplitudeMin;
      r.Max = kNumericAmplitudeMax;
      break;
    case 20: span(p[0], p[0] > 0.0 ? p[0] : 1.0); break;
    case 21: span(p[0], p[0]); break;
    case 22: span(p[0] > 0.0 ? p[0] : p[1], p[0] + p[1]); break;
    case 23: span(0.0, p[0]); break;
    case 24: span(p[1], std::max(p[0], p[1])); break;
    case 25: span(p[1] + 1e-5, std::max(p[0], p[1])); break;
    case 26: span(p[1] > 2.0 * p[2] ? p[1] - p[2] : p[2], std::max({p[0], p[1], p[2]})); break;
    case 27: span(p[0] / 2.0, p[0]); break;
    case 28: span(p[0], p[0]); break;
    default: break;
  }
  if (!(r.Min > 0.0) || !std::isfinite(r.Max) || !(r.Max > r.Min)) r = TAmplitudeRange{};
  return r;
}

int DescribingProgressMax(const TAmplitudeRange& r) {
  if (!(r.Min > 0.0) || !(r.Max > r.Min)) return 0;
  const double v = std::nearbyint(std::log(r.Max / r.Min) / std::log(kAmplitudeFactor) * 0.1);
  return v > kMaxAmplitudes ? kMaxAmplitudes : static_cast<int>(v);
}

bool ChainFirstHarmonic(const std::vector<TBlock*>& chain, TBlock* entry, double a, double dTheta,
                        TComplexD& n, bool warmUp) {
  if (chain.empty() || !entry || !(dTheta > 0.0) || !(a > 0.0)) return false;
  const double turn = std::floor(2.0 * kPi / dTheta * (1.0 + 1e-12));
  if (!(turn >= 0.0) || turn > kMaxTurnSteps) return false;
  const long steps = static_cast<long>(turn);  // theta = i dTheta <= 2 pi for i <= steps
  std::feclearexcept(kFaults);
  Prog.Clock.TimeStep = dTheta;
  double time = 0.0, s = 0.0, c = 0.0;
  for (int pass = warmUp ? 0 : 1; pass < 2; ++pass) {
    // The warm-up turn stops short of 2 pi so that the measured turn goes
    // on with the next phase.
    const long last = pass == 0 ? steps - 1 : steps;
    for (long i = 0; i <= last; ++i) {
      const double theta = static_cast<double>(i) * dTheta;
      const double sn = std::sin(theta), cs = std::cos(theta);
      Prog.Clock.SimTime = time;
      entry->Output = a * sn;
      for (TBlock* b : chain) b->Step();
      const double y = chain.back()->Output;
      if (pass == 1) {
        s += y * sn * dTheta;
        c += y * cs * dTheta;
      }
      time += dTheta;
    }
  }
  if (std::fetestexcept(kFaults) || !std::isfinite(s) || !std::isfinite(c)) {
    std::feclearexcept(kFaults);
    return false;
  }
  n = TComplexD(s, c) / (kPi * a);
  return std::isfinite(n.real()) && std::isfinite(n.imag());
}

bool NumericDescribingFunction(TBlock* entry, TBlock* last, double a, double stepDegrees, TComplexD& n) {
  const std::vector<TBlock*> chain = NonlinearChain(entry, last);
  if (chain.empty()) return false;
  const TRunClock clock = Prog.Clock;
  const double saved = entry->Output;
  Prog.Clock.SimTime = 0.0;
  for (TBlock* b : chain) {
    b->Start();
    b->Output = 0.0;
  }
  entry->Output = 0.0;
  const bool ok = ChainFirstHarmonic(chain, entry, a, stepDegrees * kPi / 180.0, n);
  for (TBlock* b : chain) b->Stop();
  entry->Output = saved;
  Prog.Clock = clock;
  return ok;
}

bool NegativeInverse(TComplexD n, double smallest, TComplexD& point) {
  const double m = std::norm(n);
  if (!(m > smallest)) return false;
  point = TComplexD(-n.real(), n.imag()) / m;  // -1/N = -conj(N) / |N|^2
  return std::fabs(point.real()) < kDescribingLimit && std::fabs(point.imag()) < kDescribingLimit;
}

void BuildDescribingCurve(const TChainClass& cls, TBlock* entry, TBlock* last, double stepDegrees,
                          TDescribingCurve& out, const TDescribingProgress& progress) {
  out = TDescribingCurve{};
  out.Class = cls;
  if (cls.Code == kPulseFrequencyChain) {
    out.PulseFrequencyTable = true;
    out.AmplitudeScale = cls.Params[0];
    for (const TPfmTablePoint& t : PulseFrequencyTable()) {
      out.Points.Append(static_cast<float>(t.Re), static_cast<float>(t.Im), static_cast<float>(t.Factor));
      out.Ranks.push_back(t.Rank);
    }
    return;
  }
  const TAmplitudeRange range = DescribingAmplitudeRange(cls);
  if (range.Max <= 0.0) return;
  const bool numeric = cls.Code == kChainNumeric;
  const int progressMax = DescribingProgressMax(range);
  int done = 0;
  for (double a = range.Min; a < range.Max && done < kMaxAmplitudes; a *= kAmplitudeFactor) {
    TComplexD n, point;
    const bool have = numeric ? NumericDescribingFunction(entry, last, a, stepDegrees, n)
                              : StandardDescribingFunction(cls, a, n);
    if (have && NegativeInverse(n, numeric ? 1e-5 : 0.0, point)) {
      out.Points.Append(static_cast<float>(point.real()), static_cast<float>(point.imag()), static_cast<float>(a));
      out.Ranks.push_back(0);
    }
    if (++done % 10 == 0 && progress) progress(done / 10, progressMax);
  }
}

void ApplyPulseTransformation(const TChainClass& cls, THodographOptions& options) {
  const double* p = cls.Params;
  if (cls.Code == kPulseAmplitudeChain && p[0] > 0.0 && p[1] > 0.0) {
    options.Pulse = true;
    options.PulseT = p[0] / p[1];
    options.PulseGain = 1.0 / p[0];
  } else if (cls.Code == kPulseFrequencyChain && p[0] > 0.0) {
    options.Pulse = true;
    options.PulseT = p[2];
    options.PulseGain = p[1] / p[0];
  }
}

}  // namespace vemo
