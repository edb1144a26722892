#include "frequency/fraction_matrix.h"

#include <algorithm>
#include <stdexcept>

#include "core/frequency/test_support.h"

namespace vemo::test {
namespace {

TFraction Const(Real c) { return Frac({c}, {1}); }

void ExpectConst(const TFraction& f, Real c, Real tol = 1e-17L) {
  ASSERT_EQ(f.Num.Degree, 0);
  ASSERT_EQ(f.Den.Degree, 0);
  EXPECT_REAL_NEAR(f.Num[0] / f.Den[0], c, tol);
}

TEST(FractionMatrix, ConstructionSetAndGet) {
  TFractionMatrix m(3);
  EXPECT_EQ(m.N(), 3);
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r <= 3; ++r) {
      ExpectCoefs(m.Get(r, c).Num, {r == c ? -1.0L : 0.0L}, 0);
      ExpectCoefs(m.Get(r, c).Den, {1}, 0);
    }
  m.Set(1, 0, Frac({1}, {1, 1}));
  m.Get(1, 0).Num[0] = 7;  // Get gives the stored fraction itself
  EXPECT_EQ(m.Get(1, 0).Num[0], 7.0L);
  EXPECT_THROW(m.Get(4, 0), std::out_of_range);
  EXPECT_THROW(m.Set(0, 3, FracOne()), std::out_of_range);
}

TEST(FractionMatrix, NumericSystemSolvedByHand) {
  // 2 x0 + x1 = 5, x0 + 3 x1 = 10  ->  (1, 3)
  TFractionMatrix m(2);
  const Real a[2][3] = {{2, 1, 5}, {1, 3, 10}};  // column c: coefficients, then right-hand side
  for (int c = 0; c < 2; ++c)
    for (int r = 0; r <= 2; ++r) m.Set(r, c, Const(a[c][r]));
  std::feclearexcept(kFaults);
  ASSERT_TRUE(MatrixSolve(m));
  EXPECT_FALSE(std::fetestexcept(kFaults));
  ExpectConst(m.Get(2, 0), 1);
  ExpectConst(m.Get(2, 1), 3);
  EXPECT_TRUE(FracIsZero(m.Get(0, 1)));  // cleared by the elimination
}

// A block diagram: block i reads -x_i + sum over j of W_ji x_j = rhs_i, the
// start block's right-hand side being -1 so that x_start = 1.
TEST(FractionMatrix, SeriesChainAndFeedbackLoop) {
  TFractionMatrix chain(3);
  chain.Set(0, 1, Frac({1}, {1, 1}));  // x1 = x0 / (s + 1)
  chain.Set(1, 2, Frac({2}, {2, 1}));  // x2 = 2 x1 / (s + 2)
  chain.Set(3, 0, FracMinusOne());
  ASSERT_TRUE(MatrixSolve(chain));
  for (Complex s : {Complex(0, 1), Complex(0.5L, -2)})
    EXPECT_LT(std::abs(Eval(chain.Get(3, 2), s) - Real(2) / ((s + Real(1)) * (s + Real(2)))), 1e-17L);

  TFractionMatrix loop(3);
  loop.Set(0, 1, FracOne());        // x1 = x0 - x2
  loop.Set(2, 1, FracMinusOne());
  loop.Set(1, 2, Frac({1}, {0, 1}));  // x2 = x1 / s
  loop.Set(3, 0, FracMinusOne());
  ASSERT_TRUE(MatrixSolve(loop));
  const TFraction& w = loop.Get(3, 2);  // 1 / (s + 1)
  ASSERT_EQ(w.Num.Degree, 0);
  ASSERT_EQ(w.Den.Degree, 1);
  EXPECT_REAL_NEAR(w.Den[0] / w.Num[0], 1.0L, 1e-17L);
  EXPECT_REAL_NEAR(w.Den[1] / w.Num[0], 1.0L, 1e-17L);
}

TEST(FractionMatrix, SolutionSatisfiesEveryEquation) {
  const std::vector<std::vector<TFraction>> a = {
      {Frac({-1}, {1}), Frac({1}, {1, 2}), Frac({0, 1}, {1}), Frac({1}, {1})},
      {Frac({2, 1}, {1}), Frac({-3}, {1}), Frac({1}, {0, 1}), Frac({0}, {1})},
      {Frac({1}, {1}), Frac({1, 1}, {3, 1}), Frac({-2, 0.5L}, {1}), Frac({1, 1}, {1})},
  };
  TFractionMatrix m(3);
  for (int c = 0; c < 3; ++c)
    for (int r = 0; r <= 3; ++r) m.Set(r, c, FracCopy(a[static_cast<size_t>(c)][static_cast<size_t>(r)]));
  ASSERT_TRUE(MatrixSolve(m));
  for (Complex s : {Complex(0.3L, 0.7L), Complex(0, 2), Complex(-0.5L, 1.5L)})
    for (size_t c = 0; c < 3; ++c) {
      Complex lhs = 0;
      for (int r = 0; r < 3; ++r) lhs += Eval(a[c][static_cast<size_t>(r)], s) * Eval(m.Get(3, r), s);
      EXPECT_LT(std::abs(lhs - Eval(a[c][3], s)), 1e-15L * std::max<Real>(1, std::abs(Eval(a[c][3], s))));
    }
}

TEST(FractionMatrix, ZeroPivotIsDivisionByZeroAndEarlierFlagsStay) {
  TFractionMatrix m(2);
  m.Set(1, 1, FracZero());  // the equation of x1 lacks x1
  m.Set(2, 0, FracMinusOne());
  std::feclearexcept(kFaults);
  EXPECT_FALSE(MatrixSolve(m));
  EXPECT_TRUE(std::fetestexcept(FE_DIVBYZERO));

  std::feclearexcept(kFaults);
  std::feraiseexcept(FE_OVERFLOW);
  TFractionMatrix one(1);
  one.Set(1, 0, FracMinusOne());
  EXPECT_TRUE(MatrixSolve(one));  // an earlier flag does not end this solve
  ExpectConst(one.Get(1, 0), 1);
  EXPECT_TRUE(std::fetestexcept(FE_OVERFLOW));
  EXPECT_FALSE(std::fetestexcept(FE_DIVBYZERO));
  std::feclearexcept(kFaults);
}

}  // namespace
}  // namespace vemo::test
