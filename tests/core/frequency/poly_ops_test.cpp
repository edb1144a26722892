#include "frequency/poly_ops.h"

#include "core/frequency/test_support.h"

namespace vemo::test {
namespace {

TEST(PolyOps, AddSubMul) {
  const TPolynomial a = Poly({1, 2, 3}), b = Poly({4, 5});
  ExpectCoefs(PolyAdd(a, b), {5, 7, 3});
  ExpectCoefs(PolySub(b, a), {3, 3, -3});
  ExpectCoefs(PolySub(a, a), {0, 0, 0});  // leading zeros are kept
  ExpectCoefs(PolyMul(Poly({1, 1}), Poly({1, -1, 1})), {1, 0, 0, 1});  // (1 + s)(1 - s + s^2)
  ExpectCoefs(PolyMul(PolyConst(3), b), {12, 15});
  ExpectCoefs(a, {1, 2, 3});  // operands untouched
}

TEST(PolyOps, ExactDivide) {
  TPolynomial a = Poly({0, 2, 2}), b = Poly({4, 4});  // (2s^2 + 2s) / (4s + 4) = 0.5 s
  EXPECT_TRUE(PolyExactDivide(a, b));
  ExpectCoefs(a, {0, 0.5L});
  ExpectCoefs(b, {1});
  // A remainder that changes the dividend by at most 1e-8 along the
  // imaginary axis still counts as exact (here 5e-9 against |(jw+1)(jw+2)|
  // >= 2), a larger one does not.
  TPolynomial c = Poly({2 + 5e-9L, 3, 1}), d = Poly({1, 1});
  EXPECT_TRUE(PolyExactDivide(c, d));
  ExpectCoefs(c, {2, 1});
  TPolynomial e = Poly({2 + 1e-7L, 3, 1}), f = Poly({1, 1});
  EXPECT_FALSE(PolyExactDivide(e, f));
  ExpectCoefs(e, {2 + 1e-7L, 3, 1}, 0);
  ExpectCoefs(f, {1, 1}, 0);
  // The test is relative: a dividend with small coefficients is no more
  // divisible than the same one scaled up.
  TPolynomial small = Poly({3e-9L, 4e-9L, 1e-9L}), g = Poly({2, 1});  // 1e-9 (s+1)(s+3) / (s+2)
  EXPECT_FALSE(PolyExactDivide(small, g));
  // Twenty-four lags, T = 0.1 .. 3.55: s + 1/0.5885 is no factor, however
  // well quotients computed from either end can be joined.
  TPolynomial lags = Poly({1});
  for (int i = 0; i < 24; ++i) lags = PolyMul(lags, Poly({1, 0.1L + 0.15L * i}));
  TPolynomial lead = Poly({1, 0.5885L});
  EXPECT_FALSE(PolyExactDivide(lags, lead));
  EXPECT_EQ(lags.Degree, 24);
  // One of them is, and the quotient is the product of the others to the
  // last digits at both ends.
  TPolynomial own = Poly({1, 0.1L + 0.15L * 23}), rest = Poly({1});
  for (int i = 0; i < 23; ++i) rest = PolyMul(rest, Poly({1, 0.1L + 0.15L * i}));
  ASSERT_TRUE(PolyExactDivide(lags, own));
  for (size_t i = 0; i <= 23; ++i) EXPECT_REAL_NEAR(lags[i] / rest[i], 1.0L, 1e-15L) << i;
  // A constant divisor, or one of higher degree: nothing happens.
  TPolynomial h = PolyConst(2);
  EXPECT_FALSE(PolyExactDivide(e, h));
  EXPECT_FALSE(PolyExactDivide(f, e));
}

TEST(PolyOps, ReleasedPolynomialIsNilAndReadsAsZero) {
  TPolynomial p = Poly({1, 2, 3});
  EXPECT_EQ(p.ByteSize(), 32u);
  PolyFree(p);
  EXPECT_TRUE(PolyIsNil(p));
  PolyFree(p);  // skipped
  EXPECT_TRUE(PolyIsNil(p));
  EXPECT_EQ(PolyCoef(p, 0), 0.0L);
  ExpectCoefs(PolyAdd(p, Poly({1, 1})), {1, 1});
  ExpectCoefs(PolyMul(p, Poly({1, 1})), {0, 0});
}

}  // namespace
}  // namespace vemo::test
