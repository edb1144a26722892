// Text forms of real numbers shared by every dialog, window and text file.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace vemo {

// Rounds to the 6-byte real format (40 significant bits, exponent range of
// that format). Returns false when the value does not fit (too large, NaN).
bool RoundToReal48(double x, double& out);

// The program's number-to-text form (dialogs, settings file, analysis texts).
// 0.5 -> "0.5", 2 -> "2", magnitudes below 1e-12 -> "0", large or tiny values
// in the 14-character exponent form " 1.50000E-0007". Empty on failure.
std::string FormatNumber(double x);

// Decimal text with "." and an optional exponent. No message is shown here:
// callers show kBadNumberFormat when this returns false.
bool ParseNumber(std::string_view text, double& out);

// The 23-character real format of every text file the program writes:
// " 1.00000000000000E+0000" (sign position, digit, point, 14 digits,
// E, exponent sign, 4 exponent digits).
std::string FormatReal23(double x);
// The same 23 characters written at out (no allocation, for long texts
// written as they are produced); returns out + 23.
char* WriteReal23(char* out, double x);
inline constexpr size_t kReal23Width = 23;

// Splits a text line into the reals it holds (blank separated); used by the
// readers of the program's own text files.
bool ParseRealLine(std::string_view line, double* out, int count);

inline constexpr const char* kBadNumberFormat = "Неверный числовой формат!";
inline constexpr const char* kBadParameter = "Недопустимое значение параметра!";
inline constexpr const char* kReadError = "Ошибка в чтении файла!";
inline constexpr const char* kWriteError = "Ошибка в записи файла!";

}  // namespace vemo
