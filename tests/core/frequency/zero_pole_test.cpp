#include "frequency/zero_pole.h"

#include <algorithm>
#include <iostream>
#include <numbers>

#include "core/frequency/test_support.h"

namespace vemo::test {
namespace {

constexpr Real kPi = std::numbers::pi_v<Real>;

struct Response {
  Real amp, phase;
};
Response At(const TZeroPoleForm& form, Real omega, bool db = false, Real delay = 0) {
  Response r{};
  FrequencyResponse(form, db, r.amp, r.phase, omega, delay);
  return r;
}
Real Degrees(Real rad) { return rad * 180 / kPi; }

TEST(ZeroPoleForm, GainZerosAndPoles) {
  // (2s + 4) / (s^2 + 4s + 3) = 2 (s + 2) / ((s + 1)(s + 3))
  bool ok = false;
  std::feclearexcept(kFaults);
  const TZeroPoleForm f = BuildZeroPoleForm(Frac({4, 2}, {3, 4, 1}), &ok);
  EXPECT_TRUE(ok);
  EXPECT_FALSE(std::fetestexcept(kFaults));
  EXPECT_EQ(f.K, 2.0L);
  EXPECT_EQ(f.Phi0, 0.0L);
  EXPECT_EQ(f.LastZero, 0);
  EXPECT_EQ(f.LastPole, 1);
  EXPECT_REAL_NEAR(f.ZeroRe[0], -2.0L, 1e-18L);
  EXPECT_REAL_NEAR(std::min(f.PoleRe[0], f.PoleRe[1]), -3.0L, 1e-18L);
  EXPECT_REAL_NEAR(std::max(f.PoleRe[0], f.PoleRe[1]), -1.0L, 1e-18L);
  // Constants have no roots; a copy is independent of Release.
  const TZeroPoleForm c(Frac({6}, {3}));
  EXPECT_EQ(c.K, 2.0L);
  EXPECT_TRUE(c.LastZero == -1 && c.LastPole == -1 && c.ZeroRe.empty() && c.PoleRe.empty());
  TZeroPoleForm copy = f;
  copy.Release();
  EXPECT_TRUE(copy.LastPole == -1 && copy.PoleRe.empty());
  EXPECT_EQ(f.PoleCount(), 2);
}

TEST(ZeroPoleForm, FaultsAreRaised) {
  std::feclearexcept(kFaults);
  (void)BuildZeroPoleForm(Frac({1}, {0}));  // K = 1/0
  EXPECT_TRUE(std::fetestexcept(FE_DIVBYZERO));
  std::feclearexcept(kFaults);
  TPolynomial den = PolyNew(1000);
  den[0] = den[1000] = 1;
  bool ok = true;
  (void)BuildZeroPoleForm(FracMake(PolyConst(1), den), &ok);  // degree beyond the root finder
  EXPECT_FALSE(ok);
  EXPECT_TRUE(std::fetestexcept(FE_INVALID));
  std::feclearexcept(kFaults);
}

TEST(FrequencyResponse, TextbookElements) {
  // 1/(s + 1) at its corner: 1/sqrt 2, -3 dB, -45 degrees.
  const TZeroPoleForm lag = BuildZeroPoleForm(Frac({1}, {1, 1}));
  EXPECT_REAL_NEAR(At(lag, 1).amp, 1 / std::sqrt(2.0L), 1e-18L);
  EXPECT_REAL_NEAR(Degrees(At(lag, 1).phase), -45.0L, 1e-15L);
  EXPECT_REAL_NEAR(At(lag, 1, true).amp, -10 * std::log10(2.0L), 1e-16L);
  // 1/s: amplitude 1/w (-20 lg w dB), phase -90 degrees everywhere.
  const TZeroPoleForm integ = BuildZeroPoleForm(Frac({1}, {0, 1}));
  for (Real w : {0.001L, 1.0L, 1e4L}) {
    EXPECT_REAL_NEAR(At(integ, w).amp * w, 1.0L, 1e-17L);
    EXPECT_REAL_NEAR(At(integ, w, true).amp, -20 * std::log10(w), 1e-15L);
    EXPECT_EQ(At(integ, w).phase, -kPi / 2);
  }
  // 3s at w = 2: 6, +90 degrees.
  EXPECT_EQ(At(BuildZeroPoleForm(Frac({0, 3}, {1})), 2).phase, kPi / 2);
  // Oscillatory T = 0.5, xi = 0.1: 1/(2 xi) = 5 and -90 degrees at w = 1/T.
  const TZeroPoleForm osc = BuildZeroPoleForm(Frac({1}, {1, 0.1L, 0.25L}));
  EXPECT_REAL_NEAR(At(osc, 2).amp, 5.0L, 1e-15L);
  EXPECT_REAL_NEAR(Degrees(At(osc, 2).phase), -90.0L, 1e-13L);
}

TEST(FrequencyResponse, PhaseRunsOnWithoutWrapping) {
  const TZeroPoleForm f = BuildZeroPoleForm(Frac({1}, {1, 4, 6, 4, 1}));  // 1/(s + 1)^4
  Real last = 0;
  for (Real x = -2; x <= 4; x += 0.05L) {
    const Real p = At(f, std::pow(10.0L, x)).phase;
    EXPECT_LE(p, last + 1e-9L);
    last = p;
  }
  EXPECT_LT(Degrees(last), -359.0L);
}

TEST(FrequencyResponse, DelayOffsetAndNegativeGain) {
  TZeroPoleForm f = BuildZeroPoleForm(Frac({1}, {1, 1}));
  EXPECT_EQ(At(f, 10, false, 1).amp, At(f, 10).amp);
  EXPECT_REAL_NEAR(At(f, 10).phase - At(f, 10, false, 1).phase, 10.0L, 1e-17L);
  f.Phi0 = -kPi / 2;
  EXPECT_REAL_NEAR(At(f, 1).phase, -kPi / 2 - kPi / 4, 1e-18L);
  // A negative gain: |K| half a turn down, in both forms; (1 - s)/(1 + s)
  // starts at 0 degrees and its amplitude is 1 (0 dB) everywhere.
  const TZeroPoleForm neg = BuildZeroPoleForm(Frac({-1}, {1, 1}));
  std::feclearexcept(kFaults);
  EXPECT_REAL_NEAR(At(neg, 1).amp, std::sqrt(0.5L), 1e-18L);
  EXPECT_REAL_NEAR(At(neg, 1).phase, -kPi - kPi / 4, 1e-18L);
  EXPECT_REAL_NEAR(At(neg, 1, true).amp, 10 * std::log10(0.5L), 1e-17L);
  const TZeroPoleForm allPass = BuildZeroPoleForm(Frac({1, -1}, {1, 1}));
  EXPECT_REAL_NEAR(At(allPass, 1e-6L).phase, 0.0L, 1e-5L);
  EXPECT_REAL_NEAR(At(allPass, 1, true).amp, 0.0L, 1e-17L);
  EXPECT_FALSE(std::fetestexcept(kFaults));
  std::feclearexcept(kFaults);
}

// W(j w) from the form against the fraction evaluated directly.
TEST(FrequencyResponse, AgreesWithDirectEvaluation) {
  struct Case {
    std::vector<Complex> zeros, poles;
    Real k;
  };
  const std::vector<Case> cases = {
      {{-2}, {-1, -3, -10}, 4},
      {{{-0.5L, 2}, {-0.5L, -2}, 3}, {0, -1, {-0.2L, 1}, {-0.2L, -1}, -5}, -0.7L},
      {{-1, -1}, {-1, -1, -1, -1, -1, -1}, 1},
      {{}, {-1e-3L, -0.1L, -1, -10, -1e3L}, 1e5L},
      {{{0.3L, 1}, {0.3L, -1}}, {{-0.05L, 4}, {-0.05L, -4}, {-0.1L, 0.5L}, {-0.1L, -0.5L}, -2, -2.5L, -3, -7, -8, -9}, 2},
  };
  Real worstAmp = 0, worstPhase = 0;
  for (const Case& c : cases) {
    const TFraction w = FracMake(Poly(CoefsFromRoots(c.zeros, c.k)), Poly(CoefsFromRoots(c.poles)));
    bool ok = false;
    std::feclearexcept(kFaults);
    const TZeroPoleForm f = BuildZeroPoleForm(w, &ok);
    ASSERT_TRUE(ok);
    for (Real x = -3; x <= 3; x += 0.1L) {
      const Real omega = std::pow(10.0L, x);
      const Complex direct = Eval(w, Complex(0, omega));
      const Response r = At(f, omega);
      worstAmp = std::max(worstAmp, std::fabs(r.amp / std::abs(direct) - 1));
      worstPhase = std::max(worstPhase, std::fabs(std::remainder(r.phase - std::arg(direct), 2 * kPi)));
      EXPECT_REAL_NEAR(At(f, omega, true).amp, 20 * std::log10(std::abs(direct)), 1e-9L);
    }
    EXPECT_FALSE(std::fetestexcept(kFaults));
  }
  EXPECT_LT(worstAmp, 1e-9L);
  EXPECT_LT(worstPhase, 1e-9L);
  std::cout << "[ info ] response against direct evaluation: amplitude " << static_cast<double>(worstAmp)
            << " (relative), phase " << static_cast<double>(worstPhase) << " rad\n";
}

}  // namespace
}  // namespace vemo::test
