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

namespace {

// The quotient of a by b computed from the top: each coefficient is the
// current top of the remainder over the top coefficient of b. Rounding
// errors grow on the way down when b has roots of large modulus.
std::vector<Real> QuotientFromTop(const TPolynomial& a, const TPolynomial& b) {
  const size_t na = a.Degree, nb = b.Degree, nq = na - nb;
  std::vector<Real> rem(na + 1), q(nq + 1);
  for (size_t i = 0; i <= na; ++i) rem[i] = PolyCoef(a, i);
  const Real top = PolyCoef(b, nb);
  for (size_t k = nq + 1; k-- > 0;) {
    q[k] = rem[k + nb] / top;
    for (size_t i = 0; i < nb; ++i) rem[k + i] -= q[k] * PolyCoef(b, i);
  }
  return q;
}

// The same quotient computed from the bottom (b has a non-zero constant
// term): each coefficient follows from the lowest one not yet matched.
// Rounding errors grow on the way up when b has roots of small modulus.
std::vector<Real> QuotientFromBottom(const TPolynomial& a, const TPolynomial& b) {
  const size_t nb = b.Degree, nq = static_cast<size_t>(a.Degree) - nb;
  std::vector<Real> q(nq + 1);
  const Real low = PolyCoef(b, 0);
  for (size_t k = 0; k <= nq; ++k) {
    Real v = PolyCoef(a, k);
    for (size_t i = 1; i <= std::min(k, nb); ++i) v -= PolyCoef(b, i) * q[k - i];
    q[k] = v / low;
  }
  return q;
}

}  // namespace

bool PolyExactDivide(TPolynomial& a, TPolynomial& b) {
  const size_t nb = b.Degree, na = a.Degree;
  if (nb == 0 || na < nb) return false;
  // An exact quotient is the same whichever end the division starts from.
  // The division from the top keeps the high coefficients exact, the one
  // from the bottom the low ones; where the two agree best, the quotient
  // passes from one to the other.
  std::vector<Real> q = QuotientFromTop(a, b);
  if (PolyCoef(b, 0) != 0.0L) {
    const std::vector<Real> low = QuotientFromBottom(a, b);
    size_t split = 0;
    Real best = 0.0L;
    for (size_t k = 0; k < q.size(); ++k) {
      const Real size = std::fabs(q[k]) + std::fabs(low[k]);
      const Real gap = size > 0.0L ? std::fabs(q[k] - low[k]) / size : 0.0L;
      if (k == 0 || gap < best) {
        best = gap;
        split = k;
      }
    }
    for (size_t k = 0; k < split; ++k) q[k] = low[k];
  }
  // Exact when every coefficient of a - q b is negligible against the
  // terms that make it up.
  for (size_t i = 0; i <= na; ++i) {
    Real r = PolyCoef(a, i), size = std::fabs(r);
    for (size_t j = i > nb ? i - nb : 0; j <= std::min(i, q.size() - 1); ++j) {
      const Real t = q[j] * PolyCoef(b, i - j);
      r -= t;
      size += std::fabs(t);
    }
    if (!(std::fabs(r) <= kExactRemainder * size)) return false;
  }
  TPolynomial quot = PolyNew(static_cast<uint16_t>(na - nb));
  quot.Coef = std::move(q);
  a = std::move(quot);
  b = PolyConst(1.0L);
  return true;
}

}  // namespace vemo
