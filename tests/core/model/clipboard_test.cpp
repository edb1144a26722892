// The scheme clipboard: the cell stream of a copied rectangle, where it may
// be pasted, what a paste replaces, and damaged buffers.
#include "model/clipboard.h"

#include <gtest/gtest.h>

#include "core/model/test_support.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "model/wire.h"

namespace vemo {
namespace {

using testing::BlockAt;

class ClipboardTest : public testing::ClipboardProgramTest {
 protected:
  const TSchemeClipboard& Clip() const { return SchemeClipboard(); }
  std::unique_ptr<TField> F = CreateField();
};

TEST_F(ClipboardTest, EmptyCellsStillFillTheClipboard) {
  EXPECT_FALSE(Clip().HasData());
  ClipCopy(*F, 5, 7, 9, 8);  // columns 5..8, rows 7..9
  ASSERT_TRUE(Clip().HasData());
  EXPECT_EQ(Clip().ClipWidth, 3);
  EXPECT_EQ(Clip().ClipHeight, 2);
  EXPECT_EQ(Clip().ClipBuffer, std::vector<uint8_t>(4 * 3 * 2, 0xFF));
  ClipCopy(*F, 0, 0, 0, 0);
  EXPECT_EQ(Clip().ClipBuffer.size(), 2u);
  EXPECT_EQ(Clip().ClipWidth, 0);
}

TEST_F(ClipboardTest, StreamRunsRowByRowWithEachRecord) {
  TSchemeBuilder b(*F);
  b.Block(3, 2, 6, {2.0});  // top right of the rectangle
  b.Line({{1, 3}, {2, 3}});  // bottom row: wire stub at (2, 3)
  ClipCopy(*F, 2, 2, 3, 3);
  TLoadCursor c(Clip().ClipBuffer);
  EXPECT_EQ(c.U16(), kEmptyCellCode);  // (2, 2)
  bool ok = false;
  auto first = LoadCellObject(c, ok);  // (3, 2)
  ASSERT_TRUE(ok);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->TypeCode, 6);
  EXPECT_EQ(static_cast<TParamBlock*>(first->AsBlock())->Params[0], 2.0);
  EXPECT_EQ(c.U16(), kWireCode);  // (2, 3)
  EXPECT_EQ(c.U8(), 1 << Left);
  EXPECT_EQ(c.U8(), 0);
  EXPECT_EQ(c.U16(), kEmptyCellCode);  // (3, 3)
  EXPECT_EQ(c.Left(), 0u);
}

TEST_F(ClipboardTest, PasteMustEndAtColumnAndRow198) {
  EXPECT_FALSE(ClipCanPaste(0, 0));  // nothing copied
  ClipCopy(*F, 0, 0, 2, 2);  // 3 x 3
  EXPECT_TRUE(ClipCanPaste(196, 0));
  EXPECT_FALSE(ClipCanPaste(197, 0));
  EXPECT_TRUE(ClipCanPaste(0, 196));
  EXPECT_FALSE(ClipCanPaste(0, 197));
  EXPECT_FALSE(ClipCanPaste(-1, 0));
  EXPECT_FALSE(ClipPaste(*F, 197, 5));
  EXPECT_TRUE(ClipPaste(*F, 196, 196));
  ClipClear();
  EXPECT_FALSE(Clip().HasData());
  EXPECT_EQ(Clip().ClipWidth, 0);
  EXPECT_FALSE(ClipCanPaste(0, 0));
}

TEST_F(ClipboardTest, PasteDuplicatesIntoAnotherFieldAndKeepsTheClipboard) {
  TSchemeBuilder b(*F);
  b.Block(1, 1, 10, {3.0, 4.0, 0.5});
  b.Block(4, 1, 6);
  b.Line({{1, 1}, {4, 1}});
  b.Point(0, 2, 1);
  ClipCopy(*F, 1, 1, 1, 4);
  const auto copied = Clip().ClipBuffer;

  auto other = CreateField();
  TSchemeBuilder(*other).Block(51, 40, 7);  // replaced by the pasted wire
  ASSERT_TRUE(ClipPaste(*other, 50, 40));
  ASSERT_TRUE(ClipPaste(*other, 50, 41));
  for (int row : {40, 41}) {
    auto* lag = dynamic_cast<TParamBlock*>(BlockAt(*other, 50, row));
    ASSERT_NE(lag, nullptr);
    EXPECT_EQ(lag->Params[1], 4.0);
    EXPECT_NE(lag, BlockAt(*F, 1, 1));
    EXPECT_EQ(dynamic_cast<TWire*>(other->Cell(51, row))->OutSides, 1 << Right);
    EXPECT_NE(BlockAt(*other, 53, row), nullptr);
  }
  EXPECT_EQ(Clip().ClipBuffer, copied);
  for (const TViewPoint& p : other->Points) EXPECT_EQ(p.Placed, 0);  // points are not copied
}

TEST_F(ClipboardTest, PasteReplacesTheTargetCellsAndEmptiesThem) {
  ClipCopy(*F, 0, 0, 1, 1);  // four empty cells
  TSchemeBuilder b(*F);
  b.Block(10, 10, 6);
  b.Block(11, 11, 6);
  b.Block(12, 10, 6);  // just outside
  ASSERT_TRUE(ClipPaste(*F, 10, 10));
  EXPECT_EQ(F->Cell(10, 10), nullptr);
  EXPECT_EQ(F->Cell(11, 11), nullptr);
  EXPECT_NE(F->Cell(12, 10), nullptr);
}

TEST_F(ClipboardTest, PasteUnplacesPointsInsideANonSquareTarget) {
  ClipCopy(*F, 0, 0, 1, 3);  // 4 columns, 2 rows
  TSchemeBuilder b(*F);
  b.Point(0, 23, 11);  // last column, last row: inside
  b.Point(1, 21, 13);  // within the width but below the two rows: outside
  b.Point(2, 20, 10);  // top-left corner: inside
  b.Point(3, 24, 10);  // right of the rectangle: outside
  ASSERT_TRUE(ClipPaste(*F, 20, 10));
  EXPECT_EQ(F->Points[0].Placed, 0);
  EXPECT_EQ(F->Points[1].Placed, 1);
  EXPECT_EQ(F->Points[2].Placed, 0);
  EXPECT_EQ(F->Points[3].Placed, 1);
}

TEST_F(ClipboardTest, DamagedBufferIsRefusedWithoutChange) {
  TSchemeBuilder b(*F);
  b.Block(1, 1, 11, {0.5, 0.2, 1.0});
  b.Block(31, 31, 6);
  b.Point(0, 31, 31);
  ClipCopy(*F, 0, 0, 2, 2);
  const auto good = Clip().ClipBuffer;
  const auto before = FieldImage(*F, 10.0);
  auto& clip = SchemeClipboard();

  std::vector<std::vector<uint8_t>> damaged;
  for (size_t n = 1; n < good.size(); n += 3) damaged.emplace_back(good.begin(), good.begin() + n);
  auto unknown = good;
  unknown[0] = 0x34, unknown[1] = 0x12;  // no such kind
  damaged.push_back(unknown);
  auto trailing = good;
  trailing.push_back(0);
  damaged.push_back(trailing);
  damaged.push_back(std::vector<uint8_t>(5000, 0x00));
  damaged.push_back(std::vector<uint8_t>(7, 0xFF));  // 3 of the 9 cells and a half
  for (const auto& d : damaged) {
    clip.ClipBuffer = d;
    EXPECT_FALSE(ClipPaste(*F, 30, 30)) << d.size();
    EXPECT_EQ(FieldImage(*F, 10.0), before);
  }
  // Sizes that do not match the stream are damage too.
  clip.ClipBuffer = good;
  clip.ClipWidth = 5;
  EXPECT_FALSE(ClipPaste(*F, 30, 30));
  EXPECT_EQ(FieldImage(*F, 10.0), before);
  clip.ClipWidth = 2;
  EXPECT_TRUE(ClipPaste(*F, 30, 30));
}

TEST_F(ClipboardTest, RectangleIsClippedToTheGrid) {
  ClipCopy(*F, 198, 198, 250, 250);
  EXPECT_EQ(Clip().ClipWidth, 1);
  EXPECT_EQ(Clip().ClipHeight, 1);
  ClipCopy(*F, 5, 5, 4, 4);  // inverted: nothing
  EXPECT_FALSE(Clip().HasData());
}

}  // namespace
}  // namespace vemo
