#include "blocks/expression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "shell/numtext.h"

namespace vemo {
namespace {

const std::string kSyntax = kExpressionError;
const std::string kFormat = kBadNumberFormat;

struct Case {
  const char* text;
  double value;
};

// Expects failure with `message`, the value left alone.
void ExpectFailure(std::string_view text, const std::string& message) {
  double v = -7.0;
  std::string msg;
  EXPECT_FALSE(EvalExpression(text, v, &msg)) << text;
  EXPECT_EQ(msg, message) << text;
  EXPECT_EQ(v, -7.0) << text;
}

TEST(EvalExpressionTest, PrecedenceAssociativityAndSigns) {
  const Case cases[] = {
      {"2+3*4", 14},        {"(2+3)*4", 20},   {"2^3^2", 64},      {"-2^2", 4},
      {"1+2*3^2", 19},      {"10-4-3", 3},     {"100/10/5", 2},    {"8/2*4", 16},
      {"2^(3^2)", 512},     {"10-(4-3)", 9},   {"((((7))))", 7},   {"1--2", 3},
      {"3*-2", -6},         {"2^-1", 0.5},     {"-2^3", 8},        {".5+1.", 1.5},
      {"1E-3*2", 0.002},    {"1E+3-1", 999},   {"1.5E3-1", 1499},  {" ( 2 +\t3 ) * 4 ", 20},
      {"- 5", -5},          {"1E - 3", 0.001}, {"1 000", 1000},    {"1E-30/2E-30", 0.5},
      {"10^-400", 0},       {"5^0", 1},
  };
  for (const Case& c : cases) {
    double v = 0.0;
    std::string msg;
    ASSERT_TRUE(EvalExpression(c.text, v, &msg)) << c.text << ": " << msg;
    EXPECT_DOUBLE_EQ(v, c.value) << c.text;
  }
}

TEST(EvalExpressionTest, PowerIsRoundedToSixByteReal) {
  double expected = 0.0, v = 0.0;
  ASSERT_TRUE(RoundToReal48(std::exp(0.5 * std::log(2.0)), expected));
  ASSERT_TRUE(EvalExpression("2^0.5", v));
  EXPECT_EQ(v, expected);
  EXPECT_NE(v, std::sqrt(2.0)) << "only 40 significant bits are kept";
  EXPECT_NEAR(v, std::sqrt(2.0), 1e-11);
  ASSERT_TRUE(EvalExpression("0.1*3", v));
  EXPECT_EQ(v, 0.1 * 3) << "other operations are not rounded";
}

TEST(EvalExpressionTest, SyntaxAndArithmeticFailures) {
  for (const char* text :
       {"", "  ", "2+", "*2", "2*/3", "(2+3", "2+3)", "()", "2(3)", "(1)(2)", "(2)3", "1/0",
        "1/1E-30", "1/(2-2)", "0^2", "1E300*1E300", "1E308+1E308", "10^400", "2^127"})
    ExpectFailure(text, kSyntax);
}

TEST(EvalExpressionTest, NumberFormatFailures) {
  for (const char* text :
       {"abc", "2+x", "1.2.3", "--5", "1E", "E-3", "1,5", "-(2)", "inf", "1E999", "\xD0\x90"})
    ExpectFailure(text, kFormat);
  ExpectFailure(std::string(100000, '9'), kFormat);
  ExpectFailure(std::string("1\0+2", 4), kFormat);
  double v = 1.0;
  EXPECT_FALSE(EvalExpression("x", v)) << "the message is optional";
}

TEST(EvalExpressionTest, NestingLimits) {
  // Every "1+(" leaves one more operand pending; the 33rd level is refused.
  auto nested = [](size_t levels) {
    std::string s;
    for (size_t k = 0; k < levels; ++k) s += "1+(";
    return s + "1" + std::string(levels, ')');
  };
  double v = 0.0;
  ASSERT_TRUE(EvalExpression(nested(32), v));
  EXPECT_EQ(v, 33.0);
  ExpectFailure(nested(33), kSyntax);
  // Deep parentheses with nothing pending cost no stack.
  const std::string deep = std::string(200000, '(') + "2" + std::string(200000, ')') + "*3";
  ASSERT_TRUE(EvalExpression(deep, v));
  EXPECT_EQ(v, 6.0);
  ExpectFailure(deep.substr(1), kSyntax);
}

TEST(ParamTextTest, CutToThirtyCharactersAndUpperCased) {
  EXPECT_EQ(PrepareParamText(std::string(34, '1')), std::string(30, '1'));
  // 29 digits then "аб": 30 characters kept, never half a letter.
  EXPECT_EQ(PrepareParamText(std::string(29, '1') + "аб"), std::string(29, '1') + "А");
  EXPECT_EQ(PrepareParamText("1e-3*abc аяёпр AZ"), "1E-3*ABC АЯЁПР AZ");
  double v = 0.0;
  ASSERT_TRUE(EvalParamText("1e-3*2", v));
  EXPECT_DOUBLE_EQ(v, 0.002);
  ASSERT_TRUE(EvalParamText(std::string(30, '0') + "+1", v));
  EXPECT_EQ(v, 0.0) << "the tail beyond 30 characters is ignored";
  std::string msg;
  EXPECT_FALSE(EvalParamText("1/0", v, &msg));
  EXPECT_EQ(msg, kSyntax);
}

}  // namespace
}  // namespace vemo
