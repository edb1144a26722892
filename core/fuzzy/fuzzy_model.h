// The fuzzy model: linguistic variables, terms with piecewise-linear
// membership functions, and the compiled rule items.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/bytes.h"

namespace vemo {

struct TShapePoint {
  double X = 0.0, Y = 0.0;
  friend bool operator==(const TShapePoint&, const TShapePoint&) = default;
};

// A membership function as a polyline.
struct TFuzzyShape {
  std::vector<TShapePoint> Points;
  friend bool operator==(const TFuzzyShape&, const TFuzzyShape&) = default;
};

struct TFuzzyVar {
  std::string Name;  // at most 12 characters; empty = unused
  double Value = 0.0;
};

struct TFuzzyTerm {
  std::string Name;  // at most 12 characters
  TFuzzyShape Shape;
  uint32_t VarIndex = 0;
  double Degree = 0.0;  // of the last fuzzification; not stored
};

// Bits of TRuleItem::Flags.
inline constexpr uint16_t kRuleAnd = 1;         // "И" after this premise ("ИЛИ" when clear)
inline constexpr uint16_t kRuleNot = 2;         // the premise is negated
inline constexpr uint16_t kRuleConclusion = 4;  // a conclusion item (Flags exactly 4)

struct TRuleItem {
  uint16_t VarIndex = 0;
  uint16_t TermIndex = 0;
  uint16_t Flags = 0;
  bool IsConclusion() const { return (Flags & kRuleConclusion) != 0; }
  int Opens() const { return (Flags >> 8) & 15; }
  int Closes() const { return (Flags >> 12) & 15; }
  friend bool operator==(const TRuleItem&, const TRuleItem&) = default;
};

// A rule index that names nothing (a term that was removed); it prints as
// "???" and its premise has degree 0.
inline constexpr uint16_t kNoIndex = 0xFFFF;

inline constexpr size_t kFuzzyNameChars = 12;

struct TFuzzyModel {
  std::vector<TFuzzyTerm> Terms;
  std::vector<TRuleItem> Rules;
  std::vector<TFuzzyVar> Variables;
  uint8_t Method = 0;  // 0 MAX_DOT, 1 MAX_MIN

  void Clear() {
    Terms.clear();
    Rules.clear();
    Variables.clear();
    Method = 0;
  }
};

inline constexpr uint8_t kMaxDot = 0, kMaxMin = 1;
inline const char* MethodName(uint8_t method) { return method ? "MAX_MIN" : "MAX_DOT"; }

// ---- list helpers

// Appends a term (name cut to 12 characters); returns its index.
size_t AddTerm(TFuzzyModel& m, std::string_view name, uint32_t varIndex, TFuzzyShape shape = {});
// Removes term i. Rule items after it are renumbered; items that named it
// get kNoIndex, so that the rule no longer refers to another term.
void RemoveTerm(TFuzzyModel& m, size_t i);
// Appends a variable (name cut to 12 characters); returns its index.
size_t AddVariable(TFuzzyModel& m, std::string_view name);
// Index of the variable of that name (compared as the rule language
// compares: letters in either case), or -1. Empty names are never found.
int FindVariable(const TFuzzyModel& m, std::string_view name);
int FindTerm(const TFuzzyModel& m, std::string_view name);
size_t VariableCount(const TFuzzyModel& m);
// One rule of the item list: premises [First, Conclusions), then its
// conclusions [Conclusions, End). A rule ends where the next premise
// starts; the list may end after premises (a rule without conclusions).
struct TRuleSpan {
  size_t First = 0, Conclusions = 0, End = 0;
};
// The rule starting at pos; false at the end of the list.
inline bool NextRule(const std::vector<TRuleItem>& rules, size_t pos, TRuleSpan& span) {
  const size_t n = rules.size();
  if (pos >= n) return false;
  span.First = pos;
  while (pos < n && !rules[pos].IsConclusion()) ++pos;
  span.Conclusions = pos;
  while (pos < n && rules[pos].IsConclusion()) ++pos;
  span.End = pos;
  return true;
}
// Number of rules.
size_t RuleCount(const TFuzzyModel& m);
// Whether the variable appears in any conclusion (an output).
bool IsOutputVariable(const TFuzzyModel& m, size_t var);

// ---- membership functions

// The membership degree at x: linear interpolation over every segment that
// contains x (both ends included); later segments overwrite earlier ones,
// and a segment narrower than 1e-8 gives the Y of its second point. 0
// outside every segment.
double MembershipAt(const TShapePoint* pts, size_t count, double x);
inline double MembershipAt(const TFuzzyShape& s, double x) {
  return MembershipAt(s.Points.data(), s.Points.size(), x);
}

// Puts a drawn polyline into the form inference expects: X ascending at
// least 0.0001 apart, starting and ending at Y = 0.
void NormalizeTerm(TFuzzyTerm& t);
// Drops terms without points (see RemoveTerm) and normalises the rest.
void NormalizeAll(TFuzzyModel& m);

// The centroid of the area under a polyline (exact integrals over each
// segment); the first X when the area and moment are both below 1e-6, 0
// for no points.
double Centroid(const TShapePoint* pts, size_t count);

// ---- names as the rule language sees them

// Windows-1251 bytes of a name with Latin a-z and Cyrillic а-я upper-cased
// (ё and every other character kept).
std::string UpperName(std::string_view utf8);
void UpperInPlace(std::string& cp1251);

// Shape block: u32 count, then count (x, y) doubles.
void SaveShape(TMemCursor& c, const TFuzzyShape& s);
bool LoadShape(TLoadCursor& c, TFuzzyShape& s);

// The lists of the model file and of the block's project data: every
// record after a byte 1, the list ended by a byte 0 (any other byte also
// means a record follows). Names are a length byte and nameWidth character
// positions; read names are cut to 12 characters. A list that does not end
// within the bytes leaves the cursor failed.
void SaveTerms(TMemCursor& c, const std::vector<TFuzzyTerm>& terms, size_t nameWidth);
void SaveRuleItems(TMemCursor& c, const std::vector<TRuleItem>& rules);
void SaveVariables(TMemCursor& c, const std::vector<TFuzzyVar>& vars, size_t nameWidth);
bool LoadTerms(TLoadCursor& c, std::vector<TFuzzyTerm>& terms, size_t nameWidth);
bool LoadRuleItems(TLoadCursor& c, std::vector<TRuleItem>& rules);
bool LoadVariables(TLoadCursor& c, std::vector<TFuzzyVar>& vars, size_t nameWidth);

}  // namespace vemo
