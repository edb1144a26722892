#include "shell/encoding.h"

#include <cstdint>

namespace vemo {
namespace {

// Unicode code points of Windows-1251 bytes 0x80..0xBF (0xC0..0xFF map to
// U+0410..U+044F). 0 = undefined byte.
const uint16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

void PutUtf8(std::string& s, uint32_t cp) {
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one code point; invalid sequences yield U+FFFD and advance by one.
uint32_t NextCodePoint(std::string_view t, size_t& i) {
  unsigned char c = static_cast<unsigned char>(t[i]);
  if (c < 0x80) { ++i; return c; }
  size_t n = (c >= 0xF0) ? 3 : (c >= 0xE0) ? 2 : (c >= 0xC0) ? 1 : 0;
  if (n == 0 || i + n >= t.size()) { ++i; return 0xFFFD; }
  uint32_t cp = c & (0x3Fu >> n);
  for (size_t k = 1; k <= n; ++k) {
    unsigned char cc = static_cast<unsigned char>(t[i + k]);
    if ((cc & 0xC0) != 0x80) { ++i; return 0xFFFD; }
    cp = (cp << 6) | (cc & 0x3F);
  }
  i += n + 1;
  return cp;
}

int Cp1251Byte(uint32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(cp - 0x0410 + 0xC0);
  for (int k = 0; k < 64; ++k)
    if (kCp1251High[k] == cp && cp != 0) return 0x80 + k;
  return -1;
}

int Cp866Byte(uint32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  if (cp >= 0x0410 && cp <= 0x043F) return static_cast<int>(cp - 0x0410 + 0x80);
  if (cp >= 0x0440 && cp <= 0x044F) return static_cast<int>(cp - 0x0440 + 0xE0);
  if (cp == 0x0401) return 0xF0;
  if (cp == 0x0451) return 0xF1;
  return -1;
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string s;
  s.reserve(bytes.size() * 2);
  for (char ch : bytes) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80) s += ch;
    else if (c >= 0xC0) PutUtf8(s, 0x0410 + (c - 0xC0));
    else PutUtf8(s, kCp1251High[c - 0x80] ? kCp1251High[c - 0x80] : 0xFFFD);
  }
  return s;
}

std::string Utf8ToCp1251(std::string_view text) {
  std::string s;
  for (size_t i = 0; i < text.size();) {
    int b = Cp1251Byte(NextCodePoint(text, i));
    s += static_cast<char>(b < 0 ? '?' : b);
  }
  return s;
}

std::string Utf8ToCp866(std::string_view text) {
  std::string s;
  for (size_t i = 0; i < text.size();) {
    int b = Cp866Byte(NextCodePoint(text, i));
    s += static_cast<char>(b < 0 ? '?' : b);
  }
  return s;
}

size_t Utf8Length(std::string_view text) {
  size_t n = 0;
  for (size_t i = 0; i < text.size();) { NextCodePoint(text, i); ++n; }
  return n;
}

std::string Utf8Left(std::string_view text, size_t n) {
  size_t i = 0;
  for (size_t k = 0; k < n && i < text.size(); ++k) NextCodePoint(text, i);
  return std::string(text.substr(0, i));
}

}  // namespace vemo
