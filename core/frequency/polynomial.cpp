#include "frequency/polynomial.h"

namespace vemo {

TPolynomial PolyNew(uint16_t n) {
  TPolynomial p;
  p.Degree = n;
  p.Coef.assign(static_cast<size_t>(n) + 1, 0.0L);
  return p;
}

TPolynomial PolyConst(Real c) {
  TPolynomial p = PolyNew(0);
  p.Coef[0] = c;
  return p;
}

}  // namespace vemo
