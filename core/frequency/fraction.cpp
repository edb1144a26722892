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

TFraction FracAdd(const TFraction& a, const TFraction& b) {
  TFraction r = FracMake(PolyAdd(PolyMul(a.Num, b.Den), PolyMul(a.Den, b.Num)), PolyMul(a.Den, b.Den));
  FracNormalize(r);
  return r;
}

TFraction FracSub(const TFraction& a, const TFraction& b) {
  TFraction r = FracMake(PolySub(PolyMul(a.Num, b.Den), PolyMul(a.Den, b.Num)), PolyMul(a.Den, b.Den));
  FracNormalize(r);
  return r;
}

TFraction FracMul(const TFraction& a, const TFraction& b) {
  TFraction r = FracMake(PolyMul(a.Num, b.Num), PolyMul(a.Den, b.Den));
  FracNormalize(r);
  return r;
}

TFraction FracDiv(const TFraction& a, const TFraction& b) {
  TFraction r = FracMake(PolyMul(a.Num, b.Den), PolyMul(a.Den, b.Num));
  FracNormalize(r);
  return r;
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

bool Significant(const std::vector<Real>& c, size_t i) { return std::fabs(c[i]) > Threshold(i); }

// The index of the only significant coefficient, or -1 when there are none
// or more than one (the scan stops at the second).
long LoneSignificant(const std::vector<Real>& c) {
  long found = -1;
  for (size_t i = 0; i < c.size(); ++i) {
    if (!Significant(c, i)) continue;
    if (found >= 0) return -1;
    found = static_cast<long>(i);
  }
  return found;
}

// The highest significant index, scanning down from the top; 0 when no
// coefficient above index 0 is significant.
size_t TopSignificant(const std::vector<Real>& c) {
  size_t i = c.size() - 1;
  while (i > 0 && !Significant(c, i)) --i;
  return i;
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
  //    outside [0.1, 10] (and is not itself negligible).
  Real m = 0.0L;
  for (Real x : num) m = std::max(m, std::fabs(x));
  for (Real x : den) m = std::max(m, std::fabs(x));
  if (m > 1e-8L && (m < 0.1L || m > 10.0L)) DivideAll(num, den, m);

  // 2-3. A polynomial with a single significant coefficient (a monomial):
  //    divide both by it, looking at the denominator first.
  long lone = LoneSignificant(den);
  if (lone >= 0) {
    DivideAll(num, den, den[static_cast<size_t>(lone)]);
  } else {
    lone = LoneSignificant(num);
    if (lone >= 0) DivideAll(num, den, num[static_cast<size_t>(lone)]);
  }

  // 4. The common power of s: the lowest index, below both degrees, at which
  //    either polynomial has a significant coefficient.
  const size_t common = std::min(num.size(), den.size()) - 1;
  size_t j = 0;
  for (size_t i = 0; i < common; ++i) {
    if (Significant(num, i) || Significant(den, i)) {
      j = i;
      break;
    }
  }

  // 5. Effective degrees.
  size_t topNum = TopSignificant(num);
  size_t topDen = TopSignificant(den);

  // 6. The zero fraction: nothing of the numerator is left above s^j and
  //    its coefficient there is negligible.
  if (static_cast<long>(topNum) - static_cast<long>(j) < 1 && std::fabs(num[j]) < 1e-8L) {
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
