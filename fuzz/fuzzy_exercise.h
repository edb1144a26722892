// What the fuzzy harnesses do with every model they read: infer at a few
// input values, normalise, write the rules back as text and recompile
// them, and pass the model through both file formats.
#pragma once
#include <cstdlib>
#include <cstring>

#include "fuzzy/fuzzy_file.h"
#include "fuzzy/fuzzy_infer.h"
#include "fuzzy/fuzzy_rules.h"
#include "fuzzy/winfact.h"

namespace vemo::fuzzcheck {

inline void Check(bool condition) {
  if (!condition) std::abort();
}

inline void ExerciseModel(TFuzzyModel m) {
  // The binary file gives back the same model.
  const std::vector<uint8_t> img = ModelFileImage(m);
  TFuzzyModel back;
  Check(ParseModelFile(img.data(), img.size(), back));
  Check(ModelFileImage(back) == img);

  TFuzzyInference work;
  for (double x : {-1.0, 0.0, 0.5, 3.0}) {
    for (TFuzzyVar& v : m.Variables) v.Value = x;
    work.Infer(m);
  }
  // A model that fits the text format reads back from it.
  if (FitsWinFACT(m)) {
    TFuzzyModel w;
    int last = 0;
    Check(ParseWinFACT(WinFACTText(m), w, last));
  }
  const std::string text = RulesText(m);
  NormalizeAll(m);
  for (const TFuzzyTerm& t : m.Terms) Check(!t.Shape.Points.empty());
  (void)CompileRules(m, text);
  for (TFuzzyVar& v : m.Variables) v.Value = 0.25;
  work.Infer(m);
}

}  // namespace vemo::fuzzcheck
