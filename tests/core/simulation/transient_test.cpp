// The transient response run: segments, the sample limit, the scale rules,
// math faults, the curve text, the sample store and the grid step.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "core/model/test_support.h"
#include "model/scheme_builder.h"
#include "simulation/engine.h"
#include "simulation/plot_axes.h"
#include "simulation/sample_store.h"
#include "simulation/transient.h"

namespace vemo {
namespace {

class TransientTest : public testing::ProgramTest {
 protected:
  // A constant of value c observed at point A on the end of its line.
  void ConstantScheme(double c) {
    B.Block(2, 2, 0, {c});
    B.Line({{2, 2}, {5, 2}});
    B.Point(0, 5, 2);
    F->AutoStep = 0;
    F->Step = 0.1;
  }
  void Open(double viewTime) {
    PrepareRun(*F);
    ASSERT_EQ(Prog.Err.ErrorCode, 0);
    Run.Open(*F, viewTime, ShownPoints(*F));
  }
  std::unique_ptr<TField> F = CreateField();
  TSchemeBuilder B{*F};
  TTransientRun Run;
};

TEST_F(TransientTest, HugeValuesAreStoredAtTheLimit) {
  B.Block(2, 2, 0, {1e25});
  B.Block(2, 6, 0, {-1e25});
  B.Line({{2, 2}, {5, 2}});
  B.Line({{2, 6}, {5, 6}});
  B.Point(0, 5, 2);
  B.Point(3, 5, 6);
  F->AutoStep = 0;
  F->Step = 0.5;
  Open(1.0);
  ASSERT_TRUE(Run.RunSegment());
  ASSERT_EQ(Run.Observed, (std::vector<int>{0, 3}));
  ASSERT_EQ(Run.StepCount(), 2u);
  EXPECT_EQ(Run.Samples.At(0), static_cast<float>(1e20));
  EXPECT_EQ(Run.Samples.At(1), static_cast<float>(-1e20));
  EXPECT_EQ(Run.Samples.At(2), static_cast<float>(1e20));
  EXPECT_FALSE(Run.MathError);
}

TEST_F(TransientTest, AutoScaleIncludesZeroAndWidensAFlatRange) {
  struct Case { double c, min, max; };
  for (const Case& k : {Case{3.0, 0.0, 3.0}, Case{-2.0, -2.0, 0.0}, Case{0.0, -1e-7, 1e-7}}) {
    SCOPED_TRACE(k.c);
    auto f = CreateField();
    TSchemeBuilder b(*f);
    b.Block(2, 2, 0, {k.c});
    b.Line({{2, 2}, {5, 2}});
    b.Point(0, 5, 2);
    PrepareRun(*f);
    ASSERT_EQ(Prog.Err.ErrorCode, 0);
    TTransientRun run;
    run.Open(*f, 2.0, ShownPoints(*f));
    ASSERT_TRUE(run.RunSegment());
    EXPECT_DOUBLE_EQ(run.Scale.Min, k.min);
    EXPECT_DOUBLE_EQ(run.Scale.Max, k.max);
    run.Close();
  }
}

TEST_F(TransientTest, PerPointScalesWithoutSingleScale) {
  B.Block(2, 2, 0, {4.0});
  B.Block(2, 6, 0, {0.0});
  B.Line({{2, 2}, {5, 2}});
  B.Line({{2, 6}, {5, 6}});
  B.Point(0, 5, 2);
  B.Point(1, 5, 6);
  F->AutoStep = 0;
  F->Step = 0.1;
  Run.Scale.SingleScale = false;
  Open(1.0);
  ASSERT_TRUE(Run.RunSegment());
  EXPECT_DOUBLE_EQ(F->Points[0].Low, 4.0 - 1e-7);  // a flat curve is widened around itself
  EXPECT_DOUBLE_EQ(F->Points[0].High, 4.0 + 1e-7);
  EXPECT_DOUBLE_EQ(F->Points[1].Low, -1e-7);
  EXPECT_DOUBLE_EQ(F->Points[1].High, 1e-7);
}

TEST_F(TransientTest, SegmentsContinueFromTheTimeReached) {
  ConstantScheme(1.0);
  F->Step = 0.125;  // exact in binary: the segment ends land on the step grid
  Open(10.0);
  EXPECT_EQ(Run.ViewStart, -0.5);
  ASSERT_TRUE(Run.RunSegment());
  EXPECT_EQ(Run.T, 10.0);
  EXPECT_EQ(Run.ViewEnd, 10.0);
  EXPECT_EQ(Run.StepCount(), 80u);
  ASSERT_TRUE(Run.RunSegment());  // "Далее": [t - 0.05 VT, t + VT]
  EXPECT_EQ(Run.ViewStart, 9.5);
  EXPECT_EQ(Run.T, 20.0);
  EXPECT_EQ(Run.StepCount(), 160u);
  ASSERT_TRUE(Run.RunSegment());  // the span stays end minus clamped start: 20 - 9.5
  EXPECT_EQ(Run.ViewStart, 19.5);
  EXPECT_EQ(Run.T, 30.5);
}

TEST_F(TransientTest, DivergingLoopEndsWithTheMathErrorMessage) {
  // Positive feedback around an integrator with gain 1000: y grows like e^(1000 t).
  B.Block(2, 2, 0);
  B.Block(4, 2, 1);
  B.Block(7, 2, 7, {1000.0});
  B.Line({{2, 2}, {4, 2}});
  B.Line({{4, 2}, {7, 2}});
  B.Line({{7, 2}, {10, 2}});
  B.Line({{9, 2}, {9, 5}, {4, 5}, {4, 2}});
  B.Point(0, 10, 2);
  F->AutoStep = 0;
  F->Step = 0.01;
  Open(10.0);
  EXPECT_FALSE(Run.RunSegment());
  EXPECT_TRUE(Run.MathError);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0], "Мат.ошибка. Возможно в системе сильно расходящийся процесс!");
  EXPECT_LT(Run.T, 9.0);
  EXPECT_GT(Run.StepCount(), 10u);
  EXPECT_NEAR(Run.ViewEnd, Run.T, 1e-12);
  // Samples up to the fault are kept, limited to 1e20.
  EXPECT_EQ(Run.Samples.At(Run.Samples.Count() - 1), static_cast<float>(1e20));
  Run.Close();
}

TEST_F(TransientTest, FaultsRaisedWhileTheWindowRepaintsAreNotTheModels) {
  // The progress callback stands for the window's event handling, whose
  // painting may leave fault flags behind; the run goes on undisturbed.
  ConstantScheme(1.0);
  F->Step = 0.01;
  Open(10.0);
  int calls = 0;
  Run.Progress = [&](double) {
    ++calls;
    std::feraiseexcept(FE_INVALID | FE_DIVBYZERO);
    return true;
  };
  EXPECT_TRUE(Run.RunSegment());
  EXPECT_GT(calls, 3);
  EXPECT_FALSE(Run.MathError);
  EXPECT_TRUE(Dialogs.Messages.empty());
  Run.Close();
}

TEST_F(TransientTest, CurveTextHasTimeAndSampleOfOnePoint) {
  B.Block(2, 2, 0, {1.0});
  B.Block(2, 6, 0, {-0.25});
  B.Line({{2, 2}, {5, 2}});
  B.Line({{2, 6}, {5, 6}});
  B.Point(1, 5, 2);
  B.Point(3, 5, 6);
  F->AutoStep = 0;
  F->Step = 0.5;
  Open(1.0);
  ASSERT_TRUE(Run.RunSegment());
  EXPECT_EQ(Run.CurveText(1),
            " 0.00000000000000E+0000 -2.50000000000000E-0001\r\n"
            " 5.00000000000000E-0001 -2.50000000000000E-0001\r\n");
  EXPECT_EQ(Run.CurveText(0).substr(0, 49), " 0.00000000000000E+0000  1.00000000000000E+0000\r\n");
}

TEST_F(TransientTest, ModelTimeIsTheStepCountTimesTheStep) {
  // Adding 0.1 ten thousand times drifts from k·0.1; the run's clock does not.
  ConstantScheme(1.0);
  F->Step = 0.1;
  Open(1000.0);
  int64_t wrong = 0, seen = 0;
  Run.StepSink = [&](int64_t k, const float* samples) {
    wrong += Prog.Clock.SimTime != static_cast<double>(k) * 0.1 || samples[0] != 1.0f;
    ++seen;
  };
  ASSERT_TRUE(Run.RunSegment());
  EXPECT_EQ(seen, 10000);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(Run.T, 10000 * 0.1);
  Run.Close();
}

TEST_F(TransientTest, EndlessRunsAreRefusedBeforeTheFirstStep) {
  // A stored step far below the dialog's limit, an endless view time: each
  // would run for ever (t + dt == t) or for 10^13 steps.
  for (double step : {1e-12, 0.01}) {
    SCOPED_TRACE(step);
    ResetProgramState();
    Prog.Dialogs = &Dialogs;
    Dialogs.Messages.clear();
    auto f = CreateField();
    TSchemeBuilder b(*f);
    b.Block(2, 2, 0, {1.0});
    b.Line({{2, 2}, {5, 2}});
    b.Point(0, 5, 2);
    f->AutoStep = 0;
    f->Step = step;
    PrepareRun(*f);
    ASSERT_EQ(Prog.Err.ErrorCode, 0);
    TTransientRun run;
    run.Open(*f, step < 1e-9 ? 10.0 : HUGE_VAL, ShownPoints(*f));
    EXPECT_FALSE(run.RunSegment());
    EXPECT_EQ(run.StepCount(), 0u);
    EXPECT_FALSE(run.MathError);
    EXPECT_EQ(Dialogs.Messages, std::vector<std::string>{"Недопустимое значение параметра!"});
    run.Close();
  }
}

TEST_F(TransientTest, WithoutKeptSamplesEveryStepGoesToTheSinkOnly) {
  ConstantScheme(2.0);
  Open(1.0);
  Run.KeepSamples = false;
  std::vector<float> got;
  Run.StepSink = [&](int64_t, const float* samples) { got.push_back(samples[0]); };
  ASSERT_TRUE(Run.RunSegment());
  EXPECT_EQ(got, std::vector<float>(10, 2.0f));
  EXPECT_EQ(Run.Samples.Count(), 0u);
}

using SampleStoreTest = testing::ProgramTest;
using NiceStepTest = testing::ProgramTest;

TEST_F(SampleStoreTest, PagesAreAddedAsSamplesArrive) {
  TSampleStore s;
  EXPECT_EQ(s.At(0), 0.0f);
  const size_t n = TSampleStore::kPageSize * 2 + 3;
  for (size_t i = 0; i < n; ++i) s.Append(static_cast<float>(i));
  EXPECT_EQ(s.Count(), n);
  EXPECT_EQ(s.At(TSampleStore::kPageSize - 1), float(TSampleStore::kPageSize - 1));
  EXPECT_EQ(s.At(TSampleStore::kPageSize), float(TSampleStore::kPageSize));
  EXPECT_EQ(s.At(n - 1), float(n - 1));
  EXPECT_EQ(s.At(n), 0.0f);
  TSampleStore::TCursor c(s, n - 2);
  EXPECT_EQ(c.Next(), float(n - 2));
  EXPECT_EQ(c.Next(), float(n - 1));
  EXPECT_EQ(c.Next(), 0.0f);
  EXPECT_EQ(c.Next(), 0.0f);
  s.Clear();
  EXPECT_EQ(s.Count(), 0u);
  EXPECT_EQ(s.At(0), 0.0f);
}

TEST_F(NiceStepTest, GridSteps) {
  struct Case { double r, step; };
  const Case cases[] = {
      {0.0, 5e-11}, {1e-11, 5e-11}, {1.0, 0.2},  {10.0, 2.0},   {7.5, 1.5},
      {5.0, 1.0},   {3.0, 0.5},     {2.0, 0.25}, {1.1, 0.2},    {123.0, 20.0},
      {1000.0, 200.0}, {0.5, 0.1},  {0.3, 0.05}, {0.02, 0.0025},
      // An exact negative power of ten takes the decade below.
      {0.01, 0.0015}, {0.1, 0.015},
  };
  for (const Case& c : cases) EXPECT_NEAR(NiceStep(c.r), c.step, c.step * 1e-12) << "r = " << c.r;
}

}  // namespace
}  // namespace vemo
