// libFuzzer harness for the WinFACT text reader: any text either reads or
// stops at its first damaged line; whatever was read is a usable model, and
// a model that fits the format reads back from its own export.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzzy_exercise.h"

using namespace vemo;
using vemo::fuzzcheck::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzyModel m;
  int last = 0;
  ParseWinFACT(std::string_view(reinterpret_cast<const char*>(data), size), m, last);
  Check(last >= -1 && last < static_cast<int>(m.Variables.size()));
  for (const TRuleItem& r : m.Rules) Check(r.VarIndex < m.Variables.size() && r.TermIndex < m.Terms.size());
  if (FitsWinFACT(m)) {
    TFuzzyModel back;
    Check(ParseWinFACT(WinFACTText(m), back, last));
    Check(back.Variables.size() == m.Variables.size() && back.Terms.size() == m.Terms.size() &&
          back.Rules.size() <= m.Rules.size());
  }
  fuzzcheck::ExerciseModel(m);
  return 0;
}
