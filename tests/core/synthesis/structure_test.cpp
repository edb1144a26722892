// Synthesised fields: their W(s) between points A and B equals the W(s)
// they were built from for every kind of element, their step responses
// follow that W(s), the chain wraps before column 195, and the commands
// handle nonlinear parts, delays, controllers and their errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "core/model/test_support.h"
#include "model/wire.h"
#include "scheme_fixtures.h"
#include "synthesis/structure.h"
#include "synthesis_support.h"

namespace vemo {
namespace {

using namespace vemo::testing;

class StructureTest : public ProgramTest {
 protected:
  std::unique_ptr<TField> Synth(const std::string& text) {
    TSynthOutcome o = RunSynthesisCommand(text);
    EXPECT_EQ(o.Status, TSynthStatus::Ok) << text << " error " << int(Prog.Err.ErrorCode);
    return std::move(o.Field);
  }
};

// Type codes of the blocks of a field with their counts.
std::map<uint16_t, int> Codes(const TField& f) {
  std::map<uint16_t, int> m;
  for (int c = 0; c < kGridSize; ++c)
    for (int r = 0; r < kGridSize; ++r)
      if (TCellObject* o = f.Cell(c, r); o && o->AsBlock()) ++m[o->TypeCode];
  return m;
}

TWire* WireOf(const TField& f, int c, int r) {
  TCellObject* o = f.Cell(c, r);
  return o && o->TypeCode == kWireCode ? static_cast<TWire*>(o) : nullptr;
}

// Every kind of element the decomposition makes, with the blocks that must
// appear in the field.
struct TRoundTrip {
  const char* Text;
  std::map<uint16_t, int> Blocks;
};

const TRoundTrip kRoundTrips[] = {
    {"1/(s+1)", {{10, 1}}},
    {"2/(s*(s+1))", {{7, 1}, {10, 1}}},
    {"3*s/(s+1)", {{8, 1}, {10, 1}}},
    {"4", {{6, 1}}},
    {"3/(s^2+0.4*s+4)", {{11, 1}}},
    {"5*(2*s+1)/((s+1)*(s+3))", {{9, 1}, {10, 2}}},
    {"(s+2)/s", {{1, 1}, {6, 1}, {7, 1}}},                             // PI
    {"(s+1)*(s+3)/(s*(s+5))", {{1, 1}, {7, 1}, {8, 1}, {9, 1}, {10, 1}}},  // PID
    {"2*(s^2+s+4)/(s*(s+2))", {{1, 1}, {7, 1}, {8, 1}, {9, 1}, {10, 1}}},  // PID, complex zeros
    {"2*(s^2+s+4)/((s+1)*(s+2)*(s+3))", {{1, 1}, {6, 1}, {8, 1}, {9, 1}, {10, 3}}},  // 0x214
    {"(0.5*s^2+0.3*s+2)*(s+4)/((s^2+2*s+5)*(s+1)*(s+2)*s)", {{1, 2}, {6, 2}, {7, 1}, {8, 1}, {9, 1}, {10, 2}, {11, 1}}},
    {"1/s^3", {{7, 3}}},
};

TEST_F(StructureTest, FieldTransferFunctionEqualsTheSynthesisedOne) {
  double worst = 0.0;
  for (const TRoundTrip& rt : kRoundTrips) {
    SCOPED_TRACE(rt.Text);
    auto f = Synth(rt.Text);
    ASSERT_TRUE(f);
    EXPECT_EQ(Codes(*f), rt.Blocks);
    const TFraction typed = ParseW(rt.Text);
    const TFraction built = FieldW(*f);
    ASSERT_FALSE(FracIsNil(built)) << int(Prog.Err.ErrorCode);
    const double err = CoefficientError(typed, built);
    EXPECT_LT(err, 1e-9) << PolynomialText(built.Num) << " / " << PolynomialText(built.Den);
    worst = std::max(worst, err);
  }
  std::printf("[ synthesis ] largest coefficient error of the W(s) round trips: %.3g\n", worst);
}

TEST_F(StructureTest, StepResponsesFollowTheTransferFunction) {
  const double dt = 0.0005;
  const int n = 8000;  // 4 s
  double worst = 0.0;
  for (const char* text : {"1/(s+1)", "2/(s*(s+1))", "3/(s^2+0.4*s+4)", "5*(2*s+1)/((s+1)*(s+3))", "(s+2)/s",
                           "(s+1)*(s+3)/(s*(s+5))", "2*(s^2+s+4)/((s+1)*(s+2)*(s+3))",
                           "2*(s^2+s+4)/(s*(s+2))"}) {
    SCOPED_TRACE(text);
    auto f = Synth(text);
    ASSERT_TRUE(f);
    const std::vector<double> sim = StepResponse(*f, dt, n);
    const std::vector<double> ref = ReferenceStep(ParseW(text), dt, n);
    // The terms that differentiate the step answer it with a pulse of one
    // step; compare from 0.05 s on, relative to the size of the response.
    double size = 1.0;
    for (double v : ref) size = std::max(size, std::fabs(v));
    const double diff = MaxDifference(sim, ref, 100) / size;
    EXPECT_LT(diff, 5e-3);
    worst = std::max(worst, diff);
  }
  std::printf("[ synthesis ] largest relative step-response difference: %.3g\n", worst);
}

TEST_F(StructureTest, AperiodicMatchesTheHandBuiltBlockSampleForSample) {
  auto f = Synth("2/(0.5*s+1)");
  ASSERT_TRUE(f);
  auto hand = CreateField();
  BuildOpenChain(*hand, {{10, {0.5, 2.0}}});
  // The hand-built chain has its constant already; StepResponse adds one
  // in an empty cell of it.
  const auto a = StepResponse(*f, 0.01, 300);
  const auto b = StepResponse(*hand, 0.01, 300, 0, 0);
  EXPECT_EQ(a, b);
}

TEST_F(StructureTest, LayoutStartsAtColumnTwoAndMarksInputAndOutput) {
  auto f = Synth("2/(s*(s+1))");
  ASSERT_TRUE(f);
  TWire* in = WireOf(*f, 1, 1);
  ASSERT_TRUE(in);
  EXPECT_EQ(in->LineSides, 2 | 8);
  EXPECT_EQ(in->OutSides, 8);
  EXPECT_EQ(f->Cell(2, 1)->TypeCode, 7);
  EXPECT_TRUE(WireOf(*f, 3, 1));
  EXPECT_EQ(f->Cell(4, 1)->TypeCode, 10);
  EXPECT_TRUE(f->Points[0].Placed);
  EXPECT_EQ(f->Points[0].Col, 1);
  EXPECT_EQ(f->Points[1].Col, 5);
  EXPECT_EQ(f->Points[1].Row, 1);
}

TEST_F(StructureTest, LongChainWrapsBeforeColumn195) {
  // 120 integrators: 97 fit between columns 2 and 194.
  auto f = Synth("1/s^120");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->Cell(194, 1)->TypeCode, 7);
  TWire* down = WireOf(*f, 196, 1);
  ASSERT_TRUE(down);
  EXPECT_EQ(down->LineSides, 2 | 4);
  EXPECT_EQ(down->OutSides, 4);
  TWire* corner = WireOf(*f, 196, 2);
  ASSERT_TRUE(corner);
  EXPECT_EQ(corner->LineSides, 1 | 2);
  EXPECT_EQ(corner->OutSides, 2);
  for (int c = 2; c < 196; ++c) {
    TWire* w = WireOf(*f, c, 2);
    ASSERT_TRUE(w) << c;
    EXPECT_EQ(w->OutSides, 2) << c;
  }
  EXPECT_EQ(WireOf(*f, 1, 2)->LineSides, 4 | 8);
  EXPECT_EQ(WireOf(*f, 1, 3)->OutSides, 4);
  EXPECT_EQ(WireOf(*f, 1, 4)->OutSides, 4);
  EXPECT_EQ(WireOf(*f, 1, 5)->LineSides, 1 | 8);
  EXPECT_EQ(f->Cell(2, 5)->TypeCode, 7);
  for (int r = 0; r < kGridSize; ++r)
    for (int c = 197; c < kGridSize; ++c) EXPECT_FALSE(f->Cell(c, r)) << c << "," << r;
  EXPECT_EQ(Codes(*f)[7], 120);
  EXPECT_EQ(f->Points[1].Row, 5);
  const TFraction w = FieldW(*f);
  EXPECT_LT(CoefficientError(ParseW("1/s^120"), w), 1e-12);
}

TEST_F(StructureTest, CompoundElementsWrapWhole) {
  // 95 gains take the columns up to 190; a PID term (six columns) would
  // reach 195 and goes to the next band, as does everything after it.
  std::vector<TSynthElement> chain(95, TSynthElement{6, {1.0, 0, 0, 0}});
  chain.push_back({kPidCode, {1.0, 4.0, 3.0, 0}});
  chain.push_back({kPiCode, {1.0, 2.0, 0, 0}});
  chain.push_back({kForcing2Code, {2.0, 1.0, 4.0, 0}});
  auto f = LayoutStructure(chain, TSynthMode::Structure);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->Cell(190, 1)->TypeCode, 6);
  EXPECT_TRUE(WireOf(*f, 192, 1));    // the wrap goes down at 192
  EXPECT_EQ(f->Cell(3, 5)->TypeCode, 7);  // the PID's integrator, second band
  EXPECT_EQ(f->Cell(3, 4)->TypeCode, 8);  // its differentiator above
  const TFraction w = FieldW(*f);
  const TFraction expected = ParseW("(s^2+4*s+3)/s*(s+2)/s*2*(s^2+s+4)");
  EXPECT_LT(CoefficientError(expected, w), 1e-9);
}

TEST_F(StructureTest, ChainThatDoesNotFitIsRefused) {
  // Each band holds 97 integrators and 49 bands fit into 200 rows.
  std::vector<TSynthElement> chain(97 * 49, TSynthElement{7, {1.0, 0, 0, 0}});
  EXPECT_TRUE(LayoutStructure(chain, TSynthMode::Structure));
  chain.push_back(chain.back());
  EXPECT_FALSE(LayoutStructure(chain, TSynthMode::Structure));
  TSynthRequest r;
  r.Form.K = 1;
  EXPECT_TRUE(BuildStructure(r));  // W = 1: a gain of one joins A to B
}

TEST_F(StructureTest, ErrorsEndTheCommandWithoutAField) {
  TSynthOutcome o = RunSynthesisCommand("1/(s-1)");
  EXPECT_EQ(o.Status, TSynthStatus::SchemeError);
  EXPECT_FALSE(o.Field);
  EXPECT_EQ(Prog.Err.ErrorCode, kUnstableContour);
  o = RunSynthesisCommand("(s-1)/(s+1)");
  EXPECT_EQ(Prog.Err.ErrorCode, kCannotSynthesise);
  EXPECT_FALSE(o.Field);
  for (const char* bad : {"", "s^", "1/(s+1", "((", "-s", "1/0", "2*(s+1)^2", "s^99999", "\xff\xfe"}) {
    Dialogs.Messages.clear();
    o = RunSynthesisCommand(bad);
    EXPECT_EQ(o.Status, TSynthStatus::TextError) << bad;
    ASSERT_EQ(Dialogs.Messages.size(), 1u) << bad;
    EXPECT_EQ(Dialogs.Messages[0], kTransferTextError);
  }
}

// gen -> blocks -> stub: A on the generator's output, B at the end.
std::unique_ptr<TField> Chain(TChainBlocks blocks) {
  auto f = CreateField();
  BuildOpenChain(*f, blocks);
  return f;
}

TEST_F(StructureTest, SimplifiedLinearContourKeepsItsTransferFunctionAndDelay) {
  auto f = Chain({{12, {0.5, 2.0}}, {10, {2.0, 3.0}}, {9, {0.5, 1.0}}});
  TSynthOutcome o = RunSimplifyCommand(*f, 0, 1);
  ASSERT_EQ(o.Status, TSynthStatus::Ok) << int(Prog.Err.ErrorCode);
  ReleaseMacroBodies(*f);
  const TFraction original = FieldW(*f);
  const Real delay = Analysis.Delay;
  EXPECT_EQ(o.Field->Cell(2, 1)->TypeCode, 12);
  EXPECT_DOUBLE_EQ(static_cast<TParamBlock*>(o.Field->Cell(2, 1))->Params[0], 0.5);
  const TFraction simplified = FieldW(*o.Field);
  EXPECT_LT(CoefficientError(original, simplified), 1e-9);
  EXPECT_EQ(Analysis.Delay, delay);
}

TEST_F(StructureTest, NonlinearPartGoesBeforeOrAfterTheLinearElements) {
  // Saturation right at the start, then a lag.
  auto f = Chain({{21, {1.0, -1.0}}, {10, {1.0, 1.0}}});
  TSynthOutcome o = RunSimplifyCommand(*f, 0, 1);
  ASSERT_EQ(o.Status, TSynthStatus::Ok) << int(Prog.Err.ErrorCode);
  EXPECT_EQ(o.Field->Cell(2, 1)->TypeCode, 21);
  EXPECT_EQ(o.Field->Cell(4, 1)->TypeCode, 10);
  // A lag, then a dead zone at the end.
  f = Chain({{10, {1.0, 1.0}}, {20, {0.2}}});
  o = RunSimplifyCommand(*f, 0, 1);
  ASSERT_EQ(o.Status, TSynthStatus::Ok) << int(Prog.Err.ErrorCode);
  EXPECT_EQ(o.Field->Cell(2, 1)->TypeCode, 10);
  EXPECT_EQ(o.Field->Cell(4, 1)->TypeCode, 20);
  EXPECT_DOUBLE_EQ(static_cast<TParamBlock*>(o.Field->Cell(4, 1))->Params[0], 0.2);
  // Two nonlinear blocks reduce to one equivalent: dead zone then limit.
  f = Chain({{20, {0.1}}, {21, {1.0, -1.0}}, {10, {1.0, 1.0}}});
  o = RunSimplifyCommand(*f, 0, 1);
  ASSERT_EQ(o.Status, TSynthStatus::Ok) << int(Prog.Err.ErrorCode);
  EXPECT_EQ(o.Field->Cell(2, 1)->TypeCode, 22);
  // A nonlinear chain without closed form is copied block by block.
  f = Chain({{80, {}}, {21, {2.0, -1.0}}, {10, {1.0, 1.0}}});
  o = RunSimplifyCommand(*f, 0, 1);
  ASSERT_EQ(o.Status, TSynthStatus::Ok) << int(Prog.Err.ErrorCode);
  EXPECT_EQ(o.Field->Cell(2, 1)->TypeCode, 80);
  EXPECT_EQ(o.Field->Cell(4, 1)->TypeCode, 21);
  EXPECT_DOUBLE_EQ(static_cast<TParamBlock*>(o.Field->Cell(4, 1))->Params[0], 2.0);
  // Linear elements on both sides: no way to split W(s).
  f = Chain({{10, {1.0, 1.0}}, {21, {1.0, -1.0}}, {10, {1.0, 1.0}}});
  o = RunSimplifyCommand(*f, 0, 1);
  EXPECT_EQ(Prog.Err.ErrorCode, 16);
  EXPECT_FALSE(o.Field);
}

TEST_F(StructureTest, NonlinearPartsThatCannotBeKept) {
  // A relay whose outputs are both 0 never lets a signal through.
  auto f = Chain({{23, {0.0, 0.0, 0.0}}, {10, {1.0, 1.0}}});
  TSynthOutcome o = RunSimplifyCommand(*f, 0, 1);
  EXPECT_EQ(Prog.Err.ErrorCode, kCannotSynthesise);
  ASSERT_EQ(Dialogs.Questions.size(), 1u);
  EXPECT_EQ(Dialogs.Questions[0], kBreakQuestion);
  Dialogs.YesNoAnswer = true;
  o = RunSimplifyCommand(*f, 0, 1);
  ASSERT_EQ(o.Status, TSynthStatus::Ok);
  EXPECT_EQ(Codes(*o.Field), (std::map<uint16_t, int>{{0, 1}}));
  // A relay with equal outputs is a generator of that value.
  f = Chain({{23, {2.0, 2.0, 0.0}}, {10, {1.0, 1.0}}});
  o = RunSimplifyCommand(*f, 0, 1);
  ASSERT_EQ(o.Status, TSynthStatus::Ok);
  EXPECT_EQ(Dialogs.Questions.back(), kGeneratorQuestion);
  ASSERT_EQ(o.Field->Cell(2, 1)->TypeCode, 0);
  EXPECT_DOUBLE_EQ(static_cast<TParamBlock*>(o.Field->Cell(2, 1))->Params[0], 2.0);
  EXPECT_FALSE(o.Field->Cell(1, 1));  // a generator has no input
  PrepareRun(*o.Field);
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  // A user table cannot be carried over.
  f = Chain({{37, {}}, {10, {1.0, 1.0}}});
  o = RunSimplifyCommand(*f, 0, 1);
  EXPECT_EQ(Prog.Err.ErrorCode, kNonlinearNotSimplified);
  EXPECT_FALSE(o.Field);
}

// W(s) from A to B of the controller loop synthesised for a plant chain.
TFraction ControllerLoop(TChainBlocks plant, double t) {
  auto f = CreateField();
  BuildOpenChain(*f, plant);
  TSynthOutcome o = RunControllerCommand(*f, 0, 1, t);
  EXPECT_EQ(o.Status, TSynthStatus::Ok) << int(Prog.Err.ErrorCode);
  if (!o.Field) return TFraction{};
  EXPECT_EQ(o.Field->Cell(2, 1)->TypeCode, 2);  // the summing block
  return FieldW(*o.Field);
}

TEST_F(StructureTest, ControllerMakesTheClosedLoopAperiodic) {
  const TFraction expected = ParseW("1/(0.5*s+1)");
  EXPECT_LT(CoefficientError(expected, ControllerLoop({{10, {1.0, 1.0}}}, 0.5)), 1e-9);
  EXPECT_LT(CoefficientError(expected, ControllerLoop({{7, {2.0}}, {10, {1.0, 1.0}}}, 0.5)), 1e-9);
  EXPECT_LT(CoefficientError(expected, ControllerLoop({{11, {0.5, 0.3, 2.0}}, {9, {0.2, 1.0}}}, 0.5)), 1e-9);
  // The run of the loop of the first plant: 1 - exp(-t / 0.5).
  auto f = Chain({{10, {1.0, 1.0}}});
  TSynthOutcome o = RunControllerCommand(*f, 0, 1, 0.5);
  ASSERT_TRUE(o.Field);
  const auto y = StepResponse(*o.Field, 0.001, 3000);
  const auto ref = ReferenceStep(ParseW("1/(0.5*s+1)"), 0.001, 3000);
  EXPECT_LT(MaxDifference(y, ref), 5e-3);
}

TEST_F(StructureTest, ControllerLoopClosesAcrossAWrappedChain) {
  // 100 gains: the loop's return runs right of the chain and enters the
  // wire under the summing block, which the first band's return crosses.
  std::vector<TSynthElement> chain(100, TSynthElement{6, {1.0, 0, 0, 0}});
  chain[50].Params[0] = 3.0;
  auto f = LayoutStructure(chain, TSynthMode::Controller);
  ASSERT_TRUE(f);
  TWire* under = WireOf(*f, 2, 2);
  ASSERT_TRUE(under);
  EXPECT_TRUE(under->IsCrossing());
  EXPECT_TRUE(WireOf(*f, kFeedbackColumn, 3));
  const TFraction w = FieldW(*f);
  EXPECT_LT(CoefficientError(ParseW("3/4"), w), 1e-12);
}

TEST_F(StructureTest, ControllerRefusals) {
  auto f = Chain({{10, {1.0, 1.0}}});
  EXPECT_EQ(RunControllerCommand(*f, 0, 1, 0.0001).Status, TSynthStatus::BadParameter);
  EXPECT_EQ(RunControllerCommand(*f, 0, 1, NAN).Status, TSynthStatus::BadParameter);
  // An unstable plant: the controller would cancel its pole.
  auto g = CreateField();
  TSchemeBuilder b(*g);
  b.Block(2, 2, 0, {1.0});
  b.Block(4, 2, 1);
  b.Block(6, 2, 7, {1.0});
  b.Line({{2, 2}, {4, 2}});
  b.Line({{4, 2}, {6, 2}});
  b.Line({{6, 2}, {8, 2}, {8, 0}, {4, 0}, {4, 2}});  // positive feedback: 1/(s-1)
  b.Point(0, 3, 2);
  b.Point(1, 8, 2);
  TSynthOutcome o = RunControllerCommand(*g, 0, 1, 1.0);
  EXPECT_EQ(Prog.Err.ErrorCode, kUnstableContour);
  EXPECT_FALSE(o.Field);
}

}  // namespace
}  // namespace vemo
