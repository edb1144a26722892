// Bode plot values against closed forms of textbook transfer functions,
// the autoscale rule, the sliders and the saved curve text.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "frequency/bode.h"
#include "frequency/zero_pole.h"
#include "shell/numtext.h"
#include "simulation/plot_axes.h"
#include "test_support.h"

namespace vemo {
namespace {

constexpr double kPi = 3.14159265358979323846;

TZeroPoleForm Form(std::vector<Real> num, std::vector<Real> den) {
  return BuildZeroPoleForm(test::Frac(std::move(num), std::move(den)));
}

TEST(BodeTest, FirstOrderLagAtItsCornerFrequency) {
  TZeroPoleForm f = Form({1}, {1, 1});
  Real l = 0, phi = 0;
  ASSERT_TRUE(BodeResponse(f, 0, 0.0, l, phi));
  EXPECT_NEAR(static_cast<double>(l), -3.0102999566398119521, 1e-15);
  EXPECT_NEAR(static_cast<double>(phi) * 180 / kPi, -45.0, 1e-13);
  // Everywhere: L = -10 lg(1 + w^2), phi = -atan w.
  double worstL = 0, worstPhi = 0;
  for (double x = -3; x <= 3; x += 0.125) {
    ASSERT_TRUE(BodeResponse(f, 0, x, l, phi));
    const double w = std::pow(10.0, x);
    worstL = std::max(worstL, std::fabs(static_cast<double>(l) + 10 * std::log10(1 + w * w)));
    worstPhi = std::max(worstPhi, std::fabs(static_cast<double>(phi) + std::atan(w)));
  }
  EXPECT_LT(worstL, 1e-12);
  EXPECT_LT(worstPhi, 1e-14);
  RecordProperty("lag_worst_L_dB", std::to_string(worstL));
  RecordProperty("lag_worst_phi_rad", std::to_string(worstPhi));
}

TEST(BodeTest, IntegratorFallsTwentyDecibelsPerDecade) {
  TZeroPoleForm f = Form({1}, {0, 1});
  for (double x : {-3.0, -1.0, 0.0, 2.0, 3.0}) {
    Real l = 0, phi = 0;
    ASSERT_TRUE(BodeResponse(f, 0, x, l, phi));
    EXPECT_NEAR(static_cast<double>(l), -20 * x, 1e-12) << x;
    EXPECT_NEAR(static_cast<double>(phi), -kPi / 2, 1e-15) << x;
  }
}

TEST(BodeTest, OscillatoryElementResonance) {
  // 1/(T^2 s^2 + 2 xi T s + 1), T = 0.1, xi = 0.05.
  const double T = 0.1, xi = 0.05;
  TZeroPoleForm f = Form({1}, {1, 2 * xi * T, T * T});
  Real l = 0, phi = 0;
  ASSERT_TRUE(BodeResponse(f, 0, std::log10(1 / T), l, phi));
  EXPECT_NEAR(static_cast<double>(l), 20 * std::log10(1 / (2 * xi)), 1e-12);
  EXPECT_NEAR(static_cast<double>(phi), -kPi / 2, 1e-12);
  // The resonance peak at w_r = sqrt(1 - 2 xi^2)/T of height 1/(2 xi sqrt(1 - xi^2)).
  const double wr = std::sqrt(1 - 2 * xi * xi) / T;
  ASSERT_TRUE(BodeResponse(f, 0, std::log10(wr), l, phi));
  const double peak = 20 * std::log10(1 / (2 * xi * std::sqrt(1 - xi * xi)));
  EXPECT_NEAR(static_cast<double>(l), peak, 1e-12);
  Real l2 = 0;
  ASSERT_TRUE(BodeResponse(f, 0, std::log10(wr) + 0.001, l2, phi));
  EXPECT_LT(l2, l);
  ASSERT_TRUE(BodeResponse(f, 0, std::log10(wr) - 0.001, l2, phi));
  EXPECT_LT(l2, l);
  // Far above resonance the phase tends to -180 degrees, continuously.
  ASSERT_TRUE(BodeResponse(f, 0, 4, l, phi));
  EXPECT_NEAR(static_cast<double>(phi), -kPi, 1e-3);
}

TEST(BodeTest, DelayLowersThePhaseOnly) {
  TZeroPoleForm f = Form({1}, {1, 1});
  Real l0, p0, l1, p1;
  ASSERT_TRUE(BodeResponse(f, 0, 1.0, l0, p0));
  ASSERT_TRUE(BodeResponse(f, 1, 1.0, l1, p1));
  EXPECT_EQ(l0, l1);
  EXPECT_NEAR(static_cast<double>(p0 - p1), 10.0, 1e-13);
}

TEST(BodeTest, NegativeGainIsHalfATurnAndZeroGainHasNoLogarithm) {
  TZeroPoleForm f = Form({-1}, {1, 1});
  Real l, phi;
  ASSERT_TRUE(BodeResponse(f, 0, 0.0, l, phi));
  EXPECT_NEAR(static_cast<double>(l), -10 * std::log10(2.0), 1e-13);
  EXPECT_NEAR(static_cast<double>(phi) * 180 / M_PI, -225.0, 1e-12);
  std::string text;
  EXPECT_TRUE(BodeCurveText(f, 0, -3, 3, false, text));
  TZeroPoleForm zero = Form({0}, {1, 1});
  EXPECT_FALSE(BodeResponse(zero, 0, 0.0, l, phi));
  EXPECT_FALSE(BodeCurveText(zero, 0, -3, 3, false, text));
}

TEST(BodeTest, AutoscaleOfIntegrator) {
  TZeroPoleForm f = Form({1}, {0, 1});
  TBodeRanges r;
  ASSERT_TRUE(BodeAutoscale(f, 0, -3, 3, r));
  EXPECT_NEAR(r.LMax, 60, 1e-9);
  EXPECT_GT(r.LMin, -60.0);
  EXPECT_LT(r.LMin, -59.7);
  EXPECT_NEAR(r.PhiMin, -kPi, 1e-15);
  EXPECT_NEAR(r.PhiMax, -kPi / 2, 1e-15);
}

TEST(BodeTest, AutoscaleOfUnityWidensNarrowRanges) {
  TZeroPoleForm f = Form({1}, {1});
  TBodeRanges r;
  ASSERT_TRUE(BodeAutoscale(f, 0, -3, 3, r));
  EXPECT_DOUBLE_EQ(r.LMin, -0.01);
  EXPECT_DOUBLE_EQ(r.LMax, 0.01);
  EXPECT_NEAR(r.PhiMin, -kPi, 1e-15);
  EXPECT_NEAR(r.PhiMax, 0, 1e-15);
}

TEST(BodeTest, FixedRangesStay) {
  TZeroPoleForm f = Form({1}, {0, 1});
  TBodeRanges r;
  r.LAutoscale = false;
  r.LMin = -20;
  r.LMax = 20;
  r.PhiAutoscale = false;
  r.PhiMin = -1;
  r.PhiMax = -0.995;  // narrower than 0.01: widened
  ASSERT_TRUE(BodeAutoscale(f, 0, -3, 3, r));
  EXPECT_EQ(r.LMin, -20);
  EXPECT_EQ(r.LMax, 20);
  EXPECT_DOUBLE_EQ(r.PhiMin, -1.01);
  EXPECT_DOUBLE_EQ(r.PhiMax, -0.985);
}

TEST(BodeTest, SliderMapping) {
  EXPECT_EQ(LgwToSlider(-3), 312);
  EXPECT_EQ(LgwToSlider(3), 688);
  EXPECT_EQ(LgwToSlider(-8), 0);
  EXPECT_EQ(LgwToSlider(8), 1000);
  EXPECT_EQ(LgwToSlider(20), 1000);
  EXPECT_DOUBLE_EQ(SliderToLgw(312), -3.008);
  EXPECT_DOUBLE_EQ(SliderToLgw(688), 3.008);
  double top, bottom;
  SliderWindow(-60, 60, 0, 1000, top, bottom);
  EXPECT_EQ(top, 60);
  EXPECT_EQ(bottom, -60);
  SliderWindow(-60, 60, 250, 500, top, bottom);
  EXPECT_EQ(top, 30);
  EXPECT_EQ(bottom, 0);
}

TEST(BodeTest, PlotMappingAndGridSteps) {
  EXPECT_EQ(BodePlotX(-3, -3, 3, 10, 610), 10);
  EXPECT_EQ(BodePlotX(0, -3, 3, 10, 610), 310);
  EXPECT_EQ(BodePlotX(3, -3, 3, 10, 610), 610);
  EXPECT_EQ(BodePlotY(60, 60, -60, 0, 232), 16);
  EXPECT_EQ(BodePlotY(-60, 60, -60, 0, 232), 216);
  EXPECT_EQ(BodePlotY(0, 60, -60, 0, 232), 116);
  EXPECT_EQ(BodeLGridStep(120), 20);
  EXPECT_NEAR(BodePhiGridStep(kPi), NiceStep(180.0) * kPi / 180, 1e-15);
}

TEST(BodeTest, CurveTextHasTwoHundredLines) {
  TZeroPoleForm f = Form({1}, {1, 1});
  std::string text;
  ASSERT_TRUE(BodeCurveText(f, 0, -3, 3, false, text));
  std::istringstream in(text);
  std::string line;
  int n = 0;
  while (std::getline(in, line)) {
    ASSERT_EQ(line.size(), 47u) << n;
    if (n == 0) {
      EXPECT_EQ(line.substr(0, 23), FormatReal23(-3.0));
    }
    if (n == 100) {
      EXPECT_EQ(line.substr(0, 23), FormatReal23(0.0));
      EXPECT_EQ(line.substr(24), FormatReal23(-3.0102999566398119521));
    }
    if (n == 199) {
      EXPECT_EQ(line.substr(0, 23), FormatReal23(-3 + 199 * 6 * 0.005));
    }
    ++n;
  }
  EXPECT_EQ(n, 200);
  ASSERT_TRUE(BodeCurveText(f, 0, -3, 3, true, text));
  EXPECT_EQ(text.substr(100 * 48 + 24, 23), FormatReal23(-45.0));
}

}  // namespace
}  // namespace vemo
