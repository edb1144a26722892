// The fuzzy model: linguistic variables, terms with piecewise-linear
// membership functions, and the compiled rule items.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/bytes.h"

namespace vemo {

struct TShapePoint {
  double X = 0.0, Y = 0.0;
};

struct TFuzzyShape {
  std::vector<TShapePoint> Points;
};

struct TFuzzyVar {
  std::string Name;  // at most 12 characters
  double Value = 0.0;
};

struct TFuzzyTerm {
  std::string Name;  // at most 12 characters
  TFuzzyShape Shape;
  uint32_t VarIndex = 0;
  double Degree = 0.0;
};

struct TRuleItem {
  uint16_t VarIndex = 0;
  uint16_t TermIndex = 0;
  uint16_t Flags = 0;
};

struct TFuzzyModel {
  std::vector<TFuzzyTerm> Terms;
  std::vector<TRuleItem> Rules;
  std::vector<TFuzzyVar> Variables;
  uint8_t Method = 0;  // 0 MAX_DOT, 1 MAX_MIN

  void Clear() {
    Terms.clear();
    Rules.clear();
    Variables.clear();
  }
};

// Shape block: u32 count, then count (x, y) doubles.
void SaveShape(TMemCursor& c, const TFuzzyShape& s);
bool LoadShape(TLoadCursor& c, TFuzzyShape& s);

}  // namespace vemo
