// The fuzzy block in schemes: its check, its step and runs of a loop.
#include <gtest/gtest.h>

#include <cmath>

#include "core/blocks/block_test_support.h"
#include "core/fuzzy/fuzzy_test_support.h"
#include "fuzzy/fuzzy_block.h"
#include "model/compile.h"
#include "model/project_file.h"
#include "optimisation/criterion.h"
#include "optimisation/field_evaluator.h"
#include "optimisation/optimise.h"
#include "shell/settings.h"
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

// A controller whose rules pass through a fifth variable V, which no side
// feeds: V is set by one rule and read by the next only at the following
// step (the centroids are written after all rules), so it holds state from
// step to step. The loop closes around an integrator whose gain (marked for
// optimisation) is the plant's parameter; the error is view point 0.
TFuzzyBlock* StatefulLoop(TField& f) {
  TSchemeBuilder sb(f);
  sb.Block(2, 2, 0, {1.0});
  sb.Block(4, 2, 2);
  auto* fz = static_cast<TFuzzyBlock*>(sb.Block(6, 2, 38));
  static_cast<TParamBlock*>(sb.Block(8, 2, 7, {0.5, 0.0}))->OptMask = 1;
  sb.Line({{2, 2}, {4, 2}});
  sb.Line({{4, 2}, {6, 2}});
  sb.Line({{6, 2}, {8, 2}});
  sb.Line({{8, 2}, {11, 2}});
  sb.Line({{9, 2}, {9, 4}, {4, 4}, {4, 2}});
  sb.Point(0, 5, 2);
  f.Step = 0.05;
  f.AutoStep = 0;
  TFuzzyModel& m = fz->Model;
  m.Variables = {{"", 0}, {"E", 0}, {"", 0}, {"U", 0}, {"V", 0}};
  AddTerm(m, "NEG", 1, fuzzytest::Shape({{-2.0001, 0}, {-2, 1}, {2, 0}}));
  AddTerm(m, "POS", 1, fuzzytest::Shape({{-2, 0}, {2, 1}, {2.0001, 0}}));
  AddTerm(m, "VN", 4, fuzzytest::Shape({{-2.0001, 0}, {-2, 1}, {2, 0}}));
  AddTerm(m, "VP", 4, fuzzytest::Shape({{-2, 0}, {2, 1}, {2.0001, 0}}));
  AddTerm(m, "UN", 3, fuzzytest::Triangle(-2.0001, -2, -1.9999));
  AddTerm(m, "UP", 3, fuzzytest::Triangle(1.9999, 2, 2.0001));
  EXPECT_EQ(CompileRules(m, "ЕСЛИ E ЕСТЬ NEG ТО V ЕСТЬ VN\nЕСЛИ E ЕСТЬ POS ТО V ЕСТЬ VP\n"
                            "ЕСЛИ V ЕСТЬ VN ТО U ЕСТЬ UN\nЕСЛИ V ЕСТЬ VP ТО U ЕСТЬ UP\n")
                .Line,
            -1);
  return fz;
}

// Every run starts from the state of a freshly read block: a run does not
// depend on the runs before it, and the copies the optimiser runs on (made
// through the project data, which holds no values) compute what the field
// computes.
TEST_F(BlockTest, FuzzyRunsDoNotCarryStateAndOptimiseAlikeOnCopies) {
  auto f = CreateField();
  TFuzzyBlock* fz = StatefulLoop(*f);
  PrepareRun(*f);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  TCriterionSetup crit;
  crit.ViewTime = 2;
  const double first = Criterion(*f, crit, {});
  EXPECT_NE(fz->Model.Variables[4].Value, 0.0);
  EXPECT_EQ(Criterion(*f, crit, {}), first);
  auto copy = Clone(*f);
  copy->Step = f->Step;
  copy->AutoStep = 0;
  PrepareRun(*copy);
  EXPECT_EQ(Criterion(*copy, crit, {}), first);

  ASSERT_TRUE(CanRunOnCopies(*f));
  TSettings s;
  s.ZondCount = 6;
  s.SpeedDownIters = 4;
  double chosen[2] = {0, 0};
  long runs[2] = {0, 0};
  for (unsigned workers : {1u, 3u}) {
    ResetProgramState();
    f = CreateField();
    StatefulLoop(*f);
    PrepareRun(*f);
    ASSERT_EQ(BindMarkedParams(MarkedParams(*f)), 1);
    OptState().Params[0].Lower = 0.1;
    OptState().Params[0].Upper = 4;
    // The field's block has run before: its variables hold values.
    (void)Criterion(*f, crit, {});
    TOptRunOptions o;
    o.Method = kCoordinateDescent;
    o.Setup = crit;
    o.Workers = workers;
    TOptProgress progress;
    const TOptOutcome out = RunOptimisation(*f, s, o, progress);
    EXPECT_EQ(out.Parallel, workers > 1);
    runs[workers > 1] = out.Runs;
    chosen[workers > 1] = *OptState().Params[0].Value;
  }
  EXPECT_EQ(runs[0], runs[1]);
  EXPECT_EQ(chosen[0], chosen[1]);  // to the bit
}

}  // namespace
}  // namespace vemo
