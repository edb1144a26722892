// libFuzzer harness for the parameter expression evaluator and the text
// preparation of the property dialog.
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I core
//     core/shell/numtext.cpp core/blocks/expression.cpp fuzz/fuzz_expression.cpp
//   ./a.out fuzz/corpus/expression
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "blocks/expression.h"
#include "shell/numtext.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

bool KnownMessage(const std::string& m) {
  return m == vemo::kExpressionError || m == vemo::kBadNumberFormat;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  double value = 0.0;
  std::string message;
  const bool ok = vemo::EvalExpression(text, value, &message);
  if (ok) {
    Check(std::isfinite(value));
  } else {
    Check(KnownMessage(message));
  }

  // Blanks and tabs never matter: without them the outcome is the same.
  std::string bare;
  for (char c : text)
    if (c != ' ' && c != '\t') bare += c;
  double bareValue = 0.0;
  std::string bareMessage;
  const bool bareOk = vemo::EvalExpression(bare, bareValue, &bareMessage);
  Check(bareOk == ok);
  if (ok) Check(bareValue == value);
  else Check(bareMessage == message);

  // Enclosing a valid expression in parentheses keeps its value.
  if (ok) {
    double wrapped = 0.0;
    Check(vemo::EvalExpression("(" + std::string(text) + ")", wrapped, nullptr));
    Check(wrapped == value);
  }

  // The dialog's path: at most 30 characters, upper case, idempotent.
  const std::string prepared = vemo::PrepareParamText(text);
  Check(prepared.size() <= text.size());
  Check(vemo::PrepareParamText(prepared) == prepared);
  double dialogValue = 0.0;
  std::string dialogMessage;
  if (vemo::EvalParamText(text, dialogValue, &dialogMessage)) Check(std::isfinite(dialogValue));
  else Check(KnownMessage(dialogMessage));
  return 0;
}
