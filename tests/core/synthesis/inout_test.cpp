// The input-output characteristic of contours built in code: straight lines,
// clamps, relay loops, the point count, the sweep comparison and the blocks
// that are stepped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "blocks/point_table.h"
#include "frequency/analysis_state.h"
#include "model/compile.h"
#include "model/macro.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "scheme_fixtures.h"
#include "shell/program.h"
#include "simulation/engine.h"
#include "simulation/transient.h"
#include "synthesis/inout.h"
#include "core/model/test_support.h"

namespace vemo {
namespace {

class InOutTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    F = CreateField();
  }
  void TearDown() override {
    ReleaseMacroBodies(*F);
    ProgramTest::TearDown();
  }
  TInOutResult Run(double xMax = 2.0, double step = 0.01) {
    return RunInOutCommand(*F, 0, 1, xMax, step);
  }
  std::unique_ptr<TField> F;
};

// gen -> block -> ... -> stub: A on the generator's output, B at the end.
void Chain(TField& f, testing::TChainBlocks blocks) { testing::BuildOpenChain(f, blocks); }

TEST(InOutCount, RoundsTwiceXMaxOverStepPlusAlmostOne) {
  EXPECT_EQ(InOutSweepPoints(2.0, 0.01), 401);
  EXPECT_EQ(InOutSweepPoints(1.0, 0.5), 5);
  EXPECT_EQ(InOutSweepPoints(1.0, 0.3), 8);  // 6.67 + 0.99 = 7.66
  // Halves go to the even neighbour: 2.5 -> 2, 4.5 -> 4.
  EXPECT_EQ(InOutSweepPoints(0.755, 1.0), 2);
  EXPECT_EQ(InOutSweepPoints(1.755, 1.0), 4);
}

TEST(InOutCount, SmallValuesAreRaisedToOneThousandth) {
  EXPECT_DOUBLE_EQ(ClampInOutValue(0.0001), 0.001);
  EXPECT_DOUBLE_EQ(ClampInOutValue(-3.0), 0.001);
  EXPECT_DOUBLE_EQ(ClampInOutValue(std::nan("")), 0.001);
  EXPECT_DOUBLE_EQ(ClampInOutValue(0.25), 0.25);
  EXPECT_EQ(InOutSweepPoints(2.0, 0.0001), InOutSweepPoints(2.0, 0.001));
  EXPECT_EQ(InOutSweepPoints(2.0, 0.001), 4001);
  EXPECT_EQ(InOutSweepPoints(0.0, 0.001), 3);  // X max 0.001: 2 + 0.99
}

TEST(InOutCount, SweepsAgreeWithinOneThousandth) {
  // Forward x = -1, 0, 1; backward x = 1, 0, -1.
  PointTable t;
  t.Add(-1, -1); t.Add(0, 0); t.Add(1, 1);
  t.Add(1, 1.0009); t.Add(0, -0.0009); t.Add(-1, -1);
  EXPECT_TRUE(SweepsAgree(t, 3));
  t.Points[4].y = 0.0011;
  EXPECT_FALSE(SweepsAgree(t, 3));
  t.Points[4].y = 0.0;
  t.Points[5].y = -0.9;  // the last backward pair against the first forward one
  EXPECT_FALSE(SweepsAgree(t, 3));
}

TEST_F(InOutTest, LinearGainGivesAStraightLine) {
  Chain(*F, {{6, {2.0}}});
  const TInOutResult r = Run();
  ASSERT_EQ(r.Status, TInOutStatus::Ok) << int(Prog.Err.ErrorCode);
  EXPECT_FALSE(r.Hysteresis);
  EXPECT_EQ(r.SweepPoints, 401);
  ASSERT_EQ(r.Table.Count(), 401);
  for (int i = 0; i < 401; ++i) {
    const TablePoint& p = r.Table.Points[i];
    EXPECT_NEAR(p.x, -2.0 + 0.01 * i, 1e-12) << i;
    EXPECT_NEAR(p.y, 2.0 * p.x, 1e-12) << i;
  }
  EXPECT_DOUBLE_EQ(r.Table.Points.front().x, -2.0);
  EXPECT_NEAR(r.Table.Points.back().x, 2.0, 1e-12);
  EXPECT_EQ(Analysis.StartPoint, 0);
  EXPECT_EQ(Analysis.EndPoint, 1);
}

TEST_F(InOutTest, SeriesOfGainsMultiplies) {
  Chain(*F, {{6, {2.0}}, {6, {-0.5}}, {6, {3.0}}});
  const TInOutResult r = Run(1.0, 0.5);
  ASSERT_EQ(r.Status, TInOutStatus::Ok);
  ASSERT_EQ(r.Table.Count(), 5);
  for (const TablePoint& p : r.Table.Points) EXPECT_NEAR(p.y, -3.0 * p.x, 1e-12);
}

TEST_F(InOutTest, SaturationGivesItsClamp) {
  Chain(*F, {{21, {1.0, -1.0}}});
  const TInOutResult r = Run();
  ASSERT_EQ(r.Status, TInOutStatus::Ok);
  EXPECT_FALSE(r.Hysteresis);
  ASSERT_EQ(r.Table.Count(), 401);
  for (const TablePoint& p : r.Table.Points) EXPECT_DOUBLE_EQ(p.y, std::clamp(p.x, -1.0, 1.0)) << p.x;
  EXPECT_DOUBLE_EQ(r.Table.Points.front().y, -1.0);
  EXPECT_DOUBLE_EQ(r.Table.Points[200].y, r.Table.Points[200].x);
  EXPECT_DOUBLE_EQ(r.Table.Points.back().y, 1.0);
}

TEST_F(InOutTest, AsymmetricSaturationAndDeadZone) {
  Chain(*F, {{20, {0.5}}, {21, {0.75, -0.25}}});
  const TInOutResult r = Run(2.0, 0.25);
  ASSERT_EQ(r.Status, TInOutStatus::Ok);
  ASSERT_EQ(r.Table.Count(), 17);
  EXPECT_DOUBLE_EQ(r.Table.Points[0].y, -0.25);   // x = -2
  EXPECT_DOUBLE_EQ(r.Table.Points[8].y, 0.0);     // x = 0
  EXPECT_DOUBLE_EQ(r.Table.Points[16].y, 0.75);   // x = 2
}

TEST_F(InOutTest, RelayWithHysteresisKeepsBothSweeps) {
  // Output 1 from x >= 0.1 on, -1 from x <= -0.1 on.
  Chain(*F, {{24, {1.0, -1.0, 0.1, -0.1}}});
  const TInOutResult r = Run();
  ASSERT_EQ(r.Status, TInOutStatus::Ok);
  EXPECT_TRUE(r.Hysteresis);
  ASSERT_EQ(r.Table.Count(), 802);
  const auto& p = r.Table.Points;
  // Forward: -2 .. 2.
  EXPECT_DOUBLE_EQ(p[0].x, -2.0);
  EXPECT_NEAR(p[400].x, 2.0, 1e-12);
  // Backward: 2 .. -2.
  EXPECT_DOUBLE_EQ(p[401].x, 2.0);
  EXPECT_NEAR(p[801].x, -2.0, 1e-12);
  // Away from the switching points (where x only approaches the threshold
  // through rounding) the forward sweep switches on at 0.1, the backward
  // one off at -0.1.
  for (int i = 0; i < 401; ++i) {
    const double x = p[i].x;
    if (std::fabs(x - 0.1) < 1e-6) continue;
    EXPECT_DOUBLE_EQ(p[i].y, x > 0.1 ? 1.0 : -1.0) << "forward " << x;
  }
  for (int i = 401; i < 802; ++i) {
    const double x = p[i].x;
    if (std::fabs(x + 0.1) < 1e-6) continue;
    EXPECT_DOUBLE_EQ(p[i].y, x < -0.1 ? -1.0 : 1.0) << "backward " << x;
  }
  // Inside the loop the two sweeps disagree at x = 0.
  EXPECT_DOUBLE_EQ(p[200].y, -1.0);
  EXPECT_DOUBLE_EQ(p[601].y, 1.0);
}

TEST_F(InOutTest, RelayWithoutHysteresisKeepsOneSweep) {
  Chain(*F, {{23, {1.0, -1.0, 0.0}}});
  const TInOutResult r = Run(1.0, 0.25);
  ASSERT_EQ(r.Status, TInOutStatus::Ok);
  EXPECT_FALSE(r.Hysteresis);
  ASSERT_EQ(r.Table.Count(), 9);
  EXPECT_DOUBLE_EQ(r.Table.Points[3].y, -1.0);  // x = -0.25
  EXPECT_DOUBLE_EQ(r.Table.Points[4].y, 1.0);   // x = 0
}

TEST_F(InOutTest, TinyStepIsRaisedToOneThousandth) {
  Chain(*F, {{6, {1.0}}});
  const TInOutResult r = Run(0.01, 0.0001);
  ASSERT_EQ(r.Status, TInOutStatus::Ok);
  ASSERT_EQ(r.Table.Count(), 21);  // round(20 + 0.99)
  EXPECT_NEAR(r.Table.Points[1].x - r.Table.Points[0].x, 0.001, 1e-12);
  EXPECT_NEAR(r.Table.Points[20].x, 0.01, 1e-12);
}

TEST_F(InOutTest, FieldStepIsLeftAlone) {
  Chain(*F, {{6, {1.0}}});
  F->Step = 0.2;
  F->AutoStep = 0;
  ASSERT_EQ(Run(1.0, 0.05).Status, TInOutStatus::Ok);
  EXPECT_DOUBLE_EQ(F->Step, 0.2);
  EXPECT_EQ(F->AutoStep, 0);
}

// The input is held at x even when the start block is a source with an
// output of its own, and a second source that does not lie between the
// points is silenced.
TEST_F(InOutTest, BlocksOffThePathOutputZero) {
  TSchemeBuilder b(*F);
  b.Block(2, 2, 0, {7.0});
  b.Block(6, 2, 1);
  b.Block(6, 5, 0, {5.0});
  b.Line({{2, 2}, {6, 2}});
  b.Line({{6, 5}, {6, 2}});
  b.Line({{6, 2}, {8, 2}});
  b.Point(0, 3, 2);
  b.Point(1, 8, 2);
  const TInOutResult r = Run(1.0, 0.5);
  ASSERT_EQ(r.Status, TInOutStatus::Ok) << int(Prog.Err.ErrorCode);
  ASSERT_EQ(r.Table.Count(), 5);
  for (const TablePoint& p : r.Table.Points) EXPECT_DOUBLE_EQ(p.y, p.x);

  TBlock* gen = testing::BlockAt(*F, 2, 2);
  TBlock* sum = testing::BlockAt(*F, 6, 2);
  TBlock* other = testing::BlockAt(*F, 6, 5);
  const std::vector<TBlock*> path = BlocksOnPath(*F, gen, sum);
  EXPECT_NE(std::find(path.begin(), path.end(), gen), path.end());
  EXPECT_NE(std::find(path.begin(), path.end(), sum), path.end());
  EXPECT_EQ(std::find(path.begin(), path.end(), other), path.end());
}

TEST_F(InOutTest, LoopBlocksLieOnThePath) {
  testing::BuildFeedbackLoop(*F, 10, {1.0, 1.0, 0.0});
  ASSERT_EQ(Run(1.0, 0.5).Status, TInOutStatus::Ok) << int(Prog.Err.ErrorCode);
  TBlock* gen = testing::BlockAt(*F, 2, 2);
  TBlock* sum = testing::BlockAt(*F, 4, 2);
  TBlock* lag = testing::BlockAt(*F, 6, 2);
  const std::vector<TBlock*> path = BlocksOnPath(*F, gen, lag);
  EXPECT_EQ(path.size(), 3u);
  for (TBlock* x : {gen, sum, lag}) EXPECT_NE(std::find(path.begin(), path.end(), x), path.end());
  // Walking back from the summer the lag is reached only past the summer
  // itself, and it still leads to the start.
  EXPECT_EQ(BlocksOnPath(*F, gen, sum).size(), 3u);
  // The start is not upstream of the generator: nothing lies between.
  EXPECT_TRUE(BlocksOnPath(*F, lag, gen).empty());
}

TEST_F(InOutTest, UnreachedEndGivesZero) {
  // B observes the generator, A the block it feeds: no path from A to B.
  Chain(*F, {{6, {2.0}}});
  const TInOutResult r = RunInOutCommand(*F, 1, 0, 1.0, 0.5);
  ASSERT_EQ(r.Status, TInOutStatus::Ok);
  for (const TablePoint& p : r.Table.Points) EXPECT_DOUBLE_EQ(p.y, 0.0);
}

TEST_F(InOutTest, MacroBodyIsSteppedOnThePath) {
  testing::TempDir dir;
  TFileProjects projects;
  projects.SearchDirs = {dir.Path};
  Prog.Projects = &projects;
  {
    // Body: left input port -> saturation +-0.5 -> output port.
    auto body = CreateField();
    TSchemeBuilder b(*body);
    body->SetCell(1, 1, CreateCellObject(kMacroPortFirst + 1));
    b.Block(3, 1, 21, {0.5, -0.5});
    body->SetCell(6, 1, CreateCellObject(kMacroOutputCode));
    b.Line({{1, 1}, {3, 1}});
    b.Line({{3, 1}, {6, 1}});
    ASSERT_TRUE(SaveField(*body, dir.File("limit.vmo")));
  }
  TSchemeBuilder b(*F);
  b.Block(2, 2, 0, {1.0});
  auto* m = static_cast<TMacroBlock*>(b.Block(4, 2, kMacroCode));
  m->BodyFile = "limit.vmo";
  b.Block(6, 2, 6, {2.0});
  b.Line({{2, 2}, {4, 2}});
  b.Line({{4, 2}, {6, 2}});
  b.Line({{6, 2}, {8, 2}});
  b.Point(0, 3, 2);
  b.Point(1, 8, 2);
  const TInOutResult r = Run(1.0, 0.25);
  ASSERT_EQ(r.Status, TInOutStatus::Ok) << int(Prog.Err.ErrorCode);
  ASSERT_EQ(r.Table.Count(), 9);
  for (const TablePoint& p : r.Table.Points) EXPECT_DOUBLE_EQ(p.y, 2.0 * std::clamp(p.x, -0.5, 0.5)) << p.x;
  ReleaseMacroBodies(*F);
  Prog.Projects = nullptr;
}

TEST_F(InOutTest, AlgebraicLoopIsASchemeError) {
  testing::BuildFeedbackLoop(*F, 6, {2.0});
  const TInOutResult r = Run();
  EXPECT_EQ(r.Status, TInOutStatus::SchemeError);
  EXPECT_EQ(Prog.Err.ErrorCode, 7);
  EXPECT_EQ(r.Table.Count(), 0);
}

TEST_F(InOutTest, PointWithoutBlockIsError17) {
  Chain(*F, {{6, {2.0}}});
  const TInOutResult r = RunInOutCommand(*F, 0, 5, 1.0, 0.5);  // F is not placed
  EXPECT_EQ(r.Status, TInOutStatus::SchemeError);
  EXPECT_EQ(Prog.Err.ErrorCode, 17);
}

TEST_F(InOutTest, FloatingPointFaultEndsWithTheRunMessage) {
  // A quotient beyond the 32-bit range faults inside the quantiser.
  Chain(*F, {{27, {1e-12}}});
  const TInOutResult r = Run();
  EXPECT_EQ(r.Status, TInOutStatus::MathError);
  EXPECT_EQ(r.Table.Count(), 0);
  ASSERT_FALSE(Dialogs.Messages.empty());
  EXPECT_EQ(Dialogs.Messages.back(), kRunMathError);
}

TEST_F(InOutTest, TooManyPointsAreRefused) {
  Chain(*F, {{6, {1.0}}});
  const TInOutResult r = Run(1e12, 0.001);
  EXPECT_EQ(r.Status, TInOutStatus::TooManyPoints);
  EXPECT_EQ(r.Table.Count(), 0);
}

TEST_F(InOutTest, IntegratorSweepsInModelTime) {
  // The integrator accumulates x over the model time of the sweep.
  Chain(*F, {{7, {1.0, 0.0}}});
  const TInOutResult r = Run(1.0, 0.5);
  ASSERT_EQ(r.Status, TInOutStatus::Ok);
  // A dynamic block makes the sweeps differ: both are kept.
  EXPECT_TRUE(r.Hysteresis);
  EXPECT_EQ(r.Table.Count(), 10);
}

}  // namespace
}  // namespace vemo
