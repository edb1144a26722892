// Runs the built vemo-cli's nyquist and margins commands on hand-made
// open loops with known margins.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "cli_fixture.h"
#include "cli_support.h"
#include "model/project_file.h"
#include "shell/numtext.h"
#include "shell/program.h"

using namespace vemo;

namespace {

using namespace vemo::clitest;

constexpr double kPi = 3.14159265358979323846;

// The number after a label in a report line, "Запас по фазе: 51.8°".
double NumberAfter(const std::string& line, const std::string& label) {
  EXPECT_EQ(line.rfind(label, 0), 0u) << line;
  return std::strtod(line.c_str() + label.size(), nullptr);
}

class HodographCliTest : public CliFilesTest {
 protected:
  HodographCliTest() : CliFilesTest("vemo_hodo_cli_") {}

  // K/(s+1)^3: a gain and three aperiodic elements.
  std::string ThirdOrder(double k) {
    return Chain("lag3_" + std::to_string(k) + ".vmo", {{6, {k}}, {10, {1, 1}}, {10, {1, 1}}, {10, {1, 1}}});
  }
};

TEST_F(HodographCliTest, MarginsOfIntegratorWithLag) {
  // 1/(s(s+1)): |W| = 1 at w^2 = (sqrt 5 - 1)/2, phase margin 90 - atan w
  // = 51.827 degrees, no crossing of the negative axis. The crossover
  // frequencies follow the window's text.
  const std::string p = Chain("il.vmo", {{7, {1, 0}}, {10, {1, 1}}});
  TRun r = Cli("margins " + p + " --from A --to B");
  ASSERT_EQ(r.Status, 0);
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 5u) << r.Out;
  EXPECT_EQ(lines[0], "Устойчива");
  const double wc = std::sqrt((std::sqrt(5.0) - 1) / 2);
  EXPECT_NEAR(NumberAfter(lines[1], "Запас по фазе: "), 90 - std::atan(wc) * 180 / kPi, 1e-7);
  EXPECT_EQ(lines[1].substr(lines[1].size() - 2), "°");
  EXPECT_EQ(lines[2], "Запас по амплитуде: -");
  EXPECT_NEAR(NumberAfter(lines[3], "Частота среза: "), wc, 1e-8);
  EXPECT_EQ(lines[3].substr(lines[3].size() - 7), " rad/с");
  EXPECT_EQ(lines[4], "Частота при фазе -180°: -");
}

TEST_F(HodographCliTest, MarginsOfThirdOrderLag) {
  // K/(s+1)^3 crosses -180 degrees at w = sqrt 3 with |W| = K/8.
  for (double k : {2.0, 4.0}) {
    TRun r = Cli("margins " + ThirdOrder(k));
    ASSERT_EQ(r.Status, 0);
    auto lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 5u) << r.Out;
    EXPECT_EQ(lines[0], "Устойчива") << k;
    const std::string& g = lines[2];
    EXPECT_NEAR(NumberAfter(g, "Запас по амплитуде: "), 20 * std::log10(8 / k), 1e-7) << k;
    EXPECT_EQ(g.substr(g.size() - 5), " дБ");
    EXPECT_NEAR(NumberAfter(lines[4], "Частота при фазе -180°: "), std::sqrt(3.0), 1e-8) << k;
  }
  TRun r = Cli("margins " + ThirdOrder(10));
  ASSERT_EQ(r.Status, 0);
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Неустойчива!");
  EXPECT_EQ(lines[2], "Запас по амплитуде: -");
  EXPECT_EQ(lines[4], "Частота при фазе -180°: -");
}

TEST_F(HodographCliTest, FirstOrderLoopHasNoGainMargin) {
  TRun r = Cli("margins " + Chain("lag.vmo", {{10, {1, 2}}}));
  ASSERT_EQ(r.Status, 0);
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Устойчива");
  EXPECT_NEAR(NumberAfter(lines[1], "Запас по фазе: "), 120.0, 1e-7);
  EXPECT_EQ(lines[2], "Запас по амплитуде: -");
  EXPECT_NEAR(NumberAfter(lines[3], "Частота среза: "), std::sqrt(3.0), 1e-8);
}

TEST_F(HodographCliTest, NyquistPrintsOmegaImRe) {
  const std::string p = Chain("lag.vmo", {{10, {1, 1}}});
  TRun r = Cli("nyquist " + p + " --from A --to B --lgw-min -2 --lgw-max 2");
  ASSERT_EQ(r.Status, 0);
  auto lines = Lines(r.Out);
  ASSERT_GT(lines.size(), 1240u);
  EXPECT_EQ(r.Out.find('\r'), std::string::npos);
  for (const std::string& l : lines) ASSERT_EQ(l.size(), 71u) << l;
  // First point: w = 0.01, W = 1/(1 + 0.01j).
  double v[3];
  ASSERT_TRUE(ParseRealLine(lines.front(), v, 3));
  EXPECT_NEAR(v[0], 0.01, 1e-9);
  EXPECT_NEAR(v[1], -0.01 / 1.0001, 1e-7);
  EXPECT_NEAR(v[2], 1 / 1.0001, 1e-7);
  ASSERT_TRUE(ParseRealLine(lines.back(), v, 3));
  EXPECT_NEAR(v[0], 100, 1e-4);
  // -o writes the same lines with CR LF.
  r = Cli("nyquist " + p + " --lgw-min -2 --lgw-max 2 -o " + Path("h.txt"));
  ASSERT_EQ(r.Status, 0);
  EXPECT_TRUE(r.Out.empty());
  const std::string file = ReadAll(Path("h.txt"));
  EXPECT_EQ(static_cast<size_t>(std::count(file.begin(), file.end(), '\n')), lines.size());
  EXPECT_EQ(file.substr(71, 2), "\r\n");
  EXPECT_EQ(file.substr(0, 71), lines.front());
}

TEST_F(HodographCliTest, ErrorsAndUsage) {
  const std::string p = Chain("lag.vmo", {{10, {1, 1}}});
  EXPECT_EQ(Cli("nyquist").Status, 2);
  EXPECT_EQ(Cli("margins " + p + " --from A --to A").Status, 2);
  EXPECT_EQ(Cli("nyquist " + p + " --lgw-min 3 --lgw-max 1").Status, 2);
  EXPECT_EQ(Cli("margins " + p + " --lgw-max y").Status, 2);
  EXPECT_EQ(Cli("nyquist --help").Status, 0);
  EXPECT_EQ(Cli("margins --help").Status, 0);
  EXPECT_EQ(Cli("margins " + Path("missing.vmo")).Status, 1);
  // A special block on the contour is the contour error of the analyses.
  TRun r = Cli("margins " + Chain("special.vmo", {{39, {1.0}}}));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Ошибка 39: Невозможно построить частотные характеристики этого блока. (столбец 4, строка 2)\n");
}

}  // namespace
