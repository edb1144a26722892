// The example projects shipped in examples/: each loads and saves back to
// the same bytes, and they simulate to the known answers. That they are what
// the example generator writes is checked by the command-line tests, which
// run the generator itself.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "core/model/test_support.h"
#include "model/project_file.h"
#include "simulation/engine.h"
#include "simulation/transient.h"

namespace vemo {
namespace {

using testing::ReadBytes;

std::string ExampleFile(const char* name) { return std::string(VEMO_SOURCE_DIR) + "/examples/" + name; }

class ExamplesTest : public testing::ProgramTest {
 protected:
  // Loads an example, prepares it and runs one segment over its view time.
  void Run(const char* name, TTransientRun& run, std::unique_ptr<TField>& f) {
    f = CreateField();
    ASSERT_EQ(LoadField(*f, ExampleFile(name)), TLoadResult::Ok) << name;
    PrepareRun(*f);
    ASSERT_EQ(Prog.Err.ErrorCode, 0) << name;
    run.Open(*f, Prog.Clock.ViewTime, ShownPoints(*f));
    ASSERT_TRUE(run.RunSegment());
  }
  double At(const TTransientRun& run, double t, int observed) {
    const size_t i = static_cast<size_t>(std::lround(t / run.Dt));
    return run.Samples.At(i * run.Observed.size() + observed);
  }
};

TEST_F(ExamplesTest, EveryShippedFileLoadsAndSavesBackUnchanged) {
  int count = 0;
  for (const auto& e : std::filesystem::directory_iterator(std::string(VEMO_SOURCE_DIR) + "/examples")) {
    if (e.path().extension() != ".vmo") continue;
    SCOPED_TRACE(e.path().string());
    ++count;
    const auto shipped = ReadBytes(e.path().string());
    auto f = CreateField();
    ASSERT_EQ(LoadFieldFromMemory(*f, shipped.data(), shipped.size()), TLoadResult::Ok);
    EXPECT_EQ(FieldImage(*f, Prog.Clock.ViewTime), shipped);
  }
  EXPECT_GE(count, 3);
}

TEST_F(ExamplesTest, FirstOrderLagReachesOneMinusEInverseAtOneSecond) {
  TTransientRun run;
  std::unique_ptr<TField> f;
  Run("first_order_lag.vmo", run, f);
  EXPECT_EQ(Prog.Clock.ViewTime, 5.0);
  EXPECT_DOUBLE_EQ(run.Dt, 0.01);
  // Explicit Euler with step h is off by about h/2 * e^-1 near t = 1.
  EXPECT_NEAR(At(run, 1.0, 0), 1.0 - std::exp(-1.0), 0.01);
  EXPECT_NEAR(At(run, 3.0, 0), 1.0 - std::exp(-3.0), 0.005);
  for (size_t i = 1; i < run.StepCount(); ++i)
    ASSERT_GE(run.Samples.At(i), run.Samples.At(i - 1)) << "the lag rises monotonically";
  EXPECT_GE(run.StepCount(), 500u);
  EXPECT_LE(run.StepCount(), 501u);
  run.Close();
}

TEST_F(ExamplesTest, FeedbackLoopSettlesAtOne) {
  TTransientRun run;
  std::unique_ptr<TField> f;
  Run("feedback_loop.vmo", run, f);
  ASSERT_EQ(run.Observed, (std::vector<int>{0, 1}));
  const double end = (static_cast<double>(run.StepCount()) - 1) * run.Dt;
  EXPECT_NEAR(At(run, end, 0), 1.0, 1e-3);
  EXPECT_NEAR(At(run, end, 1), 0.0, 1e-3);  // the error signal
  EXPECT_NEAR(At(run, 0.0, 1), 1.0, 1e-9);  // the whole step is the error at first
  // 1 / (0.5 s^2 + s + 1): damping 0.707, overshoot about 4.3 %.
  double peak = 0;
  for (size_t i = 0; i < run.StepCount(); ++i) peak = std::max(peak, double(run.Samples.At(2 * i)));
  EXPECT_NEAR(peak, 1.043, 0.01);
  run.Close();
}

TEST_F(ExamplesTest, OscillatoryStepOvershootsAndSettles) {
  TTransientRun run;
  std::unique_ptr<TField> f;
  Run("oscillatory_step.vmo", run, f);
  // T = 0.2, damping 0.2: overshoot e^(-pi 0.2 / sqrt(1 - 0.04)) = 52.7 %.
  double peak = 0;
  for (size_t i = 0; i < run.StepCount(); ++i) peak = std::max(peak, double(run.Samples.At(2 * i)));
  EXPECT_NEAR(peak, 1.527, 0.02);
  EXPECT_NEAR(At(run, 4.9, 0), 1.0, 0.01);
  EXPECT_NEAR(At(run, 4.9, 1), 1.0, 1e-9);  // point B watches the step itself
  run.Close();
}

}  // namespace
}  // namespace vemo
