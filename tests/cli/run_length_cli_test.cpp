// Long and endless runs of the batch program: the text of a long run is
// written as it is produced (memory does not grow with the run), and a run
// of more than 10^9 steps, or one that could never end, is refused.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "cli_fixture.h"
#include "cli_support.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "shell/program.h"

using namespace vemo;

namespace {

using namespace vemo::clitest;

class RunLengthCliTest : public CliFilesTest {
 protected:
  RunLengthCliTest() : CliFilesTest("vemo_run_length_") {}
  // A constant observed at A and B, saved with the given step and view time.
  std::string Constant(const std::string& name, double step, double viewTime) {
    auto f = CreateField();
    TSchemeBuilder b(*f);
    b.Block(2, 2, 0, {1.0});
    b.Line({{2, 2}, {5, 2}});
    b.Point(0, 5, 2);
    b.Point(1, 4, 2);
    f->Step = step;
    f->AutoStep = 0;
    Prog.Clock.ViewTime = viewTime;
    EXPECT_TRUE(SaveField(*f, Path(name)));
    return Path(name);
  }
};

TEST_F(RunLengthCliTest, EndlessRunsAreRefused) {
  // A stored step of 1e-12 s (10^13 steps in 10 s), a stored view time of
  // +inf, and options asking for 10^12 steps.
  const std::string tiny = Constant("tiny.vmo", 1e-12, 10.0);
  const std::string endless = Constant("endless.vmo", 0.01, HUGE_VAL);
  const std::string lag = Example("first_order_lag.vmo");
  for (const std::string& args :
       {"simulate " + tiny, "simulate " + endless, "phase " + tiny + " --x A --y B",
        "phase " + endless + " --x A --y dx/dt", "simulate " + lag + " --time 1e4 --step 1e-8",
        "phase " + lag + " --x A --y dx/dt --time 1e4 --step 1e-8"}) {
    const TRun r = Cli(args);
    EXPECT_NE(r.Status, 0) << args;
    EXPECT_EQ(r.Out, "") << args;
  }
}

TEST_F(RunLengthCliTest, LongRunsStreamTheirText) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
#else
  // A million lines (48 MB of text) within 30 MB of address space.
  const std::string limit = "ulimit -v 30000; ";
  const std::string lag = Example("first_order_lag.vmo");
  const std::string cli = std::string(VEMO_CLI_PATH);
  const TRun r = Shell("(" + limit + cli + " simulate " + lag + " --time 100 --step 1e-4) | wc -l");
  EXPECT_EQ(r.Out, "1000000\n");
  const TRun p = Shell("(" + limit + cli + " phase " + Example("oscillatory_step.vmo") +
                       " --x A --y dx/dt --time 100 --step 1e-4) | tail -c 48");
  // The last pair: the oscillation has settled at (1, 0).
  EXPECT_EQ(p.Out.size(), 48u) << p.Out;
  EXPECT_EQ(p.Out.substr(24), " 1.00000000000000E+0000\n") << p.Out;
#endif
}

}  // namespace
