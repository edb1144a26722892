// The element list of a structure synthesis: a transfer function in
// zero/pole form taken apart into typical elements (delay, integrators,
// differentiators, aperiodic, oscillatory and forcing elements, a gain) and
// the compound terms that absorb an integrator (PI, PID) or stand for a
// second-order forcing term. The layout turns the list into a scheme.
#pragma once
#include <cstdint>
#include <vector>

#include "frequency/zero_pole.h"

namespace vemo {

// Compound elements, expanded by the layout into several blocks.
inline constexpr uint16_t kForcing2Code = 0x214;  // K (s^2 + a s + b): {K, a, b}
inline constexpr uint16_t kPidCode = 0x215;       // Kd s + Kp + Ki / s: {Kd, Kp, Ki}
inline constexpr uint16_t kPiCode = 0x216;        // Kp + Ki / s: {Kp, Ki}

// Block type codes the decomposition places.
inline constexpr uint16_t kSynthGain = 6;
inline constexpr uint16_t kSynthIntegrator = 7;
inline constexpr uint16_t kSynthDifferentiator = 8;
inline constexpr uint16_t kSynthForcing = 9;
inline constexpr uint16_t kSynthAperiodic = 10;
inline constexpr uint16_t kSynthOscillatory = 11;
inline constexpr uint16_t kSynthDelay = 12;

// Tolerance of every comparison of the decomposition.
inline constexpr Real kSynthTolerance = 1e-9L;

// Error codes of the synthesis.
inline constexpr uint8_t kCannotSynthesise = 32;  // "Невозможно синтезировать структуру."
inline constexpr uint8_t kUnstableContour = 33;   // "Синтез невозможен, т.к. контур неустойчив."
inline constexpr uint8_t kNonlinearNotSimplified = 34;

// One element: a type code and up to four parameters. A simple element
// holds them in its block's own parameter order (the aperiodic element
// {T, K}, the oscillatory {T, xi, K}, the forcing {T, K}, the delay
// {tau, K}); the compound ones as noted at their codes.
struct TSynthElement {
  uint16_t Code = 0;
  double Params[4] = {0.0, 0.0, 0.0, 0.0};
};

bool IsCompoundElement(uint16_t code);

// The controller form for a plant form: 1/(t s W(s)), so that the loop of
// controller and plant closed by unit negative feedback is aperiodic with
// time constant t. Gain (1/K)/t, zeros the plant's poles, poles the plant's
// zeros, phase offset -phi0 - pi/2 (the factor 1/s stays in the phase
// offset). False when the plant's gain is 0 or the result is not finite.
bool ControllerForm(const TZeroPoleForm& plant, Real t, TZeroPoleForm& out);

// Takes the form apart (with the pure delay of the contour), appending the
// elements in the order of the decomposition: delay, cancellation of equal
// zeros and poles, roots at the origin into the phase offset, PID and PI
// terms while an integrator is left, complex zero pairs, integrators or
// differentiators, real poles, complex pole pairs, real zeros, the gain.
// Returns 0, or the error code 32 (a zero in the right half-plane, a root
// without partner) or 33 (an unstable pole, a complex zero pair outside the
// left half-plane or with a negative gain).
uint8_t DecomposeForm(const TZeroPoleForm& form, Real delay, std::vector<TSynthElement>& out);

}  // namespace vemo
