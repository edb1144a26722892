// W(s) of contours whose reduction is done by hand, the delay bookkeeping,
// the contour errors, the nonlinear part and the W(s) texts.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "contour_fixture.h"
#include "frequency/analysis_state.h"
#include "frequency/contour.h"
#include "frequency/transfer_text.h"
#include "frequency/zero_pole.h"
#include "model/compile.h"
#include "model/scheme_builder.h"
#include "scheme_fixtures.h"
#include "shell/program.h"
#include "test_support.h"

namespace vemo {
namespace {

using test::Complex;
using test::Eval;

// Largest relative error of W(s) against the truth over a few points s.
double WorstError(const TFraction& w, Complex (*truth)(Complex)) {
  double worst = 0;
  for (Complex s : {Complex(0, 0.1L), Complex(0, 1), Complex(0, 10), Complex(0.5L, 2), Complex(-0.3L, 0.7L)}) {
    const Complex t = truth(s);
    worst = std::max(worst, static_cast<double>(std::abs(Eval(w, s) - t) / std::abs(t)));
  }
  return worst;
}

class ContourTest : public testing::ContourFieldTest {
 protected:
  // The W(s) command from A to B.
  bool Run(bool zeroPoles = false) { return RunContourCommand(*F, 0, 1, zeroPoles); }
};

// gen -> block -> stub: A on the generator's output, B at the end.
void Chain(TField& f, testing::TChainBlocks blocks) { testing::BuildOpenChain(f, blocks); }

TEST_F(ContourTest, ProportionalBlockGivesItsGain) {
  Chain(*F, {{6, {2.0}}});
  ASSERT_TRUE(Run()) << int(Prog.Err.ErrorCode);
  test::ExpectCoefs(Analysis.W.Num, {2});
  test::ExpectCoefs(Analysis.W.Den, {1});
  EXPECT_EQ(FormatPolynomialText(0, 1, Analysis.W, Analysis.Delay), "WAB(s)=(2)/(1)");
}

TEST_F(ContourTest, SeriesOfLagAndIntegrator) {
  // 3/(2s+1) * 0.5/s
  Chain(*F, {{10, {2.0, 3.0, 0.0}}, {7, {0.5, 0.0}}});
  ASSERT_TRUE(Run());
  const double e = WorstError(Analysis.W, [](Complex s) { return Complex(1.5L) / ((2.0L * s + 1.0L) * s); });
  EXPECT_LT(e, 1e-15);
  RecordProperty("worst_relative_error", std::to_string(e));
}

TEST_F(ContourTest, UnityNegativeFeedbackAroundIntegrator) {
  testing::BuildFeedbackLoop(*F, 7, {1.0, 0.0});
  ASSERT_TRUE(Run(true));
  test::ExpectCoefs(Analysis.W.Num, {1});
  test::ExpectCoefs(Analysis.W.Den, {1, 1});
  EXPECT_EQ(FormatPolynomialText(0, 1, Analysis.W, Analysis.Delay), "WAB(s)=(1)/(s+1)");
  EXPECT_EQ(FormatFactoredText(0, 1, Analysis.Form, Analysis.Delay), "WAB(s)=1/((s+1))");
}

// gen -> branch -> P(2) on top and lag 1/(s+1) below -> summer -> stub.
void Parallel(TField& f, uint16_t summer) {
  TSchemeBuilder b(f);
  b.Block(2, 4, 0, {1.0});
  b.Block(6, 2, 6, {2.0});
  b.Block(6, 6, 10, {1.0, 1.0, 0.0});
  b.Block(8, 4, summer);
  b.Line({{2, 4}, {4, 4}, {4, 2}, {6, 2}});
  b.Line({{4, 4}, {4, 6}, {6, 6}});
  b.Line({{6, 2}, {8, 2}, {8, 4}});
  b.Line({{6, 6}, {8, 6}, {8, 4}});
  b.Line({{8, 4}, {10, 4}});
  b.Point(0, 3, 4);
  b.Point(1, 10, 4);
}

TEST_F(ContourTest, ParallelBranchesThroughPositiveSummer) {
  Parallel(*F, 1);
  ASSERT_TRUE(Run()) << int(Prog.Err.ErrorCode);
  const double e = WorstError(Analysis.W, [](Complex s) { return Complex(2) + Complex(1) / (s + Complex(1)); });
  EXPECT_LT(e, 1e-15);
}

TEST_F(ContourTest, SummerWithNegatedBottomSubtracts) {
  Parallel(*F, 2);
  ASSERT_TRUE(Run());
  const double e = WorstError(Analysis.W, [](Complex s) { return Complex(2) - Complex(1) / (s + Complex(1)); });
  EXPECT_LT(e, 1e-15);
}

TEST_F(ContourTest, SummerWithBothVerticalSidesNegated) {
  Parallel(*F, 4);  // top and bottom negated
  ASSERT_TRUE(Run());
  const double e = WorstError(Analysis.W, [](Complex s) { return -(Complex(2) + Complex(1) / (s + Complex(1))); });
  EXPECT_LT(e, 1e-15);
}

TEST_F(ContourTest, NestedFeedbackLoops) {
  // inner: 1/(s+1) with unity negative feedback = 1/(s+2); then 1/s, outer
  // unity negative feedback: 1/(s^2+2s+1).
  TSchemeBuilder b(*F);
  b.Block(2, 2, 0, {1.0});
  b.Block(4, 2, 2);
  b.Block(6, 2, 2);
  b.Block(8, 2, 10, {1.0, 1.0, 0.0});
  b.Block(10, 2, 7, {1.0, 0.0});
  for (int c = 2; c <= 10; c += 2) b.Line({{c, 2}, {c + 2, 2}});
  b.Line({{9, 2}, {9, 4}, {6, 4}, {6, 2}});
  b.Line({{11, 2}, {11, 6}, {4, 6}, {4, 2}});
  b.Point(0, 3, 2);
  b.Point(1, 12, 2);
  ASSERT_TRUE(Run(true)) << int(Prog.Err.ErrorCode);
  const double e = WorstError(Analysis.W, [](Complex s) { return Complex(1) / ((s + Complex(1)) * (s + Complex(1))); });
  EXPECT_LT(e, 1e-12);
  EXPECT_EQ(FormatPolynomialText(0, 1, Analysis.W, Analysis.Delay), "WAB(s)=(1)/(s^2+2*s+1)");
  // A double real pole at -1.
  EXPECT_EQ(FormatFactoredText(0, 1, Analysis.Form, Analysis.Delay), "WAB(s)=1/((s+1)*(s+1))");
}

TEST_F(ContourTest, InnerPointOfALoop) {
  // From A to the error signal of the loop around 1/s: E = s/(s+1).
  testing::BuildFeedbackLoop(*F, 7, {1.0, 0.0});
  TSchemeBuilder(*F).Point(1, 5, 2);
  ASSERT_TRUE(Run());
  const double e = WorstError(Analysis.W, [](Complex s) { return s / (s + Complex(1)); });
  EXPECT_LT(e, 1e-15);
}

TEST_F(ContourTest, DelaysInSeriesAddUp) {
  Chain(*F, {{12, {0.5, 1.0}}, {12, {0.3, 2.0}}});
  ASSERT_TRUE(Run(true));
  EXPECT_NEAR(static_cast<double>(Analysis.Delay), 0.8, 1e-15);
  test::ExpectCoefs(Analysis.W.Num, {2});
  test::ExpectCoefs(Analysis.W.Den, {1});
  EXPECT_EQ(FormatPolynomialText(0, 1, Analysis.W, Analysis.Delay), "WAB(s)=exp(-0.8*s)*(2)/(1)");
  EXPECT_EQ(FormatFactoredText(0, 1, Analysis.Form, Analysis.Delay), "WAB(s)=2*1*exp(-0.8*s)/(1)");
}

TEST_F(ContourTest, DelayOnParallelPathsCountsOnce) {
  // gen -> delay 0.4 -> branch: directly, and through P(3), into a summer.
  TSchemeBuilder b(*F);
  b.Block(2, 4, 0, {1.0});
  b.Block(4, 4, 12, {0.4, 1.0});
  b.Block(7, 6, 6, {3.0});
  b.Block(8, 4, 1);
  b.Line({{2, 4}, {4, 4}});
  b.Line({{4, 4}, {6, 4}, {6, 2}, {8, 2}, {8, 4}});
  b.Line({{6, 4}, {6, 6}, {7, 6}});
  b.Line({{7, 6}, {8, 6}, {8, 4}});
  b.Line({{8, 4}, {10, 4}});
  b.Point(0, 3, 4);
  b.Point(1, 10, 4);
  ASSERT_TRUE(Run()) << int(Prog.Err.ErrorCode);
  EXPECT_NEAR(static_cast<double>(Analysis.Delay), 0.4, 1e-15);
  const double e = WorstError(Analysis.W, [](Complex) { return Complex(4); });
  EXPECT_LT(e, 1e-15);
}

TEST_F(ContourTest, OneFeederOnTwoSidesEntersOnce) {
  // Both inputs of the summer come from one block: the equation holds one
  // coefficient per feeder, the later side replacing the earlier.
  TSchemeBuilder b(*F);
  b.Block(2, 4, 0, {1.0});
  b.Block(4, 4, 6, {1.0});
  b.Block(8, 4, 1);
  b.Line({{2, 4}, {4, 4}});
  b.Line({{4, 4}, {6, 4}, {6, 2}, {8, 2}, {8, 4}});
  b.Line({{6, 4}, {6, 6}, {8, 6}, {8, 4}});
  b.Line({{8, 4}, {10, 4}});
  b.Point(0, 3, 4);
  b.Point(1, 10, 4);
  ASSERT_TRUE(Run()) << int(Prog.Err.ErrorCode);
  const double e = WorstError(Analysis.W, [](Complex) { return Complex(1); });
  EXPECT_LT(e, 1e-15);
}

TEST_F(ContourTest, DelayInsideAFeedbackLoopIsError38) {
  testing::BuildFeedbackLoop(*F, 12, {0.5, 1.0});
  EXPECT_FALSE(Run());
  EXPECT_EQ(Prog.Err.ErrorCode, 38);
  EXPECT_EQ(Prog.Err.ErrorCol, 6);
  EXPECT_EQ(Prog.Err.ErrorRow, 2);
}

TEST_F(ContourTest, SpecialBlockOnTheContourIsError39) {
  Chain(*F, {{6, {1.0}}, {39, {1.0}}});
  EXPECT_FALSE(Run());
  EXPECT_EQ(Prog.Err.ErrorCode, 39);
  EXPECT_EQ(Prog.Err.ErrorCol, 6);
  EXPECT_EQ(Prog.Err.ErrorRow, 2);
}

TEST_F(ContourTest, EndPointWithoutBlockIsError17) {
  Chain(*F, {{6, {1.0}}});
  TSchemeBuilder(*F).Point(1, 50, 50);  // an empty cell
  EXPECT_FALSE(Run());
  EXPECT_EQ(Prog.Err.ErrorCode, 17);
}

TEST_F(ContourTest, EmptyRunListIsError8) {
  TFraction w = ContourTransferFunction(*F, 0, 1);
  EXPECT_EQ(Prog.Err.ErrorCode, 8);
  EXPECT_TRUE(FracIsNil(w));
}

TEST_F(ContourTest, AlgebraicLoopWithUnityGainIsError18) {
  // x = u + x has no solution: the zero pivot is a floating-point fault.
  testing::BuildFeedbackLoop(*F, 6, {1.0}, 1);  // a summer adding both inputs
  EXPECT_FALSE(Run());
  EXPECT_EQ(Prog.Err.ErrorCode, 18);
  EXPECT_TRUE(FracIsNil(Analysis.W));
}

TEST_F(ContourTest, NoPathGivesZero) {
  // B observes a second generator that the contour does not reach.
  Chain(*F, {{6, {1.0}}});
  TSchemeBuilder b(*F);
  b.Block(2, 10, 0, {1.0});
  b.Line({{2, 10}, {4, 10}});
  b.Point(1, 4, 10);
  ASSERT_TRUE(Run());
  EXPECT_TRUE(FracIsZero(Analysis.W));
  EXPECT_EQ(FormatPolynomialText(0, 1, Analysis.W, 0), "WAB(s)=(0)/(1)");
}

// ---- nonlinear part ----

TEST_F(ContourTest, NonlinearBlockBetweenLinearParts) {
  Chain(*F, {{6, {2.0}}, {20, {0.1}}, {7, {1.0, 0.0}}});
  CompileScheme(*F, nullptr);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  TNonlinearPart p = FindNonlinearPart(*F, 0, 1);
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_EQ(p.Last, F->Cell(6, 2)->AsBlock());
  EXPECT_EQ(p.Entry, F->Cell(4, 2)->AsBlock());
}

TEST_F(ContourTest, ChainOfTwoNonlinearBlocks) {
  Chain(*F, {{6, {2.0}}, {20, {0.1}}, {21, {1.0, -1.0}}, {7, {1.0, 0.0}}});
  CompileScheme(*F, nullptr);
  TNonlinearPart p = FindNonlinearPart(*F, 0, 1);
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_EQ(p.Last, F->Cell(8, 2)->AsBlock());
  EXPECT_EQ(p.Entry, F->Cell(4, 2)->AsBlock());
}

TEST_F(ContourTest, TwoSeparatedNonlinearBlocksAreError16) {
  Chain(*F, {{20, {0.1}}, {6, {2.0}}, {20, {0.1}}});
  CompileScheme(*F, nullptr);
  FindNonlinearPart(*F, 0, 1);
  EXPECT_EQ(Prog.Err.ErrorCode, 16);
}

TEST_F(ContourTest, LinearContourCannotBeSeparated) {
  // The walk reaches the start without meeting a nonlinear block.
  Chain(*F, {{6, {2.0}}});
  CompileScheme(*F, nullptr);
  FindNonlinearPart(*F, 0, 1);
  EXPECT_EQ(Prog.Err.ErrorCode, 16);
}

TEST_F(ContourTest, NoNonlinearBlockOffThePathIsError19) {
  // B observes a block that the start does not feed: no nonlinear block
  // and the start is never reached.
  Chain(*F, {{6, {1.0}}});
  TSchemeBuilder b(*F);
  b.Block(2, 10, 0, {1.0});
  b.Line({{2, 10}, {4, 10}});
  b.Point(1, 4, 10);
  CompileScheme(*F, nullptr);
  FindNonlinearPart(*F, 0, 1);
  EXPECT_EQ(Prog.Err.ErrorCode, 19);
}

// ---- texts ----

TEST(TransferTextTest, PolynomialTextForms) {
  EXPECT_EQ(PolynomialText(test::Poly({0.5, -1, 2})), "2*s^2-s+0.5");
  EXPECT_EQ(PolynomialText(test::Poly({0})), "0");
  EXPECT_EQ(PolynomialText(test::Poly({1, 0.5, 1})), "s^2+0.5*s+1");
  EXPECT_EQ(PolynomialText(test::Poly({-3, 0, 0, -1})), "-s^3-3");
  EXPECT_EQ(PolynomialText(test::Poly({0, 1})), "s");
  EXPECT_EQ(PolynomialText(test::Poly({1e-13, 2})), "2*s");
  EXPECT_EQ(PolynomialText(test::Poly({1.5e-7, 1})), "s+ 1.50000E-0007");
  EXPECT_EQ(PolynomialText(test::Poly({-2.5, 1.00001})), "s-2.5");
}

TEST(TransferTextTest, PolynomialFormOfW) {
  TFraction w = test::Frac({1}, {1, 0.5, 1});
  EXPECT_EQ(FormatPolynomialText(0, 1, w, 0), "WAB(s)=(1)/(s^2+0.5*s+1)");
  EXPECT_EQ(FormatPolynomialText(2, 11, w, 1.25), "WCL(s)=exp(-1.25*s)*(1)/(s^2+0.5*s+1)");
  EXPECT_EQ(FormatPolynomialText(0, 1, w, 1e-13), "WAB(s)=(1)/(s^2+0.5*s+1)");
}

TEST(TransferTextTest, FactorTextOfRoots) {
  Real g = 1;
  EXPECT_EQ(FactorText({}, {}, 0, g), "1");
  EXPECT_EQ(g, 1);
  // s^2 (s + 2) (s^2 + 2s + 5) = 10 s^2 (0.5s+1)(0.2s^2+0.4s+1)
  g = 1;
  EXPECT_EQ(FactorText({0, -1, 0, -1, -2}, {0, 2, 0, -2, 0}, 5, g), "s^2*(0.2*s^2+0.4*s+1)*(0.5*s+1)");
  EXPECT_NEAR(static_cast<double>(g), 10, 1e-15);
  // s^2 + 1: the pair at +-j.
  g = 1;
  EXPECT_EQ(FactorText({0, 0}, {1, -1}, 2, g), "(s^2+0*s+1)");
  // A right-half-plane real root: s - 1 = -(-s + 1).
  g = 1;
  EXPECT_EQ(FactorText({1}, {0}, 1, g), "(-s+1)");
  EXPECT_NEAR(static_cast<double>(g), -1, 1e-18);
  // A complex root without partner.
  g = 1;
  EXPECT_EQ(FactorText({-2}, {3}, 1, g), "(s+2-j*3)");
  EXPECT_EQ(FactorText({-2}, {-1}, 1, g), "(s+2+j*1)");
  EXPECT_EQ(FactorText({-2}, {1}, 1, g), "(s+2-j)");
}

TEST(TransferTextTest, FactoredFormOfW) {
  // 4 (s + 1) / (s (s + 2)) = 2 (s + 1) / (s (0.5 s + 1))
  TFraction w = test::Frac({4, 4}, {0, 2, 1});
  TZeroPoleForm form = BuildZeroPoleForm(w);
  EXPECT_EQ(FormatFactoredText(0, 1, form, 0), "WAB(s)=2*(s+1)/(s*(0.5*s+1))");
  EXPECT_EQ(FormatFactoredText(0, 1, form, 0.5), "WAB(s)=2*(s+1)*exp(-0.5*s)/(s*(0.5*s+1))");
  // -1/(s+1)
  TZeroPoleForm neg = BuildZeroPoleForm(test::Frac({-1}, {1, 1}));
  EXPECT_EQ(FormatFactoredText(0, 1, neg, 0), "WAB(s)=-1/((s+1))");
  // Oscillatory element 1/(0.01 s^2 + 0.01 s + 1).
  TZeroPoleForm osc = BuildZeroPoleForm(test::Frac({1}, {1, 0.01L, 0.01L}));
  EXPECT_EQ(FormatFactoredText(0, 1, osc, 0), "WAB(s)=1/((0.01*s^2+0.01*s+1))");
}

// ---- typed W(s) ----

TEST(ParseTransferFunctionTest, ReadsPolynomialsAndFractions) {
  TFraction f;
  ASSERT_TRUE(ParseTransferFunction("s^2+2*s+1", f));
  test::ExpectCoefs(f.Num, {1, 2, 1});
  test::ExpectCoefs(f.Den, {1});
  ASSERT_TRUE(ParseTransferFunction("1/(s+1)", f));
  test::ExpectCoefs(f.Num, {1});
  test::ExpectCoefs(f.Den, {1, 1});
  ASSERT_TRUE(ParseTransferFunction("1E3*s", f));
  EXPECT_NEAR(static_cast<double>(std::abs(Eval(f, Complex(0, 1)) - Complex(0, 1000))), 0, 1e-12);
  ASSERT_TRUE(ParseTransferFunction("2.5e-1*S^3", f));
  EXPECT_NEAR(static_cast<double>(std::abs(Eval(f, Complex(2, 0)) - Complex(2))), 0, 1e-15);
  FracFree(f);
}

TEST(ParseTransferFunctionTest, OperatorsOfOneLevelApplyLeftToRight) {
  TFraction f;
  ASSERT_TRUE(ParseTransferFunction("1-s-s", f));
  EXPECT_NEAR(static_cast<double>(std::abs(Eval(f, Complex(3, 0)) - Complex(-5))), 0, 1e-15);
  ASSERT_TRUE(ParseTransferFunction("8/s/2", f));
  EXPECT_NEAR(static_cast<double>(std::abs(Eval(f, Complex(2, 0)) - Complex(2))), 0, 1e-15);
  ASSERT_TRUE(ParseTransferFunction("(s+1)*(s+2)/((s+3)*(s^2+1))", f));
  const Complex s(0.5L, 1.5L);
  const Complex t = (s + Complex(1)) * (s + Complex(2)) / ((s + Complex(3)) * (s * s + Complex(1)));
  EXPECT_LT(static_cast<double>(std::abs(Eval(f, s) - t) / std::abs(t)), 1e-15);
  ASSERT_TRUE(ParseTransferFunction("((((1))))/((s+1))", f));
  FracFree(f);
}

TEST(ParseTransferFunctionTest, RefusesBadTexts) {
  TFraction f = FracOne();
  for (const char* t : {"", "-s", "2*(s+1)^2", "s^", "s^x", "s^-1", "2s", "s2", "1+", "*1", "(1+2", "1+2)",
                        ")(", "(((", "1..2", "abc", "s^1000", "s^999*s", "1e99999", "1/0", "1/(s-s)",
                        "s/(2-2)", "1/(0*s)", "s^2.5", "s ^2", "1 2", "nan", "inf"}) {
    EXPECT_FALSE(ParseTransferFunction(t, f)) << t;
  }
  EXPECT_FALSE(ParseTransferFunction(std::string(256, '1'), f));
  EXPECT_TRUE(ParseTransferFunction(std::string(255, '1'), f));
  // A failed parse leaves the fraction as it was; no fault flag leaks out.
  EXPECT_FALSE(std::fetestexcept(test::kFaults));
}

TEST(ParseTransferFunctionTest, HugeAndDeepTextsEndCleanly) {
  TFraction f;
  std::string nest(120, '(');
  nest += "s";
  nest += std::string(120, ')');
  EXPECT_TRUE(ParseTransferFunction(nest, f));
  std::string product;
  while (product.size() < 240) product += "1e300*";
  product += "1";
  ParseTransferFunction(product, f);  // either a finite W(s) or an error, never a fault
  std::string powers;
  while (powers.size() < 240) powers += "s^999+";
  powers += "1";
  EXPECT_TRUE(ParseTransferFunction(powers, f));
  EXPECT_EQ(f.Num.Degree, 999);
  EXPECT_FALSE(ParseTransferFunction("(1+s^999)*(1+s^999)", f));
  FracFree(f);
}

}  // namespace
}  // namespace vemo
