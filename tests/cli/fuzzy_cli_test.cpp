// vemo-cli fuzzy: the model of the shipped fuzzy PD example shown,
// evaluated, converted between both formats, put into a scheme and drawn.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli_fixture.h"
#include "cli_support.h"
#include "fuzzy/fuzzy_block.h"
#include "fuzzy/fuzzy_file.h"
#include "fuzzy/fuzzy_rules.h"
#include "fuzzy/winfact.h"
#include "shell/numtext.h"

#ifdef VEMO_CLI_PLOT
#include <QImage>
#endif

using namespace vemo;
using namespace vemo::clitest;

namespace {

class FuzzyCliTest : public CliFilesTest {
 protected:
  FuzzyCliTest() : CliFilesTest("vemo_fuzzy_cli_") {}
  // Standard output and error together.
  static TRun Both(const std::string& args) { return Shell(std::string(VEMO_CLI_PATH) + " " + args + " 2>&1"); }
  const std::string model = Example("fuzzy_pd.fz");
  const std::string scheme = Example("fuzzy_pd.vmo");
};

TEST_F(FuzzyCliTest, ShowListsVariablesTermsRulesAndMethod) {
  const TRun fromFile = Cli("fuzzy show " + model);
  ASSERT_EQ(fromFile.Status, 0);
  const std::vector<std::string> l = Lines(fromFile.Out);
  ASSERT_GT(l.size(), 30u);
  EXPECT_EQ(l[0], "Метод: MAX_MIN");
  EXPECT_EQ(l[1], "Переменная 1: Скорость");
  EXPECT_EQ(l[2], "  ОБ_с: (-7; 0) (-6; 1) (-3; 1) (-2; 0)");
  EXPECT_NE(fromFile.Out.find("Переменная 3: (нет)\nПеременная 4: Управление (выход)\n"), std::string::npos);
  EXPECT_NE(fromFile.Out.find("Правила: 49\nЕСЛИ Ошибка ЕСТЬ ОБ_е И Скорость ЕСТЬ ОБ_с ТО Управление ЕСТЬ Н_у\n"),
            std::string::npos);
  // The block in the scheme holds the same model, with its output side.
  const TRun fromBlock = Cli("fuzzy show " + scheme + " --block 7,4");
  ASSERT_EQ(fromBlock.Status, 0);
  EXPECT_EQ(fromBlock.Out, l[0] + "\nВыход: справа\n" + fromFile.Out.substr(l[0].size() + 1));

  EXPECT_EQ(Cli("fuzzy show " + scheme + " --block 2,4").Status, 1);  // a generator
  EXPECT_EQ(Cli("fuzzy show " + scheme).Status, 2);
  EXPECT_EQ(Cli("fuzzy show " + scheme + " --block 9").Status, 2);
  EXPECT_EQ(Cli("fuzzy show " + Path("missing.fz")).Status, 1);
  EXPECT_EQ(Cli("fuzzy").Status, 2);
}

TEST_F(FuzzyCliTest, EvalPrintsEveryOutputOfOneInference) {
  // The error at the centre of ПМ_е and the rate at Н_с: the rule concludes
  // ПМ_у alone at full truth, whose centroid is its peak 4/3.
  TRun r = Cli("fuzzy eval " + model + " ошибка=0.3333333333333333 Скорость=0");
  ASSERT_EQ(r.Status, 0);
  TFuzzyModel m;
  ASSERT_TRUE(LoadModelFile(m, model));
  m.Variables[1].Value = 0.3333333333333333;
  Infer(m);
  EXPECT_EQ(r.Out, "Управление = " + FormatReal23(m.Variables[3].Value) + "\n");
  EXPECT_NEAR(m.Variables[3].Value, 4.0 / 3, 1e-9);
  EXPECT_EQ(Cli("fuzzy eval " + model + " Нет=1").Status, 2);
  EXPECT_EQ(Cli("fuzzy eval " + model + " Ошибка=x").Status, 2);
}

TEST_F(FuzzyCliTest, ConvertGoesBothWaysAndRefusesWhatWinFACTCannotHold) {
  const std::string fuz = Path("pd.fuz"), back = Path("back.fz");
  ASSERT_EQ(Cli("fuzzy convert " + model + " -o " + fuz).Status, 0);
  ASSERT_EQ(Cli("fuzzy convert " + fuz + " -o " + back).Status, 0);
  // The same method, terms and number of rules; the premises of each rule
  // come back in variable order, so the rules infer alike.
  const std::string shown = Cli("fuzzy show " + model).Out, again = Cli("fuzzy show " + back).Out;
  const size_t rules = shown.find("Правила: 49\n");
  ASSERT_NE(rules, std::string::npos);
  EXPECT_TRUE(again.compare(0, rules + 16, shown, 0, rules + 16) == 0);
  // (The thirds of the terms are written with 15 digits.)
  auto control = [](const TRun& r) { return std::stod(r.Out.substr(r.Out.find('=') + 1)); };
  for (const char* in : {"Ошибка=0.4 Скорость=-1.2", "Ошибка=-0.9 Скорость=2.5", "Ошибка=0.05 Скорость=0.1"})
    EXPECT_NEAR(control(Cli("fuzzy eval " + back + " " + in)), control(Cli("fuzzy eval " + model + " " + in)),
                1e-12) << in;

  // A rule joined by "ИЛИ" cannot be written: the message, and no file.
  TFuzzyModel m;
  ASSERT_TRUE(LoadModelFile(m, model));
  ASSERT_EQ(CompileRule(m, "ЕСЛИ Ошибка ЕСТЬ Н_е ИЛИ Скорость ЕСТЬ Н_с ТО Управление ЕСТЬ Н_у"), 0);
  ASSERT_TRUE(SaveModelFile(m, Path("or.fz")));
  const TRun r = Both("fuzzy convert " + Path("or.fz") + " -o " + Path("or.fuz"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Out.find(kWinFACTRefused), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Path("or.fuz")));
  EXPECT_EQ(Cli("fuzzy convert " + model + " -o " + Path("x.txt")).Status, 2);
}

TEST_F(FuzzyCliTest, PutReplacesTheBlocksModelAndCompilesRuleLines) {
  const std::string out = Path("put.vmo"), rules = Path("rules.txt");
  {
    std::ofstream f(rules, std::ios::binary);
    f << "ЕСЛИ Ошибка ЕСТЬ ПБ_е ТО Управление ЕСТЬ ПБ_у\r\n\r\nЕСЛИ Ошибка ЕСТЬ ОБ_е ТО Управление ЕСТЬ ОБ_у\r\n";
  }
  ASSERT_EQ(Cli("fuzzy put " + scheme + " --block 7,4 --model " + model + " --rules " + rules + " -o " + out).Status, 0);
  const std::vector<std::string> l = Lines(Cli("fuzzy show " + out + " --block 7,4").Out);
  ASSERT_GE(l.size(), 3u);
  EXPECT_EQ(l[l.size() - 3], "Правила: 2");
  EXPECT_EQ(l.back(), "ЕСЛИ Ошибка ЕСТЬ ОБ_е ТО Управление ЕСТЬ ОБ_у");
  EXPECT_EQ(Cli("check " + out).Out, "OK\n");

  // A wrong line: its error, line and position; nothing written.
  {
    std::ofstream f(rules, std::ios::binary);
    f << "ЕСЛИ Ошибка ЕСТЬ ПБ_е ТО Управление ЕСТЬ ПБ_у\nЕСЛИ Ошибка ЕСТЬ ПБ_у ТО Управление ЕСТЬ ПБ_у\n";
  }
  const std::string bad = Path("bad.vmo");
  const TRun r = Both("fuzzy put " + scheme + " --block 7,4 --model " + model + " --rules " + rules + " -o " + bad);
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Ошибка 29: Переменная не является аргументом функции. (строка 2, позиция 18)\n");
  EXPECT_FALSE(std::filesystem::exists(bad));
}

#ifdef VEMO_CLI_PLOT
TEST_F(FuzzyCliTest, PlotDrawsTheTermsOfOneVariable) {
  const std::string png = Path("e.png");
  ASSERT_EQ(Cli("fuzzy plot " + model + " --var ошибка --plot " + png + " --size 500x240").Status, 0);
  QImage img(QString::fromStdString(png));
  ASSERT_EQ(img.size(), QSize(500, 240));
  int coloured = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      coloured += c.saturation() > 100;
    }
  EXPECT_GT(coloured, 500);
  EXPECT_EQ(Cli("fuzzy plot " + model + " --var Нет --plot " + png).Status, 2);
}
#endif

}  // namespace
