// The editor's edits without a window: laying lines (snapping, validation,
// junctions, crossings, blocks passed under), placing and removing objects,
// view points on cells and comments.
#include "model/editing.h"

#include <gtest/gtest.h>

#include "core/model/test_support.h"
#include "model/compile.h"
#include "model/project_file.h"
#include "model/wire.h"
#include "shell/encoding.h"

namespace vemo {
namespace {

using testing::BlockAt;

constexpr uint8_t S(TSide s) { return static_cast<uint8_t>(1u << s); }

class EditingTest : public testing::ProgramTest {
 protected:
  // Lays a line the way the editor does; false when it is refused.
  bool Lay(int c0, int r0, int c1, int r1) {
    const TLinePlan plan = PlanLine(c0, r0, c1, r1);
    if (plan.Count == 0 || !LineAllowed(*F, plan)) return false;
    ApplyLine(*F, plan);
    return true;
  }
  TWire* WireAt(int col, int row) { return dynamic_cast<TWire*>(F->Cell(col, row)); }
  TBlock* Put(int col, int row, uint16_t code) {
    EXPECT_TRUE(PlaceObject(*F, col, row, code));
    return BlockAt(*F, col, row);
  }
  void Compile() {
    Prog.Err.ErrorCode = 0;
    Prog.Wiring.ZeroListed = 0;
    CompileScheme(*F, nullptr);
  }
  std::unique_ptr<TField> F = CreateField();
};

TEST_F(EditingTest, EndSnapsToTheLongerAxis) {
  int col = 9, row = 7;  // 4 across, 2 down: horizontal
  SnapLineEnd(5, 5, col, row);
  EXPECT_EQ(col, 9);
  EXPECT_EQ(row, 5);
  col = 7, row = 1;  // 2 across, 4 up: vertical
  SnapLineEnd(5, 5, col, row);
  EXPECT_EQ(col, 5);
  EXPECT_EQ(row, 1);
  col = 8, row = 8;  // a tie is vertical
  SnapLineEnd(5, 5, col, row);
  EXPECT_EQ(col, 5);
  EXPECT_EQ(row, 8);
}

TEST_F(EditingTest, PlanGivesDirectionAndCoveredCells) {
  struct Case {
    int c1, r1;
    uint8_t side;
    int count;
  } cases[] = {{5, 2, Top, 4}, {9, 6, Right, 5}, {1, 4, Left, 5}, {4, 9, Bottom, 5}};
  for (const Case& c : cases) {
    const TLinePlan p = PlanLine(5, 5, c.c1, c.r1);
    EXPECT_EQ(p.Col, 5);
    EXPECT_EQ(p.Row, 5);
    EXPECT_EQ(p.Side, c.side) << c.c1 << "," << c.r1;
    EXPECT_EQ(p.Count, c.count) << c.c1 << "," << c.r1;
  }
  EXPECT_EQ(PlanLine(5, 5, 5, 5).Count, 0);
  EXPECT_EQ(PlanLine(5, 5, 6, 6).Count, 2);  // the tie snaps to vertical
  EXPECT_EQ(PlanLine(5, 5, 6, 6).Side, Bottom);
}

TEST_F(EditingTest, LineBetweenTwoBlocksFeedsTheConsumer) {
  TBlock* src = Put(2, 5, 0);
  TBlock* dst = Put(6, 5, 6);
  ASSERT_TRUE(Lay(2, 5, 6, 5));
  for (int c = 3; c <= 5; ++c) {
    TWire* w = WireAt(c, 5);
    ASSERT_NE(w, nullptr) << c;
    EXPECT_EQ(w->LineSides, S(Left) | S(Right));
    EXPECT_EQ(w->OutSides, S(Right));
  }
  EXPECT_EQ(BlockAt(*F, 2, 5), src);  // the end cells keep their blocks
  EXPECT_EQ(BlockAt(*F, 6, 5), dst);
  F->Points[0].Placed = 1, F->Points[0].Col = 4, F->Points[0].Row = 5;
  Compile();
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_EQ(dst->Inputs[Left], src);
}

TEST_F(EditingTest, LineIntoEmptyCellsEndsAsAStub) {
  ASSERT_TRUE(Lay(3, 3, 3, 1));  // upwards from an empty cell
  EXPECT_EQ(WireAt(3, 3)->LineSides, S(Top));
  EXPECT_EQ(WireAt(3, 3)->OutSides, S(Top));
  EXPECT_EQ(WireAt(3, 2)->LineSides, S(Top) | S(Bottom));
  EXPECT_EQ(WireAt(3, 1)->LineSides, S(Bottom));
  EXPECT_EQ(WireAt(3, 1)->OutSides, 0);
}

TEST_F(EditingTest, LinePassesUnderABlock) {
  TBlock* block = Put(5, 5, 10);
  static_cast<TParamBlock*>(block)->Params[0] = 3.5;
  ASSERT_TRUE(Lay(2, 5, 8, 5));
  EXPECT_EQ(BlockAt(*F, 5, 5), block);
  EXPECT_EQ(static_cast<TParamBlock*>(block)->Params[0], 3.5);
  EXPECT_EQ(WireAt(4, 5)->LineSides, S(Left) | S(Right));
  EXPECT_EQ(WireAt(4, 5)->OutSides, S(Right));
  EXPECT_EQ(WireAt(6, 5)->LineSides, S(Left) | S(Right));
  EXPECT_EQ(WireAt(6, 5)->OutSides, S(Right));
}

TEST_F(EditingTest, LineAgainstAnExistingLineIsRefused) {
  ASSERT_TRUE(Lay(2, 5, 8, 5));  // flows right
  const auto before = FieldImage(*F, 10.0);
  EXPECT_FALSE(Lay(8, 5, 2, 5));  // the same cells, flowing left
  EXPECT_FALSE(Lay(6, 5, 4, 5));  // part of it
  EXPECT_FALSE(Lay(10, 5, 6, 5));  // head on into its end
  EXPECT_FALSE(Lay(5, 2, 5, 5));  // ending in its middle: the cell would have two inputs
  EXPECT_EQ(FieldImage(*F, 10.0), before);
  EXPECT_TRUE(Lay(2, 5, 8, 5));  // laying it again the same way is harmless
  EXPECT_EQ(FieldImage(*F, 10.0), before);
}

TEST_F(EditingTest, BranchFromTheMiddleOfALineIsAJunction) {
  TBlock* src = Put(2, 5, 0);
  TBlock* right = Put(8, 5, 6);
  TBlock* below = Put(5, 9, 6);
  ASSERT_TRUE(Lay(2, 5, 8, 5));
  ASSERT_TRUE(Lay(5, 5, 5, 9));
  TWire* t = WireAt(5, 5);
  EXPECT_EQ(t->LineSides, S(Left) | S(Right) | S(Bottom));
  EXPECT_EQ(t->OutSides, S(Right) | S(Bottom) | kJunctionBit);
  F->Points[0].Placed = 1, F->Points[0].Col = 3, F->Points[0].Row = 5;
  Compile();
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_EQ(right->Inputs[Left], src);
  EXPECT_EQ(below->Inputs[Top], src);
}

TEST_F(EditingTest, CrossingInTheMiddleHasNoDotButFourSidesAtTheStartDo) {
  TBlock* a = Put(2, 5, 0);
  TBlock* b = Put(5, 2, 0);
  TBlock* east = Put(8, 5, 6);
  TBlock* south = Put(5, 8, 6);
  ASSERT_TRUE(Lay(2, 5, 8, 5));
  ASSERT_TRUE(Lay(5, 2, 5, 8));
  TWire* x = WireAt(5, 5);
  EXPECT_EQ(x->LineSides, 0x0F);
  EXPECT_EQ(x->OutSides, S(Right) | S(Bottom));
  EXPECT_TRUE(x->IsCrossing());
  F->Points[0].Placed = 1, F->Points[0].Col = 3, F->Points[0].Row = 5;
  Compile();
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_EQ(east->Inputs[Left], a);
  EXPECT_EQ(south->Inputs[Top], b);

  // A third branch out of a T cell: four sides at the new line's first cell.
  auto g = CreateField();
  F = std::move(g);
  Put(2, 5, 0);
  ASSERT_TRUE(Lay(2, 5, 8, 5));
  ASSERT_TRUE(Lay(5, 5, 5, 8));
  ASSERT_TRUE(Lay(5, 5, 5, 2));
  EXPECT_EQ(WireAt(5, 5)->LineSides, 0x0F);
  EXPECT_EQ(WireAt(5, 5)->OutSides, S(Right) | S(Bottom) | S(Top) | kJunctionBit);
}

TEST_F(EditingTest, LineEndingWhereABranchStartsGetsTheDot) {
  // A stub that already leaves a cell two ways; the new line feeds it.
  ASSERT_TRUE(Lay(5, 5, 9, 5));
  ASSERT_TRUE(Lay(5, 5, 5, 9));
  EXPECT_EQ(WireAt(5, 5)->OutSides & kJunctionBit, 0);  // two sides so far
  ASSERT_TRUE(Lay(1, 5, 5, 5));
  TWire* w = WireAt(5, 5);
  EXPECT_EQ(w->LineSides, S(Left) | S(Right) | S(Bottom));
  EXPECT_EQ(w->OutSides, S(Right) | S(Bottom) | kJunctionBit);
  EXPECT_EQ(w->InputSides(), S(Left));
}

TEST_F(EditingTest, LineLeavingTheGridIsRefused) {
  TLinePlan plan{198, 4, Right, 5};
  EXPECT_FALSE(LineAllowed(*F, plan));
  ApplyLine(*F, plan);  // not checked by the caller: stops at the edge
  EXPECT_NE(WireAt(199, 4), nullptr);
  EXPECT_TRUE(Lay(0, 0, 199, 0));
  EXPECT_NE(WireAt(199, 0), nullptr);
}

TEST_F(EditingTest, PointsOnACell) {
  F->Points[3].Placed = 1, F->Points[3].Col = 4, F->Points[3].Row = 7;
  F->Points[1].Placed = 1, F->Points[1].Col = 4, F->Points[1].Row = 7;
  F->Points[0].Placed = 0, F->Points[0].Col = 4, F->Points[0].Row = 7;
  F->Points[5].Placed = 1, F->Points[5].Col = 7, F->Points[5].Row = 4;
  EXPECT_EQ(PointAt(*F, 4, 7), 1);  // the first placed one
  EXPECT_EQ(PointAt(*F, 7, 7), -1);
  UnplacePointsAt(*F, 4, 7);
  EXPECT_EQ(F->Points[1].Placed, 0);
  EXPECT_EQ(F->Points[3].Placed, 0);
  EXPECT_EQ(F->Points[5].Placed, 1);  // column and row are not interchangeable
}

TEST_F(EditingTest, PlaceAndRemoveObjects) {
  EXPECT_TRUE(PlaceObject(*F, 3, 3, 11));
  ASSERT_NE(BlockAt(*F, 3, 3), nullptr);
  EXPECT_EQ(F->Cell(3, 3)->TypeCode, 11);
  TCellObject* first = F->Cell(3, 3);
  EXPECT_FALSE(PlaceObject(*F, 3, 3, 6));  // occupied
  EXPECT_EQ(F->Cell(3, 3), first);
  EXPECT_FALSE(PlaceObject(*F, 4, 4, 9999));  // no such kind
  EXPECT_EQ(F->Cell(4, 4), nullptr);
  EXPECT_FALSE(PlaceObject(*F, 200, 4, 6));

  F->Points[2].Placed = 1, F->Points[2].Col = 3, F->Points[2].Row = 3;
  RemoveObject(*F, 3, 3);
  EXPECT_EQ(F->Cell(3, 3), nullptr);
  EXPECT_EQ(F->Points[2].Placed, 0);
  RemoveObject(*F, 3, 3);  // already empty
  RemoveObject(*F, -1, 3);
}

TEST_F(EditingTest, CommentIsCutToThirtyCharacters) {
  PutComment(*F, 1, 1, std::string(40, 'x'));
  auto* c = dynamic_cast<TComment*>(F->Cell(1, 1));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->TypeCode, kCommentCode);
  EXPECT_EQ(c->Text, std::string(30, 'x'));

  // Two bytes per Cyrillic letter: 30 letters, never half a letter.
  std::string cyr;
  for (int i = 0; i < 40; ++i) cyr += "ж";
  PutComment(*F, 1, 1, cyr);
  c = dynamic_cast<TComment*>(F->Cell(1, 1));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(Utf8Length(c->Text), 30u);
  EXPECT_EQ(c->Text.size(), 60u);
  EXPECT_EQ(Utf8ToCp1251(c->Text).size(), 30u);

  // Odd byte counts: a three-byte character straddling the 30th position.
  const std::string mixed = std::string(29, 'a') + "€€b";
  PutComment(*F, 2, 1, mixed);
  c = dynamic_cast<TComment*>(F->Cell(2, 1));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Text, std::string(29, 'a') + "€");

  // The stored record gives the same text back.
  auto copy = Clone(*F);
  EXPECT_EQ(static_cast<TComment*>(copy->Cell(1, 1))->Text, cyr.substr(0, 60));
}

TEST_F(EditingTest, CommentReplacesAnObjectAndEmptyTextPutsNothing) {
  Put(4, 4, 6);
  PutComment(*F, 4, 4, "");
  EXPECT_NE(BlockAt(*F, 4, 4), nullptr);
  PutComment(*F, 4, 4, "Регулятор");
  ASSERT_NE(F->Cell(4, 4), nullptr);
  EXPECT_EQ(F->Cell(4, 4)->TypeCode, kCommentCode);
  EXPECT_EQ(F->Modified, 0);
  PutComment(*F, 4, 4, std::string("\xFF\xFE\xC3", 3));  // not UTF-8: no harm
  EXPECT_NE(F->Cell(4, 4), nullptr);
  PutComment(*F, 250, 4, "x");
}

}  // namespace
}  // namespace vemo
