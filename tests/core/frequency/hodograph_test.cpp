// The hodograph of the linear part against closed forms of textbook loops:
// phase and gain margins, the closed-loop verdict, the per-degree
// subdivision, the transformations of the points, the autoscale and the
// saved text.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <sstream>

#include "frequency/hodograph.h"
#include "frequency/zero_pole.h"
#include "shell/numtext.h"
#include "test_support.h"

namespace vemo {
namespace {

constexpr double kPi = 3.14159265358979323846;

TZeroPoleForm Form(std::vector<Real> num, std::vector<Real> den) {
  return BuildZeroPoleForm(test::Frac(std::move(num), std::move(den)));
}

// K / (s + 1)^3.
TZeroPoleForm ThirdOrderLag(double k) { return Form({k}, {1, 3, 3, 1}); }

THodograph Trace(const TZeroPoleForm& f, double lgwMin = -3, double lgwMax = 3, Real delay = 0,
                 THodographOptions o = {}) {
  THodograph h;
  EXPECT_TRUE(BuildHodograph(f, delay, lgwMin, lgwMax, o, h));
  return h;
}

TEST(HodographTest, PointsLieOnTheFrequencyResponse) {
  // 1/(s(s+1)) in closed form: W(jw) = 1/(jw (1 + jw)).
  THodograph h = Trace(Form({1}, {0, 1, 1}));
  ASSERT_GT(h.Points.Count(), static_cast<size_t>(kHodographSteps));
  EXPECT_FLOAT_EQ(h.Points.Third(0), 1e-3f);
  EXPECT_FLOAT_EQ(h.Points.Third(h.Points.Count() - 1), 1e3f);
  double worst = 0;
  for (size_t i = 0; i < h.Points.Count(); ++i) {
    const double w = h.Points.Third(i);
    const std::complex<double> W = 1.0 / (std::complex<double>(0, w) * std::complex<double>(1, w));
    const std::complex<double> p(h.Points.Re(i), h.Points.Im(i));
    worst = std::max(worst, std::abs(p - W) / std::abs(W));
  }
  EXPECT_LT(worst, 2e-3);
  RecordProperty("integrator_lag_worst_relative_error", std::to_string(worst));
}

TEST(HodographTest, PhaseTurnsAtMostAboutADegreeBetweenPoints) {
  // A delay of 0.1 s turns the phase fast at high frequencies.
  THodograph h = Trace(Form({1}, {1, 1}), -1, 2, 0.1L);
  ASSERT_GT(h.Points.Count(), 2u);
  double worst = 0;
  for (size_t i = 1; i < h.Points.Count(); ++i) {
    const std::complex<double> a(h.Points.Re(i - 1), h.Points.Im(i - 1)), b(h.Points.Re(i), h.Points.Im(i));
    worst = std::max(worst, std::fabs(std::arg(b / a)) * 180 / kPi);
  }
  EXPECT_LE(worst, 1.01);
  // The phase turns by about 0.1 * 100 rad = 573 degrees: many more points
  // than grid steps.
  EXPECT_GT(h.Points.Count(), static_cast<size_t>(kHodographSteps) + 500);
}

TEST(HodographTest, PointListIsCappedAtItsCapacity) {
  // A delay of 1 s over w up to 1000 turns by about 57000 degrees.
  THodograph h = Trace(Form({1}, {1, 1}), -1, 3, 1.0L);
  EXPECT_EQ(h.Points.Count(), kPointListFloats / 3);
  EXPECT_TRUE(h.Points.Full());
  EXPECT_FALSE(h.Points.Append(0, 0, 0));
}

TEST(HodographTest, PhaseMarginOfIntegratorWithLag) {
  // |W| = 1 at w^2 = (sqrt 5 - 1)/2; margin 90 - atan(w) = 51.827 degrees.
  THodograph h = Trace(Form({1}, {0, 1, 1}));
  const double wc = std::sqrt((std::sqrt(5.0) - 1) / 2);
  const double exact = 90 - std::atan(wc) * 180 / kPi;
  TClosedLoopVerdict v = AnalyseClosedLoop(h);
  EXPECT_TRUE(v.Stable);
  ASSERT_TRUE(v.HasPhaseMargin);
  EXPECT_NEAR(v.PhaseMarginDeg, exact, 1e-8);
  EXPECT_NEAR(v.GainCrossover, wc, 1e-9);
  EXPECT_NEAR(exact, 51.8273, 1e-3);
  // The phase never passes -180 degrees: no gain margin.
  EXPECT_EQ(h.CrossingMagnitude, 0.0);
  EXPECT_FALSE(v.HasGainMargin);
  RecordProperty("phase_margin_deg", std::to_string(v.PhaseMarginDeg));
  const std::string text = ClosedLoopText(v);
  EXPECT_EQ(text.rfind("Устойчива\nЗапас по фазе: 51.", 0), 0u) << text;
  EXPECT_NE(text.find("°\nЗапас по амплитуде: -\n"), std::string::npos) << text;
}

TEST(HodographTest, ThirdOrderLagGainMargin) {
  // K/(s+1)^3 crosses -180 degrees at w = sqrt 3 with |W| = K/8.
  for (double k : {1.0, 2.0, 4.0, 7.5}) {
    THodograph h = Trace(ThirdOrderLag(k));
    EXPECT_NEAR(h.CrossingMagnitude, k / 8, 1e-10 * k) << k;
    EXPECT_NEAR(h.PhaseCrossover, std::sqrt(3.0), 1e-9) << k;
    TClosedLoopVerdict v = AnalyseClosedLoop(h);
    EXPECT_TRUE(v.Stable) << k;
    ASSERT_TRUE(v.HasGainMargin) << k;
    EXPECT_NEAR(v.GainMarginDb, 20 * std::log10(8 / k), 1e-8) << k;
    if (k == 4.0) RecordProperty("gain_margin_K4_dB", std::to_string(v.GainMarginDb));
  }
  // K = 1: |W| never exceeds 1, no phase margin.
  EXPECT_FALSE(AnalyseClosedLoop(Trace(ThirdOrderLag(1))).HasPhaseMargin);
  // K = 4: |W| = 1 at w = sqrt(4^(2/3) - 1), phase margin 180 - 3 atan(w).
  const double w4 = std::sqrt(std::pow(4.0, 2.0 / 3) - 1);
  TClosedLoopVerdict v4 = AnalyseClosedLoop(Trace(ThirdOrderLag(4)));
  ASSERT_TRUE(v4.HasPhaseMargin);
  EXPECT_NEAR(v4.PhaseMarginDeg, 180 - 3 * std::atan(w4) * 180 / kPi, 1e-8);
}

TEST(HodographTest, MarginsAreReadOnTheExactResponse) {
  // 1.5 / (T s + 1)^8: |W| = 1 at (wT)^2 = 1.5^(1/4) - 1, phase margin
  // 180 - 8 atan(wT); the phase reaches -180 degrees at wT = tan(pi/8) with
  // |W| = 1.5 cos^8(pi/8). Between grid points the stored curve lags the
  // crossing by up to half a degree; the margins are exact.
  for (double T : {0.1, 1.0, 10.0}) {
    std::vector<Real> den{1};
    for (int i = 0; i < 8; ++i) {
      std::vector<Real> next(den.size() + 1, 0);
      for (size_t j = 0; j < den.size(); ++j) next[j] += den[j], next[j + 1] += den[j] * T;
      den = next;
    }
    const THodograph h = Trace(Form({1.5}, den));
    const TClosedLoopVerdict v = AnalyseClosedLoop(h);
    const double wc = std::sqrt(std::pow(1.5, 0.25) - 1) / T, w180 = std::tan(kPi / 8) / T;
    ASSERT_TRUE(v.HasPhaseMargin && v.HasGainMargin) << T;
    EXPECT_NEAR(v.PhaseMarginDeg, 180 - 8 * std::atan(wc * T) * 180 / kPi, 1e-6) << T;
    EXPECT_NEAR(v.GainMarginDb, -20 * std::log10(1.5 * std::pow(std::cos(kPi / 8), 8)), 1e-6) << T;
    EXPECT_NEAR(v.GainCrossover, wc, 1e-9 * std::max(1.0, wc)) << T;
    EXPECT_NEAR(v.PhaseCrossover, w180, 1e-9 * std::max(1.0, w180)) << T;
    EXPECT_EQ(CrossoverText(v).rfind("Частота среза: " + FormatNumber(v.GainCrossover) + " rad/с\n", 0), 0u);
  }
  // Without a crossing the lines say so.
  EXPECT_EQ(CrossoverText(AnalyseClosedLoop(Trace(Form({1}, {1, 1})))),
            "Частота среза: -\nЧастота при фазе -180°: -\n");
}

TEST(HodographTest, ThePositiveRealAxisGivesNoGainMargin) {
  // 0.01 e^(-0.4712 s) / (0.01 s^2 + 0.0002 s + 1): the resonance at w = 10
  // peaks at |W| = 5 just where the delay has turned the phase to -360
  // degrees, on the positive real axis, far from -1. The negative real axis
  // is crossed only where |W| is about 0.018.
  const Real delay = 3 * kPi / 20;
  const THodograph h = Trace(Form({0.01L}, {1, 0.0002L, 0.01L}), -2, 1.5, delay);
  const TClosedLoopVerdict v = AnalyseClosedLoop(h);
  EXPECT_TRUE(v.Stable);
  ASSERT_TRUE(v.HasGainMargin);
  EXPECT_LT(h.CrossingMagnitude, 0.05);
  const double w = h.PhaseCrossover;  // -pi - 0.4712 w - (phase of the pair) = -pi
  const std::complex<double> W = 0.01 * std::exp(std::complex<double>(0, -static_cast<double>(delay) * w)) /
                                 std::complex<double>(1 - 0.01 * w * w, 0.0002 * w);
  EXPECT_NEAR(W.imag(), 0.0, 1e-12);
  EXPECT_LT(W.real(), 0.0);
  EXPECT_NEAR(h.CrossingMagnitude, std::abs(W), 1e-12);
}

TEST(HodographTest, ThirdOrderLagUnstableAboveEight) {
  for (double k : {8.5, 10.0, 50.0}) {
    THodograph h = Trace(ThirdOrderLag(k));
    TClosedLoopVerdict v = AnalyseClosedLoop(h);
    EXPECT_FALSE(v.Stable) << k;
    EXPECT_FALSE(v.HasGainMargin) << k;
    EXPECT_TRUE(CrossesLineLeftOf(h.Points, 0.0, -1.0)) << k;
    EXPECT_EQ(ClosedLoopText(v).rfind("Неустойчива!\n", 0), 0u);
  }
}

TEST(HodographTest, FirstOrderLoopHasInfiniteGainMargin) {
  // 2/(s+1): |W| = 1 at w = sqrt 3, phase -60 degrees: margin 120 degrees.
  TClosedLoopVerdict v = AnalyseClosedLoop(Trace(Form({2}, {1, 1})));
  EXPECT_TRUE(v.Stable);
  EXPECT_FALSE(v.HasGainMargin);
  ASSERT_TRUE(v.HasPhaseMargin);
  EXPECT_NEAR(v.PhaseMarginDeg, 120.0, 1e-8);
  // 1/(s+1) never leaves the unit circle: neither margin.
  v = AnalyseClosedLoop(Trace(Form({1}, {1, 1})));
  EXPECT_TRUE(v.Stable);
  EXPECT_FALSE(v.HasPhaseMargin);
  EXPECT_EQ(ClosedLoopText(v), "Устойчива\nЗапас по фазе: -\nЗапас по амплитуде: -\n");
}

TEST(HodographTest, CrossingTestOfAHandMadeCurve) {
  TPointList p;
  p.Append(-3, -1, 0);
  p.Append(-1, 1, 0);  // crosses Im = 0 at Re = -2
  EXPECT_TRUE(CrossesLineLeftOf(p, 0.0, -1.0));
  EXPECT_FALSE(CrossesLineLeftOf(p, 0.0, -2.5));
  EXPECT_TRUE(CrossesLineLeftOf(p, 0.5, -1.0));   // at Re = -1.5
  EXPECT_FALSE(CrossesLineLeftOf(p, 2.0, 10.0));  // the line is never reached
  TPointList flat;
  flat.Append(-3, -0.0004f, 0);
  flat.Append(5, 0.0004f, 0);  // |dIm| <= 0.001: the first point's Re
  EXPECT_TRUE(CrossesLineLeftOf(flat, 0.0, -1.0));
}

TEST(HodographTest, PopovAndPulseTransformations) {
  THodographOptions popov;
  popov.Popov = true;
  THodograph plain = Trace(Form({1}, {1, 1}));
  THodograph mod = Trace(Form({1}, {1, 1}), -3, 3, 0, popov);
  ASSERT_EQ(plain.Points.Count(), mod.Points.Count());
  for (size_t i = 0; i < plain.Points.Count(); i += 97) {
    EXPECT_FLOAT_EQ(mod.Points.Re(i), plain.Points.Re(i));
    EXPECT_NEAR(mod.Points.Im(i), plain.Points.Im(i) * plain.Points.Third(i), 1e-6);
  }
  THodographOptions pulse;
  pulse.Pulse = true;
  pulse.PulseT = 0.2;
  pulse.PulseGain = 3;
  THodograph pu = Trace(Form({1}, {1, 1}), -3, 3, 0, pulse);
  ASSERT_EQ(plain.Points.Count(), pu.Points.Count());
  for (size_t i = 0; i < plain.Points.Count(); i += 101) {
    const double x = plain.Points.Re(i), y = plain.Points.Im(i), w = plain.Points.Third(i);
    const double s = std::sin(w * 0.2), c = 1 - std::cos(w * 0.2);
    EXPECT_NEAR(pu.Points.Re(i), 3 * (x * s + y * c) / w, 1e-5 * (1 + std::fabs(pu.Points.Re(i))));
    EXPECT_NEAR(pu.Points.Im(i), 3 * (y * s - x * c) / w, 1e-5 * (1 + std::fabs(pu.Points.Im(i))));
  }
}

TEST(HodographTest, Autoscale) {
  TPointList none;
  TPlaneRect r = HodographAutoscale(kAutoscaleHodograph, &none, nullptr, false, {});
  EXPECT_EQ(r.ReMin, -1.0);
  EXPECT_EQ(r.ReMax, 0.01);
  EXPECT_EQ(r.ImMin, -0.001);
  EXPECT_EQ(r.ImMax, 0.001);
  THodograph h = Trace(Form({2}, {1, 1}));  // a half circle right of the origin, Im <= 0
  r = HodographAutoscale(kAutoscaleHodograph, &h.Points, nullptr, false, {});
  EXPECT_EQ(r.ReMin, -1.0);
  EXPECT_NEAR(r.ReMax, 2.0, 1e-5);
  EXPECT_NEAR(r.ImMin, -1.0, 1e-3);  // the lowest point of the circle, -K/2
  EXPECT_EQ(r.ImMax, 0.001);
  // The describing-function type ignores the hodograph.
  TPointList d;
  d.Append(-5, 0.5f, 1);
  r = HodographAutoscale(kAutoscaleDescribing, &h.Points, &d, false, {});
  EXPECT_EQ(r.ReMin, -5.0);
  EXPECT_EQ(r.ReMax, 0.01);
  EXPECT_EQ(r.ImMax, 0.5);
  r = HodographAutoscale(kAutoscaleBoth, &h.Points, &d, false, {});
  EXPECT_EQ(r.ReMin, -5.0);
  EXPECT_NEAR(r.ReMax, 2.0, 1e-5);
  r = HodographAutoscale(kAutoscaleDescribing, nullptr, &d, true, {});
  EXPECT_EQ(r.ReMin, -2.5);
  EXPECT_EQ(r.ImMin, -1.5);
  // Manual limits; a too narrow side keeps its maximum.
  TPlaneRect m{-3, -4, 5, -4};
  r = HodographAutoscale(kAutoscaleManual, &h.Points, nullptr, false, m);
  EXPECT_EQ(r.ReMin, -3.0);
  EXPECT_EQ(r.ReMax, 5.0);
  EXPECT_EQ(r.ImMax, -4.0);
  EXPECT_DOUBLE_EQ(r.ImMin, -4.0001);
  // Popov: -1/K further left lowers Re min.
  r = HodographAutoscale(kAutoscaleHodograph, &none, nullptr, false, {}, 0.25);
  EXPECT_EQ(r.ReMin, -4.0);
  r = HodographAutoscale(kAutoscaleHodograph, &none, nullptr, false, {}, 1e10);
  EXPECT_EQ(r.ReMin, -1.0);
}

TEST(HodographTest, SavedTextHoldsOmegaImRe) {
  THodograph h = Trace(Form({1}, {1, 1}));
  const std::string text = PointListText(h.Points);
  std::istringstream in(text);
  std::string line;
  size_t n = 0;
  while (std::getline(in, line)) {
    ASSERT_EQ(line.size(), 23u * 3 + 2) << n;
    if (n == 0) {
      EXPECT_EQ(line, FormatReal23(h.Points.Third(0)) + " " + FormatReal23(h.Points.Im(0)) + " " +
                          FormatReal23(h.Points.Re(0)));
    }
    ++n;
  }
  EXPECT_EQ(n, h.Points.Count());
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(text.find('\r'), std::string::npos);
}

}  // namespace
}  // namespace vemo
