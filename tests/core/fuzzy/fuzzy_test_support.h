// A small fuzzy model for the tests: the block's four variables X1, X2, X3
// and Y, triangles A, B, C on X1, X2, X3 and two output terms on Y.
#pragma once
#include <initializer_list>
#include <string>

#include "fuzzy/fuzzy_model.h"
#include "fuzzy/fuzzy_rules.h"

namespace vemo::fuzzytest {

inline TFuzzyShape Shape(std::initializer_list<TShapePoint> pts) { return TFuzzyShape{pts}; }
inline TFuzzyShape Triangle(double a, double b, double c, double h = 1.0) {
  return Shape({{a, 0}, {b, h}, {c, 0}});
}

inline TFuzzyModel SmallModel() {
  TFuzzyModel m;
  for (const char* n : {"X1", "X2", "X3", "Y"}) AddVariable(m, n);
  AddTerm(m, "A", 0, Triangle(0, 1, 2));
  AddTerm(m, "B", 1, Triangle(0, 1, 2));
  AddTerm(m, "C", 2, Triangle(0, 1, 2));
  AddTerm(m, "Z", 3, Triangle(0, 1, 2));
  AddTerm(m, "W", 3, Triangle(2, 3, 4));
  return m;
}

}  // namespace vemo::fuzzytest
