// vemo-cli optimize and neuro: the tuned values and the run count on a
// scheme of known criterion, the same result on copies of the scheme, the
// written project and network file, Ctrl+C, and the usage errors.
#include <gtest/gtest.h>

#include "cli/cli_fixture.h"
#include "cli/cli_support.h"
#include "model/scheme_builder.h"
#include "neural/net_file.h"
#include "neural/neural_block.h"

namespace vemo::clitest {
namespace {

class OptimizeCliTest : public CliFilesTest {
 protected:
  OptimizeCliTest() : CliFilesTest("vemo_optimize_cli_") {}
  // The gain-error scheme (gain 0.3 at 4,5; error at A) with step 0.1.
  std::string GainFile() {
    auto f = CreateField();
    vemo::testing::BuildGainError(*f, 0.3);
    f->AutoStep = 0;
    f->Step = 0.1;
    EXPECT_TRUE(SaveField(*f, Path("gain.vmo")));
    return Path("gain.vmo");
  }
  // A saw into a neural block at (8,2) (output B) and an arctangent (A).
  std::string NeuralFile() {
    auto f = CreateField();
    TSchemeBuilder b(*f);
    b.Block(2, 2, 29, {2.0, 2.0, 0.0});
    b.Block(8, 2, 102);
    b.Block(4, 5, 48);
    b.Line({{2, 2}, {8, 2}});
    b.Line({{8, 2}, {10, 2}});
    b.Line({{4, 2}, {4, 5}});
    b.Line({{4, 5}, {6, 5}});
    b.Point(0, 5, 5);
    b.Point(1, 9, 2);
    f->AutoStep = 0;
    f->Step = 0.02;
    EXPECT_TRUE(SaveField(*f, Path("neural.vmo")));
    return Path("neural.vmo");
  }
};

TEST_F(OptimizeCliTest, TunesTheGainAndWritesTheProject) {
  const std::string file = GainFile();
  const std::string args = "optimize " + file +
                           " --error A --param 4,5:0=-2..2 --criterion 0 --method probe"
                           " --set ZondCount=9 --set ZondIterCount=2 --time 1";
  const TRun r = Cli(args + " -o " + Path("tuned.vmo"));
  ASSERT_EQ(r.Status, 0) << r.Out;
  EXPECT_EQ(r.Out, "4,5:0 = 1\nJ = 0.00000000000000E+0000\nruns = 18\n");
  // One worker or several: the same values, the same runs.
  EXPECT_EQ(Cli(args + " --jobs 1").Out, r.Out);
  EXPECT_EQ(Cli(args + " --jobs 3").Out, r.Out);

  auto tuned = CreateField();
  ASSERT_EQ(LoadField(*tuned, Path("tuned.vmo")), TLoadResult::Ok);
  auto* gain = dynamic_cast<TParamBlock*>(tuned->Cell(4, 5));
  ASSERT_NE(gain, nullptr);
  EXPECT_EQ(gain->Params[0], 1.0);

  // Criterion 1 on a log scale, by gradient descent: the gain still goes to 1
  // (J then only holds the derivative of the error's first step).
  const TRun g = Cli("optimize " + file + " --error A --param 4,5:0=0..5:log --method grad --time 1");
  ASSERT_EQ(g.Status, 0);
  const auto lines = Lines(g.Out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NEAR(std::stod(lines[0].substr(8)), 1.0, 0.02);
}

TEST_F(OptimizeCliTest, CtrlCKeepsTheBestValuesFound) {
  const std::string file = GainFile();
  // Runs of 900 million steps (seconds on any machine, below the
  // divergence bound); the signal comes during the first.
  const std::string cmd = "sh -c '" + std::string(VEMO_CLI_PATH) + " optimize " + file +
                          " --error A --param 4,5:0=-2..2 --method probe --time 9e6 --step 0.01"
                          " --jobs 1"
                          " 2>/dev/null & p=$!; sleep 1; kill -INT $p; wait $p; echo status=$?'";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  char buf[512];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  // Cancelled in the first run: no value was better than the starting one.
  EXPECT_EQ(out, "4,5:0 = 0.3\nJ = -\nruns = 1\nstatus=0\n");
}

TEST_F(OptimizeCliTest, NeuroTrainsShowsAndWritesTheNetwork) {
  const std::string file = NeuralFile();
  const TRun shown = Cli("neuro show " + file + " --block 8,2");
  ASSERT_EQ(shown.Status, 0);
  TNeuralBlock fresh;
  std::string expected;
  for (char ch : NetFileText(fresh.Net))
    if (ch != '\r') expected += ch;
  EXPECT_EQ(shown.Out, expected);

  const TRun r = Cli("neuro train " + file + " --block 8,2 --reference A --output B --time 2"
                     " --criterion 0 --set SpeedDownIters=3 -o " + Path("trained.vmo") +
                     " --net " + Path("net.txt"));
  ASSERT_EQ(r.Status, 0) << r.Out;
  const auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "runs = 660");  // 3 passes × 4 lines × 5 points × 11 weights
  // The network file and the project hold the same trained network.
  auto trained = CreateField();
  ASSERT_EQ(LoadField(*trained, Path("trained.vmo")), TLoadResult::Ok);
  auto* n = dynamic_cast<TNeuralBlock*>(trained->Cell(8, 2));
  ASSERT_NE(n, nullptr);
  TNeuroNet fromFile;
  ASSERT_TRUE(LoadNetFile(fromFile, Path("net.txt")));
  EXPECT_EQ(NetFileText(fromFile), NetFileText(n->Net));
  EXPECT_NE(NetFileText(n->Net), NetFileText(fresh.Net));
}

TEST_F(OptimizeCliTest, BadUsageIsRefused) {
  const std::string gain = GainFile(), neural = NeuralFile();
  struct Case {
    std::string Args;
    int Status;
  };
  const Case cases[] = {
      {"optimize " + gain + " --param 4,5:0=0..1", 2},                      // no error point
      {"optimize " + gain + " --error A", 2},                               // no parameter
      {"optimize " + gain + " --error A --param 4,5:0=1..1", 2},            // empty range
      {"optimize " + gain + " --error A --param 4,5=0..1", 2},              // no index
      {"optimize " + gain + " --error A --param 4,5:4=0..1", 2},            // index above 3
      {"optimize " + gain + " --error A --param 999,5:0=0..1", 2},          // off the grid
      {"optimize " + gain + " --error A --param 4,5:0=0..1 --param 4,5:0=0..2", 2},
      {"optimize " + gain + " --error A --param 4,5:1=0..1", 1},            // the gain has one
      {"optimize " + gain + " --error A --param 9,9:0=0..1", 1},            // an empty cell
      {"optimize " + gain + " --error C --param 4,5:0=0..1", 1},            // C is not placed
      {"optimize " + gain + " --error A --param 4,5:0=0..1 --set Zond=3", 2},
      {"optimize " + gain + " --error A --param 4,5:0=0..1 --set ZondCount=2", 2},
      {"optimize " + gain + " --error A --param 4,5:0=0..1 --method newton", 2},
      {"optimize " + gain + " --error A --param 4,5:0=0..1 --step 5 --time 1", 2},
      {"neuro train " + neural + " --block 8,2 --reference A --output A", 2},
      {"neuro train " + neural + " --block 8,2 --reference A --output B --min 1 --max 1", 2},
      {"neuro train " + neural + " --block 4,5 --reference A --output B", 1},  // not a network
      {"neuro show " + neural, 2},
      {"neuro fit " + neural + " --block 8,2", 2},
  };
  for (const Case& c : cases) EXPECT_EQ(Cli(c.Args).Status, c.Status) << c.Args;
}

}  // namespace
}  // namespace vemo::clitest
