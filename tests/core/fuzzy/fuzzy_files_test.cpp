// The model file, the block's project data and the WinFACT text format:
// layouts byte for byte, round trips, and damaged input.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>

#include "core/fuzzy/fuzzy_test_support.h"
#include "core/model/test_support.h"
#include "fuzzy/fuzzy_block.h"
#include "fuzzy/fuzzy_file.h"
#include "fuzzy/winfact.h"
#include "shell/encoding.h"
#include "shell/numtext.h"

namespace vemo {
namespace {

using fuzzytest::Shape;
using fuzzytest::SmallModel;
using fuzzytest::Triangle;
using testing::TempDir;

class FuzzyFilesTest : public testing::ProgramTest {
 protected:
  TempDir dir;
};

void ExpectSameModel(const TFuzzyModel& a, const TFuzzyModel& b) {
  EXPECT_EQ(a.Method, b.Method);
  ASSERT_EQ(a.Variables.size(), b.Variables.size());
  for (size_t i = 0; i < a.Variables.size(); ++i) EXPECT_EQ(a.Variables[i].Name, b.Variables[i].Name);
  ASSERT_EQ(a.Terms.size(), b.Terms.size());
  for (size_t i = 0; i < a.Terms.size(); ++i) {
    EXPECT_EQ(a.Terms[i].Name, b.Terms[i].Name);
    EXPECT_EQ(a.Terms[i].VarIndex, b.Terms[i].VarIndex);
    EXPECT_EQ(a.Terms[i].Shape, b.Terms[i].Shape);
  }
  EXPECT_EQ(a.Rules, b.Rules);
}

// A model with Cyrillic names, both kinds of rule items and method MAX_MIN.
TFuzzyModel RussianModel() {
  TFuzzyModel m = SmallModel();
  m.Variables[0].Name = "Ошибка";
  m.Terms[0].Name = "Мало";
  m.Method = kMaxMin;
  EXPECT_EQ(CompileRule(m, "ЕСЛИ НЕ (Ошибка ЕСТЬ Мало ИЛИ X2 ЕСТЬ B) ТО Y ЕСТЬ Z И Y ЕСТЬ W"), 0);
  return m;
}

TEST_F(FuzzyFilesTest, ModelFileHasItsLayoutAndReadsBack) {
  TFuzzyModel m;
  AddVariable(m, "Y");
  AddTerm(m, "Ж", 0, Shape({{1.5, 0}}));
  m.Rules = {{0, 0, kRuleConclusion}};
  m.Method = kMaxMin;
  const std::vector<uint8_t> img = ModelFileImage(m);
  std::vector<uint8_t> want(kFuzzyFileHeader, kFuzzyFileHeader + 31);
  want.push_back(1);                                            // method
  want.insert(want.end(), {1, 1, 0xC6});                        // term: name "Ж" (1251)
  want.insert(want.end(), 11, 0);
  want.insert(want.end(), {1, 0, 0, 0});                        // one point
  const double x = 1.5, y = 0.0;
  want.insert(want.end(), reinterpret_cast<const uint8_t*>(&x), reinterpret_cast<const uint8_t*>(&x) + 8);
  want.insert(want.end(), reinterpret_cast<const uint8_t*>(&y), reinterpret_cast<const uint8_t*>(&y) + 8);
  want.insert(want.end(), {0, 0, 0, 0, 0});                     // variable index, end of terms
  want.insert(want.end(), {1, 0, 0, 0, 0, 4, 0, 0});            // one rule item, end
  want.insert(want.end(), {1, 1, 'Y'});                         // one variable
  want.insert(want.end(), 11, 0);
  want.push_back(0);
  EXPECT_EQ(img, want);

  const TFuzzyModel r = RussianModel();
  const std::string path = dir.File("model.fz");
  ASSERT_TRUE(SaveModelFile(r, path));
  TFuzzyModel back = SmallModel();
  ASSERT_TRUE(LoadModelFile(back, path));
  ExpectSameModel(back, r);
}

TEST_F(FuzzyFilesTest, DamagedModelFilesLeaveAnEmptyModel) {
  const std::vector<uint8_t> good = ModelFileImage(RussianModel());
  TFuzzyModel m;
  ASSERT_TRUE(ParseModelFile(good.data(), good.size(), m));
  // Every shorter prefix is refused.
  for (size_t n = 0; n < good.size(); ++n) {
    m = SmallModel();
    EXPECT_FALSE(ParseModelFile(good.data(), n, m)) << n;
    EXPECT_TRUE(m.Terms.empty() && m.Rules.empty() && m.Variables.empty());
  }
  std::vector<uint8_t> bad = good;
  bad[5] = 'x';  // header
  EXPECT_FALSE(ParseModelFile(bad.data(), bad.size(), m));
  bad = good;
  bad[31 + 1 + 1] = 13;  // a name longer than its field
  EXPECT_FALSE(ParseModelFile(bad.data(), bad.size(), m));
  bad = good;
  bad[31 + 1 + 14 + 3] = 0x40;  // a point count beyond the file
  EXPECT_FALSE(ParseModelFile(bad.data(), bad.size(), m));
  EXPECT_FALSE(LoadModelFile(m, dir.File("missing.fz")));
}

TEST_F(FuzzyFilesTest, ProjectDataKeepsItsLayoutAndReadsBack) {
  TFuzzyBlock b;
  auto image = [](TFuzzyBlock& blk) {
    TMemCursor measure = TMemCursor::Measuring();
    blk.Save(measure);
    std::vector<uint8_t> bytes(measure.Pos);
    TMemCursor w = TMemCursor::Writing(bytes);
    blk.Save(w);
    return bytes;
  };
  // A new block: side 3, method 0, four 65-byte names, no rules, no terms.
  const std::vector<uint8_t> fresh = image(b);
  ASSERT_EQ(fresh.size(), 2u + 4 * 66 + 1 + 1 + 1);
  EXPECT_EQ(fresh[0], 3);
  EXPECT_EQ(fresh[1], 0);
  EXPECT_EQ(fresh[2], 1);
  EXPECT_EQ(fresh[3], 2);
  EXPECT_EQ(std::string(fresh.begin() + 4, fresh.begin() + 6), "X1");
  EXPECT_EQ(fresh[2 + 66], 1);

  b.Model = RussianModel();
  b.OutputSide = 2;
  const std::vector<uint8_t> bytes = image(b);
  TFuzzyBlock c;
  TLoadCursor in(bytes);
  ASSERT_TRUE(c.Load(in));
  EXPECT_EQ(in.Pos, bytes.size());
  EXPECT_EQ(c.OutputSide, 2);
  ExpectSameModel(c.Model, b.Model);
  EXPECT_EQ(image(c), bytes);

  for (size_t n = 0; n < bytes.size(); ++n) {
    TLoadCursor part(bytes.data(), n);
    EXPECT_FALSE(c.Load(part)) << n;
    EXPECT_TRUE(c.Model.Terms.empty() && c.Model.Variables.empty());
  }
}

// ---- WinFACT

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find("\r\n", pos);
    EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
    if (end == std::string::npos) break;
    out.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return out;
}

TEST_F(FuzzyFilesTest, WinFACTExportWritesTheDocumentedLines) {
  TFuzzyModel m;
  AddVariable(m, "X");
  AddVariable(m, "Y");
  AddTerm(m, "ZERO", 0, Triangle(-1, 0, 1));
  AddTerm(m, "ZENITH", 1, Shape({{0, 0}, {1, 0.5}, {2, 0.5}, {3, 0.004}}));
  AddTerm(m, "Z", 1, Triangle(2, 3, 4));
  ASSERT_EQ(CompileRule(m, "ЕСЛИ X ЕСТЬ ZERO ТО Y ЕСТЬ Z"), 0);
  m.Method = kMaxMin;
  const std::string path = dir.File("out.fuz");
  ASSERT_EQ(ExportWinFACT(m, path), TWinFACTExport::Written);
  std::string text;
  ASSERT_TRUE(ReadWholeFile(path, text));
  const std::vector<std::string> l = Lines(text);
  const std::string R1 = FormatReal23(1), Rm1 = FormatReal23(-1), R0 = FormatReal23(0);
  ASSERT_EQ(l.size(), 35u);
  EXPECT_EQ(l[0], "!");
  EXPECT_EQ(l[1], "! This file was created by FUZZYLIB module");
  EXPECT_EQ(l[2].substr(0, 2), "! ");
  for (int i = 3; i < 8; ++i) EXPECT_EQ(l[static_cast<size_t>(i)], "!");
  EXPECT_EQ(l[8], "2");
  const std::vector<std::string> x = {"X", "E", Rm1 + " " + R1 + " 1 1", "1", "ZERO", "ZE", "0",
                                      Rm1 + " " + R1 + " " + R1 + " 0 " + R0};
  EXPECT_EQ(std::vector<std::string>(l.begin() + 9, l.begin() + 17), x);
  EXPECT_EQ(l[17], "Y");
  EXPECT_EQ(l[18], "A");
  EXPECT_EQ(l[19], R0 + " " + FormatReal23(4) + " 1 1");
  EXPECT_EQ(l[20], "2");
  EXPECT_EQ(l[22], "ZN");  // ZE is taken by ZERO
  EXPECT_EQ(l[23], "1");
  EXPECT_EQ(l[24], R0 + " " + FormatReal23(3) + " " + FormatReal23(0.5) + " " + R1 + " " +
                       FormatReal23(2));
  // "Z" is too short for a pair of its own: two random capitals, unused.
  EXPECT_TRUE(l[26].size() == 2 && std::isupper(l[26][0]) && std::isupper(l[26][1]));
  EXPECT_NE(l[26], "ZE");
  EXPECT_NE(l[26], "ZN");
  EXPECT_EQ(l[29], "1");
  EXPECT_EQ(l[30], "  1   2 1.000000");
  EXPECT_EQ(std::vector<std::string>(l.begin() + 31, l.end()),
            (std::vector<std::string>{"MAX_MIN", "SPN", "HOLD", " 0.0000000000E+0000"}));
}

TEST_F(FuzzyFilesTest, WinFACTExportRefusesWhatTheFormatCannotHold) {
  const std::string path = dir.File("refused.fuz");
  auto refused = [&](TFuzzyModel m) {
    const bool r = ExportWinFACT(m, path) == TWinFACTExport::DoesNotFit;
    EXPECT_FALSE(std::filesystem::exists(path));
    return r;
  };
  TFuzzyModel m = SmallModel();
  ASSERT_EQ(CompileRule(m, "ЕСЛИ X1 ЕСТЬ A И НЕ (X2 ЕСТЬ B) ТО Y ЕСТЬ Z"), 0);
  EXPECT_TRUE(FitsWinFACT(m));  // negation and parentheses are not checked
  m = SmallModel();
  ASSERT_EQ(CompileRule(m, "ЕСЛИ X1 ЕСТЬ A ИЛИ X2 ЕСТЬ B ТО Y ЕСТЬ Z"), 0);
  EXPECT_TRUE(refused(m));
  m = SmallModel();
  ASSERT_EQ(CompileRule(m, "ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z И Y ЕСТЬ W"), 0);
  EXPECT_TRUE(refused(m));
  m = SmallModel();
  m.Terms[0].Shape = Shape({{0, 0}, {1, 1}, {2, 1}, {3, 0.5}, {4, 0}});
  EXPECT_TRUE(refused(m));
  m.Terms[0].Shape = Shape({{0, 0}, {1, 1}, {2, 0.9}, {3, 0}});  // no flat top
  EXPECT_TRUE(refused(m));
  m.Terms[0].Shape = Shape({{0, 0.01}, {1, 1}, {2, 0}});  // not standing on 0
  EXPECT_TRUE(refused(m));
  EXPECT_TRUE(FitsWinFACT(TFuzzyModel{}));
  EXPECT_STREQ(kWinFACTRefused, "Данные не могут быть сохранены в формате WinFACT.");
}

TEST_F(FuzzyFilesTest, WinFACTImportRestoresAnExportedModel) {
  TFuzzyModel m = SmallModel();
  m.Variables[1].Name = "Скорость";
  m.Terms[1].Name = "Быстро";
  m.Terms[4].Shape = Shape({{2, 0}, {2.5, 0.8}, {3.5, 0.8}, {4, 0}});
  m.Method = kMaxMin;
  ASSERT_EQ(CompileRules(m, "ЕСЛИ НЕ X1 ЕСТЬ A И (Скорость ЕСТЬ Быстро) ТО Y ЕСТЬ W\n"
                            "ЕСЛИ X3 ЕСТЬ C ТО Y ЕСТЬ Z\n").Line, -1);
  const std::string path = dir.File("round.fuz");
  ASSERT_EQ(ExportWinFACT(m, path), TWinFACTExport::Written);
  TFuzzyModel back = SmallModel();
  int lastOutput = 99;
  ASSERT_TRUE(ImportWinFACT(back, path, lastOutput));
  EXPECT_EQ(lastOutput, 3);
  // Negation and parentheses are gone; everything else is back.
  for (TRuleItem& r : m.Rules) r.Flags &= kRuleAnd | kRuleConclusion;
  ExpectSameModel(back, m);
}

TEST_F(FuzzyFilesTest, WinFACTImportOfHandMadeAndDamagedFiles) {
  // Two inputs and an output; the second rule has 0 for every input and
  // the third no output: neither can stand as a rule and both are passed
  // over. Term types other than 0..2 give a term without points.
  const std::string text =
      "! comment\r\n!\n3\nE\nE\n-1 1 1 1\n2\nN\nNN\n0\n-2 0 1 0 -1\nP\nPP\n1\n0 2 1 0.5 1.5\n"
      "D\nE\n0 1\n1\nODD\nOD\n7\nwhatever\nU\nA\n0 1 1 1\n1\nZ\nZZ\n2\n0 1 1 0 0.5\n"
      "4\n 1 1 1 1.000000\n 0 0 1 1.000000\n 2 0 0 1.000000\n 2 1 1 1.000000\nMAX_MIN\nSPN\n";
  TFuzzyModel m;
  int lastOutput = -5;
  ASSERT_TRUE(ParseWinFACT(text, m, lastOutput));
  EXPECT_EQ(lastOutput, 2);
  ASSERT_EQ(m.Variables.size(), 3u);
  ASSERT_EQ(m.Terms.size(), 4u);
  EXPECT_EQ(m.Terms[0].Shape, Triangle(-2, -1, 0));
  EXPECT_EQ(m.Terms[1].Shape, Shape({{0, 0}, {0.5, 1}, {1.5, 1}, {2, 0}}));
  EXPECT_TRUE(m.Terms[2].Shape.Points.empty());
  EXPECT_EQ(m.Terms[3].VarIndex, 2u);
  EXPECT_EQ(RulesText(m), "ЕСЛИ E ЕСТЬ N И D ЕСТЬ ODD ТО U ЕСТЬ Z\nЕСЛИ E ЕСТЬ P И D ЕСТЬ ODD ТО U ЕСТЬ Z\n");
  EXPECT_EQ(m.Method, kMaxMin);

  // Cut anywhere before the method line, the file is refused; what was
  // read stays, and nothing reads past the text.
  const size_t methodAt = text.find("MAX_MIN");
  for (size_t n = 0; n < methodAt; ++n) EXPECT_FALSE(ParseWinFACT(text.substr(0, n), m, lastOutput)) << n;
  // Counts beyond the lines that remain, terms beyond the variable's own.
  EXPECT_FALSE(ParseWinFACT("1000000\nE\nE\n", m, lastOutput));
  EXPECT_FALSE(ParseWinFACT("1\nE\nE\n0 1\n-1\n0\nMAX_DOT\n", m, lastOutput));
  EXPECT_FALSE(ParseWinFACT("1\nE\nA\n0 1\n0\n1\n  1 1.0\nMAX_DOT\n", m, lastOutput));
}

}  // namespace
}  // namespace vemo
