#include "fuzzy/fuzzy_model.h"

#include <algorithm>
#include <cmath>

#include "shell/encoding.h"

namespace vemo {

namespace {

constexpr double kMinGap = 0.0001;   // smallest X step of a normalised shape
constexpr double kFootLevel = 0.001;  // a shape must start and end below this

}  // namespace

// ---- list helpers

size_t AddTerm(TFuzzyModel& m, std::string_view name, uint32_t varIndex, TFuzzyShape shape) {
  TFuzzyTerm t;
  t.Name = Utf8Left(name, kFuzzyNameChars);
  t.VarIndex = varIndex;
  t.Shape = std::move(shape);
  m.Terms.push_back(std::move(t));
  return m.Terms.size() - 1;
}

void RemoveTerm(TFuzzyModel& m, size_t i) {
  if (i >= m.Terms.size()) return;
  m.Terms.erase(m.Terms.begin() + static_cast<std::ptrdiff_t>(i));
  for (TRuleItem& r : m.Rules) {
    if (r.TermIndex == kNoIndex) continue;
    if (r.TermIndex == i) r.TermIndex = kNoIndex;
    else if (r.TermIndex > i) --r.TermIndex;
  }
}

size_t AddVariable(TFuzzyModel& m, std::string_view name) {
  m.Variables.push_back({Utf8Left(name, kFuzzyNameChars), 0.0});
  return m.Variables.size() - 1;
}

int FindVariable(const TFuzzyModel& m, std::string_view name) {
  const std::string key = UpperName(name);
  if (key.empty()) return -1;
  for (size_t i = 0; i < m.Variables.size(); ++i)
    if (UpperName(m.Variables[i].Name) == key) return static_cast<int>(i);
  return -1;
}

int FindTerm(const TFuzzyModel& m, std::string_view name) {
  const std::string key = UpperName(name);
  if (key.empty()) return -1;
  for (size_t i = 0; i < m.Terms.size(); ++i)
    if (UpperName(m.Terms[i].Name) == key) return static_cast<int>(i);
  return -1;
}

size_t VariableCount(const TFuzzyModel& m) { return m.Variables.size(); }

size_t RuleCount(const TFuzzyModel& m) {
  size_t n = 0;
  TRuleSpan r;
  for (size_t pos = 0; NextRule(m.Rules, pos, r); pos = r.End) ++n;
  return n;
}

bool IsOutputVariable(const TFuzzyModel& m, size_t var) {
  for (const TRuleItem& r : m.Rules)
    if (r.IsConclusion() && r.VarIndex == var) return true;
  return false;
}

// ---- membership functions

double MembershipAt(const TShapePoint* p, size_t count, double x) {
  double result = 0.0;
  for (size_t i = 0; i + 1 < count; ++i) {
    const double x1 = p[i].X, x2 = p[i + 1].X;
    if (!((x >= x1 && x <= x2) || (x >= x2 && x <= x1))) continue;
    if (std::fabs(x2 - x1) >= 1e-8)
      result = (x - x1) * (p[i + 1].Y - p[i].Y) / (x2 - x1) + p[i].Y;
    else
      result = p[i + 1].Y;
  }
  return result;
}

void NormalizeTerm(TFuzzyTerm& t) {
  std::vector<TShapePoint>& p = t.Shape.Points;
  if (p.empty()) return;
  if (p.size() >= 2 && p.front().X > p.back().X) std::reverse(p.begin(), p.end());
  if (p.size() == 2 && std::fabs(p[1].X - p[0].X) < kMinGap) {
    const TShapePoint peak = p[1];
    p = {{peak.X - kMinGap, 0.0}, peak, {peak.X + kMinGap, 0.0}};
  }
  for (size_t i = 0; i + 1 < p.size(); ++i)
    if (p[i + 1].X - p[i].X < kMinGap) p[i + 1].X = p[i].X + kMinGap;
  if (p.front().Y > kFootLevel) p.insert(p.begin(), TShapePoint{p.front().X - kMinGap, 0.0});
  if (p.back().Y > kFootLevel) p.push_back({p.back().X + kMinGap, 0.0});
}

void NormalizeAll(TFuzzyModel& m) {
  for (size_t i = m.Terms.size(); i-- > 0;)
    if (m.Terms[i].Shape.Points.empty()) RemoveTerm(m, i);
  for (TFuzzyTerm& t : m.Terms) NormalizeTerm(t);
}

double Centroid(const TShapePoint* p, size_t count) {
  if (count == 0) return 0.0;
  double area = 0.0, moment = 0.0;
  for (size_t i = 0; i + 1 < count; ++i) {
    const double x1 = p[i].X, y1 = p[i].Y, x2 = p[i + 1].X, y2 = p[i + 1].Y;
    const double dy = y2 - y1;
    area += (x2 - x1) * (y1 + y2) / 2;
    moment += ((x2 * x2 - x1 * x1) * y1 - dy * (x1 * x2 + x1 * x1)) / 2 +
              dy * (x2 * x2 + x1 * x2 + x1 * x1) / 3;
  }
  if (std::fabs(moment) < 1e-6 && std::fabs(area) < 1e-6) return p[0].X;
  return moment / area;
}

// ---- names

void UpperInPlace(std::string& s) {
  for (char& ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || c >= 224) ch = static_cast<char>(c - 32);
  }
}

std::string UpperName(std::string_view utf8) {
  std::string s = Utf8ToCp1251(utf8);
  UpperInPlace(s);
  return s;
}

// ---- shape block

void SaveShape(TMemCursor& c, const TFuzzyShape& s) {
  c.U32(static_cast<uint32_t>(s.Points.size()));
  for (const TShapePoint& p : s.Points) {
    c.F64(p.X);
    c.F64(p.Y);
  }
}

bool LoadShape(TLoadCursor& c, TFuzzyShape& s) {
  const uint32_t n = c.U32();
  if (!c.CanRead(n, 16)) return c.Ok = false;
  s.Points.resize(n);
  for (TShapePoint& p : s.Points) {
    p.X = c.F64();
    p.Y = c.F64();
  }
  return c.Ok;
}

// ---- lists

namespace {

// Whether another record follows (its leading byte is not 0), with at least
// `bytes` (the leading byte counted) in the record.
bool More(TLoadCursor& c, size_t bytes) {
  if (c.U8() == 0 || !c.Ok) return false;
  if (c.Left() + 1 < bytes) c.Ok = false;
  return c.Ok;
}

std::string LoadName(TLoadCursor& c, size_t width) {
  return Utf8Left(c.ShortString(width), kFuzzyNameChars);
}

}  // namespace

void SaveTerms(TMemCursor& c, const std::vector<TFuzzyTerm>& terms, size_t nameWidth) {
  for (const TFuzzyTerm& t : terms) {
    c.U8(1);
    c.ShortString(t.Name, nameWidth);
    SaveShape(c, t.Shape);
    c.U32(t.VarIndex);
  }
  c.U8(0);
}

void SaveRuleItems(TMemCursor& c, const std::vector<TRuleItem>& rules) {
  for (const TRuleItem& r : rules) {
    c.U8(1);
    c.U16(r.VarIndex);
    c.U16(r.TermIndex);
    c.U16(r.Flags);
  }
  c.U8(0);
}

void SaveVariables(TMemCursor& c, const std::vector<TFuzzyVar>& vars, size_t nameWidth) {
  for (const TFuzzyVar& v : vars) {
    c.U8(1);
    c.ShortString(v.Name, nameWidth);
  }
  c.U8(0);
}

bool LoadTerms(TLoadCursor& c, std::vector<TFuzzyTerm>& terms, size_t nameWidth) {
  while (c.Ok && More(c, 1 + 1 + nameWidth + 4 + 4)) {
    TFuzzyTerm t;
    t.Name = LoadName(c, nameWidth);
    LoadShape(c, t.Shape);
    t.VarIndex = c.U32();
    if (c.Ok) terms.push_back(std::move(t));
  }
  return c.Ok;
}

bool LoadRuleItems(TLoadCursor& c, std::vector<TRuleItem>& rules) {
  while (c.Ok && More(c, 1 + 6)) {
    TRuleItem r;
    r.VarIndex = c.U16();
    r.TermIndex = c.U16();
    r.Flags = c.U16();
    rules.push_back(r);
  }
  return c.Ok;
}

bool LoadVariables(TLoadCursor& c, std::vector<TFuzzyVar>& vars, size_t nameWidth) {
  while (c.Ok && More(c, 1 + 1 + nameWidth)) {
    std::string name = LoadName(c, nameWidth);
    if (c.Ok) vars.push_back({std::move(name), 0.0});
  }
  return c.Ok;
}

}  // namespace vemo
