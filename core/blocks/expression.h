// Parameter expressions of the block dialogs: numbers joined by + - * / ^
// and parentheses, evaluated in one left-to-right operator-precedence pass.
#pragma once
#include <string>
#include <string_view>

namespace vemo {

// Message of every syntax failure (and of a division by a near-zero divisor
// or an arithmetic fault); a number that does not convert gives
// kBadNumberFormat of shell/numtext.h instead.
inline constexpr const char* kExpressionError = "Ошибка в выражении!";

// Number of characters of a parameter edit that take part in evaluation.
inline constexpr size_t kParamTextLength = 30;

// Evaluates `text`. On success stores the result in `value` and returns
// true. On failure returns false, leaves `value` unchanged and, when
// `message` is given, stores the text to show to the user there.
//
// Rules:
// - blanks and tabs are ignored wherever they stand;
// - a number is the run of characters up to the next operator or
//   parenthesis; a "+" or "-" at the start of an operand, or directly after
//   the "E" of an exponent, belongs to the number (so -5 and 1E-3 are
//   numbers, and a minus before a parenthesis is not accepted);
// - priorities: + - 0, * / 1, ^ 2, each enclosing parenthesis adds 4;
//   operators of equal priority apply from left to right (2^3^2 = 64);
// - "/" fails when the divisor's magnitude is at most 1e-30;
// - a^b is e^(b ln|a|) (the sign of the base is dropped) rounded to the
//   6-byte real format; a zero base fails, since its logarithm does not exist;
// - a "(" met when more than 32 operands are pending fails, and so do an
//   unbalanced ")" or "(" and a "(" directly after an operand;
// - any result that is not a finite number (overflow) fails.
bool EvalExpression(std::string_view text, double& value, std::string* message = nullptr);

// The text of a parameter edit as the property dialog evaluates it: cut to
// its first kParamTextLength characters (UTF-8), Latin and Cyrillic letters
// in upper case (so a typed "e" marks an exponent as well).
std::string PrepareParamText(std::string_view text);

// What the property dialog's OK does with one edit: PrepareParamText, then
// EvalExpression.
bool EvalParamText(std::string_view text, double& value, std::string* message = nullptr);

}  // namespace vemo
