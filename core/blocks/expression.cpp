#include "blocks/expression.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "shell/numtext.h"

namespace vemo {
namespace {

// A divisor of at most this magnitude is treated as zero.
constexpr double kMinDivisor = 1e-30;
// A "(" is refused once more than this many operands wait for their
// operators; this also bounds the stacks, whatever the input.
constexpr size_t kMaxPendingOperands = 32;
// Each enclosing parenthesis raises an operator's priority by this much,
// more than the spread of the operator priorities themselves.
constexpr size_t kParenPriority = 4;

struct PendingOperator {
  char Op;
  size_t Priority;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Priority of a binary operator, or -1 for any other character.
int OperatorPriority(char c) {
  switch (c) {
    case '+':
    case '-': return 0;
    case '*':
    case '/': return 1;
    case '^': return 2;
    default: return -1;
  }
}

// Characters that end a number.
bool EndsNumber(char c) { return OperatorPriority(c) >= 0 || c == '(' || c == ')'; }

// a op b; false on a division by a near-zero divisor, a power of zero and
// any result that is not a finite number.
bool Apply(char op, double a, double b, double& result) {
  double r = 0.0;
  switch (op) {
    case '+': r = a + b; break;
    case '-': r = a - b; break;
    case '*': r = a * b; break;
    case '/':
      if (!(std::fabs(b) > kMinDivisor)) return false;
      r = a / b;
      break;
    case '^': {
      // e^(b ln|a|): the sign of the base is dropped, and the result is
      // brought to the precision of the 6-byte real format.
      double base = std::fabs(a);
      if (!(base > 0.0)) return false;  // ln 0 does not exist
      double exponent = b * std::log(base);  // finite * finite: never NaN
      if (!RoundToReal48(std::exp(exponent), r)) return false;  // overflow
      break;
    }
    default: return false;
  }
  if (!std::isfinite(r)) return false;
  result = r;
  return true;
}

bool Fail(std::string* message, const char* text) {
  if (message) *message = text;
  return false;
}

}  // namespace

bool EvalExpression(std::string_view text, double& value, std::string* message) {
  std::vector<double> operands;
  std::vector<PendingOperator> operators;
  std::string number;
  size_t depth = 0;
  bool expectOperand = true;  // at the start, after an operator or a "("
  size_t i = 0;
  const size_t n = text.size();

  // Applies the pending operators of at least `minPriority`, innermost
  // first. Called only right after an operand, when there is one operand
  // more than there are pending operators.
  auto reduce = [&](size_t minPriority) -> bool {
    while (!operators.empty() && operators.back().Priority >= minPriority) {
      double b = operands.back();
      operands.pop_back();
      double& a = operands.back();
      if (!Apply(operators.back().Op, a, b, a)) return false;
      operators.pop_back();
    }
    return true;
  };

  for (;;) {
    while (i < n && IsBlank(text[i])) ++i;
    if (i >= n) break;
    const char c = text[i];

    if (expectOperand) {
      if (c == '(') {
        if (operands.size() > kMaxPendingOperands) return Fail(message, kExpressionError);
        ++depth;
        ++i;
        continue;
      }
      // A number: its own sign first, then everything up to the next
      // operator or parenthesis, except a sign right after the exponent's E.
      number.clear();
      if (c == '+' || c == '-') {
        number += c;
        ++i;
      }
      while (i < n) {
        const char d = text[i];
        if (IsBlank(d)) {
          ++i;
          continue;
        }
        if ((d == '+' || d == '-') && !number.empty() &&
            (number.back() == 'E' || number.back() == 'e')) {
          number += d;
          ++i;
          continue;
        }
        if (EndsNumber(d)) break;
        number += d;
        ++i;
      }
      // Nothing where an operand belongs: "*2", "2+)", "()" and the like.
      if (number.empty()) return Fail(message, kExpressionError);
      double v = 0.0;
      if (!ParseNumber(number, v)) return Fail(message, kBadNumberFormat);
      operands.push_back(v);
      expectOperand = false;
      continue;
    }

    // After an operand: an operator or a ")".
    const int priority = OperatorPriority(c);
    if (priority >= 0) {
      const size_t p = kParenPriority * depth + static_cast<size_t>(priority);
      if (!reduce(p)) return Fail(message, kExpressionError);
      operators.push_back({c, p});
      expectOperand = true;
      ++i;
      continue;
    }
    if (c == ')') {
      if (depth == 0) return Fail(message, kExpressionError);
      if (!reduce(kParenPriority * depth)) return Fail(message, kExpressionError);
      --depth;
      ++i;
      continue;
    }
    // "(" directly after an operand, or a character after a ")".
    return Fail(message, kExpressionError);
  }

  // An empty text, a trailing operator or an unclosed "(".
  if (expectOperand || depth != 0) return Fail(message, kExpressionError);
  if (!reduce(0)) return Fail(message, kExpressionError);
  value = operands.back();
  return true;
}

std::string PrepareParamText(std::string_view text) {
  // Cut to the first kParamTextLength characters: a character starts at
  // every byte that is not a UTF-8 continuation byte.
  size_t end = 0, chars = 0;
  while (end < text.size()) {
    const auto b = static_cast<unsigned char>(text[end]);
    if ((b & 0xC0) != 0x80) {
      if (chars == kParamTextLength) break;
      ++chars;
    }
    ++end;
  }
  std::string s(text.substr(0, end));

  for (size_t k = 0; k < s.size(); ++k) {
    const auto b = static_cast<unsigned char>(s[k]);
    if (b >= 'a' && b <= 'z') {
      s[k] = static_cast<char>(b - 'a' + 'A');
      continue;
    }
    if (k + 1 >= s.size()) break;
    const auto b2 = static_cast<unsigned char>(s[k + 1]);
    if (b == 0xD0 && b2 >= 0xB0 && b2 <= 0xBF) {
      // а..п (U+0430..U+043F) -> А..П (U+0410..U+041F)
      s[k + 1] = static_cast<char>(b2 - 0x20);
      ++k;
    } else if (b == 0xD1 && b2 >= 0x80 && b2 <= 0x8F) {
      // р..я (U+0440..U+044F) -> Р..Я (U+0420..U+042F)
      s[k] = static_cast<char>(0xD0);
      s[k + 1] = static_cast<char>(b2 + 0x20);
      ++k;
    } else if (b == 0xD1 && b2 >= 0x90 && b2 <= 0x9F) {
      // ѐ..џ with ё, є, і, ї, ў (U+0450..U+045F) -> U+0400..U+040F
      s[k] = static_cast<char>(0xD0);
      s[k + 1] = static_cast<char>(b2 - 0x10);
      ++k;
    } else if (b == 0xD2 && b2 == 0x91) {
      // ґ (U+0491) -> Ґ (U+0490)
      s[k + 1] = static_cast<char>(0x90);
      ++k;
    }
  }
  return s;
}

bool EvalParamText(std::string_view text, double& value, std::string* message) {
  return EvalExpression(PrepareParamText(text), value, message);
}

}  // namespace vemo
