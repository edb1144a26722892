#include "frequency/roots.h"

#include <algorithm>
#include <iostream>
#include <numbers>
#include <random>

#include "core/frequency/test_support.h"

namespace vemo::test {
namespace {

std::vector<Complex> Pairs(const std::vector<Complex>& upper) {
  std::vector<Complex> r;
  for (Complex z : upper) r.push_back(z), r.push_back(std::conj(z));
  return r;
}

// Largest distance of a found root from its (nearest unused) true root,
// relative to max(1, |true root|).
Real ForwardError(const std::vector<Complex>& truth, const std::vector<Real>& re, const std::vector<Real>& im) {
  std::vector<bool> used(truth.size(), false);
  Real worst = 0;
  for (size_t i = 0; i < re.size(); ++i) {
    Real best = INFINITY;
    size_t at = 0;
    for (size_t j = 0; j < truth.size(); ++j) {
      const Real d = std::abs(Complex(re[i], im[i]) - truth[j]) / std::max<Real>(1, std::abs(truth[j]));
      if (!used[j] && d < best) best = d, at = j;
    }
    used[at] = true;
    worst = std::max(worst, best);
  }
  return worst;
}

// Coefficients rebuilt from the found roots against the given ones,
// relative to the largest given coefficient.
Real BackwardError(const std::vector<Real>& coef, const std::vector<Real>& re, const std::vector<Real>& im) {
  std::vector<Complex> found;
  for (size_t i = 0; i < re.size(); ++i) found.emplace_back(re[i], im[i]);
  const std::vector<Real> rebuilt = CoefsFromRoots(found, coef.back());
  Real scale = 0, worst = 0;
  for (size_t i = 0; i < coef.size(); ++i)
    scale = std::max(scale, std::fabs(coef[i])), worst = std::max(worst, std::fabs(rebuilt[i] - coef[i]));
  return worst / scale;
}

// FindRoots on lead * prod (s - r): success without faults, forward error
// within tol, backward error within 1e-9. Returns the forward error.
Real Recover(const std::vector<Complex>& roots, Real tol, Real lead = 1) {
  const std::vector<Real> coef = CoefsFromRoots(roots, lead);
  std::vector<Real> re, im;
  std::feclearexcept(kFaults);
  EXPECT_TRUE(FindRoots(coef, static_cast<int>(roots.size()), re, im));
  EXPECT_FALSE(std::fetestexcept(kFaults));
  const Real err = ForwardError(roots, re, im);
  EXPECT_LE(err, tol) << "degree " << roots.size();
  EXPECT_LE(BackwardError(coef, re, im), 1e-9L);
  return err;
}

TEST(FindRoots, DirectCases) {
  std::vector<Real> re, im;
  ASSERT_TRUE(FindRoots({0, 0, 0, 1}, 3, re, im));  // s^3: three zeros, no iteration
  EXPECT_EQ(re, std::vector<Real>(3, 0));
  EXPECT_EQ(im, std::vector<Real>(3, 0));
  ASSERT_TRUE(FindRoots({3, 2}, 1, re, im));
  EXPECT_REAL_NEAR(re[0], -1.5L, 1e-18L);
  ASSERT_TRUE(FindRoots({10, 4, 2}, 2, re, im));  // 2((s + 1)^2 + 4)
  EXPECT_EQ(re, std::vector<Real>({-1, -1}));
  EXPECT_EQ(im, std::vector<Real>({2, -2}));
  Real r1, i1, r2, i2;
  SolveQuadratic(1e8L, 1, r1, i1, r2, i2);  // no cancellation in the small root
  EXPECT_REAL_NEAR(r1 * r2, 1.0L, 1e-18L);
  EXPECT_REAL_NEAR(r2, -1e-8L - 1e-24L, 1e-26L);
}

TEST(FindRoots, RootBoundsFormula) {
  // Highest power first: s^3 + 7 s^2 + 14 s + 8, roots -1, -2, -4.
  Real b1 = 0, b2 = 0;
  RootBounds({1, 7, 14, 8}, 3, b1, b2);
  EXPECT_REAL_NEAR(b1, 21.0L, 1e-17L);  // max(3*7, sqrt(3*14), cbrt(3*8))
  EXPECT_REAL_NEAR(b2, 42.0L / 8, 1e-17L);
  EXPECT_GE(b1, 4.0L);  // |z| <= b1
  EXPECT_GE(b2, 1.0L);  // 1/|z| <= b2
  RootBounds({1, 0, 1e-6L}, 2, b1, b2);  // vanishing terms give -1; a' = 1e-4
  EXPECT_REAL_NEAR(b2, std::sqrt(2e4L), 1e-14L);
}

TEST(FindRoots, SeparatedRootsUpToDegreeThirty) {
  Real worst = 0;
  std::vector<Complex> upper, real;
  for (int k = 0; k < 15; ++k) upper.emplace_back(-0.1L * (k + 1), 0.5L + 0.3L * k);
  for (int k = 1; k <= 10; ++k) real.emplace_back(-k / 2.0L, 0);
  worst = std::max(worst, Recover(Pairs(upper), 1e-6L));
  worst = std::max(worst, Recover(real, 1e-7L));
  for (Real radius : {0.5L, 1.5L, 4.0L}) {
    std::vector<Complex> r;
    for (int k = 0; k < 30; ++k) r.push_back(std::polar(radius, std::numbers::pi_v<Real> * (2 * k + 1) / 30));
    worst = std::max(worst, Recover(r, 1e-10L));
  }
  worst = std::max(worst, Recover({-1e-3L, -1e-2L, -0.1L, -1, -10, -100, -1e3L}, 1e-10L));  // 1 ms .. 1000 s
  worst = std::max(worst, Recover(Pairs({{0, 1}, {0, 2}, {0, 3}}), 1e-10L));
  worst = std::max(worst, Recover({1, 2, {0.5L, 3}, {0.5L, -3}, -4}, 1e-10L));
  for (Real lead : {1e-6L, -3.0L, 1e6L}) worst = std::max(worst, Recover(Pairs({{-1, 1}, {-0.2L, 3}}), 1e-12L, lead));
  std::cout << "[ info ] separated roots: largest error " << static_cast<double>(worst) << "\n";
}

TEST(FindRoots, RepeatedAndClusteredRoots) {
  // A k-fold root moves by about (1e-12)^(1/k) under the remainder test:
  // 1e-6 for a double root, 1e-2 for a sixfold one.
  Real worst = 0;
  for (int k = 2; k <= 6; ++k)
    worst = std::max(worst, Recover(std::vector<Complex>(static_cast<size_t>(k), -1), 3 * std::pow(1e-12L, 1.0L / k)));
  Recover({-2, -2, -2, -5}, 1e-3L);
  Recover(Pairs({{-1, 2}, {-1, 2}, {-1, 2}}), 1e-3L);
  Recover({-1, -1, -1, -2, -2, {-0.5L, 1}, {-0.5L, -1}, {-0.5L, 1}, {-0.5L, -1}}, 1e-3L);
  const Real cluster = Recover({-1, -1.01L, -1.02L, -1.03L, -1.04L}, 1e-5L);
  std::cout << "[ info ] (s+1)^k, k <= 6: largest error " << static_cast<double>(worst)
            << "; five roots 0.01 apart: " << static_cast<double>(cluster) << "\n";
}

TEST(FindRoots, SmallRootsAreNotTheOrigin) {
  // Twelve slow lags (T = 10 .. 120 s): the constant term of the monic
  // polynomial is about 1e-21, yet no root lies at the origin.
  std::vector<Complex> slow;
  for (int k = 1; k <= 12; ++k) slow.emplace_back(-0.1L / k, 0);
  Recover(slow, 1e-10L);
  // A root at -8e-14 beside roots up to 20 in modulus, as an inexact
  // cancellation leaves of an integrator, is below 1e-12 of the others: it
  // is the origin. The factors of large roots are found around it.
  const std::vector<Complex> mixed = {-8e-14L, -1, -1.1L, -1.25L, -1.5L, {-3, 9.5L}, {-3, -9.5L}, {-10, 17.3L}, {-10, -17.3L}, -10};
  Recover(mixed, 1e-9L);
  std::vector<Real> re, im;
  ASSERT_TRUE(FindRoots(CoefsFromRoots(mixed), 10, re, im));
  EXPECT_EQ(std::count(re.begin(), re.end(), 0.0L), 1);
  // At -3e-10 it is a root of its own, found to its own precision.
  std::vector<Complex> slowest = mixed;
  slowest[0] = -3e-10L;
  Recover(slowest, 1e-9L);
  ASSERT_TRUE(FindRoots(CoefsFromRoots(slowest), 10, re, im));
  EXPECT_EQ(std::count_if(re.begin(), re.end(), [](Real x) { return std::fabs(x / -3e-10L - 1) < 1e-9L; }), 1);
  // An exact 0 is still a root at the origin, found without iteration.
  ASSERT_TRUE(FindRoots({0, 2, 3, 1}, 3, re, im));
  EXPECT_EQ(re[0], 0.0L);
  EXPECT_EQ(im[0], 0.0L);
}

TEST(FindRoots, RandomPolynomialsUpToDegreeThirty) {
  std::mt19937 gen(12345);
  std::uniform_real_distribution<double> unit(-1, 1);
  Real worst = 0;
  for (int trial = 0; trial < 300; ++trial) {
    const int n = 3 + trial % 28;
    std::vector<Complex> r;
    while (static_cast<int>(r.size()) < n) {
      const Real mag = std::pow(10.0L, static_cast<Real>(unit(gen)));  // 0.1 .. 10
      const Complex z(unit(gen) * mag, unit(gen) * mag);
      if (static_cast<int>(r.size()) + 2 <= n && gen() % 2)
        r.push_back(z), r.push_back(std::conj(z));
      else
        r.emplace_back(z.real(), 0);
    }
    const std::vector<Real> coef = CoefsFromRoots(r);
    std::vector<Real> re, im;
    std::feclearexcept(kFaults);
    ASSERT_TRUE(FindRoots(coef, n, re, im)) << "trial " << trial;
    EXPECT_FALSE(std::fetestexcept(kFaults)) << "trial " << trial;
    worst = std::max(worst, BackwardError(coef, re, im));
  }
  EXPECT_LE(worst, 1e-9L);
  std::cout << "[ info ] 300 random polynomials: largest backward error " << static_cast<double>(worst) << "\n";
}

TEST(FindRoots, HighDegreeAndDeterminism) {
  std::vector<Real> coef(201, 0), re, im, re2, im2;
  coef[0] = coef[200] = 1;  // s^200 + 1: roots on the unit circle
  ASSERT_TRUE(FindRoots(coef, 200, re, im));
  for (size_t i = 0; i < 200; ++i) EXPECT_LT(std::fabs(std::abs(Complex(re[i], im[i])) - 1), 1e-8L);
  ASSERT_TRUE(FindRoots(coef, 200, re2, im2));
  EXPECT_EQ(re, re2);  // same seed every call
  EXPECT_EQ(im, im2);
}

TEST(FindRoots, FailuresRaiseFaults) {
  std::vector<Real> re, im, big(1001, 0);
  big[0] = big[1000] = 1;
  std::feclearexcept(kFaults);
  EXPECT_FALSE(FindRoots(big, 1000, re, im));  // beyond the working arrays
  EXPECT_TRUE(std::fetestexcept(FE_INVALID));
  EXPECT_FALSE(FindRoots({1, 1}, 3, re, im));  // too few coefficients
  EXPECT_FALSE(FindRoots({1, NAN, 3, 1}, 3, re, im));
  std::feclearexcept(kFaults);
  EXPECT_FALSE(FindRoots({1, 2, 0}, 2, re, im));  // zero top coefficient
  EXPECT_TRUE(std::fetestexcept(FE_DIVBYZERO));
  EXPECT_TRUE(re.size() == 2 && std::isnan(re[0]));
  std::feclearexcept(kFaults);
}

TEST(FindRoots, HighDegreeWhereRandomStartsWander) {
  // s^300 + 1: the starting radii drawn from the bounds of the deflated
  // polynomials lie far outside the unit circle and random starts do not
  // converge in 701 iterations; the seeded restarts, and where they fail
  // too the companion matrix, find all 300 distinct roots.
  std::vector<Real> coef(301, 0), re, im;
  coef[0] = coef[300] = 1;
  ASSERT_TRUE(FindRoots(coef, 300, re, im));
  std::vector<Real> angles;
  for (size_t i = 0; i < 300; ++i) {
    EXPECT_LT(std::abs(std::pow(Complex(re[i], im[i]), 300) + Real(1)), 1e-8L);
    angles.push_back(std::atan2(im[i], re[i]));
  }
  std::sort(angles.begin(), angles.end());
  for (size_t i = 1; i < 300; ++i) EXPECT_GT(angles[i] - angles[i - 1], 0.02L);  // 2 pi / 300 apart
}

TEST(FindRoots, CompanionMatrixRoots) {
  std::vector<Real> re, im;
  ASSERT_TRUE(CompanionRoots({6, -5, 1}, 2, re, im));  // (s - 2)(s - 3)
  std::sort(re.begin(), re.end());
  EXPECT_REAL_NEAR(re[0], 2.0L, 1e-17L);
  EXPECT_REAL_NEAR(re[1], 3.0L, 1e-17L);
  const std::vector<Complex> roots = Pairs({Complex(-1, 2), Complex(-0.01L, 30), Complex(-500, 1)});
  const std::vector<Real> coef = CoefsFromRoots(roots, 3);
  ASSERT_TRUE(CompanionRoots(coef, 6, re, im));
  EXPECT_LE(ForwardError(roots, re, im), 1e-15L);
  EXPECT_FALSE(CompanionRoots({1, 2, 0}, 2, re, im));  // zero top coefficient
}

TEST(FindRoots, SearchThatCannotConvergeGivesUp) {
  // Coefficients whose ratios overflow: neither Bairstow's iteration nor
  // the companion matrix gets a finite number out of them.
  std::vector<Real> coef{1e4900L, 1, 1e4900L, 1e-4900L}, re, im;
  std::feclearexcept(kFaults);
  EXPECT_FALSE(FindRoots(coef, 3, re, im));
  EXPECT_TRUE(std::fetestexcept(FE_INVALID));
  EXPECT_TRUE(re.size() == 3 && std::all_of(re.begin(), re.end(), [](Real x) { return std::isnan(x); }));
  std::feclearexcept(kFaults);
}

}  // namespace
}  // namespace vemo::test
