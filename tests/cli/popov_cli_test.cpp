// Runs the built vemo-cli's popov command on hand-made loops with one
// nonlinear part.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli_fixture.h"
#include "cli_support.h"
#include "model/project_file.h"
#include "shell/program.h"

using namespace vemo;

namespace {

using namespace vemo::clitest;

class PopovCliTest : public CliFilesTest {
 protected:
  PopovCliTest() : CliFilesTest("vemo_popov_cli_") {}

  // Saturation, then K/(s+1)^3.
  std::string ThirdOrder(double k) {
    return Chain("lag3_" + std::to_string(k) + ".vmo",
                 {{21, {1, -1}}, {6, {k}}, {10, {1, 1}}, {10, {1, 1}}, {10, {1, 1}}});
  }
};

TEST_F(PopovCliTest, SaturationWithFirstOrderPlantIsStable) {
  TRun r = Cli("popov " + Chain("lag.vmo", {{21, {1, -1}}, {10, {1, 3}}}) + " --from A --to B");
  ASSERT_EQ(r.Status, 0) << r.Out;
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 3u) << r.Out;
  EXPECT_EQ(lines[0], "Нелинейность: Вписывается в сектор [0,90°]");
  EXPECT_EQ(lines[1], "Прямая Попова: Найдена -1/K=-1");
  EXPECT_EQ(lines[2], "Вывод: Замкнутая система устойчива.");
}

TEST_F(PopovCliTest, IdealRelayWithFirstOrderPlantIsStable) {
  TRun r = Cli("popov " + Chain("relay.vmo", {{23, {1, -1, 0}}, {10, {1, 1}}}));
  ASSERT_EQ(r.Status, 0) << r.Out;
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 3u) << r.Out;
  EXPECT_EQ(lines[0], "Нелинейность: Вписывается в сектор [0,90°]");
  EXPECT_EQ(lines[1].rfind("Прямая Попова: Найдена -1/K=", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2], "Вывод: Замкнутая система устойчива.");
}

TEST_F(PopovCliTest, ThirdOrderLagJudgedBySectorBound) {
  TRun r = Cli("popov " + ThirdOrder(4));
  ASSERT_EQ(r.Status, 0) << r.Out;
  EXPECT_EQ(Lines(r.Out).back(), "Вывод: Замкнутая система устойчива.");
  r = Cli("popov " + ThirdOrder(12));
  ASSERT_EQ(r.Status, 0) << r.Out;
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 3u) << r.Out;
  EXPECT_EQ(lines[0], "Нелинейность: Вписывается в сектор [0,90°]");
  EXPECT_EQ(lines[1], "Прямая Попова: Провести невозможно.");
  EXPECT_EQ(lines[2], "Вывод: Критерий не дает ответа об устойчивости.");
}

TEST_F(PopovCliTest, HysteresisRelayMakesTheCriterionMisplaced) {
  TRun r = Cli("popov " + Chain("hyst.vmo", {{24, {1, -1, 0.1, -0.1}}, {10, {1, 1}}}));
  ASSERT_EQ(r.Status, 0) << r.Out;
  EXPECT_EQ(r.Out,
            "Нелинейность: НЕ вписывается в сектор [0,90°]\n"
            "Прямая Попова: -\n"
            "Вывод: Критерий неуместен!\n");
}

TEST_F(PopovCliTest, ContourWithoutNonlinearityIsRefused) {
  TRun r = Cli("popov " + Chain("linear.vmo", {{10, {1, 1}}}));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Ошибка 16: Не могу отделить линейную часть от нелинейной!\n");
}

TEST_F(PopovCliTest, UnsupportedChainIsRefused) {
  TRun r = Cli("popov " + Chain("pulse.vmo", {{13, {0.1, 1}}, {21, {1, -1}}, {10, {1, 1}}}));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Недопустимое сочитание нелинейных звеньев. Невозможно построить ЭККУ.\n");
}

TEST_F(PopovCliTest, BreakAndConstantChainsAreRefused) {
  TRun r = Cli("popov " + Chain("break.vmo", {{21, {0, 0}}, {10, {1, 1}}}));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Невозможно построить ЭККУ, потому что нелинейная часть эквивалентная разрыву цепи.\n");
  r = Cli("popov " + Chain("const.vmo", {{23, {2, 2, 0}}, {10, {1, 1}}}));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Невозможно построить ЭККУ, потому что на выходе нелинейной части постоянный ненулевой сигнал.\n");
}

TEST_F(PopovCliTest, WritesTheReportWithCrLf) {
  TRun r = Cli("popov " + Chain("lag.vmo", {{21, {1, -1}}, {10, {1, 1}}}) + " -o " + Path("p.txt"));
  ASSERT_EQ(r.Status, 0);
  EXPECT_EQ(ReadAll(Path("p.txt")),
            "Нелинейность: Вписывается в сектор [0,90°]\r\n"
            "Прямая Попова: Найдена -1/K=-1\r\n"
            "Вывод: Замкнутая система устойчива.\r\n");
}

}  // namespace
