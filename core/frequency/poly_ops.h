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

// Largest remainder of an exact division, relative to the terms that make
// up each coefficient of the dividend.
inline constexpr Real kExactRemainder = 1e-8L;

// Tries to divide a by b exactly. Nothing happens when b has degree 0 (or a
// has a lower degree than b). Otherwise the quotient q is found by long
// division, from the top coefficient down and, when b has a non-zero
// constant term, also from the constant term up: its high coefficients come
// from the first, its low ones from the second, passing over where the two
// agree best, so that neither end collects the rounding errors of the
// other. The division counts as exact when every coefficient of a - q b is
// at most 1e-8 of the sum of the absolute values of the terms that form it
// (a test that does not depend on how a and b are scaled); then a becomes
// the quotient and b the constant 1, otherwise both stay as they were.
// Returns true when the operands were replaced.
bool PolyExactDivide(TPolynomial& a, TPolynomial& b);

}  // namespace vemo
