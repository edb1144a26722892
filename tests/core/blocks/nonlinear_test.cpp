// Static nonlinearities and single-argument functions: their characteristics,
// hysteresis, checks, the quantiser's range fault and their records.
#include <cfenv>
#include <cmath>
#include <numbers>

#include "blocks/nonlinear.h"
#include "core/blocks/block_test_support.h"

namespace vemo::blocktest {
namespace {

class NonlinearTest : public BlockTest {
 protected:
  // A block of the code fed by In on the given side.
  template <class T>
  std::unique_ptr<T> Fed(uint16_t code, uint8_t side = Left) {
    auto b = Make<T>(code);
    b->Inputs[side] = &In;
    return b;
  }
  double At(TBlock& b, double x) {
    In.Output = x;
    b.Step();
    return b.Output;
  }
  TSignal In;
};

TEST_F(NonlinearTest, DeadZoneSaturationAndTheirCombination) {
  auto dz = Fed<TDeadZone>(20);
  EXPECT_DOUBLE_EQ(At(*dz, 0.5), 0.4);
  EXPECT_DOUBLE_EQ(At(*dz, -0.5), -0.4);
  EXPECT_DOUBLE_EQ(At(*dz, 0.1), 0.0);
  EXPECT_DOUBLE_EQ(At(*dz, -0.05), 0.0);
  dz->Params[0] = 0.0;  // d = 0 passes the input unchanged
  for (double x : {-3.0, -1e-9, 0.0, 2.5}) EXPECT_DOUBLE_EQ(At(*dz, x), x);
  dz->Inputs[Left] = nullptr;
  dz->Output = 7;
  dz->Step();
  EXPECT_EQ(dz->Output, 0.0) << "no input is input 0";

  auto sat = Fed<TSaturation>(21, Bottom);
  EXPECT_DOUBLE_EQ(At(*sat, 3.0), 1.0);
  EXPECT_DOUBLE_EQ(At(*sat, -3.0), -1.0);
  EXPECT_DOUBLE_EQ(At(*sat, 0.3), 0.3);

  auto both = Fed<TDeadZoneSaturation>(22);
  both->Params[0] = 0.5;
  both->Params[1] = 2.0;
  both->Params[2] = -1.0;
  EXPECT_DOUBLE_EQ(At(*both, 0.3), 0.0);
  EXPECT_DOUBLE_EQ(At(*both, 1.5), 1.0);
  EXPECT_DOUBLE_EQ(At(*both, 3.0), 2.0) << "3 - 0.5 = 2.5, saturated at 2";
  EXPECT_DOUBLE_EQ(At(*both, -1.2), -0.7);
  EXPECT_DOUBLE_EQ(At(*both, -5.0), -1.0);
}

TEST_F(NonlinearTest, TwoPositionRelays) {
  auto r = Fed<TRelay2>(23);
  EXPECT_EQ(At(*r, 0.0), 1.0) << "threshold 0 gives Y1 at x = 0";
  EXPECT_EQ(At(*r, -1e-12), -1.0);
  EXPECT_EQ(At(*r, 5.0), 1.0);

  auto h = Fed<TRelay2Hysteresis>(24);  // Xс 0.1, Xо -0.1
  h->Start();
  EXPECT_EQ(h->Output, 0.0);
  // Started between the thresholds: stays off until x reaches Xс.
  EXPECT_EQ(At(*h, 0.0), -1.0);
  EXPECT_EQ(At(*h, 0.09), -1.0);
  EXPECT_EQ(At(*h, 0.1), 1.0);
  EXPECT_EQ(At(*h, 0.0), 1.0);
  EXPECT_EQ(At(*h, -0.09), 1.0);
  EXPECT_EQ(At(*h, -0.1), -1.0);
  EXPECT_EQ(At(*h, 0.05), -1.0);
  h->Start();
  EXPECT_EQ(h->On, 0);
}

TEST_F(NonlinearTest, ThreePositionRelays) {
  auto r = Fed<TRelay3>(25);  // Y1 1, Y2 -1, X1 1, X2 -1
  EXPECT_EQ(At(*r, -1.5), -1.0);
  EXPECT_EQ(At(*r, -1.0), 0.0);
  EXPECT_EQ(At(*r, 0.99), 0.0);
  EXPECT_EQ(At(*r, 1.0), 1.0);

  auto h = Fed<TRelay3Hysteresis>(26);  // A 1, h 0.1, X1 0.4, X2 -0.4
  h->Start();
  EXPECT_EQ(h->State, 1);
  EXPECT_EQ(At(*h, 0.4), 0.0) << "0 -> positive needs x > X1";
  EXPECT_EQ(At(*h, 0.41), 1.0);
  EXPECT_EQ(At(*h, 0.31), 1.0) << "leaves the positive state only below 0.3";
  EXPECT_EQ(At(*h, 0.29), 0.0);
  EXPECT_EQ(At(*h, -0.41), -1.0);
  EXPECT_EQ(At(*h, -0.31), -1.0) << "leaves the negative state only above -0.3";
  EXPECT_EQ(At(*h, -0.29), 0.0);
  // Jumps across both thresholds in one step.
  EXPECT_EQ(At(*h, -1.0), -1.0);
  EXPECT_EQ(At(*h, 1.0), 1.0);
  EXPECT_EQ(At(*h, -1.0), -1.0);
}

TEST_F(NonlinearTest, QuantiserRoundsHalvesToEven) {
  auto q = Fed<TQuantiser>(27);
  q->Params[0] = 1.0;
  EXPECT_EQ(At(*q, 2.5), 2.0);
  EXPECT_EQ(At(*q, 3.5), 4.0);
  EXPECT_EQ(At(*q, -2.5), -2.0);
  EXPECT_EQ(At(*q, 2.6), 3.0);
  q->Params[0] = 0.25;
  EXPECT_DOUBLE_EQ(At(*q, 0.3), 0.25);
  EXPECT_DOUBLE_EQ(At(*q, -0.9), -1.0);
}

TEST_F(NonlinearTest, QuantiserBeyondTheIntegerRangeIsAFloatingPointFault) {
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_EQ(TQuantiser::Apply(2147483647.0, 1.0), 2147483647.0);
  EXPECT_EQ(TQuantiser::Apply(-2147483648.0, 1.0), -2147483648.0);
  EXPECT_FALSE(std::fetestexcept(FE_INVALID));
  EXPECT_EQ(TQuantiser::Apply(2147483648.0, 1.0), 0.0);
  EXPECT_TRUE(std::fetestexcept(FE_INVALID));
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_EQ(TQuantiser::Apply(1e300, 1e-10), 0.0);
  EXPECT_TRUE(std::fetestexcept(FE_INVALID | FE_OVERFLOW));
  std::feclearexcept(FE_ALL_EXCEPT);

  // In a run: the ramp 1e9 t crosses 2^31 at t = 2.147; the run stops there
  // with the math-error message.
  Scheme s;
  s.B.Block(2, 2, 0, {1e9});
  s.B.Block(4, 2, 7);                 // integrator: 1e9 t
  s.B.Block(6, 2, 27, {1.0});         // quantiser, q = 1
  s.B.Line({{2, 2}, {4, 2}});
  s.B.Line({{4, 2}, {6, 2}});
  s.B.Line({{6, 2}, {8, 2}});
  s.B.Point(0, 8, 2);
  ASSERT_EQ(s.Prepare(), 0);
  bool ok = true;
  const auto v = s.RunPointA(5.0, &ok);
  EXPECT_FALSE(ok);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0], kRunMathError);
  EXPECT_GE(v.size(), 214u);
  EXPECT_LE(v.size(), 216u);
  EXPECT_NEAR(v.back(), 0.01 * (v.size() - 1) * 1e9, 2e7);
}

TEST_F(NonlinearTest, BacklashLagsARampByItsHalfWidth) {
  auto b = Fed<TBacklash>(28);  // a = 0.1
  const auto up = RunSteps(*b, 60, 0.01, &In, [](double t) { return t; });
  for (int k = 0; k <= 10; ++k) EXPECT_NEAR(up[k], 0.0, 1e-12) << k;
  for (int k = 11; k < 60; ++k) EXPECT_NEAR(up[k], k * 0.01 - 0.1, 1e-12) << k;
  // Reversing: the output holds while the input crosses the gap back.
  const double top = b->Output;  // input 0.59, output 0.49
  EXPECT_DOUBLE_EQ(At(*b, 0.45), top);
  EXPECT_DOUBLE_EQ(At(*b, 0.40), top);
  EXPECT_DOUBLE_EQ(At(*b, 0.30), 0.40);
  b->Start();
  EXPECT_EQ(b->Output, 0.0);
}

TEST_F(NonlinearTest, FunctionsAndTheirGuards) {
  const double pi = std::numbers::pi;
  struct Case {
    uint16_t code;
    double x, y;
  } cases[] = {
      {42, 4.0, 0.25},        {42, 1e-6, 0.0},        {42, -2.0, -0.5},
      {43, pi / 6, 0.5},      {44, pi / 3, 0.5},      {45, pi / 4, 1.0},
      {45, pi / 2, 1000.0},   {45, pi / 2 + 5e-5, 1000.0},
      {46, 0.5, pi / 6},      {46, 1.5, 0.0},         {46, 1.0, pi / 2},
      {46, -1.0, -pi / 2},    {47, 0.5, pi / 3},      {47, -2.0, 0.0},
      {47, 1.0, 0.0},         {48, 1.0, pi / 4},      {49, std::exp(2.0), 2.0},
      {49, 0.0, 0.0},         {49, -3.0, 0.0},        {50, 1.0, std::exp(1.0)},
      {50, 100.0, std::exp(100.0)},                   {50, 200.0, 1e10},
      {56, 9.0, 3.0},         {56, -4.0, 0.0},        {80, -2.5, 2.5},
      {80, 3.0, 3.0},
  };
  for (const Case& c : cases) {
    auto f = Fed<TFunctionBlock>(c.code);
    ASSERT_TRUE(f) << c.code;
    EXPECT_NEAR(At(*f, c.x), c.y, 1e-12 * std::max(1.0, std::fabs(c.y)))
        << "code " << c.code << " x " << c.x;
    // No input: 0; extra inputs are ignored and there is no check.
    TSignal other(123.0);
    f->Inputs[Right] = &other;
    EXPECT_NEAR(At(*f, c.x), c.y, 1e-12 * std::max(1.0, std::fabs(c.y)));
    f->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 0);
    f->Inputs[Left] = f->Inputs[Right] = nullptr;
    f->Step();
    EXPECT_EQ(f->Output, 0.0);
  }
}

TEST_F(NonlinearTest, ParameterChecksComeBeforeTheInputCheck) {
  struct Case {
    uint16_t code;
    std::vector<double> bad;  // parameters giving code 15
  } cases[] = {
      {20, {-0.1}},
      {21, {-1, 1}},
      {22, {-0.1, 1, -1}},
      {22, {0.1, -2, -1}},
      {24, {1, -1, -0.2, 0.1}},
      {25, {1, -1, -1, 1}},
      {26, {1, 0.1, -0.4, 0.4}},
      {26, {1, 1e-11, 0.4, -0.4}},
      {27, {1e-21}},
      {28, {0.0}},
  };
  TSignal a, b;
  for (const Case& c : cases) {
    auto blk = Make<TParamBlock>(c.code);
    blk->Inputs[Top] = &a;
    blk->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 0) << c.code << " defaults pass";
    blk->Inputs[Right] = &b;
    blk->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 2) << c.code;
    Prog.Err.ErrorCode = 0;
    for (size_t i = 0; i < c.bad.size(); ++i) blk->Params[i] = c.bad[i];
    blk->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 15) << c.code;
    Prog.Err.ErrorCode = 0;
  }
  auto relay = Make<TParamBlock>(23);
  relay->Inputs[Top] = &a;
  relay->Inputs[Bottom] = &b;
  relay->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 2);
}

TEST_F(NonlinearTest, KindsStepHintsAndTransferFunctions) {
  for (uint16_t code : {20, 21, 22, 23, 24, 25, 26, 27, 28, 42, 43, 44, 45, 46, 47, 48, 49, 50,
                        56, 80}) {
    auto b = Make<TParamBlock>(code);
    ASSERT_TRUE(b) << code;
    EXPECT_EQ(b->TypeCode, code);
    EXPECT_EQ(b->Kind, 2);
    EXPECT_EQ(b->Stepped, (code >= 23 && code <= 27) ? 1 : 0) << code;
    EXPECT_EQ(b->GetStepHint(), 0.1);
    TPolynomial num, den;
    b->GetTransferFunction(Left, num, den);
    EXPECT_EQ(num.Degree, 0);
    EXPECT_EQ(num[0], 1.0L);
    EXPECT_EQ(den[0], 1.0L);
  }
}

TEST_F(NonlinearTest, RunOfASineThroughASaturation) {
  Scheme s;
  s.B.Block(2, 2, 115, {2.0, 1.0, 0.0});  // 2 sin(2 pi t)
  s.B.Block(5, 2, 21, {1.0, -0.5});
  s.B.Line({{2, 2}, {5, 2}});
  s.B.Line({{5, 2}, {8, 2}});
  s.B.Point(0, 8, 2);
  ASSERT_EQ(s.Prepare(), 0);
  EXPECT_EQ(s.F->HasNonlinear, 1);
  const auto v = s.RunPointA(1.0);
  ASSERT_EQ(v.size(), 100u);
  for (size_t k = 0; k < v.size(); ++k) {
    const double x = 2.0 * std::sin(2.0 * std::numbers::pi * 0.01 * k);
    EXPECT_NEAR(v[k], std::clamp(x, -0.5, 1.0), 1e-6) << k;
  }
}

TEST_F(NonlinearTest, RecordsSurviveACopy) {
  for (uint16_t code : {20, 21, 22, 23, 24, 25, 26, 27, 28, 42, 43, 44, 45, 46, 47, 48, 49, 50,
                        56, 80}) {
    auto b = Make<TParamBlock>(code);
    for (int i = 0; i < b->ParamCount; ++i) b->Params[i] = 0.5 + i * 1.25;
    auto copy = CloneObject(*b);
    auto* c = dynamic_cast<TParamBlock*>(copy.get());
    ASSERT_TRUE(c) << code;
    EXPECT_EQ(c->TypeCode, code);
    EXPECT_EQ(typeid(*c), typeid(*b));
    EXPECT_EQ(c->ParamCount, b->ParamCount);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c->Params[i], b->Params[i]) << code;
  }
}

}  // namespace
}  // namespace vemo::blocktest
