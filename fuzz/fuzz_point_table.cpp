// libFuzzer harness for the characteristic table: the raw block record,
// the text reader and writer, the file pair and the interpolation.
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I core
//     core/shell/numtext.cpp core/blocks/point_table.cpp fuzz/fuzz_point_table.cpp
//   ./a.out fuzz/corpus/point_table
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "blocks/point_table.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Same value up to the 15 significant digits of the text format.
bool NearlyEqual(double a, double b) {
  if (a == b) return true;
  return std::fabs(a - b) <= 1e-14 * std::fmax(std::fabs(a), std::fabs(b)) + 1e-320;
}

void ExerciseInterpolation(const vemo::PointTable& t, const uint8_t* data, size_t size) {
  double x = 0.0;
  if (size >= 8) std::memcpy(&x, data + size - 8, 8);
  (void)vemo::Interpolate(t, x);
  for (const vemo::TablePoint& p : t.Points) {
    (void)vemo::Interpolate(t, p.x);
    (void)vemo::Interpolate(t, p.x + 0.5);
  }
}

const std::filesystem::path& TempFile() {
  static const std::filesystem::path p =
      std::filesystem::temp_directory_path() /
      ("vemo_fuzz_point_table_" + std::to_string(::getpid()) + ".txt");
  return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // 1. The input as a raw record: a parsed record writes back byte for byte.
  vemo::PointTable record;
  size_t used = 0;
  if (vemo::ParsePointTable({data, size}, record, &used)) {
    Check(used == 4 + 16 * record.Points.size() && used <= size);
    const std::vector<uint8_t> again = vemo::SerializePointTable(record);
    Check(again.size() == used && std::memcmp(again.data(), data, used) == 0);
    ExerciseInterpolation(record, data, size);
  } else {
    Check(record.Points.empty() && used == 0);
  }

  // 2. The input as a text file: every point read is finite, and writing
  //    the table and reading it back gives the same points.
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  vemo::PointTable table;
  Check(vemo::ReadPointTableText(text, table));
  for (const vemo::TablePoint& p : table.Points) Check(std::isfinite(p.x) && std::isfinite(p.y));
  ExerciseInterpolation(table, data, size);

  const std::string written = vemo::FormatPointTableText(table);
  Check(written.size() == table.Points.size() * 49);
  vemo::PointTable back;
  Check(vemo::ReadPointTableText(written, back));
  Check(back.Points.size() == table.Points.size());
  for (size_t i = 0; i < back.Points.size(); ++i) {
    Check(NearlyEqual(back.Points[i].x, table.Points[i].x));
    Check(NearlyEqual(back.Points[i].y, table.Points[i].y));
  }

  // The text-read table through its record.
  vemo::PointTable viaRecord;
  Check(vemo::ParsePointTable(vemo::SerializePointTable(table), viaRecord));
  Check(viaRecord.Points == table.Points);

  // 3. Now and then the file pair on the same text.
  if (size > 0 && data[0] % 16 == 0) {
    const auto& file = TempFile();
    Check(vemo::SavePointTableFile(table, file));
    vemo::PointTable loaded;
    Check(vemo::LoadPointTableFile(file, loaded));
    Check(loaded.Points.size() == table.Points.size());
    for (size_t i = 0; i < loaded.Points.size(); ++i)
      Check(loaded.Points[i].x == back.Points[i].x && loaded.Points[i].y == back.Points[i].y);
    std::error_code ec;
    std::filesystem::remove(file, ec);
  }
  return 0;
}
