#include "fuzzy/winfact.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <vector>

#include "fuzzy/fuzzy_file.h"
#include "shell/encoding.h"
#include "shell/file_replace.h"
#include "shell/numtext.h"

namespace vemo {

namespace {

constexpr double kFootY = 0.005;  // feet and flat tops within this
constexpr size_t kMaxIndex = kNoIndex - 1;  // rule items hold 16-bit indices

// ---- export

// The two-letter short names, unique within the file. Candidates for a name
// s of n characters are s[i] s[j] for i = 1 .. n-1 and j = 2 .. n; when none
// is free, random pairs of capital letters (from a fixed seed, so that the
// same model always gives the same file); empty when those are taken too.
class TShortNames {
 public:
  std::string Next(const std::string& name) {
    for (size_t i = 0; i + 1 < name.size(); ++i)
      for (size_t j = 1; j < name.size(); ++j)
        if (Take(std::string{name[i], name[j]})) return {name[i], name[j]};
    for (int k = 0; k < 1000; ++k) {
      const std::string pair{Letter(), Letter()};
      if (Take(pair)) return pair;
    }
    return {};
  }

 private:
  bool Take(const std::string& s) { return used_.insert(s).second; }
  char Letter() {
    seed_ = seed_ * 1103515245u + 12345u;
    return static_cast<char>('A' + (seed_ >> 16) % 26);
  }
  std::set<std::string> used_;
  uint32_t seed_ = 1;
};

// The 1-based place of term t among the terms of variable v; 0 when t is not
// one of them.
int PlaceOf(const TFuzzyModel& m, size_t v, size_t t) {
  if (t >= m.Terms.size() || m.Terms[t].VarIndex != v) return 0;
  int place = 0;
  for (size_t i = 0; i <= t; ++i) place += m.Terms[i].VarIndex == v;
  return place;
}

std::string Join(std::initializer_list<double> values) {
  std::string s;
  for (double v : values) s += (s.empty() ? "" : " ") + FormatReal23(v);
  return s;
}

// ---- import

class TLineReader {
 public:
  explicit TLineReader(std::string_view text) : text_(text) {
    left_ = static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) +
            (!text.empty() && text.back() != '\n');
  }
  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = end + 1;
    --left_;
    return true;
  }
  // Lines not read yet (a last line without a line end counts).
  size_t Left() const { return left_; }

 private:
  std::string_view text_;
  size_t pos_ = 0, left_ = 0;
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The blank-separated words of a line.
std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> w;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    size_t j = i;
    while (j < s.size() && s[j] != ' ' && s[j] != '\t') ++j;
    if (j > i) w.push_back(s.substr(i, j - i));
    i = j;
  }
  return w;
}

bool ParseInt(std::string_view s, long long& v) {
  s = Trim(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return r.ec == std::errc() && r.ptr == s.data() + s.size() && !s.empty();
}

bool ReadCount(TLineReader& in, long long limit, long long& n) {
  std::string_view line;
  return in.Next(line) && ParseInt(line, n) && n >= 0 && n <= limit;
}

std::string ReadName(std::string_view line) {
  return Utf8Left(Cp1251ToUtf8(Trim(line)), kFuzzyNameChars);
}

}  // namespace

bool FitsWinFACT(const TFuzzyModel& m) {
  for (const TFuzzyTerm& t : m.Terms) {
    const auto& p = t.Shape.Points;
    if (p.size() != 3 && p.size() != 4) return false;
    if (!(p.front().Y <= kFootY && p.back().Y <= kFootY)) return false;
    if (p.size() == 4 && !(std::fabs(p[1].Y - p[2].Y) <= kFootY)) return false;
  }
  for (size_t i = 0; i + 1 < m.Rules.size(); ++i) {
    const TRuleItem &a = m.Rules[i], &b = m.Rules[i + 1];
    if (!a.IsConclusion() && !b.IsConclusion() && !(a.Flags & kRuleAnd)) return false;
    if (a.IsConclusion() && b.IsConclusion()) return false;
  }
  return true;
}

std::string WinFACTText(const TFuzzyModel& m) {
  std::string out;
  auto line = [&out](const std::string& s) { out += s + "\r\n"; };
  line("!");
  line("! This file was created by FUZZYLIB module");
  line("! Fuzzy controller of Vemo");
  for (int i = 0; i < 5; ++i) line("!");
  line(std::to_string(m.Variables.size()));
  TShortNames shortNames;
  for (size_t v = 0; v < m.Variables.size(); ++v) {
    line(Utf8ToCp1251(m.Variables[v].Name));
    line(IsOutputVariable(m, v) ? "A" : "E");
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    size_t count = 0;
    for (const TFuzzyTerm& t : m.Terms) {
      if (t.VarIndex != v) continue;
      ++count;
      for (const TShapePoint& p : t.Shape.Points) {
        lo = std::min(lo, p.X);
        hi = std::max(hi, p.X);
      }
    }
    if (count == 0) lo = 0, hi = 1;
    line(Join({lo, hi}) + " 1 1");
    line(std::to_string(count));
    for (const TFuzzyTerm& t : m.Terms) {
      if (t.VarIndex != v) continue;
      const std::string name = Utf8ToCp1251(t.Name);
      line(name);
      line(shortNames.Next(name));
      const auto& p = t.Shape.Points;
      if (p.size() == 3) {
        line("0");
        line(Join({p[0].X, p[2].X, p[1].Y}) + " 0 " + FormatReal23(p[1].X));
      } else {
        line("1");
        line(Join({p[0].X, p[3].X, p[1].Y, p[1].X, p[2].X}));
      }
    }
  }
  line(std::to_string(RuleCount(m)));
  TRuleSpan r;
  for (size_t pos = 0; NextRule(m.Rules, pos, r); pos = r.End) {
    std::string s;
    for (size_t v = 0; v < m.Variables.size(); ++v) {
      int place = 0;
      for (size_t i = r.First; i < r.End; ++i)
        if (m.Rules[i].VarIndex == v) {
          place = PlaceOf(m, v, m.Rules[i].TermIndex);
          break;
        }
      char cell[16];
      std::snprintf(cell, sizeof cell, "%3d ", place);
      s += cell;
    }
    line(s + "1.000000");
  }
  line(MethodName(m.Method));
  line("SPN");
  line("HOLD");
  line(" 0.0000000000E+0000");
  return out;
}

TWinFACTExport ExportWinFACT(const TFuzzyModel& m, const std::string& path) {
  if (!FitsWinFACT(m)) return TWinFACTExport::DoesNotFit;
  const std::string text = WinFACTText(m);
  return ReplaceFileContents(path, text.data(), text.size()) ? TWinFACTExport::Written
                                                            : TWinFACTExport::WriteFailed;
}

// A rule line whose every input is 0 would be a rule without premises, one
// whose every output is 0 a rule without conclusions. The rule items cannot
// hold either (conclusions without premises would join the rule before
// them, premises without conclusions the rule after them), so such lines
// are passed over.
bool ParseWinFACT(std::string_view text, TFuzzyModel& m, int& lastOutput) {
  m.Clear();
  lastOutput = -1;
  TLineReader in(text);
  std::string_view line;
  do {
    if (!in.Next(line)) return false;
  } while (!line.empty() && line.front() == '!');
  long long vars = 0;
  if (!ParseInt(line, vars) || vars < 0 || vars > static_cast<long long>(std::min(in.Left() / 4, kMaxIndex)))
    return false;

  std::vector<bool> output;
  std::vector<size_t> firstTerm, termCount;
  for (long long v = 0; v < vars; ++v) {
    if (!in.Next(line)) return false;
    AddVariable(m, ReadName(line));
    std::string_view type;
    if (!in.Next(type)) return false;
    output.push_back(!Trim(type).empty() && Trim(type).front() == 'A');
    if (output.back()) lastOutput = static_cast<int>(v);
    if (!in.Next(line)) return false;  // the range
    long long terms = 0;
    const size_t room = std::min(in.Left() / 4, kMaxIndex - m.Terms.size());
    if (!ReadCount(in, static_cast<long long>(room), terms)) return false;
    firstTerm.push_back(m.Terms.size());
    termCount.push_back(static_cast<size_t>(terms));
    for (long long k = 0; k < terms; ++k) {
      std::string_view name, shape;
      long long kind = 0;
      if (!in.Next(name) || !in.Next(line) || !in.Next(type) || !ParseInt(type, kind) ||
          !in.Next(shape))
        return false;
      TFuzzyTerm t;
      t.Name = ReadName(name);
      t.VarIndex = static_cast<uint32_t>(v);
      double a[5];
      if (kind >= 0 && kind <= 2) {
        if (!ParseRealLine(shape, a, 5)) return false;
        if (kind == 1)
          t.Shape.Points = {{a[0], 0.0}, {a[3], a[2]}, {a[4], a[2]}, {a[1], 0.0}};
        else
          t.Shape.Points = {{a[0], 0.0}, {a[4], a[2]}, {a[1], 0.0}};
      }
      NormalizeTerm(t);
      m.Terms.push_back(std::move(t));
    }
  }

  long long rules = 0;
  if (!ReadCount(in, static_cast<long long>(in.Left()), rules)) return false;
  std::vector<TRuleItem> premises, conclusions;
  for (long long r = 0; r < rules; ++r) {
    if (!in.Next(line)) return false;
    const std::vector<std::string_view> w = Words(line);
    if (w.size() < static_cast<size_t>(vars)) return false;
    premises.clear();
    conclusions.clear();
    for (size_t v = 0; v < static_cast<size_t>(vars); ++v) {
      long long k = 0;
      if (!ParseInt(w[v], k) || k < 0 || k > static_cast<long long>(termCount[v])) return false;
      if (k == 0) continue;
      TRuleItem it;
      it.VarIndex = static_cast<uint16_t>(v);
      it.TermIndex = static_cast<uint16_t>(firstTerm[v] + static_cast<size_t>(k) - 1);
      if (output[v]) {
        it.Flags = kRuleConclusion;
        conclusions.push_back(it);
      } else {
        if (!premises.empty()) premises.back().Flags |= kRuleAnd;
        premises.push_back(it);
      }
    }
    if (premises.empty() || conclusions.empty()) continue;
    m.Rules.insert(m.Rules.end(), premises.begin(), premises.end());
    m.Rules.insert(m.Rules.end(), conclusions.begin(), conclusions.end());
  }
  if (!in.Next(line)) return false;
  line = Trim(line);
  if (line == "MAX_DOT") m.Method = kMaxDot;
  else if (line == "MAX_MIN") m.Method = kMaxMin;
  return true;
}

bool ImportWinFACT(TFuzzyModel& m, const std::string& path, int& lastOutput) {
  m.Clear();
  lastOutput = -1;
  std::string text;
  if (!ReadWholeFile(path, text)) return false;
  return ParseWinFACT(text, m, lastOutput);
}

}  // namespace vemo
