// Arithmetic on polynomials in s. Every operation returns a new polynomial
// and leaves its operands alone, except PolyExactDivide, which replaces both
// of its operands when the division is exact.
//
// A released polynomial (PolyFree) has no coefficients at all: that is the
// "nil" state of a reference that owns nothing. The operations read such a
// polynomial, or any coefficient beyond the stored ones, as 0, so that a
// released or malformed operand never makes them read outside their storage.
#pragma once
#include <cstddef>
#include "frequency/polynomial.h"

namespace vemo {

// The nil polynomial: no coefficients, degree 0.
TPolynomial PolyNil();
// True for a released (nil) polynomial.
bool PolyIsNil(const TPolynomial& p);
// Releases the polynomial: it becomes nil. A nil polynomial stays nil.
void PolyFree(TPolynomial& p);

// Coefficient i of p, or 0 when p does not store it.
Real PolyCoef(const TPolynomial& p, size_t i);

// Degree max(deg a, deg b), the coefficient-wise sum or difference; leading
// zeros are kept.
TPolynomial PolyAdd(const TPolynomial& a, const TPolynomial& b);
TPolynomial PolySub(const TPolynomial& a, const TPolynomial& b);
// Degree deg a + deg b, the convolution of the coefficient lists.
TPolynomial PolyMul(const TPolynomial& a, const TPolynomial& b);

// Largest remainder of the long division in an exact division, relative
// to the terms that make up each of its coefficients.
inline constexpr Real kExactRemainder = 1e-8L;
// Largest change of the dividend along the imaginary axis that an exact
// division may make, relative to its value there.
inline constexpr Real kExactChange = 1e-8L;

// Tries to divide a by b exactly. Nothing happens when b has degree 0 (or a
// has a lower degree than b). Otherwise a is long-divided by b from the top
// (each quotient coefficient is the current top of the remainder over the
// top coefficient of b); its quotient's low coefficients are computed again
// from the constant term up (when b has one), so that the rounding errors
// that the division from the top carries downwards do not stay in them.
// The division counts as exact when
//  - every coefficient of the remainder is at most 1e-8 of the sum of the
//    absolute values of the terms it was made of (for b = s - z: |a(z)|
//    against sum |a_i| |z|^i), and
//  - q b differs from a by at most 1e-8 of |a(jw)| at w = 10^-8 .. 10^8 (in
//    quarter decades): a coefficient test alone takes a polynomial with
//    roots spread along the negative real axis for a multiple of factors
//    it does not have.
// Both tests are free of how a and b are scaled. Then a becomes the
// quotient and b the constant 1, otherwise both stay as they were.
// Returns true when the operands were replaced.
bool PolyExactDivide(TPolynomial& a, TPolynomial& b);

}  // namespace vemo
