// Runs the built vemo-cli's tf and bode commands on hand-made schemes and
// on the shipped examples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "cli_fixture.h"
#include "cli_support.h"
#include "model/project_file.h"
#include "scheme_fixtures.h"
#include "shell/numtext.h"
#include "shell/program.h"

using namespace vemo;

namespace {

using namespace vemo::clitest;

class FrequencyCliTest : public CliFilesTest {
 protected:
  FrequencyCliTest() : CliFilesTest("vemo_freq_cli_") {}

  // gen -> summer (bottom negated) -> block -> stub, with unity negative
  // feedback from the block's output when loop is set; A on the generator
  // output, B at the end.
  std::string Scheme(const char* name, uint16_t code, std::initializer_list<double> params, bool loop) {
    auto f = CreateField();
    if (loop) vemo::testing::BuildFeedbackLoop(*f, code, params);
    else vemo::testing::BuildOpenChain(*f, {{2, {}}, {code, params}});
    EXPECT_TRUE(SaveField(*f, Path(name)));
    return Path(name);
  }
};

TEST_F(FrequencyCliTest, TfPrintsThePolynomialForm) {
  const std::string p = Scheme("gain.vmo", 6, {2.0}, false);
  TRun r = Cli("tf " + p + " --from A --to B");
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out, "WAB(s)=(2)/(1)\n");
  // The default contour: the first and the second placed point.
  EXPECT_EQ(Cli("tf " + p).Out, "WAB(s)=(2)/(1)\n");
}

TEST_F(FrequencyCliTest, TfOfAFeedbackLoopInBothForms) {
  const std::string p = Scheme("loop.vmo", 7, {1.0, 0.0}, true);
  EXPECT_EQ(Cli("tf " + p + " --from A --to B").Out, "WAB(s)=(1)/(s+1)\n");
  EXPECT_EQ(Cli("tf " + p + " --from a --to b --factored").Out, "WAB(s)=1/((s+1))\n");
}

TEST_F(FrequencyCliTest, TfOfTheShippedExamples) {
  EXPECT_EQ(Cli("tf " + Example("feedback_loop.vmo") + " --from B --to A").Out, "WBA(s)=(1)/(0.5*s^2+s)\n");
  EXPECT_EQ(Cli("tf " + Example("feedback_loop.vmo") + " --from B --to A --factored").Out,
            "WBA(s)=1/(s*(0.5*s+1))\n");
  EXPECT_EQ(Cli("tf " + Example("oscillatory_step.vmo") + " --from B --to A --factored").Out,
            "WBA(s)=1/((0.04*s^2+0.08*s+1))\n");
}

TEST_F(FrequencyCliTest, TfWritesAFileWithCrLf) {
  const std::string p = Scheme("gain.vmo", 6, {2.0}, false);
  TRun r = Cli("tf " + p + " -o " + Path("w.txt"));
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(ReadAll(Path("w.txt")), "WAB(s)=(2)/(1)\r\n");
}

TEST_F(FrequencyCliTest, ContourErrorsPrintLikeCheck) {
  const std::string p = Scheme("delayloop.vmo", 12, {0.5, 1.0}, true);
  TRun r = Cli("tf " + p + " --from A --to B");
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Ошибка 38: Невозможно выделить звенья задержки. (столбец 6, строка 2)\n");
  const std::string q = Scheme("special.vmo", 39, {1.0}, false);
  r = Cli("bode " + q);
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Ошибка 39: Невозможно построить частотные характеристики этого блока. (столбец 6, строка 2)\n");
}

TEST_F(FrequencyCliTest, BodePrintsTwoHundredLines) {
  // The loop around 1/s is 1/(s+1): -3.0103 dB and -45 degrees at w = 1.
  const std::string p = Scheme("loop.vmo", 7, {1.0, 0.0}, true);
  TRun r = Cli("bode " + p + " --from A --to B");
  ASSERT_EQ(r.Status, 0);
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 200u);
  EXPECT_EQ(lines[0].substr(0, 23), "-3.00000000000000E+0000");
  EXPECT_EQ(lines[100], " 0.00000000000000E+0000 -3.01029995663981E+0000");
  EXPECT_EQ(lines[199].substr(0, 23), " 2.97000000000000E+0000");
  r = Cli("bode " + p + " --phase --lgw-min -1 --lgw-max 1");
  ASSERT_EQ(r.Status, 0);
  lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 200u);
  EXPECT_EQ(lines[0].substr(0, 23), "-1.00000000000000E+0000");
  EXPECT_EQ(lines[100], " 0.00000000000000E+0000 -4.50000000000000E+0001");
}

TEST_F(FrequencyCliTest, BodeOfIntegratorIsAStraightLine) {
  const std::string p = Scheme("int.vmo", 7, {1.0, 0.0}, false);
  TRun r = Cli("bode " + p + " -o " + Path("l.txt"));
  ASSERT_EQ(r.Status, 0);
  EXPECT_TRUE(r.Out.empty());
  const std::string text = ReadAll(Path("l.txt"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 200);
  EXPECT_EQ(text.substr(0, 49), "-3.00000000000000E+0000  6.00000000000000E+0001\r\n");
}

TEST_F(FrequencyCliTest, NegativeGainIsHalfATurn) {
  // From the output of the loop to its error signal W = -1: 0 dB and -180
  // degrees at every frequency.
  for (const char* option : {"", " --phase"}) {
    TRun r = Cli("bode " + Example("feedback_loop.vmo") + " --from A --to B" + option);
    EXPECT_EQ(r.Status, 0);
    const std::vector<std::string> lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 200u);
    for (const std::string& line : lines)
      EXPECT_NEAR(std::stod(line.substr(24)), *option ? -180.0 : 0.0, 1e-12) << line;
  }
}

TEST_F(FrequencyCliTest, BadUsage) {
  const std::string p = Scheme("gain.vmo", 6, {2.0}, false);
  EXPECT_EQ(Cli("tf").Status, 2);
  EXPECT_EQ(Cli("tf " + p + " --from A --to A").Status, 2);
  EXPECT_EQ(Cli("tf " + p + " --from Z").Status, 2);
  EXPECT_EQ(Cli("tf " + p + " --to").Status, 2);
  EXPECT_EQ(Cli("bode " + p + " --lgw-min x").Status, 2);
  EXPECT_EQ(Cli("bode " + p + " --lgw-min 2 --lgw-max 1").Status, 2);
  EXPECT_EQ(Cli("bode " + p + " --factored-typo").Status, 2);
  EXPECT_EQ(Cli("tf --help").Status, 0);
  EXPECT_EQ(Cli("bode --help").Status, 0);
  // A point that is not placed is a scheme matter, like simulate's.
  EXPECT_EQ(Cli("tf " + p + " --from C").Status, 1);
  EXPECT_EQ(Cli("tf " + Path("missing.vmo")).Status, 1);
}

}  // namespace
