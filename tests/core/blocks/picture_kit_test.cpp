// The drawing vocabulary of the cell pictures, on a canvas that records
// what is drawn: comment wrapping, unit mapping and the bounds of every
// kind's picture.
#include "blocks/pictures/picture_kit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "blocks/cell_object.h"
#include "blocks/pictures/groups.h"
#include "blocks/point_table.h"
#include "blocks/registry.h"
#include "blocks/table_blocks.h"

namespace vemo {
namespace {

using namespace pictures;

// Every character is 5 pixels wide and 8 high; records the extent of all
// drawing so that a test can check where a picture went.
class TRecordingCanvas : public TCanvas {
 public:
  int MinX = 1 << 20, MinY = 1 << 20, MaxX = -(1 << 20), MaxY = -(1 << 20);
  int Calls = 0;
  std::vector<std::string> Texts;

  void SetPen(TColor, int) override {}
  void SetBrush(TColor, bool) override {}
  void SetFont(const std::string&, int, TColor) override {}
  void Line(int x1, int y1, int x2, int y2) override { Add(x1, y1); Add(x2, y2); }
  void Polyline(const std::vector<TPoint>& p) override { for (const TPoint& q : p) Add(q.X, q.Y); }
  void Rectangle(const TRect& r) override { Add(r.Left, r.Top); Add(r.Right - 1, r.Bottom - 1); }
  void Ellipse(const TRect& r) override { Rectangle(r); }
  void Polygon(const std::vector<TPoint>& p) override { Polyline(p); }
  void Text(int x, int y, const std::string& s) override {
    Texts.push_back(s);
    const TPoint e = TextExtent(s);
    Add(x, y);
    Add(x + e.X - 1, y + e.Y - 1);
  }
  TPoint TextExtent(const std::string& s) override {
    int chars = 0;
    for (unsigned char c : s) chars += (c & 0xC0) != 0x80;
    return {5 * chars, 8};
  }

 private:
  void Add(int x, int y) {
    ++Calls;
    MinX = std::min(MinX, x), MinY = std::min(MinY, y);
    MaxX = std::max(MaxX, x), MaxY = std::max(MaxY, y);
  }
};

TEST(WrapTextTest, BreaksAfterSpacesCommasHyphensAndStops) {
  TRecordingCanvas c;
  // 38 pixels hold at most 7 characters of 5 pixels (a line must stay narrower).
  EXPECT_EQ(WrapText(c, "ab cd,ef-gh.ij", 38), (std::vector<std::string>{"ab cd,", "ef-gh.", "ij"}));
  EXPECT_EQ(WrapText(c, "abc def ghi", 38), (std::vector<std::string>{"abc def", "ghi"}));
  // A line exactly 38 pixels wide is too wide.
  EXPECT_EQ(WrapText(c, "abcdefg", 35).size(), 2u);
  EXPECT_EQ(WrapText(c, "abcdefg", 36).size(), 1u);
  EXPECT_TRUE(WrapText(c, "", 38).empty());
  EXPECT_TRUE(WrapText(c, "   ", 38).empty());
}

TEST(WrapTextTest, CutsLongWordsBetweenWholeCharacters) {
  TRecordingCanvas c;
  const std::string word = "Регуляторскорости";  // 17 two-byte letters
  const std::vector<std::string> lines = WrapText(c, word, 38);
  ASSERT_EQ(lines.size(), 3u);
  std::string joined;
  for (const std::string& l : lines) {
    EXPECT_LT(c.TextExtent(l).X, 38);
    EXPECT_EQ(l.size() % 2, 0u) << "a letter was split";
    joined += l;
  }
  EXPECT_EQ(joined, word);
  // Even a width too small for one character puts one on each line.
  EXPECT_EQ(WrapText(c, "abc", 2).size(), 3u);
}

TEST(WrapTextTest, NoLineStartsOrEndsWithASpace) {
  TRecordingCanvas c;
  for (const std::string& l : WrapText(c, "  один  два,  три - четыре.  ", 38)) {
    ASSERT_FALSE(l.empty());
    EXPECT_NE(l.front(), ' ');
    EXPECT_NE(l.back(), ' ');
    EXPECT_LT(c.TextExtent(l).X, 38);
  }
}

TEST(PictureBoxTest, UnitCoordinatesMapOntoTheCellCentre) {
  const TPictureBox b = MakeBox({0, 0, 40, 40});
  EXPECT_EQ(b.At(0, 0).X, 20);
  EXPECT_EQ(b.At(0, 0).Y, 20);
  EXPECT_LT(b.At(0, 1).Y, 20);  // y runs up
  EXPECT_GT(b.At(-1, 0).X, b.Frame.Left);
  EXPECT_LT(b.At(1, 0).X, b.Frame.Right - 1);
  // Values no picture uses are held near the box instead of overflowing.
  const TPoint far = b.At(std::numeric_limits<double>::infinity(), -1e300);
  EXPECT_EQ(far.X, 20);
  EXPECT_LE(std::abs(far.Y - 20), 4 * b.Half);
  EXPECT_EQ(b.At(std::nan(""), 0).X, 20);
}

TEST(TableCurveTest, ScalesIntoTheBoxAndSkipsBadPoints) {
  PointTable t;
  t.Add(-4, -2);
  t.Add(std::numeric_limits<double>::quiet_NaN(), 1);
  t.Add(0, 0);
  t.Add(2, std::numeric_limits<double>::infinity());
  t.Add(8, 1);
  const std::vector<TUnit> sym = TableCurve(t, true);
  ASSERT_EQ(sym.size(), 3u);
  EXPECT_DOUBLE_EQ(sym[0].X, -0.5);  // |x| up to 8 spans the half width
  EXPECT_DOUBLE_EQ(sym[1].X, 0.0);   // the origin stays at the centre
  EXPECT_DOUBLE_EQ(sym[2].X, 1.0);
  EXPECT_DOUBLE_EQ(sym[0].Y, -0.8);
  const std::vector<TUnit> spread = TableCurve(t, false);
  EXPECT_DOUBLE_EQ(spread.front().X, -1.0);
  EXPECT_DOUBLE_EQ(spread.back().X, 1.0);
  PointTable one;
  one.Add(1, 1);
  EXPECT_TRUE(TableCurve(one, true).empty());
  PointTable flat;  // no spread at all: still finite
  flat.Add(3, 0);
  flat.Add(3, 0);
  for (const TUnit& u : TableCurve(flat, false)) EXPECT_TRUE(std::isfinite(u.X) && std::isfinite(u.Y));
}

// Every object kind draws something, and nothing outside its cell (wire
// ends may reach 2 pixels beyond, as they are meant to).
TEST(BlockPictureTest, EveryKindDrawsInsideItsCell) {
  int count = 0;
  const TKindInfo* kinds = KindTable(count);
  std::vector<uint16_t> codes;
  for (int i = 0; i < count; ++i) codes.push_back(kinds[i].Code);
  for (uint16_t c : {kMacroPortFirst, uint16_t(kMacroPortFirst + 1), uint16_t(kMacroPortFirst + 2),
                     kMacroOutputCode})
    codes.push_back(c);
  for (uint16_t code : codes) {
    for (const TRect cell : {TRect{0, 0, 40, 40}, TRect{0, 0, 38, 38}, TRect{80, 120, 120, 160}}) {
      auto obj = CreateCellObject(code);
      ASSERT_TRUE(obj) << code;
      TRecordingCanvas c;
      obj->Draw(c, cell);
      EXPECT_GT(c.Calls, 2) << code;  // more than a frame
      const int slack = code >= kMacroPortFirst ? 2 : 0;
      EXPECT_GE(c.MinX, cell.Left - slack) << code;
      EXPECT_GE(c.MinY, cell.Top - slack) << code;
      EXPECT_LE(c.MaxX, cell.Right - 1 + slack) << code;
      EXPECT_LE(c.MaxY, cell.Bottom - 1 + slack) << code;
    }
  }
}

TEST(BlockPictureTest, ProportionalShowsItsGainWhenItFits) {
  auto obj = CreateCellObject(6);
  auto* p = dynamic_cast<TParamBlock*>(obj.get());
  ASSERT_TRUE(p);
  for (auto [gain, shown] : {std::pair{2.5, "2.5"}, {1.0, "1"}, {123456789.0, "k"},
                             {1e-9, "k"}, {-0.25, "-0.25"}}) {
    p->Params[0] = gain;
    TRecordingCanvas c;
    obj->Draw(c, {0, 0, 40, 40});
    ASSERT_EQ(c.Texts.size(), 1u);
    EXPECT_EQ(c.Texts[0], shown) << gain;
  }
}

TEST(BlockPictureTest, TablesOfAnySizeStayInTheFrame) {
  for (uint16_t code : {37, 51}) {
    auto obj = CreateCellObject(code);
    auto* t = dynamic_cast<TTableBlock*>(obj.get());
    ASSERT_TRUE(t);
    for (int i = 0; i < 100000; ++i) t->Table.Add(i * 1e300, (i % 2 ? -1 : 1) * 1e308);
    t->Table.Add(std::numeric_limits<double>::quiet_NaN(), 0);
    TRecordingCanvas c;
    obj->Draw(c, {0, 0, 40, 40});
    EXPECT_GE(c.MinX, 2);
    EXPECT_LE(c.MaxX, 37);
    EXPECT_GE(c.MinY, 2);
    EXPECT_LE(c.MaxY, 37);
    obj->Done();
  }
}

TEST(BlockPictureTest, CodeWithoutPictureGetsAFrame) {
  TRecordingCanvas c;
  TCellObject plain;
  plain.TypeCode = 1234;
  plain.Draw(c, {0, 0, 40, 40});
  EXPECT_EQ(c.MinX, 2);
  EXPECT_EQ(c.MaxX, 37);
}

}  // namespace
}  // namespace vemo
