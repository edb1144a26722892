#include "model/bytes.h"

#include "shell/encoding.h"

namespace vemo {

void TMemCursor::ShortString(std::string_view utf8, size_t width) {
  std::string b = Utf8ToCp1251(utf8);
  if (b.size() > width) b.resize(width);
  U8(static_cast<uint8_t>(b.size()));
  Put(b.data(), b.size());
  Zeros(width - b.size());
}

void TMemCursor::PackedString(std::string_view utf8, size_t maxLen) {
  std::string b = Utf8ToCp1251(utf8);
  if (b.size() > maxLen) b.resize(maxLen);
  U8(static_cast<uint8_t>(b.size()));
  Put(b.data(), b.size());
}

std::string TLoadCursor::ShortString(size_t width) {
  size_t n = U8();
  std::string b(width, '\0');
  Get(b.data(), width);
  if (n > width) { Ok = false; return {}; }
  b.resize(n);
  return Cp1251ToUtf8(b);
}

std::string TLoadCursor::PackedString(size_t maxLen) {
  size_t n = U8();
  if (n > maxLen) { Ok = false; return {}; }
  std::string b(n, '\0');
  Get(b.data(), n);
  return Cp1251ToUtf8(b);
}

}  // namespace vemo
