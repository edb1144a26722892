// libFuzzer harness for the single membership function file (the editor's
// "Загрузить функцию принадлежности"): any text reads into points, or stops
// at its first word that is not a number; the points written back read
// again alike, and a model using the function infers, normalises and passes
// through both model files.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzzy_exercise.h"
#include "shell/program.h"

using namespace vemo;
using vemo::fuzzcheck::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetProgramState();
  TFuzzyShape shape;
  (void)ParseShapeText(std::string_view(reinterpret_cast<const char*>(data), size), shape);
  // Written with 15 digits, a value next to the largest double rounds up
  // past it and no longer reads; the others read back to within rounding.
  bool writable = true;
  for (const TShapePoint& p : shape.Points) {
    Check(std::isfinite(p.X) && std::isfinite(p.Y));
    writable = writable && std::fabs(p.X) < 1e308 && std::fabs(p.Y) < 1e308;
  }
  TFuzzyShape back;
  Check(ParseShapeText(ShapeText(shape), back) || !writable);
  Check(back.Points.size() == shape.Points.size() || !writable);
  for (size_t i = 0; writable && i < shape.Points.size(); ++i) {
    const TShapePoint &a = shape.Points[i], &b = back.Points[i];
    Check(std::fabs(a.X - b.X) <= 1e-13 * std::fabs(a.X) + 1e-300 &&
          std::fabs(a.Y - b.Y) <= 1e-13 * std::fabs(a.Y) + 1e-300);
  }

  TFuzzyModel m;
  AddVariable(m, "X");
  AddVariable(m, "Y");
  AddTerm(m, "F", 0, shape);
  AddTerm(m, "G", 1, shape);
  Check(CompileRule(m, "ЕСЛИ X ЕСТЬ F ТО Y ЕСТЬ G") == 0);
  Check(CompileRule(m, "ЕСЛИ НЕ X ЕСТЬ F ТО Y ЕСТЬ G") == 0);
  fuzzcheck::ExerciseModel(m);
  return 0;
}
