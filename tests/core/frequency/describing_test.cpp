// The describing functions: the closed forms against a first harmonic of
// each element's characteristic integrated here independently, and against
// the blocks themselves stepped over a period; the curve -1/N(A); the
// pulse transformation of the hodograph.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>

#include "contour_fixture.h"
#include "frequency/analysis_state.h"
#include "frequency/contour.h"
#include "frequency/describing.h"
#include "model/compile.h"
#include "shell/program.h"

namespace vemo {
namespace {

using testing::TChainBlocks;
constexpr double kPi = std::numbers::pi;

// First harmonic N = (S + jC) / (pi A) of y = f(A sin theta) by the midpoint
// rule; f is called in phase order over `turns` turns (it may keep state)
// and only the last turn is integrated.
TComplexD Harmonic(double a, const std::function<double(double)>& f, int steps = 100000, int turns = 2) {
  const double h = 2 * kPi / steps;
  double s = 0, c = 0;
  for (int k = 0; k < turns; ++k)
    for (int i = 0; i < steps; ++i) {
      const double th = (i + 0.5) * h;
      const double y = f(a * std::sin(th));
      if (k == turns - 1) s += y * std::sin(th) * h, c += y * std::cos(th) * h;
    }
  return TComplexD(s, c) / (kPi * a);
}

// The characteristics, written from the elements' definitions.
double DeadZone(double d, double x) { return x > d ? x - d : (x < -d ? x + d : 0.0); }
double Limit(double b, double x) { return std::clamp(x, -b, b); }

// A characteristic with its state for one harmonic run.
using TMaker = std::function<std::function<double(double)>()>;

struct TCase {
  const char* Name;
  TChainClass Class;
  TMaker Make;
  double AMin;  // lowest amplitude of the comparison
};

TChainClass Cls(int code, double p0, double p1 = 0, double p2 = 0) {
  TChainClass c;
  c.Code = code;
  c.Params[0] = p0, c.Params[1] = p1, c.Params[2] = p2;
  return c;
}

std::vector<TCase> Cases() {
  std::vector<TCase> v;
  v.push_back({"dead zone", Cls(20, 0.3), [] { return [](double x) { return DeadZone(0.3, x); }; }, 0.3});
  v.push_back({"limit", Cls(21, 0.7), [] { return [](double x) { return Limit(0.7, x); }; }, 0.7});
  v.push_back({"dead zone and limit", Cls(22, 0.2, 0.5),
               [] { return [](double x) { return Limit(0.5, DeadZone(0.2, x)); }; }, 0.2});
  v.push_back({"ideal relay", Cls(23, 1.5), [] { return [](double x) { return x < 0 ? -1.5 : 1.5; }; }, 0.01});
  v.push_back({"hysteresis relay", Cls(24, 2.0, 0.25),
               [] {
                 return [on = false](double x) mutable {
                   if (on && x <= -0.25) on = false;
                   else if (!on && x >= 0.25) on = true;
                   return on ? 2.0 : -2.0;
                 };
               },
               0.25});
  v.push_back({"three-position relay", Cls(25, 1.0, 0.4),
               [] { return [](double x) { return x >= 0.4 ? 1.0 : (x < -0.4 ? -1.0 : 0.0); }; }, 0.4 + 1e-5});
  // Level 1, hysteresis h, upper threshold b: positive from b down to b - h.
  auto relay3h = [](double h, double b) {
    return [h, b] {
      return [h, b, state = 1](double x) mutable {
        if (state == 0) {
          if (x > -b + h) state = 1;
          if (state == 1 && x > b) state = 2;
        } else if (state == 1) {
          if (x < -b) state = 0;
          else if (x > b) state = 2;
        } else {
          if (x < b - h) state = 1;
          if (state == 1 && x < -b) state = 0;
        }
        return state == 0 ? -1.0 : (state == 1 ? 0.0 : 1.0);
      };
    };
  };
  v.push_back({"three-position hysteresis relay", Cls(26, 1.0, 0.3, 0.5), relay3h(0.3, 0.5), 0.5});
  v.push_back({"three-position relay, hysteresis beyond 2b", Cls(26, 1.0, 1.4, 0.5), relay3h(1.4, 0.5), 0.9});
  v.push_back({"quantiser", Cls(27, 0.5),
               [] { return [](double x) { return 0.5 * std::nearbyint(x / 0.5); }; }, 0.26});
  v.push_back({"backlash", Cls(28, 0.2),
               [] {
                 return [y = 0.0](double x) mutable {
                   if (y + 0.2 < x) y = x - 0.2;
                   else if (y - 0.2 > x) y = x + 0.2;
                   return y;
                 };
               },
               0.2001});
  return v;
}

TEST(DescribingTest, ClosedFormsMatchTheFirstHarmonicOfTheCharacteristic) {
  for (const TCase& c : Cases()) {
    double worst = 0;
    for (int k = 0; k <= 40; k += 2) {
      const double a = c.AMin * (1.05 + k * k * 0.05);
      TComplexD n;
      ASSERT_TRUE(StandardDescribingFunction(c.Class, a, n)) << c.Name << " A=" << a;
      const TComplexD truth = Harmonic(a, c.Make());
      const double err = std::abs(n - truth) / std::max(std::abs(truth), 1e-3);
      worst = std::max(worst, err);
      EXPECT_LT(err, 5e-4) << c.Name << " A=" << a << " N=" << n << " truth=" << truth;
    }
    std::printf("[ closed form ] %-44s largest relative error %.2e\n", c.Name, worst);
  }
}

TEST(DescribingTest, ClosedFormRanges) {
  TComplexD n;
  EXPECT_FALSE(StandardDescribingFunction(Cls(20, 0.3), 0.29, n));
  EXPECT_TRUE(StandardDescribingFunction(Cls(20, 0.3), 0.3, n));
  EXPECT_EQ(n, TComplexD(0.0));  // exactly at the dead zone: no output yet
  EXPECT_TRUE(StandardDescribingFunction(Cls(21, 0.7), 0.7, n));
  EXPECT_DOUBLE_EQ(n.real(), 1.0);
  EXPECT_FALSE(StandardDescribingFunction(Cls(25, 1, 0.4), 0.400005, n));
  EXPECT_FALSE(StandardDescribingFunction(Cls(27, 0.5), 0.25, n));
  EXPECT_FALSE(StandardDescribingFunction(Cls(28, 0.2), 0.2, n));
  EXPECT_FALSE(StandardDescribingFunction(Cls(kChainNumeric, 1), 1, n));
  EXPECT_FALSE(StandardDescribingFunction(Cls(23, 1), 0.0, n));
  // Dead zone and limit: as the dead zone up to d + L, continuous there.
  TComplexD dz, both;
  ASSERT_TRUE(StandardDescribingFunction(Cls(20, 0.2), 0.6, dz));
  ASSERT_TRUE(StandardDescribingFunction(Cls(22, 0.2, 0.5), 0.6, both));
  EXPECT_NEAR(both.real(), dz.real(), 1e-15);
  ASSERT_TRUE(StandardDescribingFunction(Cls(20, 0.2), 0.7, dz));
  ASSERT_TRUE(StandardDescribingFunction(Cls(22, 0.2, 0.5), 0.7, both));
  EXPECT_NEAR(both.real(), dz.real(), 1e-12);
  // Large amplitudes: the limit tends to 4L / (pi A).
  ASSERT_TRUE(StandardDescribingFunction(Cls(22, 0.2, 0.5), 1000, both));
  EXPECT_NEAR(both.real() * kPi * 1000 / 4, 0.5, 1e-3);
}

TEST(DescribingTest, NegativeInverse) {
  TComplexD p;
  ASSERT_TRUE(NegativeInverse(TComplexD(0.5, -0.5), 0.0, p));
  EXPECT_NEAR(p.real(), -1.0, 1e-15);
  EXPECT_NEAR(p.imag(), -1.0, 1e-15);
  EXPECT_FALSE(NegativeInverse(TComplexD(0.001, 0.002), 1e-5, p));  // |N|^2 = 5e-6
  EXPECT_FALSE(NegativeInverse(TComplexD(0.0), 0.0, p));
  EXPECT_FALSE(NegativeInverse(TComplexD(5e-6, 0.0), 0.0, p));  // beyond 100000
  EXPECT_TRUE(NegativeInverse(TComplexD(2e-5, 0.0), 0.0, p));
}

TEST(DescribingTest, AmplitudeRanges) {
  EXPECT_EQ(DescribingAmplitudeRange(Cls(kChainNumeric, 0)).Min, 0.001);
  EXPECT_EQ(DescribingAmplitudeRange(Cls(kChainNumeric, 0)).Max, 1000.0);
  TAmplitudeRange r = DescribingAmplitudeRange(Cls(20, 0.3));
  EXPECT_EQ(r.Min, 0.3);
  EXPECT_DOUBLE_EQ(r.Max, 300.0);
  r = DescribingAmplitudeRange(Cls(20, 0.0));  // no dead zone: a unit gain
  EXPECT_GT(r.Min, 0.0);
  r = DescribingAmplitudeRange(Cls(23, 2.0));
  EXPECT_DOUBLE_EQ(r.Min, 0.002);
  EXPECT_DOUBLE_EQ(r.Max, 2000.0);
  EXPECT_DOUBLE_EQ(DescribingAmplitudeRange(Cls(25, 1.0, 0.4)).Min, 0.40001);
  EXPECT_DOUBLE_EQ(DescribingAmplitudeRange(Cls(27, 0.5)).Min, 0.25);
  for (int code : {int(kChainBreak), int(kChainConstant), int(kChainUnsupported), kPulseAmplitudeChain})
    EXPECT_EQ(DescribingAmplitudeRange(Cls(code, 1)).Max, 0.0) << code;
  EXPECT_EQ(DescribingProgressMax({0.001, 1000}), 8);  // ln 1e6 / ln 1.2 = 75.8
  EXPECT_EQ(DescribingProgressMax({}), 0);
}

TEST(DescribingTest, CurveOfTheIdealRelayIsTheNegativeAxis) {
  TDescribingCurve curve;
  int calls = 0, last = 0;
  BuildDescribingCurve(Cls(23, 2.0), nullptr, nullptr, 1.0, curve, [&](int done, int max) {
    ++calls;
    last = done;
    EXPECT_EQ(max, 8);
  });
  // A = 0.002 * 1.2^k while below 2000: 76 amplitudes.
  ASSERT_EQ(curve.Points.Count(), 76u);
  EXPECT_EQ(calls, 7);
  EXPECT_EQ(last, 7);
  EXPECT_FALSE(curve.PulseFrequencyTable);
  EXPECT_EQ(curve.Ranks.size(), 76u);
  for (size_t i = 0; i < curve.Points.Count(); ++i) {
    const double a = 0.002 * std::pow(1.2, static_cast<double>(i));
    EXPECT_NEAR(curve.Points.Third(i), a, 1e-6 * a);
    EXPECT_NEAR(curve.Points.Re(i), -kPi * a / 8, 1e-6 * a);
    EXPECT_EQ(curve.Points.Im(i), 0.0f);
    EXPECT_EQ(curve.Ranks[i], 0);
  }
}

TEST(DescribingTest, CurveOfTheDeadZoneStartsAboveItsThreshold) {
  TDescribingCurve curve;
  BuildDescribingCurve(Cls(20, 0.5), nullptr, nullptr, 1.0, curve);
  ASSERT_GT(curve.Points.Count(), 30u);
  // A = d gives N = 0: no point; the curve comes from the far left and
  // tends to -1.
  EXPECT_NEAR(curve.Points.Third(0), 0.6, 1e-6);
  for (size_t i = 1; i < curve.Points.Count(); ++i) EXPECT_GT(curve.Points.Re(i), curve.Points.Re(i - 1));
  EXPECT_LT(curve.Points.Re(curve.Points.Count() - 1), -1.0f);
  EXPECT_GT(curve.Points.Re(curve.Points.Count() - 1), -1.002f);
}

TEST(DescribingTest, RefusingAndPulseAmplitudeClassesHaveNoCurve) {
  for (int code : {int(kChainBreak), int(kChainConstant), int(kChainUnsupported), kPulseAmplitudeChain}) {
    TDescribingCurve curve;
    BuildDescribingCurve(Cls(code, 0.1, 1), nullptr, nullptr, 1.0, curve);
    EXPECT_EQ(curve.Points.Count(), 0u) << code;
  }
}

TEST(DescribingTest, PulseTransformations) {
  THodographOptions o;
  ApplyPulseTransformation(Cls(kPulseAmplitudeChain, 0.1, 2), o);
  EXPECT_TRUE(o.Pulse);
  EXPECT_DOUBLE_EQ(o.PulseT, 0.05);  // the sample is held for T / Q
  EXPECT_DOUBLE_EQ(o.PulseGain, 10.0);
  THodographOptions f;
  ApplyPulseTransformation(Cls(kPulseFrequencyChain, 0.1, 2, 0.05), f);
  EXPECT_TRUE(f.Pulse);
  EXPECT_DOUBLE_EQ(f.PulseT, 0.05);
  EXPECT_DOUBLE_EQ(f.PulseGain, 20.0);  // h / d
  THodographOptions none;
  ApplyPulseTransformation(Cls(21, 1), none);
  EXPECT_FALSE(none.Pulse);
}

// The blocks themselves in a contour: their chain stepped over a period.
class DescribingBlockTest : public testing::ContourFieldTest {};

struct TBlockCase {
  const char* Name;
  uint16_t Code;
  std::initializer_list<double> Params;
  int Class;
  double AMin;
};

TEST_F(DescribingBlockTest, BlocksSteppedOverAPeriodMatchTheClosedForms) {
  const TBlockCase cases[] = {
      {"dead zone", 20, {0.3}, 20, 0.3},
      {"limit", 21, {0.7, -0.7}, 21, 0.7},
      {"dead zone and limit", 22, {0.2, 0.5, -0.5}, 22, 0.2},
      {"ideal relay", 23, {1.5, -1.5, 0}, 23, 0.05},
      {"hysteresis relay", 24, {2, -2, 0.25, -0.25}, 24, 0.25},
      {"three-position relay", 25, {1, -1, 0.4, -0.4}, 25, 0.41},
      {"three-position hysteresis relay", 26, {1, 0.3, 0.5, -0.5}, 26, 0.5},
      {"three-position relay, wide hysteresis", 26, {1, 1.4, 0.5, -0.5}, 24, 0.9},
      {"quantiser", 27, {0.5}, 27, 0.26},
      {"backlash", 28, {0.2}, 28, 0.21},
  };
  for (const TBlockCase& c : cases) {
    ResetProgramState();
    F = CreateField();
    const TNonlinearPart p = PrepareChain({{c.Code, c.Params}});
    const TChainClass cls = ClassifyNonlinearChain(p.Entry, p.Last);
    ASSERT_EQ(cls.Code, c.Class) << c.Name;
    double worst = 0;
    for (double f : {1.02, 1.3, 2.0, 4.5, 12.0}) {
      const double a = c.AMin * f;
      TComplexD closed, stepped;
      ASSERT_TRUE(StandardDescribingFunction(cls, a, closed)) << c.Name;
      ASSERT_TRUE(NumericDescribingFunction(p.Entry, p.Last, a, 0.01, stepped)) << c.Name;
      const double err = std::abs(closed - stepped) / std::abs(closed);
      worst = std::max(worst, err);
      EXPECT_LT(err, 2e-3) << c.Name << " A=" << a << " closed " << closed << " stepped " << stepped;
    }
    std::printf("[ block run   ] %-44s largest relative error %.2e\n", c.Name, worst);
  }
}

TEST_F(DescribingBlockTest, NumericCurveOfAnAsymmetricLimit) {
  // Limits +1 and -0.5: no closed form; the numeric class with 0.001..1000.
  const TNonlinearPart p = PrepareChain({{21, {1.0, -0.5}}});
  const TChainClass cls = ClassifyNonlinearChain(p.Entry, p.Last);
  ASSERT_EQ(cls.Code, kChainNumeric);
  Prog.Clock.TimeStep = 0.123;
  TDescribingCurve curve;
  BuildDescribingCurve(cls, p.Entry, p.Last, 0.1, curve);
  EXPECT_EQ(Prog.Clock.TimeStep, 0.123);  // the run clock is restored
  // Of the 76 amplitudes the last six (A above 300) give |N|^2 <= 1e-5: the
  // output stays within its limits while the input grows.
  ASSERT_EQ(curve.Points.Count(), 70u);
  EXPECT_NEAR(curve.Points.Third(69), 0.001 * std::pow(1.2, 69.0), 1e-3);
  double worst = 0;
  for (size_t i = 0; i < curve.Points.Count(); i += 5) {
    const double a = curve.Points.Third(i);
    const TComplexD n = Harmonic(a, [](double x) { return std::clamp(x, -0.5, 1.0); });
    const TComplexD truth = -1.0 / n;
    const double err = std::abs(TComplexD(curve.Points.Re(i), curve.Points.Im(i)) - truth) / std::abs(truth);
    worst = std::max(worst, err);
    EXPECT_LT(err, 5e-3) << "A=" << a;
  }
  std::printf("[ numeric     ] asymmetric limit, step 0.1 deg: largest relative error %.2e\n", worst);
}

TEST_F(DescribingBlockTest, NumericStepRefusesAnAbsurdCount) {
  const TNonlinearPart p = PrepareChain({{21, {1.0, -0.5}}});
  TComplexD n;
  EXPECT_FALSE(NumericDescribingFunction(p.Entry, p.Last, 1.0, 1e-10, n));
  EXPECT_FALSE(NumericDescribingFunction(p.Entry, p.Last, 1.0, 0.0, n));
  EXPECT_TRUE(NumericDescribingFunction(p.Entry, p.Last, 1.0, 400.0, n));  // theta = 0 only
  EXPECT_EQ(n, TComplexD(0.0));
}

}  // namespace
}  // namespace vemo
