// W(s) as text: the polynomial form and the factored (time-constant) form
// shown by the transfer-function window, and the reader of a typed W(s).
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "frequency/fraction.h"
#include "frequency/zero_pole.h"

namespace vemo {

inline constexpr const char* kTransferTextError = "Ошибка в выражении!";
// Longest typed W(s) text.
inline constexpr size_t kMaxTransferText = 255;
// Most significant digits a coefficient can be written with (extended
// precision holds 19 to 20).
inline constexpr int kMaxTextDigits = 21;

// Every text below writes its numbers in the program's number text
// (FormatNumber) when digits is 0, the form the window shows; with digits
// from 1 to 21 they are written with that many significant digits
// ("%.<digits>Lg": 2.52e-06, 0.00010699), a form ParseTransferFunction
// reads back (within its 255 characters), and a coefficient is left out as
// 1 (or -1) only when it reads as 1 at that many digits.

// A polynomial, highest power first: 2s^2 - s + 0.5 gives "2*s^2-s+0.5";
// the zero polynomial of degree 0 gives "0". Numbers in FormatNumber form.
std::string PolynomialText(const TPolynomial& p, int digits = 0);

// "W" + start letter + end letter + "(s)=", the delay factor
// "exp(-tau*s)*" when there is a delay, then "(num)/(den)".
std::string FormatPolynomialText(int start, int end, const TFraction& w, Real delay, int digits = 0);

// The product of the factors of a list of roots: s^c for roots at the
// origin, (T^2 s^2 + 2 xi T s + 1) for conjugate pairs, (T s + 1) for real
// roots, (s - z) for a complex root without partner; "1" for no roots.
// gain is multiplied by the constant that the time-constant form takes out
// of the product.
std::string FactorText(const std::vector<Real>& re, const std::vector<Real>& im, int count, Real& gain,
                       int digits = 0);

// "W" + letters + "(s)=" + gain + zero factors [+ "*exp(-tau*s)"] + "/(" +
// pole factors + ")".
std::string FormatFactoredText(int start, int end, const TZeroPoleForm& form, Real delay, int digits = 0);

// Reads a typed W(s): + - * / between terms, parentheses, numbers, s and
// s^k. Operators of one level apply left to right; there is no unary minus
// and no power of a parenthesised expression. False on any error (the
// caller shows kTransferTextError): bad syntax, a text longer than 255
// characters, a power above 999 or a result of a degree above 999, and any
// floating-point fault of the arithmetic (a division by a zero
// sub-expression among them).
bool ParseTransferFunction(std::string_view text, TFraction& out);

}  // namespace vemo
