// Runs the built vemo-cli's tf and bode commands on hand-made schemes and
// on the shipped examples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "cli_fixture.h"
#include "cli_support.h"
#include "model/project_file.h"
#include "scheme_fixtures.h"
#include "shell/numtext.h"
#include "shell/program.h"

using namespace vemo;

namespace {

using namespace vemo::clitest;

class FrequencyCliTest : public CliFilesTest {
 protected:
  FrequencyCliTest() : CliFilesTest("vemo_freq_cli_") {}

  // gen -> summer (bottom negated) -> block -> stub, with unity negative
  // feedback from the block's output when loop is set; A on the generator
  // output, B at the end.
  std::string Scheme(const char* name, uint16_t code, std::initializer_list<double> params, bool loop) {
    auto f = CreateField();
    if (loop) vemo::testing::BuildFeedbackLoop(*f, code, params);
    else vemo::testing::BuildOpenChain(*f, {{2, {}}, {code, params}});
    EXPECT_TRUE(SaveField(*f, Path(name)));
    return Path(name);
  }
};

TEST_F(FrequencyCliTest, TfPrintsThePolynomialForm) {
  const std::string p = Scheme("gain.vmo", 6, {2.0}, false);
  TRun r = Cli("tf " + p + " --from A --to B");
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out, "WAB(s)=(2)/(1)\n");
  // The default contour: the first and the second placed point.
  EXPECT_EQ(Cli("tf " + p).Out, "WAB(s)=(2)/(1)\n");
}

TEST_F(FrequencyCliTest, TfOfAFeedbackLoopInBothForms) {
  const std::string p = Scheme("loop.vmo", 7, {1.0, 0.0}, true);
  EXPECT_EQ(Cli("tf " + p + " --from A --to B").Out, "WAB(s)=(1)/(s+1)\n");
  EXPECT_EQ(Cli("tf " + p + " --from a --to b --factored").Out, "WAB(s)=1/((s+1))\n");
}

TEST_F(FrequencyCliTest, TfOfTheShippedExamples) {
  EXPECT_EQ(Cli("tf " + Example("feedback_loop.vmo") + " --from B --to A").Out, "WBA(s)=(1)/(0.5*s^2+s)\n");
  EXPECT_EQ(Cli("tf " + Example("feedback_loop.vmo") + " --from B --to A --factored").Out,
            "WBA(s)=1/(s*(0.5*s+1))\n");
  EXPECT_EQ(Cli("tf " + Example("oscillatory_step.vmo") + " --from B --to A --factored").Out,
            "WBA(s)=1/((0.04*s^2+0.08*s+1))\n");
}

TEST_F(FrequencyCliTest, TfWritesAFileWithCrLf) {
  const std::string p = Scheme("gain.vmo", 6, {2.0}, false);
  TRun r = Cli("tf " + p + " -o " + Path("w.txt"));
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(ReadAll(Path("w.txt")), "WAB(s)=(2)/(1)\r\n");
}

TEST_F(FrequencyCliTest, ContourErrorsPrintLikeCheck) {
  const std::string p = Scheme("delayloop.vmo", 12, {0.5, 1.0}, true);
  TRun r = Cli("tf " + p + " --from A --to B");
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Ошибка 38: Невозможно выделить звенья задержки. (столбец 6, строка 2)\n");
  const std::string q = Scheme("special.vmo", 39, {1.0}, false);
  r = Cli("bode " + q);
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, "Ошибка 39: Невозможно построить частотные характеристики этого блока. (столбец 6, строка 2)\n");
}

TEST_F(FrequencyCliTest, BodePrintsTwoHundredLines) {
  // The loop around 1/s is 1/(s+1): -3.0103 dB and -45 degrees at w = 1.
  const std::string p = Scheme("loop.vmo", 7, {1.0, 0.0}, true);
  TRun r = Cli("bode " + p + " --from A --to B");
  ASSERT_EQ(r.Status, 0);
  auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 200u);
  EXPECT_EQ(lines[0].substr(0, 23), "-3.00000000000000E+0000");
  EXPECT_EQ(lines[100], " 0.00000000000000E+0000 -3.01029995663981E+0000");
  EXPECT_EQ(lines[199].substr(0, 23), " 2.97000000000000E+0000");
  r = Cli("bode " + p + " --phase --lgw-min -1 --lgw-max 1");
  ASSERT_EQ(r.Status, 0);
  lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 200u);
  EXPECT_EQ(lines[0].substr(0, 23), "-1.00000000000000E+0000");
  EXPECT_EQ(lines[100], " 0.00000000000000E+0000 -4.50000000000000E+0001");
}

TEST_F(FrequencyCliTest, BodeOfIntegratorIsAStraightLine) {
  const std::string p = Scheme("int.vmo", 7, {1.0, 0.0}, false);
  TRun r = Cli("bode " + p + " -o " + Path("l.txt"));
  ASSERT_EQ(r.Status, 0);
  EXPECT_TRUE(r.Out.empty());
  const std::string text = ReadAll(Path("l.txt"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 200);
  EXPECT_EQ(text.substr(0, 49), "-3.00000000000000E+0000  6.00000000000000E+0001\r\n");
}

TEST_F(FrequencyCliTest, NegativeGainIsHalfATurn) {
  // From the output of the loop to its error signal W = -1: 0 dB and -180
  // degrees at every frequency.
  for (const char* option : {"", " --phase"}) {
    TRun r = Cli("bode " + Example("feedback_loop.vmo") + " --from A --to B" + option);
    EXPECT_EQ(r.Status, 0);
    const std::vector<std::string> lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 200u);
    for (const std::string& line : lines)
      EXPECT_NEAR(std::stod(line.substr(24)), *option ? -180.0 : 0.0, 1e-12) << line;
  }
}

// The open loop of the cancelling loop, 0.3/s over six lags T = 0.1, 0.6
// .. 1.0 and two oscillatory blocks, from the blocks' own factors.
std::complex<double> CancellingOpenLoop(double w) {
  const std::complex<double> s(0, w);
  std::complex<double> v = 0.3 / s / (0.01 * s * s + 0.06 * s + 1.0) / (0.0025 * s * s + 0.05 * s + 1.0);
  for (double T : {0.1, 0.6, 0.7, 0.8, 0.9, 1.0}) v /= T * s + 1.0;
  return v;
}

// The frequency where side() changes between lo and hi, by bisection.
template <class Side>
double Bisect(double lo, double hi, Side side) {
  const bool atLo = side(lo);
  for (int i = 0; i < 200; ++i) {
    const double m = (lo + hi) / 2;
    (side(m) == atLo ? lo : hi) = m;
  }
  return (lo + hi) / 2;
}

TEST_F(FrequencyCliTest, LoopWithCancellingPairsGivesAllItsAnalyses) {
  auto f = CreateField();
  vemo::testing::BuildCancellingLoop(*f);
  ASSERT_TRUE(SaveField(*f, Path("cancel.vmo")));
  const std::string p = Path("cancel.vmo");
  // The factored W(s): the four cancelled pairs are gone.
  TRun r = Cli("tf " + p + " --factored");
  ASSERT_EQ(r.Status, 0) << r.Out;
  EXPECT_EQ(r.Out.rfind("WAB(s)=0.3*1/(s*", 0), 0u) << r.Out;
  for (const char* factor : {"(0.0025*s^2+0.05*s+1)", "(0.01*s^2+0.06*s+1)", "(s+1)", "(0.1*s+1)", "(0.6*s+1)",
                             "(0.7*s+1)", "(0.8*s+1)", "(0.9*s+1)"})
    EXPECT_NE(r.Out.find(factor), std::string::npos) << factor;
  EXPECT_EQ(r.Out.find("(0.2*s+1)"), std::string::npos);
  // The Bode data.
  r = Cli("bode " + p);
  ASSERT_EQ(r.Status, 0);
  const std::vector<std::string> lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 200u);
  for (const std::string& line : lines) {
    const double w = std::pow(10.0, std::stod(line.substr(0, 23)));
    EXPECT_NEAR(std::stod(line.substr(24)), 20 * std::log10(std::abs(CancellingOpenLoop(w))), 1e-9) << line;
  }
  // The margins, against the crossings found here.
  r = Cli("margins " + p);
  ASSERT_EQ(r.Status, 0);
  const std::vector<std::string> report = Lines(r.Out);
  ASSERT_EQ(report.size(), 5u) << r.Out;
  const double wc = Bisect(0.01, 10, [](double w) { return std::abs(CancellingOpenLoop(w)) > 1; });
  // The phase of the open loop, continuous: -90 degrees and the factors'.
  auto phase = [](double w) {
    double p = -90 - std::atan2(0.06 * w, 1 - 0.01 * w * w) * 180 / M_PI -
               std::atan2(0.05 * w, 1 - 0.0025 * w * w) * 180 / M_PI;
    for (double T : {0.1, 0.6, 0.7, 0.8, 0.9, 1.0}) p -= std::atan(T * w) * 180 / M_PI;
    return p;
  };
  const double w180 = Bisect(0.01, 10, [&](double w) { return phase(w) > -180; });
  auto number = [](const std::string& line, const std::string& label) {
    EXPECT_EQ(line.rfind(label, 0), 0u) << line;
    return std::stod(line.substr(label.size()));
  };
  EXPECT_EQ(report[0], "Устойчива");
  EXPECT_NEAR(number(report[1], "Запас по фазе: "), 180 + phase(wc), 1e-6);
  EXPECT_NEAR(number(report[2], "Запас по амплитуде: "), -20 * std::log10(std::abs(CancellingOpenLoop(w180))), 1e-6);
  EXPECT_NEAR(number(report[3], "Частота среза: "), wc, 1e-7);
  EXPECT_NEAR(number(report[4], "Частота при фазе -180°: "), w180, 1e-7);
}

// The value at s of a polynomial text as tf writes it: terms such as
// "2.5e-06*s^11", "+s", "-3*s", "+0.25", highest power first.
std::complex<long double> PolynomialValue(const std::string& text, std::complex<long double> s) {
  std::complex<long double> v = 0;
  size_t i = 0;
  while (i < text.size()) {
    size_t j = i + 1;  // the term ends at a sign that is not an exponent's
    while (j < text.size() && !((text[j] == '+' || text[j] == '-') && text[j - 1] != 'e')) ++j;
    const std::string term = text.substr(i, j - i);
    const size_t at = term.find('s');
    long double c = 1;
    if (at == std::string::npos) c = std::stold(term);
    else if (at > 1 || (at == 1 && term[0] != '+' && term[0] != '-')) c = std::stold(term.substr(0, at));
    else if (term[0] == '-') c = -1;
    int power = 0;
    if (at != std::string::npos) power = term.size() > at + 1 ? std::stoi(term.substr(at + 2)) : 1;
    v += c * std::pow(s, power);
    i = j;
  }
  return v;
}

TEST_F(FrequencyCliTest, TfWithDigitsKeepsEveryCoefficient) {
  // The window's text keeps 0.000017 of 1.70018e-05 s^12; with --digits 19
  // the coefficients are W(s)'s own.
  auto f = CreateField();
  vemo::testing::BuildCancellingLoop(*f);
  ASSERT_TRUE(SaveField(*f, Path("cancel.vmo")));
  TRun plain = Cli("tf " + Path("cancel.vmo"));
  TRun exact = Cli("tf " + Path("cancel.vmo") + " --digits 19");
  ASSERT_EQ(exact.Status, 0);
  const std::string& t = exact.Out;
  const size_t bar = t.find(")/(");
  ASSERT_EQ(t.rfind("WAB(s)=(", 0), 0u);
  ASSERT_NE(bar, std::string::npos);
  const std::string num = t.substr(8, bar - 8), den = t.substr(bar + 3, t.size() - bar - 5);
  for (double x : {0.05, 0.3, 1.0, 3.0, 20.0}) {
    const std::complex<long double> s(0, x);
    const std::complex<double> got(PolynomialValue(num, s) / PolynomialValue(den, s));
    const std::complex<double> want = CancellingOpenLoop(x);
    EXPECT_LT(std::abs(got - want) / std::abs(want), 1e-15) << x << " " << t;
  }
  EXPECT_NE(plain.Out, exact.Out);
  EXPECT_EQ(plain.Out.find('e'), std::string::npos);  // the window's number text
  // --digits 3 leaves out what reads as 1 at three digits.
  EXPECT_EQ(Cli("tf " + Scheme("gain.vmo", 6, {1.0004}, false) + " --digits 3").Out, "WAB(s)=(1)/(1)\n");
  EXPECT_EQ(Cli("tf " + Path("gain.vmo") + " --digits 6").Out, "WAB(s)=(1.0004)/(1)\n");
  for (const char* bad : {"0", "22", "2.5", "x"}) EXPECT_EQ(Cli("tf " + Path("gain.vmo") + " --digits " + bad).Status, 2);
}

TEST_F(FrequencyCliTest, BadUsage) {
  const std::string p = Scheme("gain.vmo", 6, {2.0}, false);
  EXPECT_EQ(Cli("tf").Status, 2);
  EXPECT_EQ(Cli("tf " + p + " --from A --to A").Status, 2);
  EXPECT_EQ(Cli("tf " + p + " --from Z").Status, 2);
  EXPECT_EQ(Cli("tf " + p + " --to").Status, 2);
  EXPECT_EQ(Cli("bode " + p + " --lgw-min x").Status, 2);
  EXPECT_EQ(Cli("bode " + p + " --lgw-min 2 --lgw-max 1").Status, 2);
  EXPECT_EQ(Cli("bode " + p + " --factored-typo").Status, 2);
  EXPECT_EQ(Cli("tf --help").Status, 0);
  EXPECT_EQ(Cli("bode --help").Status, 0);
  // A point that is not placed is a scheme matter, like simulate's.
  EXPECT_EQ(Cli("tf " + p + " --from C").Status, 1);
  EXPECT_EQ(Cli("tf " + Path("missing.vmo")).Status, 1);
}

}  // namespace
