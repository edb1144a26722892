#include "blocks/point_table.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include "shell/file_read.h"
#include "shell/file_replace.h"
#include "shell/numtext.h"

namespace vemo {
namespace {

// Segments whose ends are closer than this along x count as vertical.
constexpr double kVerticalTolerance = 1e-8;

// Appends the point of every line of `chunk`; a line ends at LF, CR or
// CR LF (the pieces between the two characters of CR LF are empty and hold
// no numbers). False once the table is full.
bool AppendLines(std::string_view chunk, PointTable& table) {
  size_t start = 0;
  while (start <= chunk.size()) {
    size_t end = chunk.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = chunk.size();
    if (table.Points.size() >= kMaxTablePoints) {
      // A full table only fails when another point would follow.
      double v[2];
      if (ParseRealLine(chunk.substr(start, end - start), v, 2)) return false;
    } else {
      AppendPointFromLine(chunk.substr(start, end - start), table);
    }
    start = end + 1;
  }
  return true;
}


}  // namespace

double Interpolate(const PointTable& table, double x) {
  const std::vector<TablePoint>& pts = table.Points;
  // The last segment in table order that contains x decides, so search
  // from the end.
  for (size_t i = pts.size(); i >= 2; --i) {
    const TablePoint& p = pts[i - 2];
    const TablePoint& q = pts[i - 1];
    const double lo = std::min(p.x, q.x);
    const double hi = std::max(p.x, q.x);
    if (!(x >= lo && x <= hi)) continue;
    if (std::fabs(p.x - q.x) < kVerticalTolerance) return q.y;
    return p.y + (x - p.x) * (q.y - p.y) / (q.x - p.x);
  }
  return 0.0;
}

void SavePointTable(const PointTable& table, TMemCursor& c) {
  const size_t n = std::min(table.Points.size(), kMaxTablePoints);
  c.I32(static_cast<int32_t>(n));
  for (size_t i = 0; i < n; ++i) {
    c.F64(table.Points[i].x);
    c.F64(table.Points[i].y);
  }
}

bool LoadPointTable(TLoadCursor& c, PointTable& table) {
  table.Points.clear();
  table.Points.shrink_to_fit();
  const int32_t n = c.I32();
  if (!c.Ok) return false;
  if (n < 0 || static_cast<uint64_t>(n) > kMaxTablePoints ||
      !c.CanRead(static_cast<uint64_t>(n), kTablePointBytes)) {
    c.Ok = false;
    return false;
  }
  table.Points.resize(static_cast<size_t>(n));
  for (TablePoint& p : table.Points) {
    p.x = c.F64();
    p.y = c.F64();
  }
  if (!c.Ok) {  // cannot happen after CanRead, kept as a guard
    table.Points.clear();
    return false;
  }
  return true;
}

std::vector<uint8_t> SerializePointTable(const PointTable& table) {
  TMemCursor measure = TMemCursor::Measuring();
  SavePointTable(table, measure);
  std::vector<uint8_t> bytes(measure.Pos);
  TMemCursor writer = TMemCursor::Writing(bytes);
  SavePointTable(table, writer);
  return bytes;
}

bool ParsePointTable(std::span<const uint8_t> bytes, PointTable& table, size_t* consumed) {
  TLoadCursor c(bytes.data(), bytes.size());
  const bool ok = LoadPointTable(c, table);
  if (consumed) *consumed = ok ? c.Pos : 0;
  return ok;
}

std::string FormatPointTableText(const PointTable& table) {
  std::string text;
  text.reserve(table.Points.size() * 49);
  for (const TablePoint& p : table.Points) {
    text += FormatReal23(p.x);
    text += ' ';
    text += FormatReal23(p.y);
    text += "\r\n";
  }
  return text;
}

bool AppendPointFromLine(std::string_view line, PointTable& table) {
  double v[2] = {0.0, 0.0};
  if (!ParseRealLine(line, v, 2)) return false;
  table.Add(v[0], v[1]);
  return true;
}

bool ReadPointTableText(std::string_view text, PointTable& table) {
  table.Clear();
  return AppendLines(text, table);
}

bool SavePointTableFile(const PointTable& table, const std::filesystem::path& path) {
  const std::string text = FormatPointTableText(table);
  return ReplaceFileContents(path.string(), text.data(), text.size());
}

bool LoadPointTableFile(const std::filesystem::path& path, PointTable& table) {
  table.Clear();
  std::vector<uint8_t> bytes;
  if (ReadRegularFile(path.string(), kMaxTableTextBytes, bytes) != TFileRead::Ok) return false;
  return AppendLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                     table);
}

}  // namespace vemo
