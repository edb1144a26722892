// Scalar helpers of the frequency-domain analyses, in extended precision.
#pragma once
#include <cstddef>
#include "frequency/polynomial.h"

namespace vemo {

// The one small tolerance of the root finder: a constant term below it is a
// root at the origin, remainders and determinants are measured against it.
// The frequency response uses it to recognise roots at the origin.
inline constexpr Real kRootTolerance = 1e-12L;

// 20 lg x, computed as 20 ln x / ln 10. x <= 0 raises the platform's
// floating-point fault (invalid operation or division by zero).
Real ToDecibel(Real x);
// 10^x, computed as e^(x ln 10).
Real Pow10(Real x);
// arcsin x, computed as atan2(x, sqrt(1 - x^2)); |x| > 1 is an invalid operation.
Real ArcSin(Real x);
// The n-th root of |x|: e^(ln|x| / n) for |x| >= 1e-33, and -1 for smaller |x|
// (so that a vanishing value never wins a search for the largest root bound).
Real NthRoot(int n, Real x);

}  // namespace vemo
