// Wiring resolution: which block feeds which side, the run list it builds,
// the view points, and the wiring errors.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/model/test_support.h"
#include "model/compile.h"
#include "model/scheme_builder.h"
#include "model/wire.h"
#include "simulation/engine.h"

namespace vemo {
namespace {

using testing::BlockAt;
using testing::IndexIn;
using testing::RunOrder;

class WiringTest : public testing::ProgramTest {
 protected:
  void Compile() {
    Prog.Err.ErrorCode = 0;
    Prog.Wiring.ZeroListed = 0;
    CompileScheme(*F, nullptr);
  }
  // A wire cell laid by hand (lines the scheme builder would not draw).
  void PutWire(int col, int row, uint8_t lines, uint8_t outs) {
    auto w = CreateCellObject(kWireCode);
    static_cast<TWire*>(w.get())->LineSides = lines;
    static_cast<TWire*>(w.get())->OutSides = outs;
    F->SetCell(col, row, std::move(w));
  }
  std::unique_ptr<TField> F = CreateField();
  TSchemeBuilder B{*F};
};

TEST_F(WiringTest, BlocksWithoutWireBetweenThemAreNotConnected) {
  B.Block(2, 2, 0);
  B.Block(3, 2, 6);  // right next to the source, output facing input
  // A vertical line running past the left edge of a block feeds nothing.
  B.Block(10, 0, 0);
  B.Line({{10, 0}, {10, 4}});
  B.Block(11, 2, 6);
  B.Point(0, 50, 50);
  B.Point(1, 10, 4);
  Compile();
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(BlockAt(*F, 3, 2)->Inputs[s], nullptr) << "side " << s;
    EXPECT_EQ(BlockAt(*F, 11, 2)->Inputs[s], nullptr) << "side " << s;
  }
  EXPECT_EQ(BlockAt(*F, 2, 2)->OutSide, kNoSide);
  EXPECT_EQ(BlockAt(*F, 10, 0)->OutSide, Bottom);  // found through the point on its stub
  EXPECT_EQ(F->Points[0].Source, nullptr);         // a point on an empty cell
}

TEST_F(WiringTest, LinesLeadingNowhereShareOneZeroBlock) {
  B.Block(1, 1, 0);
  B.Line({{1, 1}, {3, 1}});  // a real connection listed before any dangling line
  B.Block(3, 1, 6);
  B.Block(6, 4, 6);
  B.Line({{3, 4}, {6, 4}});  // starts in an empty cell
  B.Block(6, 8, 7);
  B.Line({{2, 8}, {2, 10}, {6, 10}, {6, 8}});  // a bent line from nowhere, entering from below
  // Two lines meeting head on: the consumer reaches a line running the other way.
  B.Block(2, 14, 6);
  PutWire(3, 14, (1 << Left) | (1 << Right), 1 << Left);
  PutWire(4, 14, (1 << Left) | (1 << Right), 1 << Right);
  B.Point(0, 20, 20);
  Compile();
  ASSERT_EQ(Prog.Err.ErrorCode, 0);

  EXPECT_EQ(BlockAt(*F, 3, 1)->Inputs[Left], BlockAt(*F, 1, 1));
  EXPECT_EQ(BlockAt(*F, 6, 4)->Inputs[Left], ZeroBlock());
  EXPECT_EQ(BlockAt(*F, 6, 8)->Inputs[Bottom], ZeroBlock());
  EXPECT_EQ(BlockAt(*F, 2, 14)->Inputs[Right], ZeroBlock());

  const auto order = RunOrder(*F);
  EXPECT_EQ(std::count(order.begin(), order.end(), ZeroBlock()), 1);
  // Listed just before the first block that needed it, in cell order.
  const int zero = IndexIn(order, ZeroBlock());
  EXPECT_EQ(zero + 1, IndexIn(order, BlockAt(*F, 6, 4)));
  EXPECT_GT(zero, IndexIn(order, BlockAt(*F, 3, 1)));
  EXPECT_EQ(order.size(), 6u);
}

TEST_F(WiringTest, NoZeroBlockWithoutDanglingLines) {
  B.Block(1, 1, 0);
  B.Block(4, 1, 6);
  B.Line({{1, 1}, {4, 1}});
  B.Point(0, 4, 1);
  Compile();
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  const auto order = RunOrder(*F);
  EXPECT_EQ(IndexIn(order, ZeroBlock()), -1);
  EXPECT_EQ(order.size(), 2u);
  EXPECT_EQ(order.front()->RunPrev, nullptr);
  EXPECT_EQ(order.back()->RunNext, nullptr);
  EXPECT_EQ(order.back()->RunPrev, order.front());
}

TEST_F(WiringTest, JunctionFeedsBothConsumersFromOneBlock) {
  B.Block(2, 2, 0, {3.0});
  B.Block(8, 2, 6);
  B.Block(5, 6, 6);
  B.Line({{2, 2}, {8, 2}});
  B.Line({{5, 2}, {5, 6}});  // branch down from the middle of the first line
  auto* j = static_cast<TWire*>(F->Cell(5, 2));
  ASSERT_EQ(j->LineSides, (1 << Left) | (1 << Right) | (1 << Bottom));
  ASSERT_NE(j->OutSides & kJunctionBit, 0);
  B.Point(0, 9, 9);
  PrepareRun(*F);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  TBlock* src = BlockAt(*F, 2, 2);
  EXPECT_EQ(BlockAt(*F, 8, 2)->Inputs[Left], src);
  EXPECT_EQ(BlockAt(*F, 5, 6)->Inputs[Top], src);
  EXPECT_EQ(src->OutSide, Right);
  SimInit(*F);
  SimStepAll(*F);
  EXPECT_DOUBLE_EQ(BlockAt(*F, 8, 2)->Output, 3.0);
  EXPECT_DOUBLE_EQ(BlockAt(*F, 5, 6)->Output, 3.0);
}

TEST_F(WiringTest, TwoLinesIntoOneCellIsError5AtThatCell) {
  B.Block(2, 2, 0);
  B.Block(5, 0, 0);
  B.Block(8, 2, 6);
  B.Line({{2, 2}, {8, 2}});
  B.Line({{5, 0}, {5, 2}});  // ends on the first line: two inputs in (5,2)
  B.Point(0, 8, 2);
  Compile();
  EXPECT_EQ(Prog.Err.ErrorCode, 5);
  EXPECT_EQ(Prog.Err.ErrorCol, 5);
  EXPECT_EQ(Prog.Err.ErrorRow, 2);
  EXPECT_EQ(Prog.Err.ErrorField, F.get());
}

TEST_F(WiringTest, BadWireCellsAreRejectedBeforeTracing) {
  struct Case { uint8_t lines, outs; bool ok; };
  const Case cases[] = {
      {0, 0, false},                                      // no line at all
      {1 << Left, 1 << Right, false},                     // output without a line
      {(1 << Left) | (1 << Right), (1 << Right) | kJunctionBit, false},  // dot on two lines
      {0x0B, 1 << Right, false},                          // three lines without the dot
      {0x0B, (1 << Right) | kJunctionBit, false},         // dot, but two inputs
      {0x0B, (1 << Right) | (1 << Top) | kJunctionBit, true},
      {0x0F, (1 << Right) | (1 << Left), false},          // four lines, neither crossing nor dot
      {0x0F, (1 << Right) | (1 << Top) | (1 << Bottom) | kJunctionBit, true},
      {0x0F, (1 << Right) | (1 << Bottom), true},         // crossing
      {1 << Left, 0, true},                               // a stub
      {(1 << Left) | (1 << Right), 0, false},             // two inputs
  };
  for (const Case& c : cases) {
    TWire w;
    w.LineSides = c.lines;
    w.OutSides = c.outs;
    Prog.Err.ErrorCode = 0;
    w.Prepare(F.get());
    EXPECT_EQ(Prog.Err.ErrorCode, c.ok ? 0 : 5)
        << "lines " << int(c.lines) << " outs " << int(c.outs);
  }
}

TEST_F(WiringTest, CrossingCarriesBothSignalsStraightThrough) {
  B.Block(2, 5, 0, {1.0});
  B.Block(8, 5, 6);
  B.Block(5, 2, 0, {2.0});
  B.Block(5, 8, 6);
  B.Line({{2, 5}, {8, 5}});
  B.Line({{5, 2}, {5, 8}});
  auto* x = static_cast<TWire*>(F->Cell(5, 5));
  ASSERT_TRUE(x->IsCrossing());
  EXPECT_EQ(x->OutSides & kJunctionBit, 0);
  B.Point(0, 8, 5);
  PrepareRun(*F);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_EQ(BlockAt(*F, 8, 5)->Inputs[Left], BlockAt(*F, 2, 5));
  EXPECT_EQ(BlockAt(*F, 5, 8)->Inputs[Top], BlockAt(*F, 5, 2));
  SimInit(*F);
  SimStepAll(*F);
  EXPECT_DOUBLE_EQ(BlockAt(*F, 8, 5)->Output, 1.0);
  EXPECT_DOUBLE_EQ(BlockAt(*F, 5, 8)->Output, 2.0);
}

TEST_F(WiringTest, OutputUsedOnTwoSidesIsError6AtTheBlock) {
  B.Block(2, 2, 0);
  B.Block(5, 2, 6);
  B.Block(5, 5, 6);
  B.Line({{2, 2}, {5, 2}});
  B.Line({{2, 2}, {2, 5}, {5, 5}});
  B.Point(0, 9, 9);
  Compile();
  EXPECT_EQ(Prog.Err.ErrorCode, 6);
  EXPECT_EQ(Prog.Err.ErrorCol, 2);
  EXPECT_EQ(Prog.Err.ErrorRow, 2);
}

TEST_F(WiringTest, LineLeavingTheGridLeadsToNothing) {
  B.Block(2, 5, 6);
  PutWire(1, 5, (1 << Left) | (1 << Right), 1 << Right);
  PutWire(0, 5, (1 << Left) | (1 << Right), 1 << Right);  // its input lies beyond column 0
  B.Block(199, 0, 6);  // Top and Right of a corner cell are outside the grid
  B.Block(197, 199, 6);
  PutWire(198, 199, (1 << Left) | (1 << Bottom), 1 << Left);  // input below row 199
  B.Point(0, 20, 5);
  Compile();
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_EQ(BlockAt(*F, 2, 5)->Inputs[Left], nullptr);
  EXPECT_EQ(BlockAt(*F, 199, 0)->Inputs[Top], nullptr);
  EXPECT_EQ(BlockAt(*F, 199, 0)->Inputs[Right], nullptr);
  EXPECT_EQ(BlockAt(*F, 197, 199)->Inputs[Right], nullptr);
  EXPECT_EQ(IndexIn(RunOrder(*F), ZeroBlock()), -1);
}

TEST_F(WiringTest, ViewPointsObserveTheBlockDrivingTheirCell) {
  B.Block(2, 2, 0);
  B.Block(6, 2, 7);
  B.Line({{2, 2}, {6, 2}});
  B.Line({{6, 2}, {9, 2}});
  B.Block(2, 8, 0);
  B.Point(0, 9, 2);    // the stub at the end of the integrator's line
  B.Point(1, 4, 2);    // the middle of the source's line
  B.Point(2, 30, 30);  // empty cell
  B.Point(3, 2, 8);    // on a block nothing else uses
  F->Points[4].Col = 1;  // not placed: ignored
  Compile();
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_EQ(F->Points[0].Source, BlockAt(*F, 6, 2));
  EXPECT_EQ(F->Points[1].Source, BlockAt(*F, 2, 2));
  EXPECT_EQ(F->Points[2].Source, nullptr);
  EXPECT_EQ(F->Points[3].Source, BlockAt(*F, 2, 8));
  EXPECT_EQ(BlockAt(*F, 2, 8)->OutSide, Top);
  EXPECT_EQ(F->Points[4].Source, nullptr);
}

TEST_F(WiringTest, SchemeWithoutPlacedPointCompilesThenReportsError9) {
  B.Block(2, 2, 0);
  B.Block(5, 2, 10);
  B.Line({{2, 2}, {5, 2}});
  F->Points[0].Col = 5;  // a point that is not placed does not count
  F->Points[0].Row = 2;
  Compile();
  EXPECT_EQ(Prog.Err.ErrorCode, 9);
  EXPECT_EQ(Prog.Err.ErrorCol, -1);
  EXPECT_EQ(BlockAt(*F, 5, 2)->Inputs[Left], BlockAt(*F, 2, 2));
  EXPECT_EQ(RunOrder(*F).size(), 2u);
}

TEST_F(WiringTest, MacroPortOnTheMainSchemeIsError10) {
  F->SetCell(7, 3, CreateCellObject(kMacroPortFirst + 1));
  B.Point(0, 9, 9);
  Compile();
  EXPECT_EQ(Prog.Err.ErrorCode, 10);
  EXPECT_EQ(Prog.Err.ErrorCol, 7);
  EXPECT_EQ(Prog.Err.ErrorRow, 3);
}

}  // namespace
}  // namespace vemo
