#include "frequency/fraction.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>
#include <utility>
#include <vector>

namespace vemo {

TFraction FracMake(TPolynomial num, TPolynomial den) {
  TFraction f;
  f.Num = std::move(num);
  f.Den = std::move(den);
  return f;
}

TFraction FracZero() { return FracMake(PolyConst(0.0L), PolyConst(1.0L)); }
TFraction FracOne() { return FracMake(PolyConst(1.0L), PolyConst(1.0L)); }
TFraction FracMinusOne() { return FracMake(PolyConst(-1.0L), PolyConst(1.0L)); }

namespace {

// A polynomial being computed, with the sum of the absolute values of the
// terms that make up each coefficient: a coefficient that is a tiny part of
// its terms is what is left of terms that cancel, rounding noise.
struct TTerms {
  std::vector<Real> C, Size;
};

TTerms Product(const TPolynomial& a, const TPolynomial& b) {
  const TPolynomial c = PolyMul(a, b);
  TTerms t{c.Coef, std::vector<Real>(c.Coef.size(), 0.0L)};
  for (size_t i = 0; i <= a.Degree; ++i) {
    const Real ai = std::fabs(PolyCoef(a, i));
    for (size_t j = 0; j <= b.Degree && i + j < t.Size.size(); ++j) t.Size[i + j] += ai * std::fabs(PolyCoef(b, j));
  }
  return t;
}

// x + sign y, coefficient by coefficient.
TTerms Combine(TTerms x, const TTerms& y, Real sign) {
  if (y.C.size() > x.C.size()) {
    x.C.resize(y.C.size(), 0.0L);
    x.Size.resize(y.C.size(), 0.0L);
  }
  for (size_t i = 0; i < y.C.size(); ++i) {
    x.C[i] += sign * y.C[i];
    x.Size[i] += y.Size[i];
  }
  return x;
}

// The polynomial with every coefficient that is rounding noise of its terms
// set to exactly 0.
TPolynomial Settled(const TTerms& t) {
  TPolynomial p = PolyNew(static_cast<uint16_t>(t.C.size() - 1));
  for (size_t i = 0; i < t.C.size(); ++i) p.Coef[i] = std::fabs(t.C[i]) <= kCancellation * t.Size[i] ? 0.0L : t.C[i];
  return p;
}

TFraction Normalized(const TTerms& num, const TTerms& den) {
  TFraction r = FracMake(Settled(num), Settled(den));
  FracNormalize(r);
  return r;
}

}  // namespace

TFraction FracAdd(const TFraction& a, const TFraction& b) {
  return Normalized(Combine(Product(a.Num, b.Den), Product(a.Den, b.Num), 1.0L), Product(a.Den, b.Den));
}

TFraction FracSub(const TFraction& a, const TFraction& b) {
  return Normalized(Combine(Product(a.Num, b.Den), Product(a.Den, b.Num), -1.0L), Product(a.Den, b.Den));
}

TFraction FracMul(const TFraction& a, const TFraction& b) {
  return Normalized(Product(a.Num, b.Num), Product(a.Den, b.Den));
}

TFraction FracDiv(const TFraction& a, const TFraction& b) {
  return Normalized(Product(a.Num, b.Den), Product(a.Den, b.Num));
}

namespace {

// Beyond this index the significance threshold 1e-8^(i+1) is below the
// smallest extended subnormal, so it is 0 there.
constexpr size_t kThresholdCount = 640;

// Threshold of significance for the coefficient at index i: 1e-8^(i+1).
Real Threshold(size_t i) {
  static const std::array<Real, kThresholdCount> table = [] {
    std::array<Real, kThresholdCount> t{};
    Real v = 1e-8L;
    for (size_t k = 0; k < kThresholdCount; ++k) {
      t[k] = v;
      v *= 1e-8L;
    }
    return t;
  }();
  return i < kThresholdCount ? table[i] : 0.0L;
}

// A coefficient at the top of a polynomial is significant when its absolute
// value exceeds 1e-8 (1e-8)^i: leading coefficients far below that are left
// over from terms that cancelled.
bool Significant(const std::vector<Real>& c, size_t i) { return std::fabs(c[i]) > Threshold(i); }

// The highest significant index, scanning down from the top; 0 when no
// coefficient above index 0 is significant.
size_t TopSignificant(const std::vector<Real>& c) {
  size_t i = c.size() - 1;
  while (i > 0 && !Significant(c, i)) --i;
  return i;
}

// The index of the only non-zero coefficient up to the top significant one,
// or -1 when there are none or more than one (the scan stops at the
// second).
long LoneSignificant(const std::vector<Real>& c) {
  long found = -1;
  const size_t top = TopSignificant(c);
  for (size_t i = 0; i <= top; ++i) {
    if (c[i] == 0.0L) continue;
    if (found >= 0) return -1;
    found = static_cast<long>(i);
  }
  return found;
}

// The coefficients of p, exactly Degree + 1 of them (a nil polynomial reads
// as the constant 0).
std::vector<Real> Coefficients(const TPolynomial& p) {
  std::vector<Real> c(static_cast<size_t>(p.Degree) + 1);
  for (size_t i = 0; i < c.size(); ++i) c[i] = PolyCoef(p, i);
  return c;
}

TPolynomial FromRange(const std::vector<Real>& c, size_t from, size_t to) {
  TPolynomial p = PolyNew(static_cast<uint16_t>(to - from));
  for (size_t i = from; i <= to; ++i) p.Coef[i - from] = c[i];
  return p;
}

void DivideAll(std::vector<Real>& a, std::vector<Real>& b, Real d) {
  for (Real& x : a) x /= d;
  for (Real& x : b) x /= d;
}

}  // namespace

void FracNormalize(TFraction& f) {
  std::vector<Real> num = Coefficients(f.Num);
  std::vector<Real> den = Coefficients(f.Den);

  if (std::all_of(den.begin(), den.end(), [](Real x) { return x == 0.0L; }))
    std::feraiseexcept(FE_DIVBYZERO);

  // 1. Scale both polynomials by their largest coefficient when it lies
  //    outside [0.1, 10].
  Real m = 0.0L;
  for (Real x : num) m = std::max(m, std::fabs(x));
  for (Real x : den) m = std::max(m, std::fabs(x));
  if (m > 0.0L && (m < 0.1L || m > 10.0L)) DivideAll(num, den, m);

  // 2-3. A polynomial with a single coefficient (a monomial): divide both
  //    by it, looking at the denominator first.
  long lone = LoneSignificant(den);
  if (lone >= 0) {
    DivideAll(num, den, den[static_cast<size_t>(lone)]);
  } else {
    lone = LoneSignificant(num);
    if (lone >= 0) DivideAll(num, den, num[static_cast<size_t>(lone)]);
  }

  // 4. The common power of s: the lowest index, below both degrees, at which
  //    either polynomial has a non-zero coefficient. Small is not zero here:
  //    the constant term of a slow or long chain of lags can be many orders
  //    below its largest coefficient.
  const size_t common = std::min(num.size(), den.size()) - 1;
  size_t j = 0;
  for (size_t i = 0; i < common; ++i) {
    if (num[i] != 0.0L || den[i] != 0.0L) {
      j = i;
      break;
    }
  }

  // 5. Effective degrees.
  size_t topNum = TopSignificant(num);
  size_t topDen = TopSignificant(den);

  // 6. The zero fraction: nothing of the numerator is left above s^j and
  //    its coefficient there is 0. A small numerator is a small gain, not
  //    zero: what cancelled in a sum is already exactly 0.
  if (static_cast<long>(topNum) - static_cast<long>(j) < 1 && num[j] == 0.0L) {
    f = FracZero();
    return;
  }

  // 7. A positive leading coefficient of the denominator.
  if (den[topDen] < 0.0L) {
    for (Real& x : num) x = -x;
    for (Real& x : den) x = -x;
  }

  // 8. Divide out s^j and drop the insignificant leading coefficients. A
  //    denominator without any significant coefficient keeps its s^j
  //    coefficient, so the range is never empty.
  topNum = std::max(topNum, j);
  topDen = std::max(topDen, j);
  TPolynomial n = FromRange(num, j, topNum);
  TPolynomial d = FromRange(den, j, topDen);

  // 9. Exact cancellation of one polynomial by the other.
  if (d.Degree <= n.Degree)
    PolyExactDivide(n, d);
  else
    PolyExactDivide(d, n);

  f.Num = std::move(n);
  f.Den = std::move(d);
}

bool FracIsZero(const TFraction& f) {
  return f.Num.Degree == 0 && std::fabs(PolyCoef(f.Num, 0)) < 1e-15L;
}

TFraction FracCopy(const TFraction& f) { return f; }

void FracFree(TFraction& f) {
  PolyFree(f.Num);
  PolyFree(f.Den);
}

bool FracIsNil(const TFraction& f) { return PolyIsNil(f.Num) && PolyIsNil(f.Den); }

}  // namespace vemo
