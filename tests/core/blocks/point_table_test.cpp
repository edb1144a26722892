#include "blocks/point_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

namespace vemo {
namespace {

namespace fs = std::filesystem;
using Points = std::vector<TablePoint>;

PointTable Table(Points pts) { return PointTable{std::move(pts)}; }

// A fresh folder for one test, removed afterwards.
struct TempDir {
  fs::path path = fs::temp_directory_path() /
                  ("vemo_point_table_" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  TempDir() { fs::remove_all(path); fs::create_directories(path); }
  ~TempDir() { std::error_code ec; fs::remove_all(path, ec); }
  size_t Entries() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(path), fs::directory_iterator()));
  }
};

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(InterpolateTest, SegmentsAndOutside) {
  const PointTable t = Table({{0, 0}, {1, 1}});
  EXPECT_DOUBLE_EQ(Interpolate(t, 0.5), 0.5);
  EXPECT_EQ(Interpolate(t, 1.0), 1.0);
  EXPECT_EQ(Interpolate(t, 2.0), 0.0);
  EXPECT_EQ(Interpolate(t, std::numeric_limits<double>::quiet_NaN()), 0.0);
  EXPECT_EQ(Interpolate(PointTable{}, 0.0), 0.0);
  EXPECT_EQ(Interpolate(Table({{0, 5}}), 0.0), 0.0);
  // The later (vertical) segment decides; nearly vertical counts as vertical.
  EXPECT_EQ(Interpolate(Table({{0, 0}, {1, 0}, {1, 1}, {2, 1}}), 1.0), 1.0);
  EXPECT_EQ(Interpolate(Table({{0, 0}, {1, 5}, {1 + 1e-9, 7}}), 1.0), 7.0);
  // Segments drawn right to left work, and a later fold wins.
  EXPECT_DOUBLE_EQ(Interpolate(Table({{2, 4}, {0, 0}}), 1.5), 3.0);
  EXPECT_DOUBLE_EQ(Interpolate(Table({{2, 4}, {0, 0}, {2, -2}}), 1.0), -1.0);
}

TEST(PointTableRecordTest, LayoutAndRoundTrip) {
  const PointTable t = Table({{1.5, -2.0}, {3.0, 4.25}});
  std::vector<uint8_t> bytes = SerializePointTable(t);
  ASSERT_EQ(bytes.size(), 4u + 2 * 16);
  int32_t n = 0;
  double v[4];
  std::memcpy(&n, bytes.data(), 4);
  std::memcpy(v, bytes.data() + 4, sizeof v);
  EXPECT_EQ(n, 2);
  EXPECT_EQ((std::vector<double>(v, v + 4)), (std::vector<double>{1.5, -2.0, 3.0, 4.25}));
  TMemCursor measure = TMemCursor::Measuring();
  SavePointTable(t, measure);
  EXPECT_EQ(measure.Pos, bytes.size());

  bytes.push_back(0xAB);  // the next record of a stream is left alone
  PointTable back = Table({{9, 9}});
  size_t used = 0;
  ASSERT_TRUE(ParsePointTable(bytes, back, &used));
  EXPECT_EQ(used, bytes.size() - 1);
  EXPECT_EQ(back.Points, t.Points);
}

TEST(PointTableRecordTest, TruncatedAndBadCountsRejected) {
  const std::vector<uint8_t> full = SerializePointTable(Table({{0, 0}, {1, 1}, {2, 4}}));
  for (size_t len = 0; len < full.size(); ++len) {
    PointTable t = Table({{7, 7}});
    EXPECT_FALSE(ParsePointTable(std::span(full.data(), len), t)) << "length " << len;
    EXPECT_EQ(t.Count(), 0) << "a failed load leaves the table empty";
  }
  for (int32_t n : {-1, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
    std::vector<uint8_t> bytes(4 + 16);  // room for one point only
    std::memcpy(bytes.data(), &n, 4);
    TLoadCursor c(bytes);
    PointTable t;
    EXPECT_FALSE(LoadPointTable(c, t)) << "count " << n;
    EXPECT_FALSE(c.Ok);
  }
}

TEST(PointTableTextTest, FormatAndReader) {
  EXPECT_EQ(FormatPointTableText(Table({{1, -0.5}, {0, 12345}})),
            " 1.00000000000000E+0000 -5.00000000000000E-0001\r\n"
            " 0.00000000000000E+0000  1.23450000000000E+0004\r\n");
  // Only lines holding two numbers count; LF, CR LF and CR all end lines.
  PointTable t = Table({{9, 9}});
  ASSERT_TRUE(ReadPointTableText("1 2\r\n\r\nwords\n3\n  4\t5  \n6 7 8\r-1E-3 +2.5E+0002", t));
  EXPECT_EQ(t.Points, (Points{{1, 2}, {4, 5}, {6, 7}, {-0.001, 250}}));
  // The largest doubles are written so that they read back.
  const double big = std::numeric_limits<double>::max();
  ASSERT_TRUE(ReadPointTableText(FormatPointTableText(Table({{big, -big}})), t));
  ASSERT_EQ(t.Count(), 1);
  EXPECT_NEAR(t.Points[0].x / big, 1.0, 1e-14);
  EXPECT_NEAR(t.Points[0].y / big, -1.0, 1e-14);
}

TEST(PointTableFileTest, SaveAndLoadFivePoints) {
  TempDir dir;
  const fs::path file = dir.path / "curve.txt";
  std::ofstream(file) << "an older, longer file that the save replaces ......................\n";
  const PointTable t = Table({{-2, -1}, {-0.5, 0}, {0, 0.125}, {1.75, 3}, {1e6, -2.5e-7}});
  ASSERT_TRUE(SavePointTableFile(t, file));
  EXPECT_EQ(ReadAll(file).size(), 5u * 49);
  PointTable back = Table({{42, 42}});
  ASSERT_TRUE(LoadPointTableFile(file, back));
  EXPECT_EQ(back.Points, t.Points);
  EXPECT_EQ(dir.Entries(), 1u) << "no temporary file is left behind";
}

TEST(PointTableFileTest, Failures) {
  TempDir dir;
  // A save that cannot replace its target keeps it and leaves no temporary.
  fs::create_directory(dir.path / "taken");
  EXPECT_FALSE(SavePointTableFile(Table({{1, 1}}), dir.path / "taken"));
  EXPECT_TRUE(fs::is_directory(dir.path / "taken"));
  EXPECT_EQ(dir.Entries(), 1u);
  EXPECT_FALSE(SavePointTableFile(Table({{1, 1}}), dir.path / "missing" / "c.txt"));
  // A load that cannot open its file leaves the table empty.
  PointTable t = Table({{1, 1}});
  EXPECT_FALSE(LoadPointTableFile(dir.path / "absent.txt", t));
  EXPECT_EQ(t.Count(), 0);
  t = Table({{1, 1}});
  EXPECT_FALSE(LoadPointTableFile(dir.path, t));
  EXPECT_EQ(t.Count(), 0);
}

}  // namespace
}  // namespace vemo
