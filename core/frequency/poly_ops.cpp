#include "frequency/poly_ops.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <complex>

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
// current top of the remainder over the top coefficient of b. rem receives
// the remainder (its coefficients below deg b) and size, for each of them,
// the same division done on the absolute values: how large the terms were
// that it is made of, through every quotient coefficient on the way (for
// b = s - z, sum |a_i| |z|^i against the remainder a(z)).
std::vector<Real> QuotientFromTop(const TPolynomial& a, const TPolynomial& b, std::vector<Real>& rem,
                                  std::vector<Real>& size) {
  const size_t na = a.Degree, nb = b.Degree, nq = na - nb;
  rem.assign(na + 1, 0.0L);
  size.assign(na + 1, 0.0L);
  std::vector<Real> q(nq + 1);
  for (size_t i = 0; i <= na; ++i) rem[i] = PolyCoef(a, i), size[i] = std::fabs(rem[i]);
  const Real top = PolyCoef(b, nb);
  for (size_t k = nq + 1; k-- > 0;) {
    q[k] = rem[k + nb] / top;
    const Real qSize = size[k + nb] / std::fabs(top);
    for (size_t i = 0; i < nb; ++i) {
      rem[k + i] -= q[k] * PolyCoef(b, i);
      size[k + i] += qSize * std::fabs(PolyCoef(b, i));
    }
  }
  return q;
}

// The same quotient computed from the bottom (b has a non-zero constant
// term): each coefficient follows from the lowest one not yet matched.
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

namespace {

// The largest |r(jw)| / |a(jw)| over w = 10^-8 .. 10^8 in quarter decades:
// how much replacing a by a - r changes it where frequency responses are
// read. Points where either value is not finite tell nothing.
Real LargestChangeOnTheAxis(const TPolynomial& a, const std::vector<Real>& r) {
  using C = std::complex<Real>;
  auto eval = [](auto coef, size_t n, C s) {
    C v = 0;
    for (size_t i = n; i-- > 0;) v = v * s + coef(i);
    return v;
  };
  Real worst = 0.0L;
  for (int k = -32; k <= 32; ++k) {
    const C s(0.0L, std::pow(10.0L, static_cast<Real>(k) / 4));
    const Real va = std::abs(eval([&](size_t i) { return PolyCoef(a, i); }, static_cast<size_t>(a.Degree) + 1, s));
    const Real vr = std::abs(eval([&](size_t i) { return r[i]; }, r.size(), s));
    if (!std::isfinite(va) || !std::isfinite(vr)) continue;
    if (vr == 0.0L) continue;
    if (va == 0.0L) return INFINITY;
    worst = std::max(worst, vr / va);
  }
  return worst;
}

}  // namespace

bool PolyExactDivide(TPolynomial& a, TPolynomial& b) {
  const size_t nb = b.Degree, na = a.Degree;
  if (nb == 0 || na < nb) return false;
  // First the long division's own test: every coefficient of the remainder
  // negligible against the terms it was made of.
  std::vector<Real> rem, size;
  std::vector<Real> q = QuotientFromTop(a, b, rem, size);
  for (size_t i = 0; i < nb; ++i)
    if (!(std::fabs(rem[i]) <= kExactRemainder * size[i])) return false;
  // The division from the top gathers the rounding errors in the low
  // coefficients of the quotient when b has roots of large modulus, the
  // one from the bottom in the high ones when b has small roots. The
  // quotient takes its high coefficients from the first and its low ones
  // from the second, passing over where the two agree best.
  if (PolyCoef(b, 0) != 0.0L) {
    const std::vector<Real> low = QuotientFromBottom(a, b);
    size_t split = 0;
    Real best = 0.0L;
    for (size_t k = 0; k < q.size(); ++k) {
      const Real total = std::fabs(q[k]) + std::fabs(low[k]);
      const Real gap = total > 0.0L ? std::fabs(q[k] - low[k]) / total : 0.0L;
      if (k == 0 || gap < best) {
        best = gap;
        split = k;
      }
    }
    for (size_t k = 0; k < split; ++k) q[k] = low[k];
  }
  // Then what counts: q b must be a itself along the imaginary axis. A
  // polynomial whose roots lie spread on the negative real axis comes close
  // to a multiple of many a factor in its coefficients alone.
  std::vector<Real> r(na + 1);
  for (size_t i = 0; i <= na; ++i) {
    Real v = PolyCoef(a, i);
    for (size_t j = i > nb ? i - nb : 0; j <= std::min(i, q.size() - 1); ++j) v -= q[j] * PolyCoef(b, i - j);
    r[i] = v;
  }
  if (!(LargestChangeOnTheAxis(a, r) <= kExactChange)) return false;
  TPolynomial quot = PolyNew(static_cast<uint16_t>(na - nb));
  quot.Coef = std::move(q);
  a = std::move(quot);
  b = PolyConst(1.0L);
  return true;
}

}  // namespace vemo
