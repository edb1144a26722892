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
    while (M_ > 0 && std::fabs(W_[M_]) < kRootTolerance) {
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
      if (!FindFactor()) return false;
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
  // times. Starts are random; from the kSeedStart-th restart on, every
  // fourth one is seeded by Laguerre's iteration instead.
  bool FindFactor() {
    for (int restart = 0;; ++restart) {
      if (restart > 0) {
        if (restart > kBairstowRestarts) return false;
        DrawStart();
        if (restart >= kSeedStart && restart % 4 == 3) SeedFromRoots();
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
  // converges from almost any start: a complex root gives the factor of
  // it and its conjugate, a real one is paired with a second root found
  // the same way in the polynomial divided by it. From there Bairstow's
  // iteration converges at once.
  void SeedFromRoots() {
    using C = std::complex<Real>;
    std::vector<Real> w(W_.begin(), W_.begin() + (M_ + 1));
    const C z1 = LaguerreRoot(w, C(-P_ / 2.0L, std::sqrt(std::max(Q_ - P_ * P_ / 4.0L, 0.0L))));
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
