// The pulse-frequency modulator's table: its layout by rank, its values
// against the first harmonic of the symmetric pulse pattern worked out in
// closed form, and the oscillations of a modulator loop.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>

#include "frequency/analysis_state.h"
#include "frequency/contour.h"
#include "frequency/describing.h"
#include "frequency/oscillation.h"
#include "frequency/pfm_table.h"
#include "model/compile.h"
#include "scheme_fixtures.h"
#include "shell/program.h"

namespace vemo {
namespace {

constexpr double kPi = std::numbers::pi;

// -1/N of n impulses of weight d per half-period for the input
// mu d w sin(wt): they fire where the integral mu d (1 - cos phi) plus the
// starting accumulator d (n/2 - mu) passes k d, at cos phi_k = (n/2 - k)/mu,
// so N = 2/(pi mu) * (sum sqrt(1 - ((n - 2k)/(2 mu))^2) - j n / (2 mu)).
std::complex<double> PatternPoint(double mu, int n) {
  double s = 0;
  for (int k = 1; k <= n; ++k) {
    const double c = (n - 2.0 * k) / (2 * mu);
    s += std::sqrt(1 - c * c);
  }
  const std::complex<double> nf = 2 / (kPi * mu) * std::complex<double>(s, -n / (2 * mu));
  return -1.0 / nf;
}

TEST(PfmTableTest, LayoutByRank) {
  const auto& t = PulseFrequencyTable();
  ASSERT_EQ(t.size(), static_cast<size_t>(kPfmTableSize));
  auto rankOf = [](int i) -> int {
    const int starts[] = {0, 162, 254, 278, 309, 333, 364, 388, 419, 443, 473};
    for (int r = 10; r >= 0; --r)
      if (i >= starts[r]) return r == 10 ? kPfmRankMany : r + 1;
    return -1;
  };
  for (int i = 0; i < kPfmTableSize; ++i) {
    const TPfmTablePoint& e = t[i];
    ASSERT_EQ(e.Rank, rankOf(i)) << i;
    EXPECT_EQ(e.Pulses, e.Rank == kPfmRankMany ? 12 : e.Rank) << i;
    // Within the factors where the pattern of its rank exists.
    EXPECT_GT(e.Factor, e.Pulses / 2.0) << i;
    EXPECT_LT(e.Factor, e.Pulses / 2.0 + 1) << i;
    if (i > 0 && t[i - 1].Rank == e.Rank) {
      EXPECT_GT(e.Factor, t[i - 1].Factor) << i;
    }
    EXPECT_EQ(PfmTableEntry(i).Factor, e.Factor);
  }
  EXPECT_EQ(PfmTableEntry(kPfmTableSize).Rank, 0);
  EXPECT_EQ(PfmTableEntry(-1).Rank, 0);
  // The same table on every call.
  EXPECT_EQ(&PulseFrequencyTable(), &t);
}

TEST(PfmTableTest, ValuesMatchThePulsePattern) {
  double worst = 0;
  for (const TPfmTablePoint& e : PulseFrequencyTable()) {
    const std::complex<double> p = PatternPoint(e.Factor, e.Pulses);
    const double err = std::abs(std::complex<double>(e.Re, e.Im) - p) / std::abs(p);
    worst = std::max(worst, err);
    EXPECT_LT(err, 2e-3) << "rank " << int(e.Rank) << " factor " << e.Factor << " table " << e.Re << ","
                         << e.Im << " pattern " << p;
  }
  std::printf("[ pfm table   ] largest relative error against the pulse pattern %.2e\n", worst);
  // Rank 1 is the line Im = -pi/4, like a relay with hysteresis.
  EXPECT_NEAR(PulseFrequencyTable()[80].Im, -kPi / 4, 2e-3);
  // The table lies in the window's fixed scale.
  for (const TPfmTablePoint& e : PulseFrequencyTable()) {
    EXPECT_GT(e.Re, -2.5);
    EXPECT_GT(e.Im, -1.5);
    EXPECT_LT(e.Re, 0.0);
    EXPECT_LT(e.Im, 0.0);
  }
}

TEST(PfmTableTest, CurveOfAModulatorIsTheTable) {
  TChainClass cls;
  cls.Code = kPulseFrequencyChain;
  cls.Params[0] = 0.2;
  TDescribingCurve curve;
  BuildDescribingCurve(cls, nullptr, nullptr, 1.0, curve);
  EXPECT_TRUE(curve.PulseFrequencyTable);
  EXPECT_EQ(curve.AmplitudeScale, 0.2);
  ASSERT_EQ(curve.Points.Count(), static_cast<size_t>(kPfmTableSize));
  EXPECT_EQ(curve.Ranks[473], kPfmRankMany);
  EXPECT_FLOAT_EQ(curve.Points.Third(5), static_cast<float>(PulseFrequencyTable()[5].Factor));
}

TEST(PfmTableTest, OscillationsOfAModulatorLoopLieOnTheirPattern) {
  ResetProgramState();
  auto f = CreateField();
  // Modulator (d 0.1, h 1, pulses 0.1 s), integrator 2/s and a lag 1/(s+1).
  testing::BuildOpenChain(*f, {{101, {}}, {7, {2, 0}}, {10, {1, 1, 0}}});
  ASSERT_TRUE(RunContourCommand(*f, 0, 1, true));
  const TNonlinearPart p = FindNonlinearPart(*f, 0, 1);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  const TChainClass cls = ClassifyNonlinearChain(p.Entry, p.Last);
  ASSERT_EQ(cls.Code, kPulseFrequencyChain);
  EXPECT_EQ(cls.Params[0], 0.1);
  TDescribingCurve curve;
  BuildDescribingCurve(cls, p.Entry, p.Last, 1.0, curve);
  THodographOptions o;
  ApplyPulseTransformation(cls, o);
  THodograph h;
  ASSERT_TRUE(BuildHodograph(Analysis.Form, Analysis.Delay, -3, 3, o, h));
  const auto list = FindOscillations(h.Points, curve);
  ASSERT_FALSE(list.empty());
  for (const TOscillation& osc : list) {
    ASSERT_GE(osc.Rank, 1);
    if (osc.Rank == kPfmRankMany) continue;
    // The shaped linear part at w equals -1/N of the pattern at the factor.
    const std::complex<double> jw(0, osc.W);
    const std::complex<double> w = 2.0 / (jw * (jw + 1.0)) * (1.0 / 0.1) * (1.0 - std::exp(-jw * 0.1)) / jw;
    const std::complex<double> pat = PatternPoint(osc.A / (0.1 * osc.W), osc.Rank);
    EXPECT_LT(std::abs(w - pat), 0.01 * std::abs(pat)) << "rank " << int(osc.Rank) << " w " << osc.W;
  }
  ReleaseMacroBodies(*f);
  ResetProgramState();
}

}  // namespace
}  // namespace vemo
