#include "frequency/numeric.h"

#include <numbers>

#include "core/frequency/test_support.h"

namespace vemo::test {
namespace {

TEST(FreqScalar, DecibelsAndPowersOfTen) {
  EXPECT_REAL_NEAR(ToDecibel(10.0L), 20.0L, 1e-17L);
  EXPECT_REAL_NEAR(ToDecibel(0.01L), -40.0L, 1e-16L);
  EXPECT_REAL_NEAR(Pow10(-3.0L), 1e-3L, 1e-20L);
  for (Real x : {0.37L, 4.5L, 123.0L}) EXPECT_REAL_NEAR(Pow10(ToDecibel(x) / 20) / x, 1.0L, 1e-17L);
  std::feclearexcept(kFaults);
  (void)ToDecibel(0.0L);
  EXPECT_TRUE(std::fetestexcept(FE_DIVBYZERO));
  (void)ToDecibel(-1.0L);
  EXPECT_TRUE(std::fetestexcept(FE_INVALID));
  std::feclearexcept(kFaults);
}

TEST(FreqScalar, ArcSinAndNthRoot) {
  EXPECT_REAL_NEAR(ArcSin(0.5L), std::numbers::pi_v<Real> / 6, 1e-18L);
  EXPECT_REAL_NEAR(ArcSin(-1.0L), -std::numbers::pi_v<Real> / 2, 1e-18L);
  EXPECT_REAL_NEAR(NthRoot(3, 27.0L), 3.0L, 1e-17L);
  EXPECT_REAL_NEAR(NthRoot(2, -16.0L), 4.0L, 1e-17L);  // of the absolute value
  EXPECT_REAL_NEAR(NthRoot(4, 1e-32L), 1e-8L, 1e-24L);
  EXPECT_EQ(NthRoot(2, 0.0L), -1.0L);  // below 1e-33
  EXPECT_EQ(NthRoot(5, -9e-34L), -1.0L);
}

}  // namespace
}  // namespace vemo::test
