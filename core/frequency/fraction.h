// Rational functions of s: a numerator and a denominator polynomial, both
// owned by the fraction. Every operation returns a new fraction and leaves
// its operands alone; results pass through FracNormalize so that they stay
// small.
#pragma once
#include "frequency/poly_ops.h"
#include "frequency/polynomial.h"

namespace vemo {

struct TFraction {
  // A fresh fraction owns nothing (both references nil), like one that has
  // been released by FracFree. The operations read nil polynomials as 0.
  TPolynomial Num = PolyNil();
  TPolynomial Den = PolyNil();
};

// Fractions 0/1, 1/1 and -1/1, every polynomial of degree 0.
TFraction FracZero();
TFraction FracOne();
TFraction FracMinusOne();
// num/den from two polynomials (taken over by the fraction), not normalised.
TFraction FracMake(TPolynomial num, TPolynomial den);

// A coefficient of a sum or product that is at most this part of the sum of
// the absolute values of its terms is what is left of terms that cancel: the
// four operations make it exactly 0 before they normalise.
inline constexpr Real kCancellation = 1e-13L;

// (a.num b.den + a.den b.num) / (a.den b.den), normalised.
TFraction FracAdd(const TFraction& a, const TFraction& b);
// (a.num b.den - a.den b.num) / (a.den b.den), normalised.
TFraction FracSub(const TFraction& a, const TFraction& b);
// (a.num b.num) / (a.den b.den), normalised.
TFraction FracMul(const TFraction& a, const TFraction& b);
// (a.num b.den) / (a.den b.num), normalised. Dividing by a zero fraction
// gives a denominator that is the zero polynomial: FracNormalize reports it
// as a division by zero.
TFraction FracDiv(const TFraction& a, const TFraction& b);

// Keeps a fraction small and canonical, in this order: scale the
// coefficients into a moderate range, divide by a lone coefficient, take out
// a common power of s, drop insignificant leading coefficients, recognise
// the zero fraction, make the denominator's leading coefficient positive,
// and cancel one polynomial when it divides the other exactly. A leading
// coefficient at index i is insignificant when its absolute value is at
// most 1e-8 * (1e-8)^i; every other test asks for an exact 0, so that
// neither a small gain nor a small constant term of a long chain of lags is
// taken for nothing.
//
// A denominator whose coefficients are all exactly 0 (the result of a
// division by a zero fraction) raises FE_DIVBYZERO, the fault the analyses
// turn into their arithmetic error; the fraction is still normalised so that
// a computation that runs on until it looks at the flags stays bounded.
void FracNormalize(TFraction& f);

// True when the numerator has degree 0 and its coefficient is below 1e-15 in
// absolute value.
bool FracIsZero(const TFraction& f);
// Deep copy: both polynomials duplicated.
TFraction FracCopy(const TFraction& f);
// Releases both polynomials and leaves them nil; a nil member is skipped.
void FracFree(TFraction& f);
// True when both polynomials are nil (a fresh or released fraction).
bool FracIsNil(const TFraction& f);

}  // namespace vemo
