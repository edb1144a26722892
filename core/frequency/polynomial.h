// Polynomials in s with extended-precision coefficients, ascending powers:
// the form in which blocks hand their transfer functions to the analyses.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vemo {

using Real = long double;  // x87 80-bit extended precision on x86-64

struct TPolynomial {
  uint16_t Degree = 0;
  std::vector<Real> Coef{0.0L};  // Degree + 1 coefficients, Coef[i] for s^i

  Real& operator[](size_t i) { return Coef[i]; }
  Real operator[](size_t i) const { return Coef[i]; }
  // Size of the record in the program's storage form: 2 + 10 (n + 1) bytes.
  size_t ByteSize() const { return 2 + 10 * (static_cast<size_t>(Degree) + 1); }
};

// Polynomial of degree n with every coefficient 0.
TPolynomial PolyNew(uint16_t n);
// The constant polynomial c.
TPolynomial PolyConst(Real c);

}  // namespace vemo
