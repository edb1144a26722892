#include "frequency/poly_ops.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace vemo {

TPolynomial PolyNil() {
  TPolynomial p;
  p.Degree = 0;
  p.Coef.clear();
  return p;
}

bool PolyIsNil(const TPolynomial& p) { return p.Coef.empty(); }

void PolyFree(TPolynomial& p) {
  p.Degree = 0;
  p.Coef.clear();
  p.Coef.shrink_to_fit();
}

Real PolyCoef(const TPolynomial& p, size_t i) {
  return i < p.Coef.size() ? p.Coef[i] : 0.0L;
}

namespace {

TPolynomial AddScaled(const TPolynomial& a, const TPolynomial& b, Real sign) {
  TPolynomial r = PolyNew(std::max(a.Degree, b.Degree));
  for (size_t i = 0; i <= r.Degree; ++i) r.Coef[i] = PolyCoef(a, i) + sign * PolyCoef(b, i);
  return r;
}

}  // namespace

TPolynomial PolyAdd(const TPolynomial& a, const TPolynomial& b) { return AddScaled(a, b, 1.0L); }

TPolynomial PolySub(const TPolynomial& a, const TPolynomial& b) { return AddScaled(a, b, -1.0L); }

TPolynomial PolyMul(const TPolynomial& a, const TPolynomial& b) {
  // The degree is a 16-bit field. A product beyond it cannot be represented:
  // it is cut at the largest degree and reported as an overflow, the fault
  // the analyses turn into their arithmetic error.
  const size_t full = static_cast<size_t>(a.Degree) + b.Degree;
  if (full > 0xFFFF) std::feraiseexcept(FE_OVERFLOW);
  const size_t deg = std::min<size_t>(full, 0xFFFF);
  TPolynomial r = PolyNew(static_cast<uint16_t>(deg));
  for (size_t i = 0; i <= a.Degree; ++i) {
    const Real ai = PolyCoef(a, i);
    for (size_t j = 0; j <= b.Degree && i + j <= deg; ++j) r.Coef[i + j] += ai * PolyCoef(b, j);
  }
  return r;
}

bool PolyExactDivide(TPolynomial& a, TPolynomial& b) {
  const size_t nb = b.Degree, na = a.Degree;
  if (nb == 0 || na < nb) return false;
  std::vector<Real> rem(na + 1);
  for (size_t i = 0; i <= na; ++i) rem[i] = PolyCoef(a, i);
  const Real top = PolyCoef(b, nb);
  TPolynomial quot = PolyNew(static_cast<uint16_t>(na - nb));
  for (size_t k = na - nb + 1; k-- > 0;) {
    const Real qk = rem[k + nb] / top;
    quot.Coef[k] = qk;
    for (size_t i = 0; i < nb; ++i) rem[k + i] -= qk * PolyCoef(b, i);
    rem[k + nb] = 0.0L;  // consumed by this quotient coefficient
  }
  for (size_t i = 0; i < nb; ++i)
    if (!(std::fabs(rem[i]) <= kExactRemainder)) return false;
  a = std::move(quot);
  b = PolyConst(1.0L);
  return true;
}

}  // namespace vemo
