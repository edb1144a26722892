#include "frequency/fraction.h"

#include <algorithm>
#include <functional>

#include "core/frequency/test_support.h"

namespace vemo::test {
namespace {

// got has the values of want at a few points of the complex plane.
void ExpectSameFunction(const TFraction& got, const std::function<Complex(Complex)>& want) {
  for (Complex s : {Complex(0.3L, 0), Complex(0, 1), Complex(-0.7L, 2.5L), Complex(1.9L, -0.4L), Complex(0, 12)}) {
    const Complex w = want(s);
    EXPECT_LE(std::abs(Eval(got, s) - w), 1e-15L * std::max<Real>(1, std::abs(w)));
  }
}

TFraction Normalized(TFraction f) {
  FracNormalize(f);
  return f;
}

TEST(Fraction, ConstantsCopiesAndRelease) {
  ExpectCoefs(FracMinusOne().Num, {-1});
  ExpectCoefs(FracMinusOne().Den, {1});
  EXPECT_TRUE(FracIsZero(FracZero()));
  EXPECT_FALSE(FracIsZero(FracOne()));
  const TFraction a = Frac({1, 2}, {3, 4, 5});
  TFraction b = FracCopy(a);
  b.Num[0] = 9;
  EXPECT_EQ(a.Num[0], 1.0L);  // deep copy
  EXPECT_TRUE(FracIsNil(TFraction{}));
  FracFree(b);
  FracFree(b);  // nil members are skipped
  EXPECT_TRUE(FracIsNil(b));
  EXPECT_FALSE(FracIsZero(Frac({1e-14L}, {1})));
  EXPECT_TRUE(FracIsZero(Frac({1e-16L}, {1})));
  EXPECT_FALSE(FracIsZero(Frac({0, 0}, {1})));  // degree 1 is never zero
}

// --- Normalisation, step by step ---

TEST(Fraction, SumOfEqualLagsCancelsExactly) {
  const TFraction a = Frac({1}, {1, 1});
  const TFraction r = FracAdd(a, a);  // (2s + 2) / (s^2 + 2s + 1)
  ExpectCoefs(r.Num, {1});
  ExpectCoefs(r.Den, {0.5L, 0.5L});
  ExpectCoefs(a.Den, {1, 1}, 0);  // operands untouched
}

TEST(Fraction, OnlyACancelledNumeratorIsZero) {
  // What is left of terms that cancel is 0/1, however the operands were
  // rounded on their way.
  const TFraction a = Frac({0.1L, 0.3L}, {0.7L, 1.1L, 0.2L});
  TFraction b = FracMul(FracDiv(a, Frac({3}, {7})), Frac({3}, {7}));
  for (const TFraction& zero : {FracSub(a, b), FracSub(FracAdd(a, a), FracAdd(b, b))}) {
    ExpectCoefs(zero.Num, {0}, 0);
    ExpectCoefs(zero.Den, {1}, 0);
  }
  // A small gain is a gain: it keeps its value at every scale.
  for (Real k : {1e-10L, 3e-9L, 1e-30L}) {
    TFraction f = Frac({k}, {2, 5, 1});
    FracNormalize(f);
    EXPECT_LT(std::abs(Eval(f, Complex(0, 1)) / (k / Complex(1, 5)) - Real(1)), 1e-17L);
  }
}

TEST(Fraction, DenominatorBecomesPositive) {
  const TFraction f = Normalized(Frac({1}, {0, -2}));
  ExpectCoefs(f.Num, {-0.5L});
  ExpectCoefs(f.Den, {0, 1});
  const TFraction g = Normalized(Frac({1, 2}, {-2, -3, -1}));
  EXPECT_GT(g.Den[2], 0.0L);
}

TEST(Fraction, ScaleMonomialPowerOfSAndLeadingTerms) {
  // Large coefficients are brought to a largest one of 1.
  const TFraction a = Normalized(Frac({100, 300}, {1000, 2000, 500}));
  Real m = 0;
  for (const auto* p : {&a.Num, &a.Den})
    for (Real c : p->Coef) m = std::max(m, std::fabs(c));
  EXPECT_REAL_NEAR(m, 1.0L, 1e-18L);
  // A lone significant coefficient of the denominator becomes 1.
  const TFraction b = Normalized(Frac({2, 4}, {0, 4}));
  ExpectCoefs(b.Num, {0.5L, 1});
  ExpectCoefs(b.Den, {0, 1});
  // The common s of (s^2 + s) / (s^3 + 2 s^2) is divided out.
  const TFraction c = Normalized(Frac({0, 1, 1}, {0, 0, 2, 1}));
  ExpectCoefs(c.Num, {1, 1});
  ExpectCoefs(c.Den, {0, 2, 1});
  // Insignificant leading coefficients are dropped (thresholds 1e-24 at s^2).
  const TFraction d = Normalized(Frac({1, 2, 1e-25L}, {1, 3, 1e-30L}));
  ExpectCoefs(d.Num, {1, 2});
  ExpectCoefs(d.Den, {1, 3});
}

TEST(Fraction, ExactQuotientOnlyWhenOneDividesTheOther) {
  const TFraction f = Normalized(Frac({2, 3, 1}, {1, 1}));  // = s + 2
  ExpectCoefs(f.Num, {2, 1}, 1e-18L);
  ExpectCoefs(f.Den, {1});
  const TFraction g = Normalized(Frac({2, 3, 1}, {3, 4, 1}));  // common s + 1 stays
  EXPECT_EQ(g.Num.Degree, 2);
  EXPECT_EQ(g.Den.Degree, 2);
}

TEST(Fraction, DivisionByZeroFractionRaisesFault) {
  std::feclearexcept(kFaults);
  (void)FracDiv(Frac({1}, {1, 1}), Frac({2}, {1, 1}));
  EXPECT_FALSE(std::fetestexcept(kFaults));
  const TFraction r = FracDiv(Frac({1}, {1, 1}), FracZero());
  EXPECT_TRUE(std::fetestexcept(FE_DIVBYZERO));
  EXPECT_EQ(r.Den.Degree, 0);  // still kept small
  std::feclearexcept(kFaults);
}

// --- The four operations against pointwise arithmetic ---

TEST(Fraction, OperationsAgreeWithPointwiseArithmetic) {
  const TFraction a = Frac({1, 0.5L}, {2, 3, 1}), b = Frac({0, 4}, {1, 0.2L}), c = Frac({-3}, {1, 1.4L, 1, 0.1L});
  auto A = [&](Complex s) { return Eval(a, s); };
  auto B = [&](Complex s) { return Eval(b, s); };
  std::feclearexcept(kFaults);
  ExpectSameFunction(FracAdd(a, b), [&](Complex s) { return A(s) + B(s); });
  ExpectSameFunction(FracSub(a, b), [&](Complex s) { return A(s) - B(s); });
  ExpectSameFunction(FracMul(a, b), [&](Complex s) { return A(s) * B(s); });
  ExpectSameFunction(FracDiv(a, b), [&](Complex s) { return A(s) / B(s); });
  ExpectSameFunction(FracDiv(FracAdd(a, c), FracMul(b, c)),
                     [&](Complex s) { return (A(s) + Eval(c, s)) / (B(s) * Eval(c, s)); });
  EXPECT_FALSE(std::fetestexcept(kFaults));
}

TEST(Fraction, InverseOperationsRestoreTheOperand) {
  const TFraction a = Frac({1}, {1, 1}), b = Frac({2, 1}, {3, 1});
  const TFraction r = FracDiv(FracMul(a, b), b);  // every common factor cancels
  ExpectCoefs(r.Num, {1});
  ExpectCoefs(r.Den, {1, 1});
  ExpectSameFunction(FracSub(FracAdd(a, b), b), [&](Complex s) { return Eval(a, s); });
  EXPECT_TRUE(FracIsZero(FracSub(b, b)));
  // Unit feedback around 5/s closes to 1/(0.2 s + 1).
  const TFraction open = Frac({5}, {0, 1});
  const TFraction closed = FracDiv(open, FracAdd(FracOne(), open));
  ExpectCoefs(closed.Num, {1});
  ExpectCoefs(closed.Den, {1, 0.2L});
}

}  // namespace
}  // namespace vemo::test
