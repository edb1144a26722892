// Runs the built vemo-cli's inout command on hand-made schemes.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "blocks/point_table.h"
#include "cli_fixture.h"
#include "cli_support.h"
#include "model/project_file.h"
#include "scheme_fixtures.h"
#include "shell/program.h"

using namespace vemo;

namespace {

using namespace vemo::clitest;

class SynthesisCliTest : public CliFilesTest {
 protected:
  SynthesisCliTest() : CliFilesTest("vemo_synth_cli_") {}

  // gen -> block -> stub: A on the generator's output, B at the end.
  std::string Scheme(const char* name, uint16_t code, std::initializer_list<double> params) {
    return Chain(name, {{code, params}});
  }
};

PointTable Table(const std::string& text) {
  PointTable t;
  EXPECT_TRUE(ReadPointTableText(text, t));
  return t;
}

TEST_F(SynthesisCliTest, GainGivesAStraightLine) {
  const std::string file = Scheme("gain.vmo", 6, {3.0});
  const TRun r = Cli("inout " + file + " --from A --to B");
  ASSERT_EQ(r.Status, 0) << r.Out;
  EXPECT_EQ(r.Out.find('\r'), std::string::npos);
  const PointTable t = Table(r.Out);
  ASSERT_EQ(t.Count(), 401);
  for (const TablePoint& p : t.Points) EXPECT_NEAR(p.y, 3.0 * p.x, 1e-12);
  EXPECT_DOUBLE_EQ(t.Points.front().x, -2.0);
  EXPECT_NEAR(t.Points.back().x, 2.0, 1e-12);
  // The lines are those of the table's text file, without the CR.
  PointTable same;
  for (const TablePoint& p : t.Points) same.Add(p.x, p.y);
  std::string expected = FormatPointTableText(same);
  expected.erase(std::remove(expected.begin(), expected.end(), '\r'), expected.end());
  EXPECT_EQ(r.Out, expected);
}

TEST_F(SynthesisCliTest, SaturationClampsAndOptionsApply) {
  const std::string file = Scheme("limit.vmo", 21, {1.0, -1.0});
  const TRun r = Cli("inout " + file + " --xmax 3 --step 0.5");
  ASSERT_EQ(r.Status, 0);
  const PointTable t = Table(r.Out);
  ASSERT_EQ(t.Count(), 13);  // round(12 + 0.99)
  for (const TablePoint& p : t.Points) EXPECT_DOUBLE_EQ(p.y, std::clamp(p.x, -1.0, 1.0));
  EXPECT_DOUBLE_EQ(t.Points.front().x, -3.0);
  EXPECT_DOUBLE_EQ(t.Points.back().x, 3.0);
}

TEST_F(SynthesisCliTest, RelayLoopShowsBothSweeps) {
  const std::string file = Scheme("relay.vmo", 24, {1.0, -1.0, 0.5, -0.5});
  const TRun r = Cli("inout " + file + " --xmax 1 --step 0.25");
  ASSERT_EQ(r.Status, 0);
  const PointTable t = Table(r.Out);
  ASSERT_EQ(t.Count(), 18);  // two sweeps of round(8 + 0.99)
  // x = 0 forward (index 4) and backward (index 9 + 4).
  EXPECT_DOUBLE_EQ(t.Points[4].x, 0.0);
  EXPECT_DOUBLE_EQ(t.Points[4].y, -1.0);
  EXPECT_DOUBLE_EQ(t.Points[13].x, 0.0);
  EXPECT_DOUBLE_EQ(t.Points[13].y, 1.0);
  EXPECT_DOUBLE_EQ(t.Points[9].x, 1.0);
  EXPECT_DOUBLE_EQ(t.Points[17].x, -1.0);
}

TEST_F(SynthesisCliTest, OutputFileHasCrLfLines) {
  const std::string file = Scheme("gain.vmo", 6, {1.0});
  const std::string out = Path("gain.txt");
  const TRun r = Cli("inout " + file + " --xmax 1 --step 0.5 -o " + out);
  ASSERT_EQ(r.Status, 0);
  EXPECT_TRUE(r.Out.empty());
  const std::string text = ReadAll(out);
  PointTable t;
  for (double x : {-1.0, -0.5, 0.0, 0.5, 1.0}) t.Add(x, x);
  EXPECT_EQ(text, FormatPointTableText(t));
  PointTable loaded;
  ASSERT_TRUE(LoadPointTableFile(out, loaded));
  EXPECT_EQ(loaded.Points, t.Points);
}

TEST_F(SynthesisCliTest, TinyValuesAreRaised) {
  const std::string file = Scheme("gain.vmo", 6, {1.0});
  const TRun r = Cli("inout " + file + " --xmax 0.0001 --step 0.00001");
  ASSERT_EQ(r.Status, 0);
  EXPECT_EQ(Table(r.Out).Count(), 3);  // X max and step 0.001: round(2.99)
}

TEST_F(SynthesisCliTest, BadUsage) {
  const std::string file = Scheme("gain.vmo", 6, {1.0});
  EXPECT_EQ(Cli("inout").Status, 2);
  EXPECT_EQ(Cli("inout " + file + " --xmax abc").Status, 2);
  EXPECT_EQ(Cli("inout " + file + " --step 1,5").Status, 2);
  EXPECT_EQ(Cli("inout " + file + " --from A --to A").Status, 2);
  EXPECT_EQ(Cli("inout " + file + " --from A --to Q").Status, 2);
  EXPECT_EQ(Cli("inout " + file + " --xmax 1e12 --step 0.001").Status, 2);
  EXPECT_EQ(Cli("inout " + file + " --from A --to C").Status, 1);  // C not placed
  EXPECT_EQ(Cli("inout " + Path("missing.vmo")).Status, 1);
  const TRun help = Cli("inout --help");
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Out.find("--xmax"), std::string::npos);
  EXPECT_NE(Cli("--help").Out.find("inout FILE.vmo"), std::string::npos);
}

TEST_F(SynthesisCliTest, AlgebraicLoopIsReported) {
  auto f = CreateField();
  vemo::testing::BuildFeedbackLoop(*f, 6, {2.0});
  ASSERT_TRUE(SaveField(*f, Path("loop.vmo")));
  const TRun r = Cli("inout " + Path("loop.vmo"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out.rfind("Ошибка 7:", 0), 0u) << r.Out;
}

}  // namespace
