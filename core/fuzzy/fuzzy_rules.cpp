#include "fuzzy/fuzzy_rules.h"

#include "model/errors.h"
#include "shell/encoding.h"
#include "shell/program.h"

namespace vemo {

namespace {

constexpr size_t kTokenChars = 30;  // longer tokens are cut
constexpr int kMaxDepth = 15;       // the open count has four bits

// Keywords as the tokenizer sees them: Windows-1251, upper case.
struct TKeywords {
  std::string If = Utf8ToCp1251("ЕСЛИ"), Is = Utf8ToCp1251("ЕСТЬ"), Then = Utf8ToCp1251("ТО"),
              And = Utf8ToCp1251("И"), Or = Utf8ToCp1251("ИЛИ"), Not = Utf8ToCp1251("НЕ");
};
const TKeywords& Keywords() {
  static const TKeywords k;
  return k;
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

// Reads the tokens of one line (Windows-1251): "(" and ")" alone, otherwise
// a run up to the next blank, tab or parenthesis; upper-cased. An empty
// token is the end of the line.
class TTokenizer {
 public:
  explicit TTokenizer(std::string_view line) : s_(line) {}
  std::string Token;
  size_t Start = 0;  // 0-based start of Token

  void Next() {
    while (i_ < s_.size() && Blank(s_[i_])) ++i_;
    Start = i_;
    size_t end = i_;
    if (end < s_.size() && (s_[end] == '(' || s_[end] == ')')) {
      ++end;
    } else {
      while (end < s_.size() && !Blank(s_[end]) && s_[end] != '(' && s_[end] != ')') ++end;
    }
    Token.assign(s_.substr(i_, std::min(end - i_, kTokenChars)));
    UpperInPlace(Token);
    i_ = end;
    while (i_ < s_.size() && Blank(s_[i_])) ++i_;
  }
  int Position() const { return static_cast<int>(Start) + 1; }

 private:
  std::string_view s_;
  size_t i_ = 0;
};

// Only the first 65535 variables and terms can be named by a rule item
// (16-bit indices, 0xFFFF meaning none); a name beyond them is unknown.
constexpr size_t kIndexLimit = kNoIndex;

// Reads "variable ЕСТЬ term" into the item; the error code on failure,
// with the tokenizer on the offending token.
uint8_t ReadPremiseBody(const TFuzzyModel& m, TTokenizer& t, TRuleItem& item) {
  size_t var = kIndexLimit;
  for (size_t i = 0; i < m.Variables.size() && i < kIndexLimit; ++i)
    if (!t.Token.empty() && UpperName(m.Variables[i].Name) == t.Token) {
      var = i;
      break;
    }
  if (var == kIndexLimit) return 1;
  t.Next();
  if (t.Token != Keywords().Is) return 2;
  t.Next();
  // A term of this variable is taken first, so that models whose variables
  // share term names (usual in files of other tools) still compile; a name
  // found only among other variables' terms is error 9.
  size_t term = kIndexLimit;
  bool elsewhere = false;
  for (size_t i = 0; i < m.Terms.size() && i < kIndexLimit; ++i) {
    if (t.Token.empty() || UpperName(m.Terms[i].Name) != t.Token) continue;
    if (m.Terms[i].VarIndex == var) {
      term = i;
      break;
    }
    elsewhere = true;
  }
  if (term == kIndexLimit) return elsewhere ? 9 : 3;
  item.VarIndex = static_cast<uint16_t>(var);
  item.TermIndex = static_cast<uint16_t>(term);
  t.Next();
  return 0;
}

}  // namespace

int CompileRule(TFuzzyModel& m, std::string_view line) {
  Prog.Err.FuzzyError = 0;
  const std::string bytes = Utf8ToCp1251(line);
  TTokenizer t(bytes);
  t.Next();
  if (t.Token.empty()) return 0;
  const TKeywords& k = Keywords();
  auto fail = [&](uint8_t code) {
    m.Rules.clear();
    Prog.Err.FuzzyError = code;
    return t.Position();
  };
  if (t.Token != k.If) return fail(7);
  t.Next();

  int depth = 0;
  for (;;) {
    TRuleItem item;
    if (t.Token == k.Not) {
      item.Flags |= kRuleNot;
      t.Next();
    }
    while (t.Token == "(") {
      if (++depth > kMaxDepth) return fail(8);
      item.Flags += 1 << 8;
      t.Next();
    }
    if (const uint8_t code = ReadPremiseBody(m, t, item)) return fail(code);
    while (t.Token == ")") {
      if (--depth < 0) return fail(5);
      item.Flags += 1 << 12;
      t.Next();
    }
    if (t.Token == k.And) item.Flags |= kRuleAnd;
    else if (t.Token != k.Or && t.Token != k.Then) return fail(5);
    m.Rules.push_back(item);
    if (t.Token == k.Then) break;
    t.Next();
  }
  if (depth != 0) return fail(4);  // at "ТО", where ")" was due
  t.Next();

  for (;;) {
    TRuleItem item;
    item.Flags = kRuleConclusion;
    if (const uint8_t code = ReadPremiseBody(m, t, item)) return fail(code);
    m.Rules.push_back(item);
    if (t.Token != k.And) break;
    t.Next();
  }
  if (!t.Token.empty()) return fail(6);
  return 0;
}

void ClearRules(TFuzzyModel& m) { m.Rules.clear(); }

std::string RuleToText(const TFuzzyModel& m, size_t& cursor) {
  TRuleSpan r;
  if (!NextRule(m.Rules, cursor, r)) return {};
  cursor = r.End;
  auto varName = [&](const TRuleItem& it) {
    return it.VarIndex < m.Variables.size() ? m.Variables[it.VarIndex].Name : std::string("???");
  };
  auto termName = [&](const TRuleItem& it) {
    return it.TermIndex < m.Terms.size() ? m.Terms[it.TermIndex].Name : std::string("???");
  };
  std::string s = "ЕСЛИ ";
  for (size_t i = r.First; i < r.Conclusions; ++i) {
    const TRuleItem& it = m.Rules[i];
    if (i > r.First) s += (m.Rules[i - 1].Flags & kRuleAnd) ? " И " : " ИЛИ ";
    if (it.Flags & kRuleNot) s += "НЕ ";
    s.append(static_cast<size_t>(it.Opens()), '(');
    s += varName(it) + " ЕСТЬ " + termName(it);
    s.append(static_cast<size_t>(it.Closes()), ')');
  }
  for (size_t i = r.Conclusions; i < r.End; ++i) {
    const TRuleItem& it = m.Rules[i];
    s += i == r.Conclusions ? " ТО " : " И ";
    s += varName(it) + " ЕСТЬ " + termName(it);
  }
  return s;
}

std::string RulesText(const TFuzzyModel& m) {
  std::string text;
  for (size_t cursor = 0; cursor < m.Rules.size();) text += RuleToText(m, cursor) + "\n";
  return text;
}

TRuleFailure CompileRules(TFuzzyModel& m, std::string_view text) {
  ClearRules(m);
  TRuleFailure f;
  int line = 0;
  for (size_t pos = 0; pos <= text.size(); ++line) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view l = text.substr(pos, end - pos);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    if (const int p = CompileRule(m, l)) {
      f.Line = line;
      f.Position = p;
      return f;
    }
    pos = end + 1;
  }
  return f;
}

const char* RuleErrorMessage(int code) { return ErrorMessage(20 + code); }

}  // namespace vemo
