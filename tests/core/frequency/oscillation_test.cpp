// Self-oscillations where the hodograph meets the describing-function
// curve: relay, dead-zone and saturation loops with oscillations worked out
// by hand, the stability rule on hand-made curves and the report blocks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>

#include "contour_fixture.h"
#include "frequency/analysis_state.h"
#include "frequency/contour.h"
#include "frequency/describing.h"
#include "frequency/oscillation.h"
#include "frequency/pfm_table.h"
#include "model/compile.h"
#include "scheme_fixtures.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo {
namespace {

using testing::TChainBlocks;
constexpr double kPi = std::numbers::pi;

// The root of f in [lo, hi] by bisection (f changes sign there).
double Root(const std::function<double(double)>& f, double lo, double hi) {
  const bool rising = f(hi) > f(lo);
  for (int i = 0; i < 200; ++i) {
    const double m = (lo + hi) / 2;
    if ((f(m) > 0) == rising) hi = m;
    else lo = m;
  }
  return (lo + hi) / 2;
}

class OscillationTest : public testing::ContourFieldTest {
 protected:
  // The open loop gen -> blocks -> stub between A and B: the oscillations of
  // its hodograph with the curve of its nonlinear part.
  std::vector<TOscillation> Oscillations(TChainBlocks blocks) {
    const TNonlinearPart p = PrepareChain(blocks);
    const TChainClass cls = ClassifyNonlinearChain(p.Entry, p.Last);
    BuildDescribingCurve(cls, p.Entry, p.Last, 0.05, Curve);
    THodographOptions o;
    ApplyPulseTransformation(cls, o);
    EXPECT_TRUE(BuildHodograph(Analysis.Form, Analysis.Delay, -3, 3, o, H));
    return FindOscillations(H.Points, Curve);
  }

  void Report(const char* name, const TOscillation& o, double w, double a) {
    std::printf("[ oscillation ] %-36s w %.6g (hand %.6g, %.1e)  A %.6g (hand %.6g, %.1e)\n", name, o.W, w,
                std::fabs(o.W / w - 1), o.A, a, std::fabs(o.A / a - 1));
  }

  TDescribingCurve Curve;
  THodograph H;
};

TEST_F(OscillationTest, IdealRelayWithIntegratorAndTwoLags) {
  // W = K / (s (Ts + 1)^2) crosses the negative axis at w = 1/T with
  // |W| = KT/2; the relay's curve -pi A / (4c) meets it at A = 2cKT/pi.
  const double c = 1.5, k = 2.0, t = 0.5;
  const auto list = Oscillations({{23, {c, -c, 0}}, {7, {k, 0}}, {10, {t, 1, 0}}, {10, {t, 1, 0}}});
  ASSERT_EQ(list.size(), 1u);
  const double w = 1 / t, a = 2 * c * k * t / kPi;
  Report("ideal relay, K/(s(Ts+1)^2)", list[0], w, a);
  EXPECT_NEAR(list[0].W, w, 1e-3 * w);
  EXPECT_NEAR(list[0].A, a, 1e-3 * a);
  EXPECT_TRUE(list[0].Stable);
  EXPECT_EQ(list[0].Rank, 0);
}

TEST_F(OscillationTest, HysteresisRelayWithIntegratorAndLag) {
  // W = 1 / (s (0.5 s + 1)): Im W = -1 / (w (1 + w^2/4)) meets the line
  // Im = -pi b / (4c) of the relay, and Re W = -0.5 / (1 + w^2/4) gives
  // sqrt(A^2 - b^2) = 4c |Re W| / pi.
  const double c = 1.0, b = 0.1;
  const auto list = Oscillations({{24, {c, -c, b, -b}}, {10, {0.5, 1, 0}}, {7, {1, 0}}});
  ASSERT_EQ(list.size(), 1u);
  const double w = Root([&](double x) { return x * (1 + x * x / 4) - 4 * c / (kPi * b); }, 0.1, 10);
  const double re = 0.5 / (1 + w * w / 4);
  const double a = std::sqrt(std::pow(4 * c * re / kPi, 2) + b * b);
  Report("hysteresis relay, 1/(s(0.5s+1))", list[0], w, a);
  EXPECT_NEAR(list[0].W, w, 1e-3 * w);
  // The amplitude is read off the chord between curve points 1.2 apart.
  EXPECT_NEAR(list[0].A, a, 3e-3 * a);
  EXPECT_TRUE(list[0].Stable);
}

// 4 / (s (s + 1)^2) crosses the negative axis at w = 1 with |W| = 2: the
// oscillation needs N(A) = 1/2.
TEST_F(OscillationTest, DeadZoneInAnUnstableLoopGivesAnUnstableOscillation) {
  const double d = 0.5;
  const auto list = Oscillations({{20, {d}}, {7, {4, 0}}, {10, {1, 1, 0}}, {10, {1, 1, 0}}});
  ASSERT_EQ(list.size(), 1u);
  // 1 - (2 al + sin 2 al) / pi = 1/2, al = asin(d / A).
  const double al = Root([](double x) { return (2 * x + std::sin(2 * x)) / kPi - 0.5; }, 0, kPi / 2);
  const double a = d / std::sin(al);
  Report("dead zone, 4/(s(s+1)^2)", list[0], 1.0, a);
  EXPECT_NEAR(list[0].W, 1.0, 1e-3);
  EXPECT_NEAR(list[0].A, a, 5e-3 * a);
  EXPECT_FALSE(list[0].Stable);
}

TEST_F(OscillationTest, SaturationInAnUnstableLoopGivesASelfOscillation) {
  const double b = 0.5;
  const auto list = Oscillations({{21, {b, -b}}, {7, {4, 0}}, {10, {1, 1, 0}}, {10, {1, 1, 0}}});
  ASSERT_EQ(list.size(), 1u);
  const double al = Root([](double x) { return (2 * x + std::sin(2 * x)) / kPi - 0.5; }, 0, kPi / 2);
  const double a = b / std::sin(al);
  Report("saturation, 4/(s(s+1)^2)", list[0], 1.0, a);
  EXPECT_NEAR(list[0].W, 1.0, 1e-3);
  EXPECT_NEAR(list[0].A, a, 5e-3 * a);
  EXPECT_TRUE(list[0].Stable);
}

TEST_F(OscillationTest, StableLinearPartWithSaturationHasNone) {
  // 1 / (s (s + 1)^2) crosses at -0.5: the curve starts at -1.
  EXPECT_TRUE(Oscillations({{21, {1, -1}}, {7, {1, 0}}, {10, {1, 1, 0}}, {10, {1, 1, 0}}}).empty());
}

// Hand-made curves: a hodograph falling along Re = -2 from Im = 1 to -1.
TPointList Vertical() {
  TPointList h;
  for (int i = 0; i <= 20; ++i) h.Append(-2.0f, 1.0f - 0.1f * i, 1.0f + 0.1f * i);
  return h;
}

TEST(OscillationRuleTest, StabilityIsJudgedAtTheLargerAmplitude) {
  TDescribingCurve leftward;  // A grows to the left: the next point lies outside
  for (int i = 0; i <= 4; ++i) leftward.Points.Append(-1.25f - 0.5f * i, 0.0f, 1.0f + i), leftward.Ranks.push_back(0);
  auto list = FindOscillations(Vertical(), leftward);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_NEAR(list[0].W, 2.0, 1e-6);  // the hodograph's point on Im = 0
  EXPECT_NEAR(list[0].A, 2.5, 1e-6);  // halfway between -1.75 (A 2) and -2.25 (A 3)
  EXPECT_TRUE(list[0].Stable);

  TDescribingCurve rightward;  // A grows to the right: the next point is enclosed
  for (int i = 0; i <= 4; ++i) rightward.Points.Append(-3.25f + 0.5f * i, 0.0f, 1.0f + i), rightward.Ranks.push_back(0);
  list = FindOscillations(Vertical(), rightward);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_NEAR(list[0].A, 3.5, 1e-6);
  EXPECT_FALSE(list[0].Stable);
}

TEST(OscillationRuleTest, SharedEndpointsGiveOneRecord) {
  // The curve passes exactly through the hodograph's point (-2, 0).
  TDescribingCurve curve;
  curve.Points.Append(-1.0f, 0.0f, 1.0f);
  curve.Points.Append(-2.0f, 0.0f, 2.0f);
  curve.Points.Append(-3.0f, 0.0f, 3.0f);
  curve.Ranks = {0, 0, 0};
  const auto list = FindOscillations(Vertical(), curve);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_NEAR(list[0].A, 2.0, 1e-6);
  EXPECT_TRUE(FindOscillations(TPointList{}, curve).empty());
  EXPECT_TRUE(FindOscillations(Vertical(), TDescribingCurve{}).empty());
}

TEST(OscillationRuleTest, TableRanksAreSeparateCurves) {
  // Two ranks side by side: the segment between their entries is no curve.
  TDescribingCurve t;
  t.PulseFrequencyTable = true;
  t.AmplitudeScale = 0.1;
  t.Points.Append(-3.0f, 0.5f, 1.0f), t.Ranks.push_back(1);
  t.Points.Append(-1.0f, 0.5f, 2.0f), t.Ranks.push_back(1);
  t.Points.Append(-3.0f, -0.5f, 4.0f), t.Ranks.push_back(2);  // (-1, 0.5)-(-3, -0.5) would cross
  t.Points.Append(-1.0f, -0.5f, 5.0f), t.Ranks.push_back(2);
  t.Points.Append(-2.0f, -0.91f, 7.0f), t.Ranks.push_back(kPfmRankMany);  // a lone entry
  const auto list = FindOscillations(Vertical(), t);
  ASSERT_EQ(list.size(), 3u);
  // Rank 1 at Im 0.5 (w = 1.5), factor 1.5; amplitude = factor * d * w.
  EXPECT_EQ(list[0].Rank, 1);
  EXPECT_NEAR(list[0].W, 1.5, 1e-5);
  EXPECT_NEAR(list[0].A, 1.5 * 0.1 * 1.5, 1e-5);
  EXPECT_EQ(list[1].Rank, 2);
  EXPECT_NEAR(list[1].A, 4.5 * 0.1 * list[1].W, 1e-5);
  // The lone entry: the closest hodograph point, Im -0.9 at w 2.9.
  EXPECT_EQ(list[2].Rank, kPfmRankMany);
  EXPECT_NEAR(list[2].W, 2.9, 1e-5);
  EXPECT_NEAR(list[2].A, 7.0 * 0.1 * 2.9, 1e-5);
}

TEST(OscillationRuleTest, ReportBlocks) {
  EXPECT_EQ(OscillationsText({}), "");
  TOscillation a;
  a.W = 2;
  a.A = 0.5;
  a.Stable = true;
  TOscillation b = a;
  b.Stable = false;
  TOscillation c = a;
  c.Rank = 3;
  TOscillation d = a;
  d.Rank = kPfmRankMany;
  const std::string f = FormatNumber(1 / kPi);
  EXPECT_EQ(OscillationBlockText(a), "Частота: 2rad/с = " + f + "Гц.\nАмплитуда: 0.5 ед.\nУстойчивы (автоколебания)\n");
  EXPECT_EQ(OscillationBlockText(b), "Частота: 2rad/с = " + f + "Гц.\nАмплитуда: 0.5 ед.\nНеустойчивы\n");
  EXPECT_EQ(OscillationBlockText(c), "Частота: 2rad/с = " + f + "Гц.\nАмплитуда: 0.5 ед.\nРанг: 3\n");
  EXPECT_EQ(OscillationBlockText(d), "Частота: 2rad/с = " + f + "Гц.\nАмплитуда: 0.5 ед.\nРанг: Более 10\n");
  EXPECT_EQ(OscillationsText({a, b}),
            "Возможны колебания:\n" + OscillationBlockText(a) + "* * *\n" + OscillationBlockText(b));
}

}  // namespace
}  // namespace vemo
