#include "frequency/zero_pole.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "frequency/numeric.h"
#include "frequency/roots.h"

namespace vemo {

TZeroPoleForm::TZeroPoleForm(const TFraction& f) : TZeroPoleForm(BuildZeroPoleForm(f)) {}

void TZeroPoleForm::Release() {
  LastZero = LastPole = -1;
  ZeroRe.clear();
  ZeroIm.clear();
  PoleRe.clear();
  PoleIm.clear();
  ZeroRe.shrink_to_fit();
  ZeroIm.shrink_to_fit();
  PoleRe.shrink_to_fit();
  PoleIm.shrink_to_fit();
}

namespace {

// The roots of p into (re, im); nothing for a constant. Returns false when
// the search failed.
bool RootsOf(const TPolynomial& p, std::vector<Real>& re, std::vector<Real>& im, int32_t& last) {
  re.clear();
  im.clear();
  last = -1;
  if (p.Degree == 0) return true;
  std::vector<Real> coef(static_cast<size_t>(p.Degree) + 1);
  for (size_t i = 0; i < coef.size(); ++i) coef[i] = PolyCoef(p, i);
  const bool ok = FindRoots(coef, p.Degree, re, im);
  last = static_cast<int32_t>(re.size()) - 1;
  return ok;
}

}  // namespace

TZeroPoleForm BuildZeroPoleForm(const TFraction& f, bool* ok) {
  TZeroPoleForm form;
  const bool zerosOk = RootsOf(f.Num, form.ZeroRe, form.ZeroIm, form.LastZero);
  const bool polesOk = RootsOf(f.Den, form.PoleRe, form.PoleIm, form.LastPole);
  form.K = PolyCoef(f.Num, f.Num.Degree) / PolyCoef(f.Den, f.Den.Degree);
  form.Phi0 = 0.0L;
  if (ok) *ok = zerosOk && polesOk;
  return form;
}

void FrequencyResponse(const TZeroPoleForm& form, bool decibels, Real& amplitude, Real& phase, Real omega,
                       Real delay) {
  constexpr Real kHalfPi = std::numbers::pi_v<Real> / 2.0L;
  // A negative gain is a gain of |K| turned by half a turn, taken as -pi so
  // that a non-minimum-phase W(s) such as (1 - s)/(1 + s), whose leading
  // coefficients have opposite signs, starts at 0 degrees as it should.
  const Real k = std::fabs(form.K);
  amplitude = decibels ? ToDecibel(k) : k;
  phase = form.Phi0 - delay * omega - (form.K < 0.0L ? std::numbers::pi_v<Real> : 0.0L);

  // sign +1 for a zero (multiply, add the angle), -1 for a pole.
  auto apply = [&](const std::vector<Real>& re, const std::vector<Real>& im, int32_t last, int sign) {
    const size_t count = std::min({static_cast<size_t>(last + 1), re.size(), im.size()});
    for (size_t i = 0; i < count; ++i) {
      Real mag, angle;
      if (std::fabs(re[i]) < kRootTolerance && std::fabs(im[i]) < kRootTolerance) {
        mag = omega;  // a root at the origin
        angle = kHalfPi;
      } else {
        // d = j omega - z
        mag = std::hypot(-re[i], omega - im[i]);
        angle = std::atan2(omega - im[i], -re[i]);
      }
      if (decibels)
        amplitude += sign * ToDecibel(mag);
      else if (sign > 0)
        amplitude *= mag;
      else
        amplitude /= mag;
      phase += sign * angle;
    }
  };
  apply(form.ZeroRe, form.ZeroIm, form.LastZero, +1);
  apply(form.PoleRe, form.PoleIm, form.LastPole, -1);
}

}  // namespace vemo
