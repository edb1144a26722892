#include "frequency/transfer_text.h"

#include <cfenv>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "frequency/roots.h"
#include "model/field.h"
#include "shell/numtext.h"

namespace vemo {

namespace {

constexpr Real kTextZero = 1e-12L;

// A coefficient in the program's number text (digits 0) or with the given
// number of significant digits.
std::string Num(Real x, int digits) {
  if (digits <= 0) return FormatNumber(static_cast<double>(x));
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*Lg", std::min(digits, kMaxTextDigits), x);
  return buf;
}

// Whether c is written as the target (1 or -1) that the text leaves out:
// within tol in the program's text; with a number of digits, only when it
// reads as the target at that many digits.
bool Reads(Real c, Real target, Real tol, int digits) {
  if (digits <= 0) return std::fabs(c - target) < tol;
  return Num(c, digits) == Num(target, digits);
}

std::string Title(int start, int end) {
  return std::string("W") + PointLetter(start) + PointLetter(end) + "(s)=";
}

}  // namespace

std::string PolynomialText(const TPolynomial& p, int digits) {
  const int n = p.Degree;
  if (n == 0 && std::fabs(PolyCoef(p, 0)) <= kTextZero) return "0";
  std::string t;
  for (int i = n; i >= 0; --i) {
    const Real c = PolyCoef(p, static_cast<size_t>(i));
    if (std::fabs(c) <= kTextZero) continue;
    if (i > 0 && Reads(c, 1, 1e-4L, digits)) {
      t += i == n ? "s" : "+s";
    } else if (i > 0 && Reads(c, -1, 1e-4L, digits)) {
      t += "-s";
    } else {
      if (i < n && c >= 0) t += '+';
      t += Num(c, digits);
      if (i > 0) t += "*s";
    }
    if (i > 1) t += "^" + std::to_string(i);
  }
  return t;
}

std::string FormatPolynomialText(int start, int end, const TFraction& w, Real delay, int digits) {
  std::string t = Title(start, end);
  if (std::fabs(delay) > kTextZero) t += "exp(" + Num(-delay, digits) + "*s)*";
  t += "(" + PolynomialText(w.Num, digits) + ")/(" + PolynomialText(w.Den, digits) + ")";
  return t;
}

std::string FactorText(const std::vector<Real>& re, const std::vector<Real>& im, int count, Real& gain,
                       int digits) {
  if (count <= 0) return "1";
  const size_t n = std::min({static_cast<size_t>(count), re.size(), im.size()});
  std::vector<bool> used(n, false);
  std::string t;

  // Roots at the origin.
  int c = 0;
  for (size_t i = 0; i < n; ++i)
    if (std::fabs(re[i]) <= kTextZero && std::fabs(im[i]) <= kTextZero) {
      used[i] = true;
      ++c;
    }
  if (c > 0) {
    t += "s";
    if (c > 1) t += "^" + std::to_string(c);
    t += "*";
  }

  // Complex-conjugate pairs: (T^2 s^2 + 2 xi T s + 1).
  for (size_t i = 0; i < n; ++i) {
    if (used[i] || std::fabs(im[i]) <= kTextZero) continue;
    for (size_t j = i + 1; j < n; ++j) {
      if (used[j] || std::fabs(re[i] - re[j]) > kTextZero || std::fabs(im[i] + im[j]) > kTextZero) continue;
      used[i] = used[j] = true;
      const Real a = -(re[i] + re[j]);
      const Real b = re[i] * re[j] - im[i] * im[j];
      gain *= b;
      const Real t2 = 1 / b;
      const Real t1 = a / b;
      if (Reads(t2, 1, 1e-5L, digits)) t += "(s^2";
      else if (Reads(t2, -1, 1e-5L, digits)) t += "(-s^2";
      else t += "(" + Num(t2, digits) + "*s^2";
      if (Reads(t1, 1, 1e-5L, digits)) t += "+s";
      else if (Reads(t1, -1, 1e-5L, digits)) t += "-s";
      else t += (t1 >= 0 ? "+" : "") + Num(t1, digits) + "*s";
      t += "+1)*";
      break;
    }
  }

  // Real roots: (T s + 1).
  for (size_t i = 0; i < n; ++i) {
    if (used[i] || std::fabs(im[i]) >= kTextZero) continue;
    used[i] = true;
    const Real T = -1 / re[i];
    gain /= T;
    if (Reads(T, 1, 1e-4L, digits)) t += "(s+1)*";
    else if (Reads(T, -1, 1e-4L, digits)) t += "(-s+1)*";
    else t += "(" + Num(T, digits) + "*s+1)*";
  }

  // A complex root without partner: (s - z).
  for (size_t i = 0; i < n; ++i) {
    if (used[i]) continue;
    t += "(s";
    if (re[i] < 0) t += "+";
    t += Num(-re[i], digits);
    t += im[i] > 0 ? "-j" : "+j";
    if (!Reads(im[i], 1, 1e-4L, digits)) t += "*" + Num(std::fabs(im[i]), digits);
    t += ")*";
  }

  if (!t.empty() && t.back() == '*') t.pop_back();
  return t;
}

std::string FormatFactoredText(int start, int end, const TZeroPoleForm& form, Real delay, int digits) {
  Real gNum = 1, gDen = 1;
  const std::string zeros = FactorText(form.ZeroRe, form.ZeroIm, form.ZeroCount(), gNum, digits);
  const std::string poles = FactorText(form.PoleRe, form.PoleIm, form.PoleCount(), gDen, digits);
  const Real k = form.K * gNum / gDen;
  std::string t = Title(start, end);
  if (Reads(k, 1, 1e-4L, digits)) {
  } else if (Reads(k, -1, 1e-4L, digits)) {
    t += "-";
  } else {
    t += Num(k, digits) + "*";
  }
  t += zeros;
  if (delay > kTextZero) t += "*exp(" + Num(-delay, digits) + "*s)";
  t += "/(" + poles + ")";
  return t;
}

namespace {

constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
constexpr int kMaxTextDegree = kMaxRootDegree;

class TTransferParser {
 public:
  explicit TTransferParser(std::string_view text) : T(text) {}

  // Parses the characters first..last (inclusive).
  bool Parse(long first, long last, TFraction& out) {
    if (first > last) return false;  // an empty part
    int depth = 0;
    int best = 0;
    long op = -1;
    for (long i = first; i <= last; ++i) {
      const char c = T[static_cast<size_t>(i)];
      if (c == '(') {
        depth += 5;
      } else if (c == ')') {
        depth -= 5;
        if (depth < 0 && first == 0) return false;
      } else if (c == '*' || c == '/' || c == '+' || c == '-') {
        if ((c == '+' || c == '-') && i - 2 >= first && (T[i - 1] == 'E' || T[i - 1] == 'e') &&
            T[i - 2] >= '0' && T[i - 2] <= '9')
          continue;  // the sign of an exponent
        const int prio = (c == '*' || c == '/') ? depth + 1 : depth;
        if (op < 0 || prio <= best) {
          best = prio;
          op = i;
        }
      }
    }
    if (first == 0 && last == static_cast<long>(T.size()) - 1 && depth != 0) return false;
    if (op >= 0) {
      TFraction a, b;
      bool ok = Parse(first, op - 1, a) && Parse(op + 1, last, b) && Combine(T[op], a, b, out);
      FracFree(a);
      FracFree(b);
      return ok;
    }
    return Leaf(first, last, out);
  }

 private:
  bool Combine(char op, const TFraction& a, const TFraction& b, TFraction& out) {
    const int an = a.Num.Degree, ad = a.Den.Degree, bn = b.Num.Degree, bd = b.Den.Degree;
    int top = 0;
    switch (op) {
      case '*': top = std::max(an + bn, ad + bd); break;
      case '/': top = std::max(an + bd, ad + bn); break;
      default: top = std::max({an + bd, ad + bn, ad + bd}); break;
    }
    if (top > kMaxTextDegree) return false;
    switch (op) {
      case '*': out = FracMul(a, b); break;
      case '/': out = FracDiv(a, b); break;
      case '+': out = FracAdd(a, b); break;
      default: out = FracSub(a, b); break;
    }
    return !std::fetestexcept(kFaults);
  }

  bool Leaf(long first, long last, TFraction& out) {
    while (first <= last && T[first] == '(') ++first;
    while (last >= first && T[last] == ')') --last;
    if (first > last) return false;
    const std::string_view part = T.substr(static_cast<size_t>(first), static_cast<size_t>(last - first + 1));
    if (part[0] == 's' || part[0] == 'S') {
      long k = 1;
      if (part.size() > 1) {
        if (part[1] != '^' || part.size() < 3 || part.size() > 6) return false;
        k = 0;
        for (size_t i = 2; i < part.size(); ++i) {
          if (part[i] < '0' || part[i] > '9') return false;
          k = k * 10 + (part[i] - '0');
        }
        if (k > kMaxTextDegree) return false;
      }
      TPolynomial num = PolyNew(static_cast<uint16_t>(k));
      num[static_cast<size_t>(k)] = 1.0L;
      out = FracMake(std::move(num), PolyConst(1.0L));
      return true;
    }
    double v = 0.0;
    if (!ParseNumber(part, v) || !std::isfinite(v)) return false;
    out = FracMake(PolyConst(v), PolyConst(1.0L));
    return true;
  }

  std::string_view T;
};

bool AllFinite(const TPolynomial& p) {
  for (Real c : p.Coef)
    if (!std::isfinite(c)) return false;
  return true;
}

}  // namespace

bool ParseTransferFunction(std::string_view text, TFraction& out) {
  if (text.empty() || text.size() > kMaxTransferText) return false;
  std::fexcept_t saved;
  std::fegetexceptflag(&saved, FE_ALL_EXCEPT);
  std::feclearexcept(kFaults);
  TFraction f;
  TTransferParser parser(text);
  bool ok = parser.Parse(0, static_cast<long>(text.size()) - 1, f);
  ok = ok && !std::fetestexcept(kFaults) && AllFinite(f.Num) && AllFinite(f.Den);
  std::fesetexceptflag(&saved, FE_ALL_EXCEPT);
  if (!ok) {
    FracFree(f);
    return false;
  }
  FracFree(out);
  out = std::move(f);
  return true;
}

}  // namespace vemo
