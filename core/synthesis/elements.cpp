#include "synthesis/elements.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace vemo {

namespace {

constexpr Real kTol = kSynthTolerance;
constexpr Real kHalfPi = std::numbers::pi_v<Real> / 2;
// The phase offset still holds an integrator (below) or a differentiator
// (above): it counts them in units of pi/2.
constexpr Real kPhaseCount = 0.3L;

struct TRoot {
  Real Re, Im;
};
using TRoots = std::vector<TRoot>;

TRoots Roots(const std::vector<Real>& re, const std::vector<Real>& im, int32_t count) {
  TRoots r;
  const size_t n = count < 0 ? 0 : std::min({static_cast<size_t>(count), re.size(), im.size()});
  for (size_t i = 0; i < n; ++i) r.push_back({re[i], im[i]});
  return r;
}

bool IsReal(const TRoot& r) { return std::fabs(r.Im) < kTol; }
bool AtOrigin(const TRoot& r) { return std::fabs(r.Re) < kTol && std::fabs(r.Im) < kTol; }

// Index of the first partner j > i of the complex root i: imaginary parts
// that cancel and a real product; -1 when there is none.
long Partner(const TRoots& v, size_t i) {
  for (size_t j = i + 1; j < v.size(); ++j) {
    if (IsReal(v[j])) continue;
    const Real sumIm = v[i].Im + v[j].Im;
    const Real prodIm = v[i].Re * v[j].Im + v[j].Re * v[i].Im;
    if (std::fabs(sumIm) < kTol && std::fabs(prodIm) < kTol) return static_cast<long>(j);
  }
  return -1;
}

// Removes roots i and j (j > i).
void ErasePair(TRoots& v, size_t i, size_t j) {
  v.erase(v.begin() + static_cast<long>(j));
  v.erase(v.begin() + static_cast<long>(i));
}

// The first real non-zero root from index `from` on, or -1.
long RealNonZero(const TRoots& v, size_t from = 0) {
  for (size_t i = from; i < v.size(); ++i)
    if (IsReal(v[i]) && std::fabs(v[i].Re) > kTol) return static_cast<long>(i);
  return -1;
}

// A parameter as a double; a value beyond the range of double becomes NaN
// (the decomposition then refuses the element list).
double ToDouble(Real v) {
  return std::fabs(v) <= static_cast<Real>(std::numeric_limits<double>::max()) ? static_cast<double>(v)
                                                                               : std::numeric_limits<double>::quiet_NaN();
}

TSynthElement Element(uint16_t code, Real p0, Real p1 = 0, Real p2 = 0) {
  TSynthElement e;
  e.Code = code;
  e.Params[0] = ToDouble(p0);
  e.Params[1] = ToDouble(p1);
  e.Params[2] = ToDouble(p2);
  return e;
}

}  // namespace

bool IsCompoundElement(uint16_t code) { return code == kForcing2Code || code == kPidCode || code == kPiCode; }

bool ControllerForm(const TZeroPoleForm& plant, Real t, TZeroPoleForm& out) {
  if (!(plant.K != 0.0L) || !std::isfinite(plant.K) || !(t > 0.0L)) return false;
  out = TZeroPoleForm{};
  out.K = (1.0L / plant.K) / t;
  out.Phi0 = -plant.Phi0 - kHalfPi;
  out.ZeroRe = plant.PoleRe;
  out.ZeroIm = plant.PoleIm;
  out.LastZero = plant.LastPole;
  out.PoleRe = plant.ZeroRe;
  out.PoleIm = plant.ZeroIm;
  out.LastPole = plant.LastZero;
  return std::isfinite(out.K);
}

uint8_t DecomposeForm(const TZeroPoleForm& form, Real delay, std::vector<TSynthElement>& out) {
  TRoots zeros = Roots(form.ZeroRe, form.ZeroIm, form.ZeroCount());
  TRoots poles = Roots(form.PoleRe, form.PoleIm, form.PoleCount());
  Real k = form.K;
  Real phi = form.Phi0;
  for (const TRoot& r : zeros)
    if (!std::isfinite(r.Re) || !std::isfinite(r.Im)) return kCannotSynthesise;
  for (const TRoot& r : poles)
    if (!std::isfinite(r.Re) || !std::isfinite(r.Im)) return kCannotSynthesise;
  if (!std::isfinite(k) || !std::isfinite(phi)) return kCannotSynthesise;

  if (delay > kTol) {
    out.push_back(Element(kSynthDelay, delay, k));
    k = 1;
  }
  // Equal zeros and poles cancel.
  for (size_t i = 0; i < zeros.size();) {
    bool cancelled = false;
    for (size_t j = 0; j < poles.size(); ++j) {
      if (std::fabs(zeros[i].Re - poles[j].Re) < kTol && std::fabs(zeros[i].Im - poles[j].Im) < kTol) {
        poles.erase(poles.begin() + static_cast<long>(j));
        zeros.erase(zeros.begin() + static_cast<long>(i));
        cancelled = true;
        break;
      }
    }
    if (!cancelled) ++i;
  }
  // Roots at the origin become integrators and differentiators.
  for (size_t i = 0; i < poles.size();) {
    if (AtOrigin(poles[i])) {
      poles.erase(poles.begin() + static_cast<long>(i));
      phi -= kHalfPi;
    } else {
      ++i;
    }
  }
  for (size_t i = 0; i < zeros.size();) {
    if (AtOrigin(zeros[i])) {
      zeros.erase(zeros.begin() + static_cast<long>(i));
      phi += kHalfPi;
    } else {
      ++i;
    }
  }
  // A PID term from two real zeros and an integrator.
  if (phi < -kPhaseCount) {
    const long i = RealNonZero(zeros);
    const long j = i < 0 ? -1 : RealNonZero(zeros, static_cast<size_t>(i) + 1);
    if (j >= 0) {
      const Real z1 = zeros[static_cast<size_t>(i)].Re, z2 = zeros[static_cast<size_t>(j)].Re;
      out.push_back(Element(kPidCode, k, -(z1 + z2) * k, z1 * z2 * k));
      ErasePair(zeros, static_cast<size_t>(i), static_cast<size_t>(j));
      phi += kHalfPi;
      k = 1;
    }
  }
  // A PI term from a real zero and an integrator.
  if (phi < -kPhaseCount) {
    const long i = RealNonZero(zeros);
    if (i >= 0) {
      const Real z = zeros[static_cast<size_t>(i)].Re;
      out.push_back(Element(kPiCode, k, -z * k));
      zeros.erase(zeros.begin() + i);
      phi += kHalfPi;
      k = 1;
    }
  }
  // Complex zero pairs: second-order forcing terms, or PID terms while an
  // integrator is left.
  for (size_t i = 0; i < zeros.size();) {
    const long j = IsReal(zeros[i]) ? -1 : Partner(zeros, i);
    if (j < 0) {
      ++i;
      continue;
    }
    const TRoot z1 = zeros[i], z2 = zeros[static_cast<size_t>(j)];
    const Real a = -(z1.Re + z2.Re);
    const Real b = z1.Re * z2.Re - z1.Im * z2.Im;
    if (a < kTol || b * k < kTol) return kUnstableContour;
    if (phi < -kPhaseCount) {
      out.push_back(Element(kPidCode, k, a * k, b * k));
      phi += kHalfPi;
    } else {
      out.push_back(Element(kForcing2Code, k, a, b));
    }
    k = 1;
    ErasePair(zeros, i, static_cast<size_t>(j));
  }
  while (phi < -kPhaseCount) {
    out.push_back(Element(kSynthIntegrator, k));
    k = 1;
    phi += kHalfPi;
  }
  while (phi > kPhaseCount) {
    out.push_back(Element(kSynthDifferentiator, k));
    k = 1;
    phi -= kHalfPi;
  }
  // Real poles: aperiodic elements K T / (T s + 1) = K / (s - p).
  for (size_t i = 0; i < poles.size();) {
    if (!IsReal(poles[i])) {
      ++i;
      continue;
    }
    const Real p = poles[i].Re;
    if (p >= 0) return kUnstableContour;
    const Real T = -1 / p;
    out.push_back(Element(kSynthAperiodic, T, T * k));
    k = 1;
    poles.erase(poles.begin() + static_cast<long>(i));
  }
  // Complex pole pairs: oscillatory elements K/b / (T^2 s^2 + 2 xi T s + 1).
  for (size_t i = 0; i < poles.size();) {
    const long j = Partner(poles, i);
    if (j < 0) {
      ++i;
      continue;
    }
    const TRoot p1 = poles[i], p2 = poles[static_cast<size_t>(j)];
    const Real b = p1.Re * p2.Re - p1.Im * p2.Im;
    if (b < kTol) return kUnstableContour;
    const Real T = std::sqrt(1 / b);
    const Real xi = -(p1.Re + p2.Re) * T / 2;
    if (xi < 0) return kUnstableContour;
    out.push_back(Element(kSynthOscillatory, T, xi, k * T * T));
    k = 1;
    ErasePair(poles, i, static_cast<size_t>(j));
  }
  // Real zeros: forcing elements K (s - z) = K (-z) (T s + 1).
  for (size_t i = 0; i < zeros.size();) {
    if (!IsReal(zeros[i])) {
      ++i;
      continue;
    }
    const Real z = zeros[i].Re;
    if (z >= 0) return kCannotSynthesise;
    out.push_back(Element(kSynthForcing, -1 / z, -z * k));
    k = 1;
    zeros.erase(zeros.begin() + static_cast<long>(i));
  }
  if (std::fabs(k - 1) > kTol) out.push_back(Element(kSynthGain, k));
  if (!zeros.empty() || !poles.empty()) return kCannotSynthesise;
  for (const TSynthElement& e : out)
    for (double p : e.Params)
      if (!std::isfinite(p)) return kCannotSynthesise;
  return 0;
}

}  // namespace vemo
