// Helpers of the frequency-domain tests: building polynomials and fractions,
// evaluating them at complex points, and comparing extended values without
// the round trip through double that EXPECT_NEAR makes.
#pragma once
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <complex>
#include <vector>

#include "frequency/fraction.h"

namespace vemo::test {

using Complex = std::complex<Real>;
inline constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

inline TPolynomial Poly(std::vector<Real> c) {
  TPolynomial p = PolyNew(static_cast<uint16_t>(c.size() - 1));
  p.Coef = std::move(c);
  return p;
}
inline TFraction Frac(std::vector<Real> num, std::vector<Real> den) {
  return FracMake(Poly(std::move(num)), Poly(std::move(den)));
}

// Ascending coefficients of lead * prod (s - r).
inline std::vector<Real> CoefsFromRoots(const std::vector<Complex>& roots, Real lead = 1) {
  std::vector<Complex> c{lead};
  for (Complex z : roots) {
    std::vector<Complex> n(c.size() + 1, 0);
    for (size_t i = 0; i < c.size(); ++i) n[i + 1] += c[i], n[i] -= z * c[i];
    c = std::move(n);
  }
  std::vector<Real> out;
  for (Complex x : c) out.push_back(x.real());
  return out;
}

inline Complex Eval(const TPolynomial& p, Complex s) {
  Complex v = 0;
  for (size_t i = p.Coef.size(); i-- > 0;) v = v * s + p.Coef[i];
  return v;
}
inline Complex Eval(const TFraction& f, Complex s) { return Eval(f.Num, s) / Eval(f.Den, s); }

inline ::testing::AssertionResult RealNear(const char* ae, const char* be, const char*, Real a, Real b, Real tol) {
  if (std::fabs(a - b) <= tol) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << ae << " = " << static_cast<double>(a) << ", " << be << " = "
                                       << static_cast<double>(b) << ", difference "
                                       << static_cast<double>(std::fabs(a - b)) << " > " << static_cast<double>(tol);
}

inline void ExpectCoefs(const TPolynomial& p, const std::vector<Real>& c, Real tol = 1e-17L) {
  ASSERT_EQ(p.Degree + 1u, c.size());
  ASSERT_EQ(p.Coef.size(), c.size());
  for (size_t i = 0; i < c.size(); ++i) EXPECT_PRED_FORMAT3(RealNear, p[i], c[i], tol) << "index " << i;
}

}  // namespace vemo::test

#define EXPECT_REAL_NEAR(a, b, tol) EXPECT_PRED_FORMAT3(::vemo::test::RealNear, a, b, tol)
