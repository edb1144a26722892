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

// ---- well-posed systems that used to fail ----

// The largest relative error of W(jw) and of the response of its zero-pole
// form against the truth, over lg w from -2 to 2.
double WorstResponseError(Complex (*truth)(Complex)) {
  double worst = 0;
  for (Real x = -2; x <= 2; x += 0.25L) {
    const Complex s(0, std::pow(10.0L, x)), t = truth(s);
    Real amp = 0, phase = 0;
    FrequencyResponse(Analysis.Form, false, amp, phase, s.imag(), Analysis.Delay);
    worst = std::max(worst, static_cast<double>(std::abs(Eval(Analysis.W, s) - t) / std::abs(t)));
    worst = std::max(worst, static_cast<double>(std::abs(std::polar(amp, phase) - t) / std::abs(t)));
  }
  return worst;
}

TEST_F(ContourTest, LongAndSlowChainsOfLagsKeepTheirGain) {
  // Normalised, 1/(s+1)^30 has a constant term 1/C(30,15) = 6e-9 against
  // its largest coefficient, 1/(10s+1)^12 a monic constant term of 1e-12:
  // neither is zero, nor a root at the origin; nor is a gain of 1e-9.
  struct TCase {
    int Count;
    double T, K;
    Complex (*Truth)(Complex);
  };
  const TCase cases[] = {
      {30, 1, 1, [](Complex s) { return Real(1) / std::pow(s + Real(1), 30); }},
      {40, 1, 1, [](Complex s) { return Real(1) / std::pow(s + Real(1), 40); }},
      {12, 10, 1, [](Complex s) { return Real(1) / std::pow(Real(10) * s + Real(1), 12); }},
      {1, 1, 1e-9, [](Complex s) { return Real(1e-9) / (s + Real(1)); }},
  };
  for (const TCase& c : cases) {
    ResetProgramState();
    F = CreateField();
    testing::BuildSnakeChain(*F, c.Count, 10, {c.T, c.K, 0.0});
    ASSERT_TRUE(Run(true)) << c.Count << " error " << int(Prog.Err.ErrorCode);
    EXPECT_NE(FormatPolynomialText(0, 1, Analysis.W, 0), "WAB(s)=(0)/(1)");
    EXPECT_EQ(Analysis.Form.PoleCount(), c.Count);
    EXPECT_LT(WorstResponseError(c.Truth), 1e-9) << c.Count << " lags, T = " << c.T;
  }
}

TEST_F(ContourTest, CancellingPairsInAHealthyLoop) {
  // The open loop of unit feedback around 0.3/s, ten lags T = 0.1 .. 1,
  // forcing blocks (Ts+1) on four of them and two oscillatory blocks: the
  // forcing blocks cancel the lags T = 0.2 .. 0.5 exactly; W(s) keeps the
  // other eleven poles and no zero.
  testing::BuildCancellingLoop(*F);
  ASSERT_TRUE(Run(true)) << int(Prog.Err.ErrorCode);
  EXPECT_EQ(Analysis.Form.ZeroCount(), 0);
  EXPECT_EQ(Analysis.Form.PoleCount(), 11);
  EXPECT_LT(WorstResponseError([](Complex s) {
              Complex w = Real(0.3) / s / (Real(0.01) * s * s + Real(0.06) * s + Real(1)) /
                          (Real(0.0025) * s * s + Real(0.05) * s + Real(1));
              for (Real T : {0.1L, 0.6L, 0.7L, 0.8L, 0.9L, 1.0L}) w /= T * s + Real(1);
              return w;
            }),
            1e-12);
  EXPECT_EQ(FormatFactoredText(0, 1, Analysis.Form, 0).rfind("WAB(s)=0.3*1/(s*", 0), 0u);
}

TEST_F(ContourTest, LargeFieldsSolveOnlyWhatReachesTheEnd) {
  // Every one of the 40,000 cells a block: the end point's block is fed by
  // nothing, and the others need no equation at all.
  TSchemeBuilder b(*F);
  for (int col = 0; col < kGridSize; ++col)
    for (int row = 0; row < kGridSize; ++row) b.Block(col, row, 6, {2.0});
  b.Point(0, 0, 0);
  b.Point(1, kGridSize - 1, kGridSize - 1);
  ASSERT_TRUE(Run(true)) << int(Prog.Err.ErrorCode);
  EXPECT_TRUE(FracIsZero(Analysis.W));
  // The longest chain the field holds, 9,999 gains 1.0001 after the
  // constant: one sparse equation per block.
  ResetProgramState();
  F = CreateField();
  ASSERT_EQ(testing::BuildSnakeChain(*F, 9999, 6, {1.0001}), 9999);
  ASSERT_TRUE(Run(true)) << int(Prog.Err.ErrorCode);
  ASSERT_EQ(Analysis.W.Num.Degree + Analysis.W.Den.Degree, 0);
  EXPECT_REAL_NEAR(Analysis.W.Num[0] / Analysis.W.Den[0], std::pow(1.0001L, 9999), 1e-12L);
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
