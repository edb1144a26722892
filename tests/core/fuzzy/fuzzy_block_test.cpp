// The fuzzy block in schemes: its check, its step and runs of a loop.
#include <gtest/gtest.h>

#include <cmath>

#include "core/blocks/block_test_support.h"
#include "core/fuzzy/fuzzy_test_support.h"
#include "fuzzy/fuzzy_block.h"
#include "model/compile.h"
#include "model/project_file.h"
#include "simulation/phase.h"

namespace vemo {
namespace {

using blocktest::BlockTest;
using blocktest::Make;
using blocktest::TSignal;

TEST_F(BlockTest, FuzzyBlockMapsSidesToVariablesAndOutputsTheOutputVariable) {
  auto b = Make<TFuzzyBlock>(38);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->GetName(), "Нечеткий регулятор");
  EXPECT_EQ(b->Kind, 2);
  EXPECT_EQ(b->Stepped, 1);
  EXPECT_EQ(b->OutputSide, Right);
  ASSERT_EQ(b->Model.Variables.size(), 4u);
  EXPECT_EQ(b->Model.Variables[3].Name, "Y");

  b->Model = fuzzytest::SmallModel();
  ASSERT_EQ(CompileRules(b->Model, "ЕСЛИ X1 ЕСТЬ A И X3 ЕСТЬ C ТО Y ЕСТЬ W\n").Line, -1);
  TSignal top(0.5), bottom(1.0);
  b->Inputs[Top] = &top;
  b->Inputs[Bottom] = &bottom;
  b->Model.Variables[1].Value = 9;  // X2 has no input: it reads 0
  b->Start();
  b->Step();
  EXPECT_DOUBLE_EQ(b->Output, 3.0);
  EXPECT_EQ(b->Model.Variables[1].Value, 0.0);

  // With no rule firing, the output variable keeps the 0 it was given.
  top.Output = 5;
  b->Step();
  EXPECT_EQ(b->Output, 0.0);

  // An unnamed variable at the output side leaves Output alone; so do
  // variables beyond the four sides.
  b->Model.Variables[3].Name.clear();
  b->Output = 42;
  b->Step();
  EXPECT_EQ(b->Output, 42);
  b->Model.Variables.resize(2);
  b->Step();
  EXPECT_EQ(b->Output, 42);
}

TEST_F(BlockTest, FuzzyBlockCheckWantsItsOutputOnTheConfiguredSide) {
  auto b = Make<TFuzzyBlock>(38);
  b->OutSide = Right;
  b->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  b->OutputSide = Bottom;
  b->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 36);
}

// A proportional fuzzy controller (u = e on [-2, 2] through two ramps)
// closing a loop around an integrator: the error decays like e^-t.
TEST_F(BlockTest, FuzzyControllerClosesALoopInTransientAndPhaseRuns) {
  auto f = CreateField();
  TSchemeBuilder sb(*f);
  sb.Block(2, 2, 0, {1.0});
  sb.Block(4, 2, 2);
  auto* fz = static_cast<TFuzzyBlock*>(sb.Block(6, 2, 38));
  sb.Block(8, 2, 7, {1.0, 0.0});
  sb.Line({{2, 2}, {4, 2}});
  sb.Line({{4, 2}, {6, 2}});
  sb.Line({{6, 2}, {8, 2}});
  sb.Line({{8, 2}, {11, 2}});
  sb.Line({{9, 2}, {9, 4}, {4, 4}, {4, 2}});
  sb.Point(0, 11, 2);
  sb.Point(1, 5, 2);
  f->Step = 0.01;
  f->AutoStep = 0;
  TFuzzyModel& m = fz->Model;
  m.Variables = {{"", 0}, {"E", 0}, {"", 0}, {"U", 0}};
  AddTerm(m, "NEG", 1, fuzzytest::Shape({{-2.0001, 0}, {-2, 1}, {2, 0}}));
  AddTerm(m, "POS", 1, fuzzytest::Shape({{-2, 0}, {2, 1}, {2.0001, 0}}));
  // Output singletons at -2 and 2 (narrow spikes): u = 2 (pos - neg) / (pos + neg) = e.
  AddTerm(m, "UN", 3, fuzzytest::Triangle(-2.0001, -2, -1.9999));
  AddTerm(m, "UP", 3, fuzzytest::Triangle(1.9999, 2, 2.0001));
  ASSERT_EQ(CompileRules(m, "ЕСЛИ E ЕСТЬ NEG ТО U ЕСТЬ UN\nЕСЛИ E ЕСТЬ POS ТО U ЕСТЬ UP\n").Line, -1);

  PrepareRun(*f);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  TTransientRun run;
  run.Open(*f, 3.0, ShownPoints(*f));
  ASSERT_TRUE(run.RunSegment());
  const size_t i = static_cast<size_t>(std::lround(1.0 / run.Dt));
  EXPECT_NEAR(run.Samples.At(i * run.Observed.size() + 0), 1 - std::exp(-1.0), 0.01);

  run.Close();
  // The phase portrait of the error against the output: e = 1 - y.
  PrepareRun(*f);
  TPhaseRun phase;
  phase.Open(*f, 0, 1, 3.0);
  ASSERT_TRUE(phase.RunPage());
  phase.Close();
  ASSERT_GT(phase.PairCount(), 100u);
  EXPECT_NEAR(phase.Samples.At(2 * 100) + phase.Samples.At(2 * 100 + 1), 1.0, 1e-5);

  // The output taken from another side than the configured one: error 36
  // at the block's cell.
  fz->OutputSide = Bottom;
  PrepareRun(*f);
  EXPECT_EQ(Prog.Err.ErrorCode, 36);
  EXPECT_EQ(Prog.Err.ErrorCol, 6);
  EXPECT_EQ(Prog.Err.ErrorRow, 2);
}

// The shipped fuzzy PD loop: 49 rules, and a step response that rises
// without oscillating about the reference and settles on it.
TEST_F(BlockTest, ShippedFuzzyPdLoopSettlesOnTheReference) {
  auto f = CreateField();
  ASSERT_EQ(LoadField(*f, std::string(VEMO_SOURCE_DIR) + "/examples/fuzzy_pd.vmo"), TLoadResult::Ok);
  auto* fz = dynamic_cast<TFuzzyBlock*>(f->Cell(7, 4));
  ASSERT_TRUE(fz);
  EXPECT_EQ(RuleCount(fz->Model), 49u);
  EXPECT_EQ(fz->Model.Method, kMaxMin);
  PrepareRun(*f);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  TTransientRun run;
  run.Open(*f, Prog.Clock.ViewTime, {0});
  ASSERT_TRUE(run.RunSegment());
  double peak = 0;
  for (size_t i = 0; i < run.Samples.Count(); ++i) peak = std::max<double>(peak, run.Samples.At(i));
  EXPECT_LT(peak, 1.01);
  EXPECT_NEAR(run.Samples.At(run.Samples.Count() - 1), 1.0, 0.001);
  EXPECT_NEAR(run.Samples.At(static_cast<size_t>(std::lround(0.5 / run.Dt))), 0.46, 0.02);
}

}  // namespace
}  // namespace vemo
