#include "frequency/roots.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <random>

#include "frequency/numeric.h"

namespace vemo {

void RootBounds(const std::vector<Real>& a, int n, Real& b1, Real& b2) {
  const Real deg = static_cast<Real>(n);
  b1 = -1.0L;
  for (int k = 1; k <= n; ++k) b1 = std::max(b1, NthRoot(k, deg * a[k] / a[0]));
  const Real last = std::fabs(a[n]) < 1e-4L ? 1e-4L : a[n];
  b2 = -1.0L;
  for (int j = 1; j <= n; ++j) b2 = std::max(b2, NthRoot(j, deg * a[n - j] / last));
}

void SolveQuadratic(Real p, Real q, Real& re1, Real& im1, Real& re2, Real& im2) {
  const Real h = p / 2.0L;
  const Real disc = h * h - q;
  if (disc >= 0.0L) {
    // The root of larger magnitude first, the other from the product q:
    // no difference of nearly equal numbers.
    const Real s = std::sqrt(disc);
    Real x1 = -(h + std::copysign(s, h));
    const Real x2 = x1 != 0.0L ? q / x1 : 0.0L;
    if (x1 == 0.0L) x1 = 0.0L;
    re1 = x1;
    re2 = x2;
    im1 = im2 = 0.0L;
  } else {
    const Real s = std::sqrt(-disc);
    re1 = re2 = -h;
    im1 = s;
    im2 = -s;
  }
}

namespace {

// Balances a square matrix (row-major, n x n) by similarity with powers of
// 2, so that rows and columns have comparable norms and the eigenvalues are
// computed to the accuracy the entries allow.
void Balance(std::vector<Real>& a, int n) {
  auto at = [&](int i, int j) -> Real& { return a[static_cast<size_t>(i) * n + j]; };
  constexpr Real kRadix = 2.0L;
  for (bool done = false; !done;) {
    done = true;
    for (int i = 0; i < n; ++i) {
      Real c = 0.0L, r = 0.0L;
      for (int j = 0; j < n; ++j) {
        if (j == i) continue;
        c += std::fabs(at(j, i));
        r += std::fabs(at(i, j));
      }
      if (c == 0.0L || r == 0.0L) continue;
      const Real total = c + r;
      Real f = 1.0L;
      for (Real g = r / kRadix; c < g; c *= kRadix * kRadix) f *= kRadix;
      for (Real g = r * kRadix; c > g; c /= kRadix * kRadix) f /= kRadix;
      if ((c + r) / f < 0.95L * total) {
        done = false;
        for (int j = 0; j < n; ++j) at(i, j) /= f;
        for (int j = 0; j < n; ++j) at(j, i) *= f;
      }
    }
  }
}

// Eigenvalues of an upper Hessenberg matrix (row-major, n x n) by the QR
// iteration with Francis double shifts; the matrix is destroyed. False when
// an eigenvalue has not converged after 60 iterations.
bool HessenbergEigenvalues(std::vector<Real>& m, int n, std::vector<Real>& wr, std::vector<Real>& wi) {
  // 1-based indices, as the algorithm is usually written.
  auto a = [&](int i, int j) -> Real& { return m[static_cast<size_t>(i - 1) * n + (j - 1)]; };
  wr.assign(static_cast<size_t>(n) + 1, 0.0L);
  wi.assign(static_cast<size_t>(n) + 1, 0.0L);
  Real norm = 0.0L;
  for (int i = 1; i <= n; ++i)
    for (int j = std::max(i - 1, 1); j <= n; ++j) norm += std::fabs(a(i, j));
  int nn = n;
  Real t = 0.0L;
  while (nn >= 1) {
    int its = 0, l = 0;
    do {
      // A negligible subdiagonal entry splits the matrix.
      for (l = nn; l >= 2; --l) {
        Real s = std::fabs(a(l - 1, l - 1)) + std::fabs(a(l, l));
        if (s == 0.0L) s = norm;
        if (std::fabs(a(l, l - 1)) + s == s) {
          a(l, l - 1) = 0.0L;
          break;
        }
      }
      Real x = a(nn, nn);
      if (l == nn) {  // one root found
        wr[nn] = x + t;
        wi[nn--] = 0.0L;
        continue;
      }
      Real y = a(nn - 1, nn - 1), w = a(nn, nn - 1) * a(nn - 1, nn);
      if (l == nn - 1) {  // two roots found
        Real p = 0.5L * (y - x), q = p * p + w, z = std::sqrt(std::fabs(q));
        x += t;
        if (q >= 0.0L) {
          z = p + std::copysign(z, p);
          wr[nn - 1] = wr[nn] = x + z;
          if (z != 0.0L) wr[nn] = x - w / z;
          wi[nn - 1] = wi[nn] = 0.0L;
        } else {
          wr[nn - 1] = wr[nn] = x + p;
          wi[nn - 1] = -(wi[nn] = z);
        }
        nn -= 2;
        continue;
      }
      if (its == 60) return false;
      if (its > 0 && its % 10 == 0) {  // exceptional shift
        t += x;
        for (int i = 1; i <= nn; ++i) a(i, i) -= x;
        const Real s = std::fabs(a(nn, nn - 1)) + std::fabs(a(nn - 1, nn - 2));
        y = x = 0.75L * s;
        w = -0.4375L * s * s;
      }
      ++its;
      // Look for two consecutive small subdiagonal entries.
      int mm = nn - 2;
      Real p = 0.0L, q = 0.0L, r = 0.0L, z = 0.0L;
      for (; mm >= l; --mm) {
        z = a(mm, mm);
        r = x - z;
        Real s = y - z;
        p = (r * s - w) / a(mm + 1, mm) + a(mm, mm + 1);
        q = a(mm + 1, mm + 1) - z - r - s;
        r = a(mm + 2, mm + 1);
        s = std::fabs(p) + std::fabs(q) + std::fabs(r);
        p /= s;
        q /= s;
        r /= s;
        if (mm == l) break;
        const Real u = std::fabs(a(mm, mm - 1)) * (std::fabs(q) + std::fabs(r));
        const Real v = std::fabs(p) * (std::fabs(a(mm - 1, mm - 1)) + std::fabs(z) + std::fabs(a(mm + 1, mm + 1)));
        if (u + v == v) break;
      }
      for (int i = mm + 2; i <= nn; ++i) {
        a(i, i - 2) = 0.0L;
        if (i != mm + 2) a(i, i - 3) = 0.0L;
      }
      // The double QR step on rows and columns l..nn.
      for (int k = mm; k <= nn - 1; ++k) {
        if (k != mm) {
          p = a(k, k - 1);
          q = a(k + 1, k - 1);
          r = k != nn - 1 ? a(k + 2, k - 1) : 0.0L;
          x = std::fabs(p) + std::fabs(q) + std::fabs(r);
          if (x != 0.0L) {
            p /= x;
            q /= x;
            r /= x;
          }
        }
        const Real s = std::copysign(std::sqrt(p * p + q * q + r * r), p);
        if (s == 0.0L) continue;
        if (k == mm) {
          if (l != mm) a(k, k - 1) = -a(k, k - 1);
        } else {
          a(k, k - 1) = -s * x;
        }
        p += s;
        x = p / s;
        y = q / s;
        z = r / s;
        q /= p;
        r /= p;
        for (int j = k; j <= nn; ++j) {
          p = a(k, j) + q * a(k + 1, j);
          if (k != nn - 1) {
            p += r * a(k + 2, j);
            a(k + 2, j) -= p * z;
          }
          a(k + 1, j) -= p * y;
          a(k, j) -= p * x;
        }
        for (int i = l; i <= std::min(nn, k + 3); ++i) {
          p = x * a(i, k) + y * a(i, k + 1);
          if (k != nn - 1) {
            p += z * a(i, k + 2);
            a(i, k + 2) -= p * r;
          }
          a(i, k + 1) -= p * q;
          a(i, k) -= p;
        }
      }
    } while (l < nn - 1);
  }
  wr.erase(wr.begin());
  wi.erase(wi.begin());
  return true;
}

}  // namespace

bool CompanionRoots(const std::vector<Real>& coef, int n, std::vector<Real>& re, std::vector<Real>& im) {
  re.clear();
  im.clear();
  if (n < 1 || coef.size() < static_cast<size_t>(n) + 1 || coef[static_cast<size_t>(n)] == 0.0L) return false;
  const size_t m = static_cast<size_t>(n);
  std::vector<Real> a(m * m, 0.0L);
  for (size_t k = 0; k < m; ++k) a[k] = -coef[m - 1 - k] / coef[m];
  for (size_t i = 1; i < m; ++i) a[i * m + i - 1] = 1.0L;
  Balance(a, n);
  if (!HessenbergEigenvalues(a, n, re, im)) return false;
  for (size_t i = 0; i < m; ++i)
    if (!std::isfinite(re[i]) || !std::isfinite(im[i])) return false;
  return true;
}

namespace {

constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
constexpr uint64_t kSeed = 0x5EED0F0B1A157011ULL;
constexpr int kSeedStart = 3;
constexpr int kLaguerreIterations = 200;

// The state of one root search. The working polynomial is held highest
// power first, w[0] s^m + w[1] s^(m-1) + ... + w[m]; when it is reversed its
// roots are the reciprocals of the roots being sought.
class TBairstow {
 public:
  TBairstow(const std::vector<Real>& coef, int n, std::vector<Real>& re, std::vector<Real>& im)
      : W_(static_cast<size_t>(n) + 1), M_(n), B_(W_.size()), C_(W_.size()), Re_(re), Im_(im) {
    const Real top = coef[static_cast<size_t>(n)];
    for (int i = 0; i <= n; ++i) W_[static_cast<size_t>(i)] = coef[static_cast<size_t>(n - i)] / top;
    W_[0] = 1.0L;
  }

  bool Run() {
    // Roots at the origin: a vanishing constant term.
    while (M_ > 0 && NegligibleConstant()) {
      Emit(0.0L, 0.0L, false);
      --M_;
    }
    bool started = false;
    while (M_ > 2) {
      if (!started) {
        DrawStart();
        started = true;
      }
      // Work on the end of the polynomial where the smaller roots are:
      // reverse when the reciprocal roots sum to no more than the roots.
      if (std::fabs(W_[M_ - 1] / W_[M_]) <= std::fabs(W_[1] / W_[0])) Reverse();
      if (!FindFactor()) return SolveRemainder();
      StorePair(P_, Q_);
      // Deflate: the quotient of the synthetic division is b[0..m-2].
      std::copy(B_.begin(), B_.begin() + (M_ - 1), W_.begin());
      M_ -= 2;
    }
    if (M_ == 2) {
      StorePair(W_[1] / W_[0], W_[2] / W_[0]);
    } else if (M_ == 1) {
      if (Reversed_)
        Emit(-W_[0] / W_[1], 0.0L, false);
      else
        Emit(-W_[1] / W_[0], 0.0L, false);
    }
    return true;
  }

 private:
  // The constant term of the monic working polynomial stands for a root at
  // the origin when it is 0, or when the smallest root it implies, about
  // |w[m] / w[m-1]|, is below 1e-12 of the typical size of the others,
  // |w[m-1]|^(1 / (m - 1)). A fixed bound on the constant term itself would
  // take the product of many small roots (a chain of slow lags) for zero.
  bool NegligibleConstant() const {
    const Real c = std::fabs(W_[M_]);
    if (c == 0.0L) return true;
    if (M_ < 2) return false;
    const Real next = std::fabs(W_[M_ - 1]);
    const Real typical = std::pow(next, 1.0L / static_cast<Real>(M_ - 1));
    return c < kRootTolerance * next * typical;
  }

  // When no quadratic factor is accepted from any start, the roots of what
  // is left are the eigenvalues of its companion matrix.
  bool SolveRemainder() {
    std::vector<Real> coef(static_cast<size_t>(M_) + 1), re, im;
    for (int i = 0; i <= M_; ++i) coef[static_cast<size_t>(i)] = W_[static_cast<size_t>(M_ - i)];
    if (!CompanionRoots(coef, M_, re, im)) return false;
    for (size_t i = 0; i < re.size(); ++i) Emit(re[i], im[i], Reversed_);
    M_ = 0;
    return true;
  }

  Real Uniform() { return std::generate_canonical<Real, std::numeric_limits<Real>::digits>(Rng_); }

  // A random quadratic factor whose roots r e^(+-j theta) lie in the annulus
  // given by the root bounds of the current polynomial.
  void DrawStart() {
    Real b1 = 0.0L, b2 = 0.0L;
    RootBounds(W_, M_, b1, b2);
    const Real lo = 1.0L / b2, hi = b1;
    const Real r = lo + Uniform() * (hi - lo);
    const Real theta = std::numbers::pi_v<Real> * Uniform();
    P_ = -2.0L * r * std::cos(theta);
    Q_ = r * r;
  }

  // Reverses the working polynomial; the estimate s^2 + p s + q becomes the
  // factor of the reciprocal roots, s^2 + (p/q) s + 1/q.
  void Reverse() {
    std::reverse(W_.begin(), W_.begin() + (M_ + 1));
    Reversed_ = !Reversed_;
    if (Q_ == 0.0L) {
      P_ = 0.0L;
    } else {
      P_ /= Q_;
      Q_ = 1.0L / Q_;
    }
  }

  // Synthetic division of w by s^2 + p s + q: b holds the quotient in
  // b[0..m-2] and the remainder b[m-1] (s + p) + b[m]; c holds the
  // derivatives, d b[k] / d p = -c[k-1] and d b[k] / d q = -c[k-2].
  void Divide() {
    const size_t m = static_cast<size_t>(M_);
    B_[0] = W_[0];
    B_[1] = W_[1] - P_ * B_[0];
    for (size_t k = 2; k <= m; ++k) B_[k] = W_[k] - P_ * B_[k - 1] - Q_ * B_[k - 2];
    C_[0] = B_[0];
    C_[1] = B_[1] - P_ * C_[0];
    for (size_t k = 2; k < m; ++k) C_[k] = B_[k] - P_ * C_[k - 1] - Q_ * C_[k - 2];
  }

  // The factor is accepted when both remainder coefficients are negligible
  // against the coefficient of the working polynomial at their place and
  // the terms that were subtracted from it: a test that does not depend on
  // how the polynomial or its roots are scaled. A reversed polynomial must
  // not give a root at 0 (its reciprocal would be infinite).
  bool Accepted() const {
    const size_t m = static_cast<size_t>(M_);
    const Real s1 = std::fabs(W_[m - 1]) + std::fabs(P_ * B_[m - 2]) + std::fabs(Q_ * B_[m - 3]);
    const Real s0 = std::fabs(W_[m]) + std::fabs(P_ * B_[m - 1]) + std::fabs(Q_ * B_[m - 2]);
    return std::fabs(B_[m - 1]) <= kRootTolerance * s1 && std::fabs(B_[m]) <= kRootTolerance * s0 &&
           (!Reversed_ || Q_ != 0.0L);
  }

  // One Newton step on (p, q). A (nearly) singular correction system gives
  // way to a fixed shift of the estimate instead.
  void Correct() {
    const size_t m = static_cast<size_t>(M_);
    const Real c1 = C_[m - 1], c2 = C_[m - 2], c3 = C_[m - 3];
    const Real det = c2 * c2 - c1 * c3;
    const Real scale = c2 * c2 + std::fabs(c1 * c3);
    if (!(std::fabs(det) >= kRootTolerance * scale) || det == 0.0L) {
      P_ -= 2.0L;
      Q_ *= Q_ + 1.0L;
      return;
    }
    const Real r1 = B_[m - 1], r0 = B_[m];
    P_ += (r1 * c2 - r0 * c3) / det;
    Q_ += (r0 * c2 - r1 * c1) / det;
  }

  // Iterates until a quadratic factor is accepted; a start that has not
  // converged after kBairstowIterations iterations (or that has left the
  // finite numbers) is replaced by a new one, at most kBairstowRestarts
  // times. The first start is random, the second is seeded by Laguerre's
  // iteration from the origin, which finds the root of smallest modulus:
  // dividing it out from the top is free of growing rounding errors, where
  // a factor of large roots can leave a remainder that never meets the
  // tolerance. Later starts are random; from the kSeedStart-th restart on,
  // every fourth one is seeded by Laguerre's iteration from it.
  bool FindFactor() {
    for (int restart = 0;; ++restart) {
      if (restart > 0) {
        if (restart > kBairstowRestarts) return false;
        DrawStart();
        if (restart == 1)
          SeedFromRoots(std::complex<Real>(0.0L, 0.0L));
        else if (restart >= kSeedStart && restart % 4 == 3)
          SeedFromRoots(std::complex<Real>(-P_ / 2.0L, std::sqrt(std::max(Q_ - P_ * P_ / 4.0L, 0.0L))));
      }
      for (int it = 0; it < kBairstowIterations; ++it) {
        if (!std::isfinite(P_) || !std::isfinite(Q_)) break;
        Divide();
        if (Accepted()) return true;
        Correct();
      }
    }
  }

  // Bairstow's iteration from random starts can wander for ever in a
  // polynomial of high degree. Laguerre's iteration for a single root
  // converges from almost any start (from the origin, to the root of
  // smallest modulus): a complex root gives the factor of
  // it and its conjugate, a real one is paired with a second root found
  // the same way in the polynomial divided by it. From there Bairstow's
  // iteration converges at once.
  void SeedFromRoots(std::complex<Real> start) {
    using C = std::complex<Real>;
    std::vector<Real> w(W_.begin(), W_.begin() + (M_ + 1));
    const C z1 = LaguerreRoot(w, start);
    if (!std::isfinite(z1.real()) || !std::isfinite(z1.imag())) return;
    if (std::fabs(z1.imag()) > kRootTolerance * std::abs(z1)) {
      P_ = -2.0L * z1.real();
      Q_ = std::norm(z1);
      return;
    }
    // w / (s - z1), highest power first.
    const Real x1 = z1.real();
    for (size_t k = 1; k < w.size(); ++k) w[k] += x1 * w[k - 1];
    w.pop_back();
    const C z2 = LaguerreRoot(w, C(x1, 0.0L));
    if (!std::isfinite(z2.real()) || !std::isfinite(z2.imag())) return;
    P_ = -(x1 + z2.real());
    Q_ = x1 * z2.real();
  }

  // A root of w (highest power first) by Laguerre's iteration from z.
  static std::complex<Real> LaguerreRoot(const std::vector<Real>& w, std::complex<Real> z) {
    using C = std::complex<Real>;
    const Real m = static_cast<Real>(w.size() - 1);
    for (int it = 0; it < kLaguerreIterations; ++it) {
      C v = w[0], d1 = 0.0L, d2 = 0.0L;
      for (size_t k = 1; k < w.size(); ++k) {
        d2 = d2 * z + d1;
        d1 = d1 * z + v;
        v = v * z + w[k];
      }
      if (v == C(0.0L)) break;
      const C g = d1 / v, h = g * g - 2.0L * d2 / v;
      const C root = std::sqrt((m - 1.0L) * (m * h - g * g));
      const C a = std::abs(g + root) >= std::abs(g - root) ? g + root : g - root;
      if (a == C(0.0L)) break;
      const C dz = m / a;
      z -= dz;
      if (!(std::abs(dz) > 1e-18L * std::abs(z))) break;
    }
    return z;
  }

  // Stores the two roots of s^2 + p s + q, inverted when the working
  // polynomial is reversed.
  void StorePair(Real p, Real q) {
    Real re1, im1, re2, im2;
    SolveQuadratic(p, q, re1, im1, re2, im2);
    Emit(re1, im1, Reversed_);
    Emit(re2, im2, Reversed_);
  }

  void Emit(Real re, Real im, bool invert) {
    if (invert) {
      const Real d = re * re + im * im;
      re = re / d;
      im = -im / d;
    }
    Re_[Count_] = re;
    Im_[Count_] = im;
    ++Count_;
  }

  std::vector<Real> W_;
  int M_;
  std::vector<Real> B_, C_;
  std::vector<Real>& Re_;
  std::vector<Real>& Im_;
  size_t Count_ = 0;
  bool Reversed_ = false;
  Real P_ = 0.0L, Q_ = 0.0L;
  std::mt19937_64 Rng_{kSeed};
};

}  // namespace

bool FindRoots(const std::vector<Real>& coef, int n, std::vector<Real>& re, std::vector<Real>& im) {
  const Real nan = std::numeric_limits<Real>::quiet_NaN();
  auto fail = [&](int fault) {
    std::fill(re.begin(), re.end(), nan);
    std::fill(im.begin(), im.end(), nan);
    std::feraiseexcept(fault);
    return false;
  };
  if (n < 0 || n > kMaxRootDegree || coef.size() < static_cast<size_t>(n) + 1) {
    re.assign(n > 0 && n <= kMaxRootDegree ? static_cast<size_t>(n) : 0, nan);
    im.assign(re.size(), nan);
    return fail(FE_INVALID);
  }
  re.assign(static_cast<size_t>(n), 0.0L);
  im.assign(static_cast<size_t>(n), 0.0L);
  if (n == 0) return true;
  for (int i = 0; i <= n; ++i)
    if (!std::isfinite(coef[static_cast<size_t>(i)])) return fail(FE_INVALID);
  if (coef[static_cast<size_t>(n)] == 0.0L) return fail(FE_DIVBYZERO);

  // Trial iterations may overflow or divide by zero on their way to being
  // replaced; such faults are the search's own business.
  std::fexcept_t saved;
  std::fegetexceptflag(&saved, kFaults);
  TBairstow search(coef, n, re, im);
  bool ok = search.Run();
  if (ok)
    for (int i = 0; i < n; ++i)
      if (!std::isfinite(re[static_cast<size_t>(i)]) || !std::isfinite(im[static_cast<size_t>(i)])) ok = false;
  std::fesetexceptflag(&saved, kFaults);
  return ok ? true : fail(FE_INVALID);
}

}  // namespace vemo
