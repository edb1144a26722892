// The memory cursors through which every cell object writes and reads its
// own record (project files, field clones, the clipboard, the edit history).
// All numbers are little-endian; strings are length-prefixed Windows-1251.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vemo {

static_assert(std::endian::native == std::endian::little,
              "records are stored in the machine's byte order, which must be little-endian");

// Save cursor. With SaveWrites = 0 it only counts the bytes a record takes;
// with SaveWrites = 1 it copies them into the buffer.
struct TMemCursor {
  uint8_t SaveWrites = 0;
  uint8_t* Base = nullptr;
  size_t Pos = 0;
  size_t Capacity = 0;

  static TMemCursor Measuring() { return TMemCursor{}; }
  static TMemCursor Writing(std::vector<uint8_t>& buf) {
    TMemCursor c;
    c.SaveWrites = 1;
    c.Base = buf.data();
    c.Capacity = buf.size();
    return c;
  }

  void Put(const void* p, size_t n) {
    if (SaveWrites) {
      // A record must write exactly what it measured; past the end is a bug.
      if (Pos + n > Capacity) { Overrun = true; Pos += n; return; }
      if (n) std::memcpy(Base + Pos, p, n);
    }
    Pos += n;
  }
  void Skip(size_t n) { Zeros(n); }
  void Zeros(size_t n) {
    static const uint8_t zero[256] = {};
    while (n) { size_t k = n < sizeof zero ? n : sizeof zero; Put(zero, k); n -= k; }
  }
  void U8(uint8_t v) { Put(&v, 1); }
  void U16(uint16_t v) { Put(&v, 2); }
  void I32(int32_t v) { Put(&v, 4); }
  void U32(uint32_t v) { Put(&v, 4); }
  void F64(double v) { Put(&v, 8); }
  // Length byte followed by exactly `width` character bytes (UTF-8 text is
  // stored as Windows-1251, cut to `width` characters, zero filler).
  void ShortString(std::string_view utf8, size_t width);
  // Length byte followed by the characters only (no filler).
  void PackedString(std::string_view utf8, size_t maxLen);

  bool Overrun = false;
};

// Load cursor over a byte range; every read is checked against the bytes
// that remain, and a failed read leaves Ok false for good.
struct TLoadCursor {
  const uint8_t* Data = nullptr;
  size_t Size = 0;
  size_t Pos = 0;
  bool Ok = true;

  TLoadCursor() = default;
  TLoadCursor(const uint8_t* d, size_t n) : Data(d), Size(n) {}
  explicit TLoadCursor(const std::vector<uint8_t>& v) : Data(v.data()), Size(v.size()) {}

  size_t Left() const { return Ok ? Size - Pos : 0; }
  bool Get(void* p, size_t n) {
    if (!Ok || n > Size - Pos) { Ok = false; if (n) std::memset(p, 0, n); return false; }
    if (n) std::memcpy(p, Data + Pos, n);
    Pos += n;
    return true;
  }
  bool Skip(size_t n) {
    if (!Ok || n > Size - Pos) { Ok = false; return false; }
    Pos += n;
    return true;
  }
  uint8_t U8() { uint8_t v = 0; Get(&v, 1); return v; }
  uint16_t U16() { uint16_t v = 0; Get(&v, 2); return v; }
  int32_t I32() { int32_t v = 0; Get(&v, 4); return v; }
  uint32_t U32() { uint32_t v = 0; Get(&v, 4); return v; }
  double F64() { double v = 0; Get(&v, 8); return v; }
  // Counterparts of TMemCursor::ShortString / PackedString; the length byte
  // is limited to maxLen (a larger one is a damaged record).
  std::string ShortString(size_t width);
  std::string PackedString(size_t maxLen);
  // True when `count` items of `itemSize` bytes can still be read.
  bool CanRead(uint64_t count, size_t itemSize) const {
    return Ok && itemSize != 0 && count <= (Size - Pos) / itemSize;
  }
};

}  // namespace vemo
