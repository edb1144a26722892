// Runs the built vemo-cli on the shipped examples and on hand-made broken
// files, checking its text forms and exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli_fixture.h"
#include "cli_support.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "shell/program.h"

namespace fs = std::filesystem;
using namespace vemo;

namespace {

using namespace vemo::clitest;

class CliTest : public CliFilesTest {
 protected:
  CliTest() : CliFilesTest("vemo_cli_") {}
};

TEST_F(CliTest, ChecksAndSimulatesEveryExample) {
  int count = 0;
  for (const auto& e : fs::directory_iterator(std::string(VEMO_SOURCE_DIR) + "/examples")) {
    if (e.path().extension() != ".vmo") continue;
    // A macro body is no main scheme: its ports are error 10 there.
    if (e.path().filename().string().rfind("macro_body_", 0) == 0) {
      EXPECT_EQ(Cli("check " + e.path().string()).Out.rfind("Ошибка 10:", 0), 0u);
      continue;
    }
    ++count;
    const std::string path = e.path().string();
    TRun r = Cli("check " + path);
    EXPECT_EQ(r.Status, 0) << path;
    EXPECT_EQ(r.Out, "OK\n") << path;
    EXPECT_EQ(Cli("simulate " + path + " -o " + Path("out.txt")).Status, 0) << path;
  }
  EXPECT_GE(count, 8);
}

TEST_F(CliTest, ExamplesAreWhatTheGeneratorWrites) {
  const std::string dir = Path("regenerated");
  fs::create_directories(dir);
  const std::string cmd = std::string(VEMO_BINARY_DIR) + "/tools/make_examples " + dir + " >/dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  for (const auto& e : fs::directory_iterator(dir))
    EXPECT_EQ(ReadAll(e.path()), ReadAll(Example(e.path().filename().c_str()))) << e.path();
}

TEST_F(CliTest, SimulatePrintsTimeAndSamplesIn23CharacterReals) {
  TRun r = Cli("simulate " + Example("first_order_lag.vmo") + " --time 0.05");
  ASSERT_EQ(r.Status, 0);
  std::istringstream lines(r.Out);
  std::string first, line;
  std::getline(lines, first);
  EXPECT_EQ(first.size(), 47u);
  EXPECT_EQ(first.substr(0, 23), " 0.00000000000000E+0000");
  int count = 1;
  while (std::getline(lines, line)) ++count;
  EXPECT_EQ(count, 5);  // t = 0, 0.01, ..., 0.04 while t < 0.05
  // The lag after one step of 0.01: s = 0.01.
  EXPECT_EQ(first.substr(24), " 9.99999977648258E-0003");
}

TEST_F(CliTest, SimulateWithSeveralPointsAndFileOutput) {
  const std::string out = Path("curve.txt");
  TRun r = Cli("simulate " + Example("feedback_loop.vmo") + " --points BA --time 0.1 -o " + out);
  ASSERT_EQ(r.Status, 0);
  EXPECT_TRUE(r.Out.empty());
  const std::string text = ReadAll(out);
  ASSERT_GE(text.size(), 73u);
  EXPECT_EQ(text.substr(71, 2), "\r\n");
  // B (error signal) first: 1 at t = 0, then A = 0.
  EXPECT_EQ(text.substr(24, 23), " 1.00000000000000E+0000");
  EXPECT_EQ(text.substr(48, 23), " 0.00000000000000E+0000");
}

TEST_F(CliTest, StepOptionReplacesTheFieldStep) {
  TRun r = Cli("simulate " + Example("first_order_lag.vmo") + " --time 1 --step 0.25");
  ASSERT_EQ(r.Status, 0);
  EXPECT_EQ(std::count(r.Out.begin(), r.Out.end(), '\n'), 4);
  EXPECT_NE(r.Out.find(" 7.50000000000000E-0001"), std::string::npos);
}

TEST_F(CliTest, SchemeErrorNamesTheCell) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(3, 4, 10, {-1.0, 1.0, 0.0});  // negative time constant
  b.Point(0, 3, 4);
  ASSERT_TRUE(SaveField(*f, Path("bad.vmo")));
  TRun r = Cli("check " + Path("bad.vmo"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Ошибка 4: Постоян.времени должна быть больше нуля! (столбец 3, строка 4)\n");
}

TEST_F(CliTest, MissingPointsIsAnErrorWithoutCell) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(1, 1, 0);
  ASSERT_TRUE(SaveField(*f, Path("nopoints.vmo")));
  TRun r = Cli("check " + Path("nopoints.vmo"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Ошибка 9: Точек просмотра не найдено!\n");
}

TEST_F(CliTest, DivergingRunEndsWithMathErrorAndKeepsLines) {
  // A positive feedback loop around an integrator with gain 1000 overflows.
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(2, 2, 0, {1.0});
  b.Block(4, 2, 1);
  b.Block(6, 2, 7, {1000.0, 0.0});
  b.Line({{2, 2}, {4, 2}});
  b.Line({{4, 2}, {6, 2}});
  b.Line({{6, 2}, {8, 2}});
  b.Line({{7, 2}, {7, 4}, {4, 4}, {4, 2}});
  b.Point(0, 8, 2);
  f->Step = 0.01;
  f->AutoStep = 0;
  ASSERT_TRUE(SaveField(*f, Path("diverge.vmo")));
  TRun r = Cli("simulate " + Path("diverge.vmo"));
  EXPECT_EQ(r.Status, 1);
  const auto lines = std::count(r.Out.begin(), r.Out.end(), '\n');
  EXPECT_GT(lines, 10);
  EXPECT_LT(lines, 1000);
  // Samples beyond 1e20 are clamped (and stored in single precision).
  EXPECT_NE(r.Out.find(" 1.00000002004088E+0020"), std::string::npos);
}

TEST_F(CliTest, BrokenFilesFailCleanly) {
  const std::string good = ReadAll(Example("feedback_loop.vmo"));
  {
    std::ofstream(Path("truncated.vmo"), std::ios::binary) << good.substr(0, good.size() / 2);
    std::ofstream(Path("header.vmo"), std::ios::binary) << "Vemo Simulator 3.0 Save File\n\n" << good.substr(30);
    std::string unknown = good;
    unknown[30] = 14 + 100;  // first cell: a type code the factory does not know
    unknown[31] = 0;
    std::ofstream(Path("unknown.vmo"), std::ios::binary) << unknown;
  }
  for (const char* name : {"truncated.vmo", "header.vmo", "unknown.vmo", "missing.vmo"}) {
    TRun r = Cli("check " + Path(name));
    EXPECT_EQ(r.Status, 1) << name;
    EXPECT_EQ(r.Out.find("OK"), std::string::npos) << name;
  }
}

TEST_F(CliTest, ConvertRewritesTheSameImage) {
  const std::string out = Path("copy.vmo");
  TRun r = Cli("convert " + Example("oscillatory_step.vmo") + " -o " + out);
  ASSERT_EQ(r.Status, 0);
  EXPECT_EQ(ReadAll(out), ReadAll(Example("oscillatory_step.vmo")));
}

TEST_F(CliTest, InfoSummarisesTheProject) {
  TRun r = Cli("info " + Example("feedback_loop.vmo"));
  ASSERT_EQ(r.Status, 0);
  EXPECT_NE(r.Out.find("Версия: 3"), std::string::npos);
  EXPECT_NE(r.Out.find("Точки: A(11,2) B(5,2)"), std::string::npos);
  EXPECT_NE(r.Out.find("[8,2] Апериодическое звено: Постоян.времени T = 0.5"), std::string::npos);
}

TEST_F(CliTest, BadUsageExitsWithTwo) {
  EXPECT_EQ(Cli("").Status, 2);
  EXPECT_EQ(Cli("frobnicate x.vmo").Status, 2);
  EXPECT_EQ(Cli("simulate").Status, 2);
  EXPECT_EQ(Cli("simulate " + Example("feedback_loop.vmo") + " --time abc").Status, 2);
  EXPECT_EQ(Cli("simulate " + Example("feedback_loop.vmo") + " --bogus").Status, 2);
  EXPECT_EQ(Cli("simulate " + Example("feedback_loop.vmo") + " --points Z").Status, 2);
  EXPECT_EQ(Cli("convert " + Example("feedback_loop.vmo")).Status, 2);
  EXPECT_EQ(Cli("--help").Status, 0);
  EXPECT_EQ(Cli("simulate --help").Status, 0);
}

TEST_F(CliTest, EvalPrintsTheValueOrTheMessage) {
  EXPECT_EQ(Cli("eval \"2+3*4\"").Out, "14\n");
  EXPECT_EQ(Cli("eval \"2^3^2\"").Out, "64\n");
  EXPECT_EQ(Cli("eval \"1e-3*2\"").Out, "0.002\n");
  TRun bad = Cli("eval \"1/0\"");
  EXPECT_EQ(bad.Status, 1);
  EXPECT_EQ(bad.Out, "Ошибка в выражении!\n");
  EXPECT_EQ(Cli("eval").Status, 2);
}

TEST_F(CliTest, PhasePrintsOrdinateThenAbscissa) {
  TRun r = Cli("phase " + Example("oscillatory_step.vmo") + " --x B --y A --time 0.006");
  ASSERT_EQ(r.Status, 0);
  // B is the constant 1, A the oscillatory element's output.
  EXPECT_EQ(r.Out.substr(0, 48), " 9.99999974737875E-0005  1.00000000000000E+0000\n");
  EXPECT_EQ(std::count(r.Out.begin(), r.Out.end(), '\n'), 3);
  // The derivative mode does not record its first step.
  TRun d = Cli("phase " + Example("oscillatory_step.vmo") + " --x A --y dx/dt --time 0.006");
  ASSERT_EQ(d.Status, 0);
  EXPECT_EQ(std::count(d.Out.begin(), d.Out.end(), '\n'), 2);
  EXPECT_EQ(Cli("phase " + Example("oscillatory_step.vmo") + " --x A").Status, 2);
  EXPECT_EQ(Cli("phase " + Example("oscillatory_step.vmo") + " --x A --y Q").Status, 2);
}

TEST_F(CliTest, MacroBodyIsFoundBesideTheProject) {
  // Run from another directory: the body's relative name is resolved
  // against the project's own directory.
  TRun r = Cli("simulate " + Example("macro_lag.vmo") + " --time 0.02");
  ASSERT_EQ(r.Status, 0);
  // K = 2, T = 0.5, dt = 0.01: 2 * 0.02 after the first step.
  EXPECT_EQ(r.Out.substr(24, 23), " 3.99999991059303E-0002");
}

TEST_F(CliTest, SamplePluginRunsFromTheShippedExample) {
  TRun r = Cli("simulate " + Example("sample_plugin.vmo") + " --time 0.2");
  ASSERT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out.substr(24, 23), " 2.35619449615479E+0000");  // 3/4 pi
}

}  // namespace
