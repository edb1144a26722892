#include "frequency/numeric.h"

#include <cmath>

namespace vemo {

Real ToDecibel(Real x) { return 20.0L * std::log(x) / std::log(10.0L); }

Real Pow10(Real x) { return std::exp(x * std::log(10.0L)); }

Real ArcSin(Real x) { return std::atan2(x, std::sqrt(1.0L - x * x)); }

Real NthRoot(int n, Real x) {
  const Real a = std::fabs(x);
  if (a < 1e-33L) return -1.0L;
  return std::exp(std::log(a) / static_cast<Real>(n));
}

}  // namespace vemo
