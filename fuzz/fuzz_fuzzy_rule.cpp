// libFuzzer harness for the rule compiler: every line of the input compiled
// against a model with Latin and Cyrillic names. An accepted line reads back
// through RuleToText and compiles to the same items; a refused one leaves
// no rules and names a position inside the line or just after it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzzy_exercise.h"
#include "shell/encoding.h"
#include "shell/program.h"

using namespace vemo;
using vemo::fuzzcheck::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetProgramState();
  TFuzzyModel m;
  for (const char* n : {"X1", "Ошибка", "", "Y"}) AddVariable(m, n);
  AddTerm(m, "A", 0, TFuzzyShape{{{0, 0}, {1, 1}, {2, 0}}});
  AddTerm(m, "мало", 1, TFuzzyShape{{{-1, 0}, {0, 1}, {1, 0}}});
  AddTerm(m, "Z", 3, TFuzzyShape{{{0, 0}, {1, 1}, {2, 0}}});
  AddTerm(m, "ZZ", 3, TFuzzyShape{{{1, 0}, {2, 1}, {3, 0}}});
  std::string_view text(reinterpret_cast<const char*>(data), size);
  // Lines are compiled as typed: the editor holds UTF-8, files may hold
  // anything, so odd inputs are taken as Windows-1251 half of the time.
  const std::string utf8 = size && (data[0] & 1) ? Cp1251ToUtf8(text) : std::string(text);
  size_t pos = 0;
  while (pos <= utf8.size()) {
    size_t end = utf8.find('\n', pos);
    if (end == std::string::npos) end = utf8.size();
    const std::string line = utf8.substr(pos, end - pos);
    pos = end + 1;
    const size_t before = m.Rules.size();
    const int p = CompileRule(m, line);
    if (p == 0) {
      Check(Prog.Err.FuzzyError == 0);
      if (m.Rules.size() == before) continue;
      size_t cursor = before;
      const std::string back = RuleToText(m, cursor);
      Check(cursor == m.Rules.size());
      TFuzzyModel again = m;
      again.Rules.clear();
      Check(CompileRule(again, back) == 0);
      Check(std::equal(again.Rules.begin(), again.Rules.end(), m.Rules.begin() + static_cast<std::ptrdiff_t>(before)));
    } else {
      Check(m.Rules.empty());
      Check(Prog.Err.FuzzyError >= 1 && Prog.Err.FuzzyError <= 9);
      Check(p >= 1 && static_cast<size_t>(p) <= Utf8Length(line) + 1);
    }
  }
  fuzzcheck::ExerciseModel(m);
  return 0;
}
