// The eight linear elements: their step formulas, checks, step hints and
// transfer functions.
#include "blocks/linear.h"

#include <gtest/gtest.h>

#include "core/model/test_support.h"
#include "model/compile.h"
#include "model/scheme_builder.h"
#include "simulation/engine.h"

namespace vemo {
namespace {

class LinearTest : public testing::ProgramTest {
 protected:
  // A block of the code with the given parameters, its input on `side` fed by
  // a source whose output the test sets.
  template <class T>
  T* Make(uint16_t code, std::initializer_list<double> params, int side = Left) {
    Obj = CreateCellObject(code);
    auto* b = dynamic_cast<T*>(Obj.get());
    EXPECT_NE(b, nullptr);
    int i = 0;
    for (double p : params) b->Params[i++] = p;
    if (side >= 0) b->Inputs[side] = In;
    return b;
  }
  void SetDt(double dt) { Prog.Clock.TimeStep = dt; }

  std::unique_ptr<TCellObject> Source = CreateCellObject(0);
  TBlock* In = Source->AsBlock();
  std::unique_ptr<TCellObject> Obj;
};

TEST_F(LinearTest, ProportionalScalesAndCopiesSteppedFromItsInput) {
  auto* b = Make<TProportional>(6, {-3.0}, Top);
  In->Output = 2.0;
  In->Stepped = 1;
  b->Step();
  EXPECT_EQ(b->Output, -6.0);
  EXPECT_EQ(b->Stepped, 1);
  b->Inputs[Top] = nullptr;
  b->Step();
  EXPECT_EQ(b->Output, 0.0);
}

TEST_F(LinearTest, IntegratorStartsAtY0AndUsesTheTrapezoidRule) {
  auto* b = Make<TIntegrating>(7, {2.0, 1.0});
  SetDt(0.1);
  b->Start();
  EXPECT_EQ(b->Output, 1.0);  // y0, not K y0
  In->Output = 3.0;
  b->Step();
  EXPECT_DOUBLE_EQ(b->Output, 2.0 * (1.0 + (3.0 + 1.0) * 0.1 / 2));
  b->Step();
  EXPECT_DOUBLE_EQ(b->Output, 2.0 * (1.2 + (3.0 + 3.0) * 0.1 / 2));
  // Without an input the integral holds and the output is K s.
  b->Start();
  b->Inputs[Left] = nullptr;
  b->Step();
  EXPECT_EQ(b->Output, 2.0);
}

TEST_F(LinearTest, DifferentiatorTakesBackwardDifferencesAndHoldsWithoutInput) {
  auto* b = Make<TDifferentiating>(8, {2.0});
  SetDt(0.5);
  b->Start();
  In->Output = 1.0;
  b->Step();
  EXPECT_DOUBLE_EQ(b->Output, 2.0 * 1.0 / 0.5);
  In->Output = 1.5;
  b->Step();
  EXPECT_DOUBLE_EQ(b->Output, 2.0 * 0.5 / 0.5);
  b->Inputs[Left] = nullptr;
  b->Step();
  b->Step();
  EXPECT_DOUBLE_EQ(b->Output, 2.0);
}

TEST_F(LinearTest, ForcingAddsTheScaledDerivative) {
  auto* b = Make<TForcing>(9, {0.5, 3.0});
  SetDt(0.25);
  b->Output = 7.0;
  b->Start();
  EXPECT_EQ(b->Output, 7.0);  // Start leaves the output alone
  In->Output = 1.0;
  b->Step();
  EXPECT_DOUBLE_EQ(b->Output, 3.0 * (0.5 * 4.0 + 1.0));
  b->Step();
  EXPECT_DOUBLE_EQ(b->Output, 3.0);
}

TEST_F(LinearTest, AperiodicElement) {
  auto* b = Make<TAperiodic>(10, {1.0, 4.0, 2.0});
  SetDt(0.1);
  b->Start();
  EXPECT_EQ(b->Output, 2.0);
  EXPECT_EQ(b->S, 0.5);
  b->Inputs[Left] = nullptr;  // decays toward an input of 0
  b->Step();
  EXPECT_DOUBLE_EQ(b->Output, 4.0 * (0.5 - 0.5 * 0.1));
  // A time constant below the step makes it a pure gain.
  b = Make<TAperiodic>(10, {0.05, 3.0, 0.0});
  b->Start();
  In->Output = 2.0;
  b->Step();
  EXPECT_DOUBLE_EQ(b->S, 2.0);
  EXPECT_DOUBLE_EQ(b->Output, 6.0);
  In->Output = -1.0;
  b->Step();
  EXPECT_DOUBLE_EQ(b->Output, -3.0);
}

TEST_F(LinearTest, OscillatoryStagesSolveTheSecondOrderEquation) {
  auto* b = Make<TOscillatory>(11, {0.5, 0.4, 2.0});
  SetDt(0.1);
  b->Start();
  EXPECT_EQ(b->Output, 0.0);
  In->Output = 1.0;
  b->Step();
  const double v = 1.0 * 0.1 / (2 * 0.4 * 0.5);
  const double a = 2 * 0.4 * 0.1 / 0.5;
  EXPECT_DOUBLE_EQ(b->V, v);
  EXPECT_DOUBLE_EQ(b->S, v * a);
  EXPECT_DOUBLE_EQ(b->Output, 2.0 * v * a);
  // A long run settles at K times the input.
  for (int k = 0; k < 2000; ++k) b->Step();
  EXPECT_NEAR(b->Output, 2.0, 1e-6);
}

TEST_F(LinearTest, DelayOfQuarterSecondAtTenthStepHoldsThreeSamples) {
  int32_t n = 0;
  ASSERT_TRUE(TDelay::SampleCount(0.25, 0.1, n));
  EXPECT_EQ(n, 3);  // 2.5 goes to the even neighbour 2
  ASSERT_TRUE(TDelay::SampleCount(3.5, 1.0, n));
  EXPECT_EQ(n, 5);  // 3.5 goes to 4
  EXPECT_FALSE(TDelay::SampleCount(1e12, 1e-6, n));  // far too many samples

  auto* b = Make<TDelay>(12, {0.25, 2.0});
  SetDt(0.1);
  b->Start();
  EXPECT_EQ(b->N, 3);
  std::vector<double> out;
  for (int k = 1; k <= 6; ++k) {
    In->Output = k;
    b->Step();
    out.push_back(b->Output);
  }
  // n - 1 = 2 steps late, scaled by K.
  EXPECT_EQ(out, (std::vector<double>{0, 0, 2, 4, 6, 8}));
  b->Stop();
  EXPECT_TRUE(b->Buffer.empty());
}

TEST_F(LinearTest, DelayStoresSinglePrecisionClampedSamples) {
  auto* b = Make<TDelay>(12, {0.01, 1.0});
  SetDt(0.1);  // 0.1 rounds to 0 steps: n = 1, no delay
  b->Start();
  ASSERT_EQ(b->N, 1);
  In->Output = 0.1;
  b->Step();
  EXPECT_EQ(b->Output, static_cast<double>(0.1f));
  In->Output = 1e40;
  b->Step();
  EXPECT_EQ(b->Output, static_cast<double>(1e30f));
  In->Output = -1e40;
  b->Step();
  EXPECT_EQ(b->Output, static_cast<double>(-1e30f));
}

TEST_F(LinearTest, RealDifferentiator) {
  auto* b = Make<TRealDifferentiating>(95, {0.5, 3.0});
  SetDt(0.1);
  b->Start();
  In->Output = 1.0;
  b->Step();
  EXPECT_DOUBLE_EQ(b->S, 0.2);
  EXPECT_DOUBLE_EQ(b->Output, 3.0 * 0.2 / 0.1);
  b->Step();
  EXPECT_DOUBLE_EQ(b->Output, 3.0 * (0.36 - 0.2) / 0.1);
  const double last = b->Output;
  b->Inputs[Left] = nullptr;
  b->Step();
  EXPECT_EQ(b->Output, last);
}

TEST_F(LinearTest, ChecksReportTheirCodes) {
  struct Case { uint16_t code; std::vector<double> params; int inputs; uint8_t error; };
  const Case cases[] = {
      {6, {1}, 1, 0},          {6, {1}, 2, 2},         {7, {1, 0}, 2, 2},
      {8, {1}, 2, 2},          {9, {1, 1}, 2, 2},      {10, {1, 1, 0}, 1, 0},
      {10, {0, 1, 0}, 1, 4},   {10, {1e-10, 1, 0}, 1, 4}, {10, {1, 1e-10, 0}, 1, 4},
      {10, {1, -2, 0}, 1, 0},  {10, {1, 1, 0}, 2, 2},  {10, {0, 1, 0}, 2, 4},
      {95, {0, 1}, 1, 4},      {95, {1, 0}, 1, 4},     {95, {1, 1}, 2, 2},
      {11, {0, 0.5, 1}, 1, 4}, {11, {1, -0.1, 1}, 1, 15}, {11, {1, 0.5, 1}, 2, 2},
      {11, {1, 1.0, 1}, 1, 0}, {12, {0, 1}, 1, 15},    {12, {1, 1}, 2, 2},
      {12, {1, 1}, 0, 0},
  };
  auto other = CreateCellObject(0);
  for (const Case& c : cases) {
    auto obj = CreateCellObject(c.code);
    auto* b = static_cast<TParamBlock*>(obj->AsBlock());
    for (size_t i = 0; i < c.params.size(); ++i) b->Params[i] = c.params[i];
    if (c.inputs >= 1) b->Inputs[Top] = In;
    if (c.inputs >= 2) b->Inputs[Bottom] = other->AsBlock();
    Prog.Err.ErrorCode = 0;
    b->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, c.error) << "code " << c.code << " T " << c.params[0];
  }
  EXPECT_TRUE(Dialogs.Questions.empty());
}

TEST_F(LinearTest, StrongDampingAsksOncePerCompileAndNoRunsOn) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(2, 2, 0);
  auto* osc = static_cast<TOscillatory*>(b.Block(4, 2, 11, {0.5, 1.5, 1.0}));
  b.Line({{2, 2}, {4, 2}});
  b.Line({{4, 2}, {6, 2}});
  b.Point(0, 6, 2);
  Dialogs.YesNoAnswer = false;
  PrepareRun(*f);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  ASSERT_EQ(Dialogs.Questions.size(), 1u);
  EXPECT_EQ(Dialogs.Questions[0], "Коэф.демпфирования больше единицы! Прервать расчет?");
  EXPECT_DOUBLE_EQ(Prog.Clock.TimeStep, 0.1);  // the source recommends less than 0.1 x 1.5
  SimInit(*f);
  for (int k = 0; k < 400; ++k) SimStepAll(*f);
  EXPECT_EQ(osc->Params[1], 1.5);
  EXPECT_NEAR(osc->Output, 1.0, 1e-3);  // overdamped: no oscillation, settles at 1
  // Yes stops the analysis with code 15.
  Dialogs.YesNoAnswer = true;
  PrepareRun(*f);
  EXPECT_EQ(Prog.Err.ErrorCode, 15);
  EXPECT_EQ(Prog.Err.ErrorCol, 4);
  EXPECT_EQ(Dialogs.Questions.size(), 2u);
}

TEST_F(LinearTest, TransferFunctions) {
  struct Case {
    uint16_t code;
    std::vector<double> params;
    std::vector<long double> num, den;
  };
  const Case cases[] = {
      {6, {3}, {3}, {1}},
      {7, {2, 5}, {2}, {0, 1}},
      {8, {4}, {0, 4}, {1}},
      {9, {0.5, 3}, {3, 1.5}, {1}},
      {10, {0.5, 2, 9}, {2}, {1, 0.5}},
      {11, {0.5, 0.2, 3}, {3}, {1, 0.2, 0.25}},
      {12, {7, 1.5}, {1.5}, {1}},
      {95, {0.25, 2}, {0, 2}, {1, 0.25}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    auto obj = CreateCellObject(c.code);
    auto* b = static_cast<TParamBlock*>(obj->AsBlock());
    for (size_t i = 0; i < c.params.size(); ++i) b->Params[i] = c.params[i];
    TPolynomial num, den;
    b->GetTransferFunction(Left, num, den);
    ASSERT_EQ(num.Degree + 1u, c.num.size());
    ASSERT_EQ(den.Degree + 1u, c.den.size());
    for (size_t i = 0; i < c.num.size(); ++i) EXPECT_NEAR(double(num[i]), double(c.num[i]), 1e-15);
    for (size_t i = 0; i < c.den.size(); ++i) EXPECT_NEAR(double(den[i]), double(c.den[i]), 1e-15);
  }
}

}  // namespace
}  // namespace vemo
