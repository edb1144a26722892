// The table of scheme and analysis error messages, entry n for ErrorCode n.
#pragma once
#include <cstdint>

namespace vemo {

inline constexpr int kErrorMessageCount = 40;
// ErrorMessages[n] for n in 1..40; entry 0 is empty.
extern const char* const ErrorMessages[kErrorMessageCount + 1];

// Beyond the table: the program's memory ran out, or a scheme's macro
// bodies would need more than the program allows them (see MacroBodyBudget).
inline constexpr uint8_t kNoMemoryCode = 41;
inline constexpr const char* kNoMemory = "Недостаточно памяти";

inline const char* ErrorMessage(int code) {
  if (code == kNoMemoryCode) return kNoMemory;
  return (code >= 1 && code <= kErrorMessageCount) ? ErrorMessages[code] : "";
}

}  // namespace vemo
