// The decomposition of a zero/pole form into typical elements and the
// controller form.
#include <gtest/gtest.h>

#include <numbers>

#include "core/model/test_support.h"
#include "synthesis/elements.h"
#include "synthesis_support.h"

namespace vemo {
namespace {

using testing::ParseW;

std::vector<TSynthElement> Decompose(const std::string& text, uint8_t expectedError = 0) {
  TFraction w = ParseW(text);
  TZeroPoleForm form = BuildZeroPoleForm(w);
  std::vector<TSynthElement> out;
  EXPECT_EQ(DecomposeForm(form, 0.0L, out), expectedError) << text;
  return out;
}

void ExpectElement(const TSynthElement& e, uint16_t code, std::initializer_list<double> params) {
  EXPECT_EQ(e.Code, code);
  int i = 0;
  for (double p : params) EXPECT_NEAR(e.Params[i++], p, 1e-9) << "code " << e.Code << " param " << i - 1;
}

// A form given root by root.
TZeroPoleForm Form(Real k, std::vector<std::pair<Real, Real>> zeros, std::vector<std::pair<Real, Real>> poles) {
  TZeroPoleForm f;
  f.K = k;
  for (auto [re, im] : zeros) {
    f.ZeroRe.push_back(re);
    f.ZeroIm.push_back(im);
  }
  for (auto [re, im] : poles) {
    f.PoleRe.push_back(re);
    f.PoleIm.push_back(im);
  }
  f.LastZero = static_cast<int32_t>(zeros.size()) - 1;
  f.LastPole = static_cast<int32_t>(poles.size()) - 1;
  return f;
}

TEST(Decomposition, SimpleElementsInTheirBlocksParameterOrder) {
  // One aperiodic element, no gain element left over.
  auto e = Decompose("1/(s+1)");
  ASSERT_EQ(e.size(), 1u);
  ExpectElement(e[0], 10, {1.0, 1.0});
  // The integrator takes the gain, the aperiodic element follows.
  e = Decompose("2/(s*(s+1))");
  ASSERT_EQ(e.size(), 2u);
  ExpectElement(e[0], 7, {2.0});
  ExpectElement(e[1], 10, {1.0, 1.0});
  // Oscillatory: K / (s^2 + 0.4 s + 4) = (K/4) / (0.25 s^2 + 0.1 s + 1).
  e = Decompose("3/(s^2+0.4*s+4)");
  ASSERT_EQ(e.size(), 1u);
  ExpectElement(e[0], 11, {0.5, 0.1, 0.75});
  // Forcing after the poles: 10 (s + 0.5) / ((s + 1)(s + 3)).
  e = Decompose("5*(2*s+1)/((s+1)*(s+3))");
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].Code, 10);
  EXPECT_EQ(e[1].Code, 10);
  EXPECT_NEAR(e[0].Params[1] * e[1].Params[1], 10.0 / 3.0, 1e-9);
  ExpectElement(e[2], 9, {2.0, 0.5});
  // Differentiators from zeros at the origin; a plain gain last.
  e = Decompose("4*s^2");
  ASSERT_EQ(e.size(), 2u);
  ExpectElement(e[0], 8, {4.0});
  ExpectElement(e[1], 8, {1.0});
  e = Decompose("4");
  ASSERT_EQ(e.size(), 1u);
  ExpectElement(e[0], 6, {4.0});
  EXPECT_TRUE(Decompose("1").empty());
}

TEST(Decomposition, IntegratorsAreAbsorbedByPiAndPidTerms) {
  auto e = Decompose("(s+2)/s");
  ASSERT_EQ(e.size(), 1u);
  ExpectElement(e[0], kPiCode, {1.0, 2.0});
  // Two real zeros and an integrator: Kd s + Kp + Ki / s with Kp = 4, Ki = 3.
  e = Decompose("(s+1)*(s+3)/(s*(s+5))");
  ASSERT_EQ(e.size(), 2u);
  ExpectElement(e[0], kPidCode, {1.0, 4.0, 3.0});
  ExpectElement(e[1], 10, {0.2, 0.2});
  // A complex pair of zeros with an integrator: a PID term as well.
  e = Decompose("2*(s^2+s+4)/(s*(s+2))");
  ASSERT_EQ(e.size(), 2u);
  ExpectElement(e[0], kPidCode, {2.0, 2.0, 8.0});
  // Without an integrator the pair is a second-order forcing term {K, a, b}.
  e = Decompose("2*(s^2+s+4)/((s+1)*(s+2)*(s+3))");
  ASSERT_EQ(e.size(), 4u);
  ExpectElement(e[0], kForcing2Code, {2.0, 1.0, 4.0});
  // Two integrators and one zero: PI, then the remaining integrator.
  e = Decompose("(s+2)/s^2");
  ASSERT_EQ(e.size(), 2u);
  ExpectElement(e[0], kPiCode, {1.0, 2.0});
  ExpectElement(e[1], 7, {1.0});
}

TEST(Decomposition, UnstableAndUnrealisableFormsFail) {
  Decompose("1/(s-1)", kUnstableContour);
  Decompose("(s-1)/(s+1)", kCannotSynthesise);
  Decompose("1/(s^2-s+1)", kUnstableContour);              // damping below 0
  Decompose("(s^2-s+1)/((s+1)*(s+2))", kUnstableContour);  // zeros on the right
  Decompose("(0-2)*(s^2+s+1)/((s+1)*(s+2))", kUnstableContour);  // negative gain
  // A complex root without its conjugate partner is left over.
  std::vector<TSynthElement> out;
  EXPECT_EQ(DecomposeForm(Form(1, {}, {{-1, 1}}), 0.0L, out), kCannotSynthesise);
  out.clear();
  EXPECT_EQ(DecomposeForm(Form(1, {{-1, 2}}, {{-1, 0}}), 0.0L, out), kCannotSynthesise);
  // Roots that are not numbers (a failed root search).
  out.clear();
  EXPECT_EQ(DecomposeForm(Form(1, {}, {{NAN, 0}}), 0.0L, out), kCannotSynthesise);
}

TEST(Decomposition, DelayFirstAndEqualRootsCancel) {
  std::vector<TSynthElement> out;
  ASSERT_EQ(DecomposeForm(Form(2, {{-3, 0}}, {{-3, 0}, {-1, 0}}), 0.5L, out), 0);
  ASSERT_EQ(out.size(), 2u);
  ExpectElement(out[0], 12, {0.5, 2.0});  // the delay takes the gain
  ExpectElement(out[1], 10, {1.0, 1.0});
}

TEST(Decomposition, ControllerFormInvertsThePlantAndAddsAnIntegrator) {
  const TZeroPoleForm plant = Form(2, {{-3, 0}}, {{-1, 0}, {0, 0}});
  TZeroPoleForm c;
  ASSERT_TRUE(ControllerForm(plant, 0.5L, c));
  EXPECT_DOUBLE_EQ(static_cast<double>(c.K), 1.0);
  EXPECT_NEAR(static_cast<double>(c.Phi0), -std::numbers::pi / 2, 1e-15);
  ASSERT_EQ(c.ZeroCount(), 2);
  ASSERT_EQ(c.PoleCount(), 1);
  EXPECT_EQ(c.PoleRe[0], -3);
  // 1 / (0.5 s W) = (s + 1) s / (s + 3) / s: the origin zero and the phase
  // offset cancel, leaving the aperiodic and the forcing element.
  std::vector<TSynthElement> out;
  ASSERT_EQ(DecomposeForm(c, 0.0L, out), 0);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].Code, 10);
  EXPECT_EQ(out[1].Code, 9);
  EXPECT_FALSE(ControllerForm(Form(0, {}, {}), 1.0L, c));
  EXPECT_FALSE(ControllerForm(plant, 0.0L, c));
}

}  // namespace
}  // namespace vemo
