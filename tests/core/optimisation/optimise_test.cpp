// The criterion on real schemes against closed forms, the marked-parameter
// table, whole runs on the field and on copies of it (the same points and
// run counts either way), cancellation, and the remaining-time display.
#include <gtest/gtest.h>

#include <cmath>

#include "core/model/test_support.h"
#include "fuzzy/fuzzy_block.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "optimisation/criterion.h"
#include "optimisation/field_evaluator.h"
#include "optimisation/optimise.h"
#include "optimisation/progress.h"
#include "scheme_fixtures.h"
#include "shell/settings.h"
#include "simulation/engine.h"

namespace vemo {
namespace {

using testing::BuildGainError;

class OptimiseTest : public testing::ProgramTest {
 protected:
  TParamBlock* Gain(double K, double step = 0.01) {
    auto* g = static_cast<TParamBlock*>(BuildGainError(*F, K));
    F->AutoStep = 0;
    F->Step = step;
    PrepareRun(*F);
    EXPECT_EQ(Prog.Err.ErrorCode, 0);
    return g;
  }
  // Steps of a run over T with step dt: the k with k·dt < T.
  static long Steps(double T, double dt) {
    long n = 0;
    while (static_cast<double>(n) * dt < T) ++n;
    return n;
  }
  std::unique_ptr<TField> F = CreateField();
};

TEST_F(OptimiseTest, CriteriaMatchTheirClosedForms) {
  // An even and an odd number of steps (the terms are summed in pairs).
  for (const double T : {2.0, 2.03}) {
    SCOPED_TRACE(T);
    const double K = 0.25, e = 1 - K, dt = 0.01;
    F = CreateField();
    auto* g = Gain(K, dt);
    TCriterionSetup crit;
    crit.ViewTime = T;
    const long n = Steps(T, dt);
    crit.Critery = 0;
    EXPECT_NEAR(Criterion(*F, crit, {}), e * e * n * dt, 1e-12);
    // The derivative sees the jump from the zero history at the first step only.
    crit.Critery = 1;
    crit.WeightY = 3;
    crit.WeightDY = 2;
    const double first = std::pow(3 * e + 2 * e / dt, 2) * dt, rest = std::pow(3 * e, 2) * dt;
    EXPECT_NEAR(Criterion(*F, crit, {}) / (first + (n - 1) * rest), 1.0, 1e-12);
    crit.Critery = 2;
    crit.WeightD2Y = 4;
    const double s1 = std::pow(3 * e + 2 * e / dt + 4 * e / (dt * dt), 2) * dt;
    const double s2 = std::pow(3 * e + 4 * e / (dt * dt), 2) * dt;  // e - 2e + 0
    EXPECT_NEAR(Criterion(*F, crit, {}) / (s1 + s2 + (n - 2) * rest), 1.0, 1e-12);
    // An error beyond 1e8 ends the run with 1e30, a NaN too.
    for (const double bad : {2e8, std::nan("")}) {
      g->Params[0] = bad;
      crit.Critery = 0;
      EXPECT_EQ(Criterion(*F, crit, {}), 1e30);
    }
  }
}

TEST_F(OptimiseTest, MarkedParametersFollowTheRunListAndKeepTheirRanges) {
  auto* g = Gain(0.0);
  g->OptMask = 0b1;
  auto* c = static_cast<TParamBlock*>(F->Cell(2, 2));
  c->OptMask = 0b1;
  auto marked = MarkedParams(*F);
  ASSERT_EQ(marked.size(), 2u);
  EXPECT_EQ(marked[0].Block, c);  // the constant runs first
  EXPECT_EQ(marked[1].Block, g);
  EXPECT_EQ(marked[1].Cell, 4 * 200 + 5);
  EXPECT_EQ(BindMarkedParams(marked), 2);
  OptState().Params[1].Lower = -3;
  OptState().Params[1].Upper = 3;
  OptState().Params[1].LogScale = 1;
  // Unmarking the constant: entry 0 is now the gain, with entry 0's range.
  c->OptMask = 0;
  EXPECT_EQ(BindMarkedParams(MarkedParams(*F)), 1);
  EXPECT_EQ(OptState().Params[0].Value, &g->Params[0]);
  EXPECT_EQ(OptState().Params[0].Lower, 0.0);
  EXPECT_EQ(OptState().Params[1].Upper, 3.0);
}

TEST_F(OptimiseTest, EachMethodTunesTheGainToOne) {
  for (int method : {kProbeSearch, kCoordinateDescent, kGradientDescent}) {
    SCOPED_TRACE(method);
    F = CreateField();
    auto* g = Gain(0.0, 0.1);
    g->OptMask = 1;
    BindMarkedParams(MarkedParams(*F));
    OptState().Params[0].Lower = -2;
    OptState().Params[0].Upper = 2;
    TSettings s;
    s.ZondCount = 9;
    TOptRunOptions o;
    o.Method = method;
    o.Setup.Critery = 0;
    o.Setup.ViewTime = 1;
    TOptProgress progress;
    const TOptOutcome out = RunOptimisation(*F, s, o, progress);
    EXPECT_FALSE(out.Stopped);
    EXPECT_EQ(OptState().RunsDone, out.Runs);
    EXPECT_NEAR(g->Params[0], 1.0, method == kGradientDescent ? 0.05 : 1e-3);
    EXPECT_EQ(progress.Gauge(), static_cast<int>(std::lround(1000.0 * out.Runs /
                                                              EstimateRuns(method, s, 1))));
  }
}

// A scheme with state and two parameters: the error 1 - y, y the unit
// constant through a gain and an aperiodic element (its time constant).
void TwoParameters(TField& f) {
  TSchemeBuilder b(f);
  b.Block(2, 2, 0, {1.0});
  b.Block(8, 2, 2, {});
  static_cast<TParamBlock*>(b.Block(4, 5, 6, {0.3}))->OptMask = 1;
  static_cast<TParamBlock*>(b.Block(6, 5, 10, {0.5, 1.0}))->OptMask = 1;
  b.Line({{2, 2}, {8, 2}});
  b.Line({{4, 2}, {4, 5}});
  b.Line({{4, 5}, {6, 5}});
  b.Line({{6, 5}, {8, 5}, {8, 2}});
  b.Line({{8, 2}, {10, 2}});
  b.Point(0, 9, 2);
  f.AutoStep = 0;
  f.Step = 0.02;
}

// The shipped fuzzy PD loop with the plant's time constant and gain marked.
void FuzzyLoop(TField& f) {
  ASSERT_EQ(LoadField(f, std::string(VEMO_SOURCE_DIR) + "/examples/fuzzy_pd.vmo"), TLoadResult::Ok);
  static_cast<TParamBlock*>(f.Cell(9, 4))->OptMask = 0b11;
}

// Tunes the two marked parameters of the scheme `build` makes, on the field
// itself (one worker) or on copies; the values found, the runs done.
struct TTuned {
  std::vector<double> Values;
  long Runs = 0;
  bool Parallel = false;
};
TTuned Tune(void (*build)(TField&), int method, unsigned workers, double viewTime) {
  TSettings s;
  s.ZondCount = 6;
  s.SpeedDownIters = 4;
  s.GradDownIters = 15;
  ResetProgramState();
  auto f = CreateField();
  build(*f);
  PrepareRun(*f);
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_EQ(BindMarkedParams(MarkedParams(*f)), 2);
  OptState().Params[0].Lower = 0.1;
  OptState().Params[0].Upper = 2;
  OptState().Params[1].LogScale = 1;
  OptState().Params[1].Lower = 0.2;
  OptState().Params[1].Upper = 3;
  TOptRunOptions o;
  o.Method = method;
  o.Setup.ViewTime = viewTime;
  o.Workers = workers;
  TOptProgress progress;
  const TOptOutcome out = RunOptimisation(*f, s, o, progress);
  TTuned t;
  for (int i = 0; i < 2; ++i) t.Values.push_back(*OptState().Params[i].Value);
  t.Runs = out.Runs;
  t.Parallel = out.Parallel;
  return t;
}

TEST_F(OptimiseTest, RunsOnCopiesChooseWhatTheSequentialRunChooses) {
  struct {
    void (*Build)(TField&);
    double ViewTime;
  } schemes[] = {{TwoParameters, 3.0}, {FuzzyLoop, 1.0}};
  for (const auto& scheme : schemes) {
    SCOPED_TRACE(scheme.ViewTime);
    for (int method : {kProbeSearch, kCoordinateDescent, kGradientDescent}) {
      SCOPED_TRACE(method);
      const TTuned one = Tune(scheme.Build, method, 1, scheme.ViewTime);
      const TTuned three = Tune(scheme.Build, method, 3, scheme.ViewTime);
      EXPECT_FALSE(one.Parallel);
      EXPECT_TRUE(three.Parallel);
      EXPECT_EQ(one.Runs, three.Runs);
      EXPECT_EQ(one.Values, three.Values);  // to the bit
    }
  }
}

TEST_F(OptimiseTest, CancelEndsARunUnderWay) {
  // One run of a million seconds would take minutes; the display cancels
  // the first time it is shown.
  for (unsigned workers : {1u, 2u}) {
    SCOPED_TRACE(workers);
    F = CreateField();
    auto* g = Gain(0.0, 0.01);
    g->OptMask = 1;
    BindMarkedParams(MarkedParams(*F));
    OptState().Params[0].Upper = 1;
    TSettings s;
    TOptRunOptions o;
    o.Method = kGradientDescent;
    o.Setup.ViewTime = 1e6;
    o.Workers = workers;
    TOptProgress progress;
    const TOptOutcome out = RunOptimisation(*F, s, o, progress, [] { OptState().Stop = 1; });
    EXPECT_TRUE(out.Stopped);
    EXPECT_EQ(out.Runs, 1);
    EXPECT_EQ(g->Params[0], 0.0);
  }
}

TEST_F(OptimiseTest, CopiesAreNotUsedForPluginOrParameterControlBlocks) {
  Gain(0.5);
  EXPECT_TRUE(CanRunOnCopies(*F));
  TSchemeBuilder(*F).Block(20, 20, 40);
  F->Cell(20, 20)->AsBlock()->RunNext = F->RunList;  // as if compiled in
  F->RunList = F->Cell(20, 20)->AsBlock();
  EXPECT_FALSE(CanRunOnCopies(*F));
}

TEST(OptProgress, RemainingTimeNeverJittersDownByASecondOrTwo) {
  int64_t now = 0;
  TOptProgress p([&now] { return now; });
  p.Start(100, 1.0);  // 100 runs of 1 s of model time
  EXPECT_EQ(p.Label(), "-- мин -- сек");
  p.Update(0.0);
  EXPECT_EQ(p.Label(), "-- мин -- сек");
  now = 1000;
  p.Update(10.0);  // 10% in 1 s: 9 s left
  EXPECT_EQ(p.Gauge(), 100);
  EXPECT_EQ(p.Label(), "0 мин 09 сек");
  now = 1500;
  p.Update(20.0);  // 6 s left: more than two below 9, shown
  EXPECT_EQ(p.Label(), "0 мин 06 сек");
  now = 2500;
  p.Update(35.0);  // 5 s: one below, kept
  EXPECT_EQ(p.Label(), "0 мин 06 сек");
  now = 4000;
  p.Update(40.0);  // 6 s again; then 7 s: up at once
  EXPECT_EQ(p.Label(), "0 мин 06 сек");
  now = 5000;
  p.Update(42.0);
  EXPECT_EQ(p.Label(), "0 мин 07 сек");
  now = 600000;
  p.Update(50.0);  // 600 s left
  EXPECT_EQ(p.Label(), "10 мин 00 сек");
  now = 10000000;
  p.Update(0.5);  // 2000 million seconds
  EXPECT_EQ(p.Label(), "До вечера не управлюсь!");
  EXPECT_EQ(p.Gauge(), 5);
  now = 10000001;
  p.Update(99.0);  // and back to a real estimate, whatever was shown before
  EXPECT_EQ(p.Label(), "1 мин 42 сек");
  EXPECT_EQ(p.Gauge(), 990);
}

}  // namespace
}  // namespace vemo
