// The piecewise-linear characteristic drawn by the user: the table of the
// user nonlinearity block and of the table-defined generator, its
// interpolation, its text file and its raw record inside a block.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/bytes.h"

namespace vemo {

struct TablePoint {
  double x = 0.0;
  double y = 0.0;
  friend bool operator==(const TablePoint&, const TablePoint&) = default;
};

// Points in drawing order; the count is the size of the vector.
struct PointTable {
  std::vector<TablePoint> Points;

  int32_t Count() const { return static_cast<int32_t>(Points.size()); }
  void Clear() { Points.clear(); }
  void Add(double x, double y) { Points.push_back({x, y}); }
};

// Largest number of points a table may hold: its record (4 + 16 N bytes)
// must stay within a 32-bit signed size.
inline constexpr size_t kMaxTablePoints = (INT32_MAX - 4) / 16;

// Bytes taken by the two numbers of one point in the record.
inline constexpr size_t kTablePointBytes = 16;

// The characteristic at x: linear interpolation over the segment between
// consecutive points that contains x (inclusive, in either direction); the
// last such segment in table order decides, and a vertical segment
// (|p.x - q.x| < 1e-8) gives the y of its second point. 0 outside every
// segment and for a table of fewer than two points.
double Interpolate(const PointTable& table, double x);

// ---- raw record (block Save/Load): int32 count, then x and y of each point

// Writes the record at the cursor (or only advances it when measuring).
void SavePointTable(const PointTable& table, TMemCursor& c);
// Replaces `table` by the record at the cursor. A negative count, a count
// larger than the bytes that remain or a short read fail: the table is left
// empty, the cursor's Ok is false and false is returned.
bool LoadPointTable(TLoadCursor& c, PointTable& table);

// The same record as a byte buffer of its own.
std::vector<uint8_t> SerializePointTable(const PointTable& table);
// Parses the record at the start of `bytes`; `consumed` (when given)
// receives the record's length. Bytes after the record are left alone.
bool ParsePointTable(std::span<const uint8_t> bytes, PointTable& table,
                     size_t* consumed = nullptr);

// ---- text file: one line per point, "x y" in the 23-character real format,
// CR LF line ends

// The whole text of the file for `table`. A finite coordinate beyond
// +-1.79769313486231E+308 is written as that bound: 15 digits of anything
// larger round past the double range and could not be read back.
std::string FormatPointTableText(const PointTable& table);
// Empties `table`, then appends the point of every line that holds two
// numbers, in text order (lines end with LF or CR LF; other lines are
// skipped). Returns false only when the table would grow beyond
// kMaxTablePoints; the points read before that are kept.
bool ReadPointTableText(std::string_view text, PointTable& table);
// Appends the point of one line when it holds two numbers; true if it did.
bool AppendPointFromLine(std::string_view line, PointTable& table);

// Writes the file through a temporary file beside it that replaces the
// target only once complete, so a failed save keeps the old file. False on
// any write failure (the caller shows kWriteError).
bool SavePointTableFile(const PointTable& table, const std::filesystem::path& path);
// The longest table text file read: far more points than a project has room
// for (about 5 million lines of two 23-character numbers).
inline constexpr size_t kMaxTableTextBytes = size_t{256} << 20;
// Empties `table` and reads the file as ReadPointTableText does. False when
// the file is not a regular file of at most kMaxTableTextBytes or cannot be
// read (table empty), or when the table fills up (the points read before
// are kept); the caller shows kReadError.
bool LoadPointTableFile(const std::filesystem::path& path, PointTable& table);

}  // namespace vemo
