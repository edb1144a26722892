// The rule language: tokens, the compiler's error codes at the offending
// token, and the text written back from compiled rules.
#include <gtest/gtest.h>

#include "core/fuzzy/fuzzy_test_support.h"
#include "core/model/test_support.h"
#include "fuzzy/fuzzy_rules.h"
#include "model/errors.h"

namespace vemo {
namespace {

using fuzzytest::SmallModel;

class FuzzyRulesTest : public testing::ProgramTest {
 protected:
  TFuzzyModel m = SmallModel();
  // Compiles a line; the returned position and the code.
  std::pair<int, int> Compile(const std::string& line) {
    const int pos = CompileRule(m, line);
    return {pos, Prog.Err.FuzzyError};
  }
  std::string Text(size_t cursor = 0) { return RuleToText(m, cursor); }
};

TEST_F(FuzzyRulesTest, AcceptedRulesCompileToItemsAndReadBack) {
  EXPECT_EQ(Compile(""), std::make_pair(0, 0));
  EXPECT_EQ(Compile(" \t "), std::make_pair(0, 0));
  EXPECT_TRUE(m.Rules.empty());
  ASSERT_EQ(Compile("ЕСЛИ НЕ ((X1 ЕСТЬ A) И X2 ЕСТЬ B) ИЛИ X3 ЕСТЬ C ТО Y ЕСТЬ Z И Y ЕСТЬ W").first, 0);
  ASSERT_EQ(m.Rules.size(), 5u);
  EXPECT_EQ(m.Rules[0], (TRuleItem{0, 0, kRuleNot | kRuleAnd | 0x200 | 0x1000}));
  EXPECT_EQ(m.Rules[1], (TRuleItem{1, 1, 0x1000}));
  EXPECT_EQ(m.Rules[2], (TRuleItem{2, 2, 0}));
  EXPECT_EQ(m.Rules[3], (TRuleItem{3, 3, kRuleConclusion}));
  EXPECT_EQ(m.Rules[4], (TRuleItem{3, 4, kRuleConclusion}));
  EXPECT_EQ(Text(), "ЕСЛИ НЕ ((X1 ЕСТЬ A) И X2 ЕСТЬ B) ИЛИ X3 ЕСТЬ C ТО Y ЕСТЬ Z И Y ЕСТЬ W");

  // Lower case and any spacing compile to the same items.
  TFuzzyModel upper = m;
  ClearRules(m);
  ASSERT_EQ(Compile("если не(( x1 есть a)и x2 есть b)или x3 есть c то y есть z и y есть w").first, 0);
  EXPECT_EQ(m.Rules, upper.Rules);

  // A second rule follows the first; the cursor walks rule by rule.
  ASSERT_EQ(Compile("ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ W").first, 0);
  EXPECT_EQ(RuleCount(m), 2u);
  size_t cursor = 0;
  RuleToText(m, cursor);
  EXPECT_EQ(cursor, 5u);
  EXPECT_EQ(RuleToText(m, cursor), "ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ W");
  EXPECT_EQ(RuleToText(m, cursor), "");

  // Indices that name nothing print as ???.
  m.Rules = {{7, 0, 0}, {3, kNoIndex, kRuleConclusion}};
  EXPECT_EQ(Text(), "ЕСЛИ ??? ЕСТЬ A ТО Y ЕСТЬ ???");
}

TEST_F(FuzzyRulesTest, ErrorsNameTheirCodeAndTheStartOfTheOffendingToken) {
  struct {
    const char* line;
    int position, code;
  } cases[] = {
      {"X1 ЕСТЬ A ТО Y ЕСТЬ Z", 1, 7},
      {"ЕСЛИ X1 ЕСТЬ A", 15, 5},                   // ends after the first premise
      {"ЕСЛИ X9 ЕСТЬ A ТО Y ЕСТЬ Z", 6, 1},
      {"ЕСЛИ X1 ЕСТ A ТО Y ЕСТЬ Z", 9, 2},
      {"ЕСЛИ X1 ЕСТЬ Q ТО Y ЕСТЬ Z", 14, 3},
      {"ЕСЛИ X1 ЕСТЬ B ТО Y ЕСТЬ Z", 14, 9},       // B belongs to X2
      {"ЕСЛИ (X1 ЕСТЬ A ТО Y ЕСТЬ Z", 17, 4},      // "(" left open: at "ТО"
      {"ЕСЛИ X1 ЕСТЬ A) ТО Y ЕСТЬ Z", 15, 5},      // one ")" too many
      {"ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z Y", 28, 6},
      {"ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z ИЛИ Y ЕСТЬ W", 28, 6},
      {"ЕСЛИ X1 ЕСТЬ A ТО НЕ Y ЕСТЬ Z", 19, 1},
      {"ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ", 25, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Compile(c.line), std::make_pair(c.position, c.code));
  }
  // Sixteen "(" are one too many; fifteen are allowed.
  const std::string open15(15, '('), close15(15, ')');
  EXPECT_EQ(Compile("ЕСЛИ " + open15 + "X1 ЕСТЬ A" + close15 + " ТО Y ЕСТЬ Z").first, 0);
  EXPECT_EQ(Compile("ЕСЛИ " + open15 + "(X1 ЕСТЬ A ТО Y ЕСТЬ Z"), std::make_pair(21, 8));
  EXPECT_STREQ(RuleErrorMessage(8), "Слишком много \"(\"  (более 15)");
  EXPECT_STREQ(RuleErrorMessage(1), ErrorMessage(21));
}

TEST_F(FuzzyRulesTest, AFailureDropsEveryRuleOfTheModel) {
  ASSERT_EQ(Compile("ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z").first, 0);
  ASSERT_FALSE(m.Rules.empty());
  EXPECT_NE(Compile("ЕСЛИ X1 ЕСТЬ A ТО").first, 0);
  EXPECT_TRUE(m.Rules.empty());

  const TRuleFailure f = CompileRules(m, "ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z\r\n\r\nЕСЛИ X2 ЕСТЬ Q ТО Y ЕСТЬ Z\n");
  EXPECT_EQ(f.Line, 2);
  EXPECT_EQ(f.Position, 14);
  EXPECT_TRUE(m.Rules.empty());
  EXPECT_EQ(CompileRules(m, RulesText(SmallModel())).Line, -1);
}

TEST_F(FuzzyRulesTest, NamesCompareInEitherCaseAndTermsOfTheVariableComeFirst) {
  // Cyrillic names; positions count characters, not bytes.
  TFuzzyModel r;
  AddVariable(r, "Ошибка");
  AddVariable(r, "упр");
  AddTerm(r, "мало", 0, fuzzytest::Triangle(0, 1, 2));
  AddTerm(r, "Много", 1, fuzzytest::Triangle(0, 1, 2));
  // A term name shared by two variables, as files of other tools have it.
  AddTerm(r, "ZE", 0, fuzzytest::Triangle(0, 1, 2));
  AddTerm(r, "ZE", 1, fuzzytest::Triangle(0, 1, 2));
  EXPECT_EQ(CompileRule(r, "если ОШИБКА есть МАЛО то УПР есть много и упр есть ze"), 0);
  ASSERT_EQ(r.Rules.size(), 3u);
  EXPECT_EQ(r.Rules[2].TermIndex, 3);
  EXPECT_EQ(CompileRule(r, "ЕСЛИ ошибка ЕСТЬ много ТО упр ЕСТЬ ze"), 18);
  EXPECT_EQ(Prog.Err.FuzzyError, 9);
  // ё is not upper-cased.
  AddVariable(r, "ё");
  EXPECT_EQ(FindVariable(r, "Ё"), -1);
  EXPECT_EQ(FindVariable(r, "ё"), 2);
}

}  // namespace
}  // namespace vemo
