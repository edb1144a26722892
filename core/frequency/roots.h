// Roots of polynomials with real coefficients by Bairstow's method: quadratic
// factors s^2 + p s + q are found one after another and divided out.
#pragma once
#include <cstddef>
#include <vector>

#include "frequency/polynomial.h"

namespace vemo {

// Largest degree the root finder handles (its working arrays hold 1000
// coefficients).
inline constexpr int kMaxRootDegree = 999;
// Iterations from one starting factor before a new one is drawn.
inline constexpr int kBairstowIterations = 701;
// New starting factors drawn for one quadratic factor before the search
// turns to the eigenvalues of the companion matrix of what is left. Each
// start runs kBairstowIterations iterations; well-posed polynomials need a
// handful of starts at most.
inline constexpr int kBairstowRestarts = 20;

// All n roots of the polynomial coef[0] + coef[1] s + ... + coef[n] s^n
// (ascending powers; coef holds at least n + 1 values, coef[n] != 0).
// re and im receive n values each; complex roots come in conjugate pairs.
//
// Quadratic factors are sought by Bairstow's iteration; when no start
// converges to one within the restart limit, the roots of the polynomial
// left are those of its companion matrix (CompanionRoots).
//
// Returns false when the roots cannot be found: n outside 0..999, a
// coefficient that is not finite, a zero top coefficient, or roots that
// neither method finds. A failure
// raises a floating-point fault (FE_DIVBYZERO for a zero top coefficient,
// FE_INVALID otherwise) so that callers watching the flags report it as an
// arithmetic error; the roots are then NaN. Faults of diverging trial
// iterations inside the search are not passed on.
//
// The search is deterministic: every call draws its random starting factors
// from the same fixed seed.
bool FindRoots(const std::vector<Real>& coef, int n, std::vector<Real>& re, std::vector<Real>& im);

// The roots of coef[0] + ... + coef[n] s^n (ascending, coef[n] != 0) as the
// eigenvalues of its balanced companion matrix, by the QR iteration with
// double shifts. Slower than Bairstow's iteration (n^3) but it converges
// from any polynomial. False when n < 1, coef[n] is 0 or an eigenvalue does
// not converge.
bool CompanionRoots(const std::vector<Real>& coef, int n, std::vector<Real>& re, std::vector<Real>& im);

// Two radii for the polynomial a[0..n]:
//   b1 = max over k = 1..n of NthRoot(k, n a[k] / a[0]),
//   b2 = max over j = 1..n of NthRoot(j, n a[n-j] / a'),
// where a' is a[n], or 1e-4 when |a[n]| < 1e-4. With a[0] the leading
// coefficient (highest power first, the order of the root finder's working
// array), every root z satisfies |z| <= b1 and, for the exact a[n], 1/|z| <= b2:
// the starting radius is drawn between 1/b2 and b1.
void RootBounds(const std::vector<Real>& a, int n, Real& b1, Real& b2);

// Roots of s^2 + p s + q: a real pair (computed without cancellation) or a
// complex-conjugate pair (re, +im), (re, -im).
void SolveQuadratic(Real p, Real q, Real& re1, Real& im1, Real& re2, Real& im2);

}  // namespace vemo
