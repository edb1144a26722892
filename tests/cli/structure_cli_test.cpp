// Runs the built vemo-cli's synth, simplify and controller commands and
// reads the written projects back with tf.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli_fixture.h"
#include "cli_support.h"
#include "core/synthesis/synthesis_support.h"
#include "frequency/transfer_text.h"
#include "model/project_file.h"
#include "scheme_fixtures.h"
#include "shell/program.h"

namespace fs = std::filesystem;
using namespace vemo;

namespace {

using namespace vemo::clitest;

class StructureCliTest : public CliFilesTest {
 protected:
  StructureCliTest() : CliFilesTest("vemo_structure_cli_") {}
};

// The fraction of a "WAB(s)=(num)/(den)" line.
TFraction ReadTf(const std::string& line) {
  TFraction f;
  const size_t eq = line.find('=');
  EXPECT_NE(eq, std::string::npos) << line;
  std::string body = line.substr(eq + 1);
  body.erase(std::remove(body.begin(), body.end(), '\n'), body.end());
  EXPECT_TRUE(ParseTransferFunction(body, f)) << line;
  return f;
}

double Difference(const TFraction& a, const TFraction& b) { return vemo::testing::CoefficientError(a, b); }

TEST_F(StructureCliTest, SynthWritesAProjectWhoseTransferFunctionReadsBack) {
  double worst = 0.0;
  for (const char* text : {"1/(s+1)", "(s+2)/s", "2*(s^2+s+4)/((s+1)*(s+2)*(s+3))", "(s+1)*(s+3)/(s*(s+5))"}) {
    SCOPED_TRACE(text);
    const std::string out = Path("synth.vmo");
    const TRun r = Cli("synth \"" + std::string(text) + "\" -o " + out);
    ASSERT_EQ(r.Status, 0);
    EXPECT_TRUE(r.Out.empty());
    const TRun tf = Cli("tf " + out);
    ASSERT_EQ(tf.Status, 0);
    ASSERT_EQ(tf.Out.rfind("WAB(s)=", 0), 0u) << tf.Out;
    TFraction typed;
    ASSERT_TRUE(ParseTransferFunction(text, typed));
    // The text form keeps about 11 significant digits.
    const double err = Difference(typed, ReadTf(tf.Out));
    EXPECT_LT(err, 1e-7) << tf.Out;
    worst = std::max(worst, err);
  }
  std::printf("[ synthesis ] largest coefficient error of synth -> tf: %.3g\n", worst);
}

TEST_F(StructureCliTest, SynthRefusesGarbageWithTheProgramsMessage) {
  for (const char* text : {"1/(s+", "abc", "s^^2", "))((", "1/0", "-1"}) {
    const std::string cmd = std::string(VEMO_CLI_PATH) + " synth \"" + text + "\" -o " + Path("bad.vmo") + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_TRUE(p);
    std::string all;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) all.append(buf, n);
    const int st = pclose(p);
    EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 1) << text;
    EXPECT_NE(all.find(kTransferTextError), std::string::npos) << text << ": " << all;
    EXPECT_FALSE(fs::exists(Path("bad.vmo")));
  }
  // An unstable W(s) is the scheme error 33.
  const TRun r = Cli("synth \"1/(s-1)\" -o " + Path("bad.vmo"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(Cli("synth \"1/(s+1)\"").Status, 2);
  EXPECT_EQ(Cli("synth -o " + Path("x.vmo")).Status, 2);
}

TEST_F(StructureCliTest, SimplifyKeepsTheContoursTransferFunction) {
  const std::string in = Chain("plant.vmo", {{10, {2.0, 3.0}}, {11, {0.5, 0.4, 1.0}}, {9, {0.25, 2.0}}});
  const TRun r = Cli("simplify " + in + " --from A --to B -o " + Path("simple.vmo"));
  ASSERT_EQ(r.Status, 0);
  const TFraction original = ReadTf(Cli("tf " + in).Out);
  const TFraction simplified = ReadTf(Cli("tf " + Path("simple.vmo")).Out);
  EXPECT_LT(Difference(original, simplified), 1e-7);
  EXPECT_EQ(Cli("simplify " + in + " --from A --to A -o " + Path("x.vmo")).Status, 2);
  EXPECT_EQ(Cli("simplify " + in).Status, 2);
}

TEST_F(StructureCliTest, ControllerClosesTheLoopWithTheRequestedTimeConstant) {
  const std::string in = Chain("plant.vmo", {{7, {2.0}}, {10, {1.0, 1.0}}});
  const TRun r = Cli("controller " + in + " --from A --to B --t 0.25 -o " + Path("loop.vmo"));
  ASSERT_EQ(r.Status, 0);
  const TRun tf = Cli("tf " + Path("loop.vmo"));
  ASSERT_EQ(tf.Status, 0);
  TFraction expected;
  ASSERT_TRUE(ParseTransferFunction("1/(0.25*s+1)", expected));
  EXPECT_LT(Difference(expected, ReadTf(tf.Out)), 1e-7) << tf.Out;
  EXPECT_EQ(Cli("controller " + in + " --t 0.00001 -o " + Path("x.vmo")).Status, 2);
  EXPECT_EQ(Cli("controller " + in + " --t abc -o " + Path("x.vmo")).Status, 2);
  EXPECT_EQ(Cli("controller " + in + " -o " + Path("x.vmo")).Status, 2);
  EXPECT_EQ(Cli("synth --help").Status, 0);
}

}  // namespace
