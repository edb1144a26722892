// The phase portrait run: pairs in the store, the derivative mode and the
// text file with the ordinate first.
#include <gtest/gtest.h>

#include <cmath>

#include "model/scheme_builder.h"
#include "shell/program.h"
#include "simulation/engine.h"
#include "simulation/phase.h"

using namespace vemo;

namespace {

// x = sin t from a harmonic source of 1/(2 pi) Hz, observed by point A.
std::unique_ptr<TField> SineField(double step) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(2, 2, 115, {1.0, 1.0 / (2 * M_PI), 0.0});
  b.Line({{2, 2}, {4, 2}});
  b.Point(0, 4, 2);
  f->Step = step;
  f->AutoStep = 0;
  return f;
}

TEST(PhaseRunTest, DerivativeOfASineApproachesTheUnitCircle) {
  ResetProgramState();
  auto f = SineField(0.001);
  PrepareRun(*f);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  TPhaseRun run;
  run.Open(*f, 0, kDerivativeOrdinate, 2 * M_PI);
  ASSERT_TRUE(run.RunPage());
  run.Close();
  // The first step has no previous value and is not recorded.
  EXPECT_EQ(run.PairCount(), static_cast<size_t>(std::ceil(2 * M_PI / 0.001)) - 1);
  double worst = 0;
  for (size_t i = 0; i < run.PairCount(); ++i) {
    const double x = run.Samples.At(2 * i), y = run.Samples.At(2 * i + 1);
    worst = std::max(worst, std::fabs(std::hypot(x, y) - 1.0));
  }
  EXPECT_LT(worst, 1e-3);
  EXPECT_NEAR(run.MaxX, 1.0, 1e-6);
  EXPECT_NEAR(run.MinY, -1.0, 1e-3);
}

TEST(PhaseRunTest, TextPutsTheOrdinateFirstAndPagesContinue) {
  ResetProgramState();
  auto f = SineField(0.1);
  TSchemeBuilder b(*f);
  b.Block(2, 6, 0, {3.0});
  b.Line({{2, 6}, {4, 6}});
  b.Point(1, 4, 6);
  PrepareRun(*f);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  TPhaseRun run;
  run.Open(*f, 0, 1, 0.25);
  ASSERT_TRUE(run.RunPage());
  EXPECT_EQ(run.PairCount(), 3u);
  ASSERT_TRUE(run.RunPage());  // "Далее" continues from the reached time
  EXPECT_EQ(run.PairCount(), 6u);
  run.Close();
  const std::string text = run.Text();
  EXPECT_EQ(text.substr(0, 49), " 3.00000000000000E+0000  0.00000000000000E+0000\r\n");
}

TEST(PhaseRunTest, PagesCountTheirStepsAndStreamTheirPairs) {
  ResetProgramState();
  auto f = SineField(0.1);
  PrepareRun(*f);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  TPhaseRun run;
  run.KeepSamples = false;
  int64_t pairs = 0, wrong = 0;
  run.PairSink = [&](float, float) {
    wrong += Prog.Clock.SimTime != static_cast<double>(run.Steps) * 0.1;
    ++pairs;
  };
  run.Open(*f, 0, 0, 1000.0);
  ASSERT_TRUE(run.RunPage());
  EXPECT_EQ(pairs, 10000);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(run.PairCount(), 0u);
  // A page of more than 10^9 steps is refused without a step.
  run.PageTime = 1e9;
  EXPECT_FALSE(run.RunPage());
  EXPECT_EQ(pairs, 10000);
  run.Close();
}

}  // namespace
