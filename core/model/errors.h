// The table of scheme and analysis error messages, entry n for ErrorCode n.
#pragma once
#include <cstdint>

namespace vemo {

inline constexpr int kErrorMessageCount = 40;
// ErrorMessages[n] for n in 1..40; entry 0 is empty.
extern const char* const ErrorMessages[kErrorMessageCount + 1];

inline const char* ErrorMessage(int code) {
  return (code >= 1 && code <= kErrorMessageCount) ? ErrorMessages[code] : "";
}

}  // namespace vemo
