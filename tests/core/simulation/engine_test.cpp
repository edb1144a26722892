// The simulation engine: run-list order, algebraic loops, the step choice
// and the run operations, up to a chain through the whole grid.
#include <gtest/gtest.h>

#include <cmath>

#include "core/model/test_support.h"
#include "model/compile.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "model/wire.h"
#include "simulation/engine.h"
#include "simulation/run_plan.h"

namespace vemo {
namespace {

using testing::BlockAt;
using testing::IndexIn;
using testing::RunOrder;

class EngineTest : public testing::ProgramTest {
 protected:
  void Compile() {
    Prog.Err.ErrorCode = 0;
    Prog.Wiring.ZeroListed = 0;
    CompileScheme(*F, nullptr);
  }
  // constant -> summer -> the block at (7,2) -> stub, the block's output
  // back into the summer's lower input; point A at the end.
  void Loop(uint16_t code) {
    B.Block(2, 2, 0);
    B.Block(4, 2, 2);
    B.Block(7, 2, code);
    B.Line({{2, 2}, {4, 2}});
    B.Line({{4, 2}, {7, 2}});
    B.Line({{7, 2}, {10, 2}});
    B.Line({{9, 2}, {9, 5}, {4, 5}, {4, 2}});
    B.Point(0, 10, 2);
  }
  std::unique_ptr<TField> F = CreateField();
  TSchemeBuilder B{*F};
};

TEST_F(EngineTest, LoopThroughAnIntegratorIsNoAlgebraicLoop) {
  // constant -> summer -> integrator, the integrator's output back into the summer.
  Loop(7);
  PrepareRun(*F);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  const auto order = RunOrder(*F);
  ASSERT_EQ(order.size(), 3u);
  TBlock* src = BlockAt(*F, 2, 2);
  TBlock* sum = BlockAt(*F, 4, 2);
  TBlock* integ = BlockAt(*F, 7, 2);
  EXPECT_EQ(sum->Inputs[Bottom], integ);
  // The summer, reached first in cell order, closes the loop: it comes last.
  EXPECT_EQ(order, (std::vector<TBlock*>{src, integ, sum}));
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(order[i]->RunPrev, i ? order[i - 1] : nullptr);
    EXPECT_EQ(order[i]->CodeVisited, 0);
  }
}

TEST_F(EngineTest, LoopWithoutDynamicBlockIsError7) {
  Loop(6);
  PrepareRun(*F);
  EXPECT_EQ(Prog.Err.ErrorCode, 7);
  EXPECT_EQ(Prog.Err.ErrorCol, -1);
  EXPECT_EQ(F->AutoStep, 1) << "no step is chosen after a failed check";
  // An aperiodic element in the feedback path breaks the loop.
  B.Block(6, 5, 10);
  Compile();
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  SortRunList(*F);
  CheckAlgebraicLoops(*F);
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
}

TEST_F(EngineTest, SourceIsOrderedBeforeTheBlocksItFeedsWhateverItsCell) {
  B.Block(5, 1, 6);
  B.Block(2, 4, 10);
  B.Block(5, 9, 0, {2.0});  // the source lies last in cell order
  B.Line({{5, 9}, {5, 6}, {2, 6}, {2, 4}});
  B.Line({{2, 4}, {2, 1}, {5, 1}});
  B.Point(0, 9, 9);
  PrepareRun(*F);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  const auto order = RunOrder(*F);
  EXPECT_EQ(order, (std::vector<TBlock*>{BlockAt(*F, 5, 9), BlockAt(*F, 2, 4), BlockAt(*F, 5, 1)}));
  SimInit(*F);
  SimStepAll(*F);
  SyncRunOutputs(F->Plan);  // the lag hands its output on without storing it
  // In order, the lag sees the source's value within the same step.
  EXPECT_NEAR(BlockAt(*F, 2, 4)->Output, 2.0 * 0.1, 1e-12);
  EXPECT_NEAR(BlockAt(*F, 5, 1)->Output, 2.0 * 0.1, 1e-12);
}

TEST_F(EngineTest, MinStepHintIsTheSmallestBlockHint) {
  EXPECT_EQ(MinStepHint(*F), 100.0);
  // Wires, comments, ports and macro blocks recommend nothing.
  B.Line({{1, 1}, {5, 1}});
  F->SetCell(8, 8, CreateCellObject(kCommentCode));
  F->SetCell(9, 9, CreateCellObject(kMacroCode));
  F->SetCell(10, 10, CreateCellObject(kMacroOutputCode));
  EXPECT_EQ(MinStepHint(*F), 100.0);
  B.Block(20, 20, 6);
  EXPECT_DOUBLE_EQ(MinStepHint(*F), 0.1);
  B.Block(21, 20, 10, {0.3});
  EXPECT_DOUBLE_EQ(MinStepHint(*F), 0.03);
  B.Block(22, 20, 12, {0.08});
  EXPECT_DOUBLE_EQ(MinStepHint(*F), 0.02);
  B.Block(23, 20, 9, {-0.05});
  EXPECT_DOUBLE_EQ(MinStepHint(*F), 0.005);
  B.Block(24, 20, 11, {0.3, 0.02});  // oscillatory: 0.1 times the damping
  EXPECT_DOUBLE_EQ(MinStepHint(*F), 0.002);
}

TEST_F(EngineTest, AutoStepTakesTheHintOnceAndKeepsItAfterSaving) {
  B.Block(4, 4, 10, {1.0});
  ASSERT_EQ(F->AutoStep, 1);
  ChooseStep(*F);
  EXPECT_DOUBLE_EQ(Prog.Clock.TimeStep, 0.1);
  EXPECT_DOUBLE_EQ(F->Step, 0.1);
  EXPECT_EQ(F->AutoStep, 0);
  const auto image = FieldImage(*F, 10.0);
  auto g = CreateField();
  ASSERT_EQ(LoadFieldFromMemory(*g, image.data(), image.size()), TLoadResult::Ok);
  EXPECT_DOUBLE_EQ(g->Step, 0.1);
  EXPECT_EQ(g->AutoStep, 0);
  // A smaller block added later does not change a fixed step.
  B.Block(6, 4, 10, {0.01});
  ChooseStep(*F);
  EXPECT_DOUBLE_EQ(Prog.Clock.TimeStep, 0.1);
}

TEST_F(EngineTest, UserStepStaysAboveTheHint) {
  B.Block(4, 4, 10, {1.0});
  F->AutoStep = 0;
  F->Step = 0.5;
  ChooseStep(*F);
  EXPECT_DOUBLE_EQ(Prog.Clock.TimeStep, 0.5);
  EXPECT_DOUBLE_EQ(F->Step, 0.5);
  EXPECT_EQ(F->AutoStep, 0);
}

TEST_F(EngineTest, SimInitRestartsFromTheInitialConditions) {
  B.Block(2, 2, 0);
  B.Block(4, 2, 7, {1.0, 0.5});
  B.Block(7, 2, 12, {0.3});
  B.Line({{2, 2}, {4, 2}});
  B.Line({{4, 2}, {7, 2}});
  B.Line({{7, 2}, {9, 2}});
  B.Point(0, 9, 2);
  F->AutoStep = 0;
  F->Step = 0.1;
  PrepareRun(*F);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  auto runSteps = [&] {
    std::vector<double> out;
    SimInit(*F);
    for (int k = 0; k < 12; ++k) {
      Prog.Clock.SimTime = k * Prog.Clock.TimeStep;
      SimStepAll(*F);
      out.push_back(BlockAt(*F, 7, 2)->Output);
    }
    return out;
  };
  const auto first = runSteps();
  const auto second = runSteps();
  EXPECT_EQ(first, second);
  EXPECT_DOUBLE_EQ(Prog.Clock.TimeStep, 0.1);
  EXPECT_GT(first.back(), 0.5);
  SimDone(*F);
}

// A single chain through every cell of the grid: the signal runs from the
// bottom-left corner, row by row in a snake, up to the top-left corner, so the
// first block in cell order is the last one of the chain.
TEST_F(EngineTest, ChainThroughTheWholeGrid) {
  std::vector<std::pair<int, int>> path;  // path[0] = (0,0), the end of the chain
  for (int row = 0; row < kGridSize; ++row)
    for (int i = 0; i < kGridSize; ++i) path.push_back({row % 2 ? kGridSize - 1 - i : i, row});
  auto toward = [](std::pair<int, int> a, std::pair<int, int> b) -> uint8_t {
    if (b.first < a.first) return Left;
    if (b.first > a.first) return Right;
    return b.second < a.second ? Top : Bottom;
  };
  const size_t n = path.size();
  for (size_t i = 0; i < n; ++i) {
    auto [c, r] = path[i];
    if (i % 2 == 0) {  // a wire from path[i + 1] to path[i - 1]
      auto w = CreateCellObject(kWireCode);
      auto* wire = static_cast<TWire*>(w.get());
      wire->LineSides = static_cast<uint8_t>(1u << toward(path[i], path[i + 1]));
      if (i > 0) {
        const uint8_t out = static_cast<uint8_t>(1u << toward(path[i], path[i - 1]));
        wire->LineSides |= out;
        wire->OutSides = out;
      }
      F->SetCell(c, r, std::move(w));
    } else {
      F->SetCell(c, r, CreateCellObject(i + 1 == n ? 0 : 6));
    }
  }
  B.Point(0, 0, 0);
  PrepareRun(*F);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  const auto order = RunOrder(*F);
  ASSERT_EQ(order.size(), n / 2);
  EXPECT_EQ(order.front(), BlockAt(*F, path[n - 1].first, path[n - 1].second));
  EXPECT_EQ(order.back(), BlockAt(*F, 1, 0));
  EXPECT_EQ(F->Points[0].Source, order.back());
  for (size_t i = 1; i < order.size(); ++i) ASSERT_EQ(order[i]->FirstInput(), order[i - 1]) << i;
  SimInit(*F);
  SimStepAll(*F);
  EXPECT_EQ(order.back()->Output, 1.0);
}

}  // namespace
}  // namespace vemo

namespace vemo {
namespace {

TEST(RunStepCountTest, CountsTheStepsBeforeTheEndAndRefusesEndlessRuns) {
  int64_t n = -1;
  EXPECT_TRUE(CountRunSteps(0, 0.125, 10.0, n));
  EXPECT_EQ(n, 80);  // t = 0, 0.125, ..., 9.875
  EXPECT_TRUE(CountRunSteps(80, 0.125, 20.0, n));
  EXPECT_EQ(n, 80);
  EXPECT_TRUE(CountRunSteps(0, 0.1, 0.30000000000000004, n));
  EXPECT_EQ(n, 3);  // 3 * 0.1 is 0.30000000000000004 itself: not before the end
  EXPECT_TRUE(CountRunSteps(5, 0.5, 1.0, n));
  EXPECT_EQ(n, 0);  // already past the end
  // 10^9 steps are allowed, one more is not (the step is exact in binary).
  const double dt = std::ldexp(1.0, -30);
  EXPECT_TRUE(CountRunSteps(0, dt, 1e9 * dt, n));
  EXPECT_EQ(n, kMaxRunSteps);
  EXPECT_FALSE(CountRunSteps(0, dt, (1e9 + 1) * dt, n));
  EXPECT_TRUE(CountRunSteps(1, dt, (1e9 + 1) * dt, n));
  // A stored step far below the dialogs' limits, an endless view time, a
  // step that is no positive number.
  EXPECT_FALSE(CountRunSteps(0, 1e-12, 10.0, n));
  EXPECT_FALSE(CountRunSteps(0, 1e-300, 1e300, n));
  EXPECT_FALSE(CountRunSteps(0, 0.01, HUGE_VAL, n));
  EXPECT_FALSE(CountRunSteps(0, 0.01, std::nan(""), n));
  for (double bad : {0.0, -0.01, std::nan(""), HUGE_VAL})
    EXPECT_FALSE(CountRunSteps(0, bad, 1.0, n)) << bad;
}

}  // namespace
}  // namespace vemo
