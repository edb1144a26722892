// Multi-input arithmetic: summers, multiplier, maximum and minimum, divider
// and the arctangent with quadrant; their checks, stepped flags and records.
#include <cmath>
#include <numbers>

#include "blocks/arithmetic.h"
#include "core/blocks/block_test_support.h"

namespace vemo::blocktest {
namespace {

class ArithmeticTest : public BlockTest {
 protected:
  TSignal S[4] = {TSignal(2.0, 1), TSignal(-3.0, 1), TSignal(0.5, 1), TSignal(4.0, 1)};
  void Connect(TBlock& b, std::initializer_list<int> sides) {
    for (int s : sides) b.Inputs[s] = &S[s];
  }
};

TEST_F(ArithmeticTest, MultiplierMultipliesEveryInput) {
  auto m = Make<TMultiplier>(34);
  EXPECT_EQ(m->Kind, 3);
  m->Step();
  EXPECT_EQ(m->Output, 0.0) << "no input";
  Connect(*m, {Left});
  m->Step();
  EXPECT_EQ(m->Output, -3.0);
  Connect(*m, {Top, Bottom, Right});
  m->Step();
  EXPECT_DOUBLE_EQ(m->Output, 2.0 * -3.0 * 0.5 * 4.0);
  EXPECT_EQ(m->Stepped, 1);
  S[Bottom].Stepped = 0;
  m->Step();
  EXPECT_EQ(m->Stepped, 0) << "one continuous input makes the product continuous";
  m->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
}

TEST_F(ArithmeticTest, MaximumAndMinimum) {
  auto mx = Make<TExtremum>(52);
  auto mn = Make<TExtremum>(53);
  for (auto* b : {mx.get(), mn.get()}) {
    EXPECT_EQ(b->Kind, 3);
    b->Stepped = 0;
    b->Step();
    EXPECT_EQ(b->Output, 0.0);
  }
  Connect(*mx, {Top, Left, Bottom});
  Connect(*mn, {Top, Left, Bottom});
  mx->Step();
  mn->Step();
  EXPECT_EQ(mx->Output, 2.0);
  EXPECT_EQ(mn->Output, -3.0);
  EXPECT_EQ(mx->Stepped, 0) << "the stepped flag is left alone";
  Connect(*mx, {Right});
  mx->Step();
  EXPECT_EQ(mx->Output, 4.0);
  // A single negative input is the result (not the 0 of no input).
  auto one = Make<TExtremum>(52);
  Connect(*one, {Left});
  one->Step();
  EXPECT_EQ(one->Output, -3.0);
}

TEST_F(ArithmeticTest, DividerAndArcTangentTakeLeftAndBottom) {
  auto d = Make<TDivider>(41);
  EXPECT_EQ(d->Kind, 1);
  Connect(*d, {Left, Bottom});
  d->Stepped = 0;
  d->Step();
  EXPECT_DOUBLE_EQ(d->Output, -6.0);
  EXPECT_EQ(d->Stepped, 1);
  S[Bottom].Output = 0.0;
  d->Step();
  EXPECT_EQ(d->Output, 0.0) << "bottom 0 gives 0";
  S[Bottom].Output = 1e-9;
  d->Step();
  EXPECT_EQ(d->Output, 0.0);
  S[Bottom].Output = -2e-8;
  d->Step();
  EXPECT_DOUBLE_EQ(d->Output, 1.5e8);

  auto a = Make<TArcTangent2>(55);
  EXPECT_EQ(a->Kind, 5);
  Connect(*a, {Left, Bottom});
  const double pi = std::numbers::pi;
  struct Case {
    double x, y, angle;
  } cases[] = {{1, 1, pi / 4}, {-1, 1, 3 * pi / 4}, {-1, -1, -3 * pi / 4}, {1, -1, -pi / 4},
               {0, 2, pi / 2}, {-1, 0, pi}};
  for (const Case& c : cases) {
    S[Left].Output = c.x;
    S[Bottom].Output = c.y;
    a->Step();
    EXPECT_NEAR(a->Output, c.angle, 1e-15) << c.x << "," << c.y;
  }

  for (TBlock* b : {static_cast<TBlock*>(d.get()), static_cast<TBlock*>(a.get())}) {
    b->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 0);
    b->Inputs[Top] = &S[Top];
    b->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 2) << "top is forbidden";
    Prog.Err.ErrorCode = 0;
    b->Inputs[Top] = nullptr;
    b->Inputs[Right] = &S[Right];
    b->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 2) << "right is forbidden";
    Prog.Err.ErrorCode = 0;
    b->Inputs[Right] = nullptr;
    b->Inputs[Bottom] = nullptr;
    b->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 2) << "bottom is required";
    Prog.Err.ErrorCode = 0;
  }
}

TEST_F(ArithmeticTest, NegativeSummerOutputThroughItsNegatedSideIsCode3) {
  Scheme s;
  s.B.Block(2, 2, 0, {1.0});
  s.B.Block(5, 2, 2);  // "NDSum": bottom negated
  s.B.Line({{2, 2}, {5, 2}});
  s.B.Line({{5, 2}, {5, 5}, {8, 5}});
  s.B.Point(0, 8, 5);
  EXPECT_EQ(s.Prepare(), 3);
  EXPECT_EQ(Prog.Err.ErrorCol, 5);
  EXPECT_EQ(Prog.Err.ErrorRow, 2);
}

TEST_F(ArithmeticTest, RunOfAProductAndAQuotient) {
  // (t * 3) / 2 through a multiplier and a divider: the ramp of an
  // integrator times a constant, divided by another constant.
  Scheme s(0.125);
  s.B.Block(2, 2, 0, {1.0});
  s.B.Block(4, 2, 7);         // t (trapezoid: exact for a constant)
  s.B.Block(4, 5, 0, {3.0});
  s.B.Block(7, 2, 34);        // left t, bottom 3
  s.B.Block(7, 8, 0, {2.0});
  s.B.Block(10, 2, 41);       // left 3t, bottom 2
  s.B.Line({{2, 2}, {4, 2}});
  s.B.Line({{4, 2}, {7, 2}});
  s.B.Line({{4, 5}, {7, 5}, {7, 2}});
  s.B.Line({{7, 2}, {10, 2}});
  s.B.Line({{7, 8}, {10, 8}, {10, 2}});
  s.B.Line({{10, 2}, {13, 2}});
  s.B.Point(0, 13, 2);
  ASSERT_EQ(s.Prepare(), 0);
  const auto v = s.RunPointA(2.0);
  ASSERT_EQ(v.size(), 16u);
  for (size_t k = 0; k < v.size(); ++k) {
    const double t = (k + 0.5) * 0.125;  // the integrator's first step adds half a step
    EXPECT_NEAR(v[k], 1.5 * t, 1e-6) << k;
  }
}

TEST_F(ArithmeticTest, RecordsSurviveACopy) {
  for (uint16_t code : {1, 2, 3, 4, 5, 34, 41, 52, 53, 55}) {
    auto b = Make<TParamBlock>(code);
    ASSERT_TRUE(b) << code;
    EXPECT_EQ(b->ParamCount, 0);
    TMemCursor measure;
    b->Save(measure);
    EXPECT_EQ(measure.Pos, 0u) << "no parameters, no bytes";
    auto copy = CloneObject(*b);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->TypeCode, code);
    EXPECT_EQ(typeid(*copy), typeid(*b));
    TPolynomial num, den;
    b->AsBlock()->GetTransferFunction(Left, num, den);
    EXPECT_EQ(num[0], code == 5 ? -1.0L : 1.0L);
  }
}

}  // namespace
}  // namespace vemo::blocktest
