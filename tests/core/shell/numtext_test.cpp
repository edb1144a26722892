// The text forms of real numbers: the dialog form, the 23-character form of
// text files, and the reading of typed numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "core/model/test_support.h"
#include "shell/numtext.h"

namespace vemo {
namespace {

using FormatNumberTest = testing::ProgramTest;
using FormatReal23Test = testing::ProgramTest;
using ParseNumberTest = testing::ProgramTest;

TEST_F(FormatNumberTest, FixedFormDropsTrailingZerosAndPoint) {
  EXPECT_EQ(FormatNumber(0.5), "0.5");
  EXPECT_EQ(FormatNumber(2.0), "2");
  EXPECT_EQ(FormatNumber(-0.25), "-0.25");
  EXPECT_EQ(FormatNumber(0.1), "0.1");
  EXPECT_EQ(FormatNumber(-7.0), "-7");
  EXPECT_EQ(FormatNumber(1.0 / 3.0), "0.33333333");
  EXPECT_EQ(FormatNumber(12345.625), "12345.625");
  EXPECT_EQ(FormatNumber(100000.0), "100000");
  EXPECT_EQ(FormatNumber(0.001), "0.001");
  // Rounded to the 6-byte real first: about 12 significant digits survive.
  EXPECT_EQ(FormatNumber(1.23456789012345), "1.23456789");
  EXPECT_EQ(FormatNumber(0.30000000000000004), "0.3");
}

TEST_F(FormatNumberTest, TinyValuesAreZero) {
  EXPECT_EQ(FormatNumber(0.0), "0");
  EXPECT_EQ(FormatNumber(-0.0), "0");
  EXPECT_EQ(FormatNumber(1e-13), "0");
  EXPECT_EQ(FormatNumber(-5e-13), "0");
}

TEST_F(FormatNumberTest, LargeAndSmallMagnitudesUseTheExponentForm) {
  EXPECT_EQ(FormatNumber(1.5e-7), " 1.50000E-0007");
  EXPECT_EQ(FormatNumber(123456.0), " 1.23456E+0005");
  EXPECT_EQ(FormatNumber(-123456.0), "-1.23456E+0005");
  EXPECT_EQ(FormatNumber(100001.0), " 1.00001E+0005");
  EXPECT_EQ(FormatNumber(2e-6), " 2.00000E-0006");
  EXPECT_EQ(FormatNumber(-3.25e-11), "-3.25000E-0011");
  EXPECT_EQ(FormatNumber(6.02e23), " 6.02000E+0023");
  for (double x : {1.5e-7, 123456.0, -9.87654e30}) EXPECT_EQ(FormatNumber(x).size(), 14u) << x;
}

TEST_F(FormatNumberTest, UnrepresentableValuesGiveEmptyText) {
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::quiet_NaN()), "");
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity()), "");
  EXPECT_EQ(FormatNumber(1e300), "");  // beyond the range of the 6-byte real
}

TEST_F(FormatReal23Test, SignDigitPointFourteenDigitsAndFourDigitExponent) {
  EXPECT_EQ(FormatReal23(1.0), " 1.00000000000000E+0000");
  EXPECT_EQ(FormatReal23(-2.5e-10), "-2.50000000000000E-0010");
  EXPECT_EQ(FormatReal23(0.0), " 0.00000000000000E+0000");
  EXPECT_EQ(FormatReal23(123.456), " 1.23456000000000E+0002");
  EXPECT_EQ(FormatReal23(1e100), " 1.00000000000000E+0100");
  EXPECT_EQ(FormatReal23(-1.0 / 3.0), "-3.33333333333333E-0001");
  EXPECT_EQ(FormatReal23(9.999999999999999), " 1.00000000000000E+0001");  // rounding carries
  for (double x : {1.0, -1e-300, 5e307, 0.1}) EXPECT_EQ(FormatReal23(x).size(), 23u) << x;
}

// The 23-character form by the C library's own rounding to 15 digits.
std::string Real23ByPrintf(double x) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.14E", std::fabs(x));
  const char* e = std::strchr(buf, 'E');
  std::string s = (std::signbit(x) && x != 0.0) ? "-" : " ";
  s.append(buf, 16);
  char tail[8];
  std::snprintf(tail, sizeof tail, "E%c%04d", e[1], std::atoi(e + 2));
  return s + tail;
}

TEST_F(FormatReal23Test, RoundsLikeTheCLibraryOverTheWholeRange) {
  // Random bit patterns (normal and subnormal), single-precision samples
  // widened as the runs store them, times k·dt and short decimals: the
  // shortest-text path and the rounding path must both give the library's
  // digits.
  std::mt19937_64 rng(7);
  std::vector<double> values = {0.0, -0.0, 1.0, 0.1, 1e-300, 5e-324, 2.2250738585072014e-308,
                                2.2250738585072009e-308, 1e15, 123456789012345.0, 1234567890123456.0,
                                0.30000000000000004, 9.999999999999999e22};
  for (int i = 0; i < 100000; ++i) {
    double d;
    const uint64_t bits = rng();
    std::memcpy(&d, &bits, sizeof d);
    if (std::isfinite(d) && std::fabs(d) < 1.79769313486231e308) values.push_back(d);
    const uint32_t fbits = static_cast<uint32_t>(rng());
    float f;
    std::memcpy(&f, &fbits, sizeof f);
    if (std::isfinite(f)) values.push_back(f);
    values.push_back(static_cast<double>(i) * 0.0005);
    values.push_back(static_cast<double>(static_cast<int64_t>(rng() % 2000001) - 1000000) / 1000.0);
  }
  for (double x : values) ASSERT_EQ(FormatReal23(x), Real23ByPrintf(x)) << std::hexfloat << x;
}

TEST_F(ParseNumberTest, AcceptsDecimalTextsWithOptionalExponent) {
  struct Case { const char* text; double value; };
  const Case good[] = {
      {"0.5", 0.5},     {"2", 2.0},        {"-0.25", -0.25}, {"+3", 3.0},
      {"1e5", 1e5},     {"1E-3", 1e-3},    {"-2.5e+02", -250.0},
      {" 7 ", 7.0},     {".5", 0.5},       {"5.", 5.0},      {"0", 0.0},
      {" 1.50000E-0007", 1.5e-7},  // the program's own exponent form reads back
  };
  for (const Case& c : good) {
    double v = -999;
    EXPECT_TRUE(ParseNumber(c.text, v)) << '"' << c.text << '"';
    EXPECT_DOUBLE_EQ(v, c.value) << c.text;
  }
}

TEST_F(ParseNumberTest, RejectsOtherTextsAndKeepsTheValue) {
  for (const char* text : {"", " ", "abc", "1,5", "1e", "e5", ".", "-", "1.2.3", "--1", "1 2",
                           "0x1A", "inf", "nan", "1e5x", "5 %", "1e+"}) {
    double v = 42.0;
    EXPECT_FALSE(ParseNumber(text, v)) << '"' << text << '"';
    EXPECT_EQ(v, 42.0) << text;
  }
}

TEST_F(FormatReal23Test, LargestFiniteValuesReadBack) {
  for (double v : {1.7976931348623157e308, -1.7976931348623157e308, 1.79769313486231e308}) {
    const std::string t = FormatReal23(v);
    double back = 0;
    EXPECT_TRUE(ParseNumber(t, back)) << t;
    EXPECT_EQ(t.size(), 23u);
  }
}

}  // namespace
}  // namespace vemo
