// The rule language of the fuzzy controller: Russian rules such as
//   ЕСЛИ E ЕСТЬ NB И НЕ DE ЕСТЬ ZE ТО U ЕСТЬ PB
// compiled into rule items, and turned back into text.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "fuzzy/fuzzy_model.h"

namespace vemo {

// Compiles one rule line (UTF-8) and appends its items to the model's rules.
// Returns 0 when the line was accepted or is empty; otherwise the 1-based
// character position where the failing token starts, with the code 1..9 in
// Prog.Err.FuzzyError. On a failure every rule item of the model is dropped,
// not only those of this line.
int CompileRule(TFuzzyModel& m, std::string_view line);

// Drops all rule items.
void ClearRules(TFuzzyModel& m);

// The text of the rule starting at cursor; the cursor moves past it. An
// index that names no variable or term prints as "???".
std::string RuleToText(const TFuzzyModel& m, size_t& cursor);

// Every rule, one line each.
std::string RulesText(const TFuzzyModel& m);

// Compiles lines one after another (ClearRules first) and stops at the first
// failure: its line (from 0) and the position CompileRule returned; line -1
// when all passed.
struct TRuleFailure {
  int Line = -1;
  int Position = 0;
};
TRuleFailure CompileRules(TFuzzyModel& m, std::string_view text);

// The message of a rule error code 1..9 (scheme error 20 + code).
const char* RuleErrorMessage(int code);

}  // namespace vemo
