#include "shell/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace vemo {

bool RoundToReal48(double x, double& out) {
  if (std::isnan(x) || std::isinf(x)) return false;
  if (x == 0.0) { out = 0.0; return true; }
  int e = 0;
  double m = std::frexp(x, &e);  // |m| in [0.5, 1)
  // 40 significant bits (39 stored + hidden bit).
  double scaled = std::nearbyint(std::ldexp(m, 40));
  double r = std::ldexp(scaled, e - 40);
  // Exponent byte with bias 129: smallest normal 2^-128, largest < 2^127.
  if (std::fabs(r) >= std::ldexp(1.0, 127)) return false;
  if (std::fabs(r) < std::ldexp(1.0, -128)) r = 0.0;
  out = r;
  return true;
}

// Locale-independent formatting: the text forms always use "." whatever
// the process locale says.
static std::string ExponentForm(double a, bool negative, int digits) {
  // digits after the point; the exponent always as its sign and 4 digits.
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, digits);
  if (r.ec != std::errc()) return {};
  std::string_view t(buf, static_cast<size_t>(r.ptr - buf));
  const size_t e = t.find('e');
  if (e == std::string_view::npos) return {};
  int ex = 0;
  std::from_chars(t.data() + e + 2, t.data() + t.size(), ex);
  char exps[16];
  std::snprintf(exps, sizeof exps, "%04d", ex);
  std::string s;
  s += negative ? '-' : ' ';
  s += t.substr(0, e);
  s += 'E';
  s += t[e + 1];
  s += exps;
  return s;
}

std::string FormatNumber(double x) {
  double a;
  if (!RoundToReal48(std::fabs(x), a)) return {};
  if (a < 1e-12) return "0";
  bool neg = x < 0;
  if (a < 1e-5 || a > 100000.0) return ExponentForm(a, neg, 5);
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::fixed, 8);
  if (r.ec != std::errc()) return {};
  std::string s = (neg ? "-" : "") + std::string(buf, r.ptr);
  size_t point = s.find('.');
  while (point != std::string::npos && s.size() > point + 1 &&
         (s.size() > 17 || s.back() == '0'))
    s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

bool ParseNumber(std::string_view text, double& out) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  std::string_view t = text.substr(b, e - b);
  if (t.empty() || t.size() > 300) return false;
  size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  size_t digits = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') { ++i; ++digits; }
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') { ++i; ++digits; }
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t ed = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') { ++i; ++ed; }
    if (ed == 0) return false;
  }
  if (i != t.size()) return false;
  if (t[0] == '+') t.remove_prefix(1);
  double v = 0;
  auto r = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
  if (std::isinf(v) || std::isnan(v)) return false;
  out = v;
  return true;
}

char* WriteReal23(char* out, double x) {
  if (std::isnan(x) || std::isinf(x)) {
    const char* word = std::isnan(x) ? "Nan" : x < 0 ? "-Inf" : "+Inf";
    const size_t len = std::strlen(word);
    std::memset(out, ' ', kReal23Width - len);
    std::memcpy(out + kReal23Width - len, word, len);
    return out + kReal23Width;
  }
  const bool neg = std::signbit(x) && x != 0.0;
  // The 15-digit text of a finite value beyond this rounds up past the
  // double range and could not be read back: write the largest readable.
  constexpr double kLargestReadable = 1.79769313486231e308;
  const double a = std::fabs(x) > kLargestReadable ? kLargestReadable : std::fabs(x);
  // "d.dddddddddddddde+dd" or with three exponent digits.
  char buf[32];
  // The shortest text that reads back as a normal value: when it has at
  // most 15 significant digits it is also the value rounded to 15 digits
  // (a normal double lies within 2.3e-16 of its value, relatively, and a
  // 15-digit step is at least 1e-15 of it), and it takes a fraction of the
  // time of the rounding to 15 digits, which the others go through.
  auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific);
  const char* e = std::find(buf, r.ptr, 'e');
  const ptrdiff_t digits = e - buf - (e - buf > 1 ? 1 : 0);  // less the point
  if (digits <= 15 && (a == 0.0 || a >= std::numeric_limits<double>::min())) {
    char mantissa[16];
    mantissa[0] = buf[0];
    mantissa[1] = '.';
    const ptrdiff_t fraction = digits - 1;
    std::memcpy(mantissa + 2, buf + 2, static_cast<size_t>(fraction));
    std::memset(mantissa + 2 + fraction, '0', static_cast<size_t>(14 - fraction));
    std::memcpy(out + 1, mantissa, 16);
  } else {
    r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 14);
    e = buf + 16;
    std::memcpy(out + 1, buf, 16);
  }
  int ex = 0;
  for (const char* p = e + 2; p < r.ptr; ++p) ex = ex * 10 + (*p - '0');
  out[0] = neg ? '-' : ' ';
  out[17] = 'E';
  out[18] = e[1];
  for (int i = 22; i >= 19; --i, ex /= 10) out[i] = static_cast<char>('0' + ex % 10);
  return out + kReal23Width;
}

std::string FormatReal23(double x) {
  std::string s(kReal23Width, ' ');
  WriteReal23(s.data(), x);
  return s;
}

bool ParseRealLine(std::string_view line, double* out, int count) {
  size_t i = 0;
  for (int k = 0; k < count; ++k) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r' &&
           line[j] != '\n')
      ++j;
    if (j == i) return false;
    if (!ParseNumber(line.substr(i, j - i), out[k])) return false;
    i = j;
  }
  return true;
}

}  // namespace vemo
