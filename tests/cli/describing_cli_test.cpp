// Runs the built vemo-cli's nyquist --dfc / --popov and the oscillation
// blocks of margins on the shipped relay and saturation loops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "cli_support.h"

namespace {

using namespace vemo::clitest;
constexpr double kPi = std::numbers::pi;

// The three reals of a saved curve line.
std::vector<double> Reals(const std::string& line) {
  std::vector<double> v;
  const char* p = line.c_str();
  char* end = nullptr;
  for (double x = std::strtod(p, &end); end != p; x = std::strtod(p, &end)) {
    v.push_back(x);
    p = end;
  }
  return v;
}

double NumberAfter(const std::string& line, const std::string& label) {
  EXPECT_EQ(line.rfind(label, 0), 0u) << line;
  return std::strtod(line.c_str() + label.size(), nullptr);
}

// The loop of relay_loop.vmo opened at the error signal: the relay (level
// 1, hysteresis 0.1), 1/(0.5s + 1) and 1/s.
const std::string kRelayLoop = Example("relay_loop.vmo") + " --from B --to A";

TEST(DescribingCliTest, MarginsReportTheRelayOscillation) {
  const TRun r = Cli("margins " + kRelayLoop);
  ASSERT_EQ(r.Status, 0);
  const auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 9u) << r.Out;
  EXPECT_EQ(lines[0], "Устойчива");
  EXPECT_EQ(lines[3], "Возможны колебания:");
  // By hand: w (1 + w^2/4) = 4c / (pi b) and sqrt(A^2 - b^2) = 2 / (pi (1 + w^2/4)).
  double lo = 0.1, hi = 10;
  for (int i = 0; i < 100; ++i) {
    const double m = (lo + hi) / 2;
    (m * (1 + m * m / 4) > 40 / kPi ? hi : lo) = m;
  }
  const double w = lo, a = std::hypot(2 / (kPi * (1 + w * w / 4)), 0.1);
  EXPECT_NEAR(NumberAfter(lines[4], "Частота: "), w, 2e-3 * w);
  const size_t hz = lines[4].find("rad/с = ");
  ASSERT_NE(hz, std::string::npos);
  EXPECT_NEAR(std::strtod(lines[4].c_str() + hz + std::string("rad/с = ").size(), nullptr), w / (2 * kPi), 1e-3);
  EXPECT_EQ(lines[4].substr(lines[4].size() - 5), "Гц.");
  EXPECT_NEAR(NumberAfter(lines[5], "Амплитуда: "), a, 2e-3 * a);
  EXPECT_EQ(lines[5].substr(lines[5].size() - 6), " ед.");
  EXPECT_EQ(lines[6], "Устойчивы (автоколебания)");
  EXPECT_EQ(lines[7].rfind("Частота среза: ", 0), 0u);  // after the window's text
}

TEST(DescribingCliTest, MarginsWithoutAMeetingHaveNoBlocks) {
  // Saturation before 2/(s(s+1)): the hodograph stays right of -1.
  const TRun r = Cli("margins " + Example("saturation_loop.vmo") + " --from B --to A");
  ASSERT_EQ(r.Status, 0);
  const auto lines = Lines(r.Out);
  ASSERT_EQ(lines.size(), 5u) << r.Out;
  EXPECT_EQ(lines[0], "Устойчива");
}

TEST(DescribingCliTest, DescribingCurveOfTheHysteresisRelay) {
  const TRun r = Cli("nyquist " + kRelayLoop + " --dfc");
  ASSERT_EQ(r.Status, 0);
  const auto lines = Lines(r.Out);
  // A from the hysteresis 0.1 by factors 1.2 below 1000 times the level.
  ASSERT_EQ(lines.size(), 51u);
  double prevA = 0;
  for (const std::string& l : lines) {
    ASSERT_EQ(l.size(), 23u * 3 + 2) << l;
    const auto v = Reals(l);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_GT(v[0], prevA);
    prevA = v[0];
    EXPECT_NEAR(v[1], -kPi * 0.1 / 4, 1e-7);  // Im: the line of the hysteresis
    // Re: A is the stored single-precision amplitude, hence the margin at A = b.
    EXPECT_NEAR(v[2], -kPi / 4 * std::sqrt(std::max(0.0, v[0] * v[0] - 0.01)), 3e-5 + 1e-6 * v[0]);
  }
  EXPECT_NEAR(Reals(lines[0])[0], 0.1, 1e-7);
}

TEST(DescribingCliTest, PopovHodographMultipliesImByOmega) {
  const TRun plain = Cli("nyquist " + kRelayLoop);
  const TRun popov = Cli("nyquist " + kRelayLoop + " --popov");
  ASSERT_EQ(plain.Status, 0);
  ASSERT_EQ(popov.Status, 0);
  const auto a = Lines(plain.Out), b = Lines(popov.Out);
  ASSERT_EQ(a.size(), b.size());
  ASSERT_GT(a.size(), 1240u);
  for (size_t i = 0; i < a.size(); i += 53) {
    const auto x = Reals(a[i]), y = Reals(b[i]);
    EXPECT_EQ(x[0], y[0]);
    EXPECT_EQ(x[2], y[2]);
    EXPECT_NEAR(y[1], x[1] * x[0], 1e-6 * (1 + std::fabs(y[1])));
  }
}

TEST(DescribingCliTest, FailuresAndUsage) {
  // A contour without a nonlinear block: the nonlinear part's error with --dfc.
  const std::string linear = Example("feedback_loop.vmo") + " --from B --to A";
  TRun r = Cli("nyquist " + linear + " --dfc");
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out.rfind("Ошибка 1", 0), 0u) << r.Out;
  EXPECT_EQ(Lines(r.Out).size(), 1u);
  // Without --dfc the linear contour is plotted as before.
  r = Cli("nyquist " + linear);
  EXPECT_EQ(r.Status, 0);
  EXPECT_FALSE(r.Out.empty());
  EXPECT_EQ(Cli("nyquist " + kRelayLoop + " --dfc --ne-step 0").Status, 2);
  EXPECT_EQ(Cli("margins " + kRelayLoop + " --ne-step x").Status, 2);
  r = Cli("nyquist --help");
  EXPECT_EQ(r.Status, 0);
  EXPECT_NE(r.Out.find("--dfc"), std::string::npos);
  EXPECT_NE(r.Out.find("--popov"), std::string::npos);
  r = Cli("margins --help");
  EXPECT_NE(r.Out.find("Возможны колебания:"), std::string::npos);
}

}  // namespace
