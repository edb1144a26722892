// The gain-zeros-poles form of a transfer function and its amplitude and
// phase at a frequency.
//
//   W(s) = K e^(j phi0) * prod (s - z_i) / prod (s - p_i)
#pragma once
#include <cstdint>
#include <vector>

#include "frequency/fraction.h"
#include "frequency/polynomial.h"

namespace vemo {

// Most roots one array of the form holds.
inline constexpr int32_t kMaxFormRoots = 1000;

class TZeroPoleForm {
 public:
  TZeroPoleForm() = default;
  // The form of f, as BuildZeroPoleForm makes it. The form keeps no copy of
  // the fraction.
  explicit TZeroPoleForm(const TFraction& f);
  virtual ~TZeroPoleForm() = default;
  TZeroPoleForm(const TZeroPoleForm&) = default;
  TZeroPoleForm& operator=(const TZeroPoleForm&) = default;
  TZeroPoleForm(TZeroPoleForm&&) = default;
  TZeroPoleForm& operator=(TZeroPoleForm&&) = default;

  int32_t ZeroCount() const { return LastZero + 1; }
  int32_t PoleCount() const { return LastPole + 1; }
  // Releases the root arrays: no zeros and no poles remain.
  void Release();

  Real K = 1.0L;        // gain: top numerator over top denominator coefficient
  Real Phi0 = 0.0L;     // phase offset, radians
  int32_t LastZero = -1;  // number of zeros minus 1 (-1: none)
  int32_t LastPole = -1;  // number of poles minus 1
  std::vector<Real> ZeroRe, ZeroIm;  // empty when there are no zeros
  std::vector<Real> PoleRe, PoleIm;
};

// Zeros are the roots of the numerator, poles the roots of the denominator
// (no search for a polynomial of degree 0); K is the top coefficient of the
// numerator over the top coefficient of the denominator; phi0 = 0.
//
// A zero top coefficient of the denominator gives the division by zero of
// the platform (FE_DIVBYZERO). When a root search fails (see FindRoots) it
// raises FE_INVALID or FE_DIVBYZERO, *ok (when given) becomes false and the
// roots of that polynomial are NaN; the caller reports the fault.
TZeroPoleForm BuildZeroPoleForm(const TFraction& f, bool* ok = nullptr);

// Amplitude and phase of the form at the angular frequency omega > 0, with
// the pure delay tau (seconds) of the contour: the phase starts at
// phi0 - tau omega and collects one angle per root, each continuous in
// omega for roots off the positive imaginary axis, so it needs no
// unwrapping and may run beyond +-pi. The amplitude is the plain ratio, or
// 20 lg of it when decibels are asked for. A negative gain K counts as |K|
// with the phase lowered by pi; a zero gain in decibels raises the
// platform's fault of the logarithm.
void FrequencyResponse(const TZeroPoleForm& form, bool decibels, Real& amplitude, Real& phase, Real omega,
                       Real delay);

}  // namespace vemo
