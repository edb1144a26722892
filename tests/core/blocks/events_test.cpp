// Event blocks: waiting multivibrator, structure switches, incremental speed
// sensor, parameter control and the user nonlinearity; checks and records.
#include <cmath>

#include "blocks/events.h"
#include "blocks/param_control.h"
#include "blocks/table_blocks.h"
#include "core/blocks/block_test_support.h"

namespace vemo::blocktest {
namespace {

class EventsTest : public BlockTest {
 protected:
  TSignal In;
};

TEST_F(EventsTest, MultivibratorHoldsItsPulseForThePulseTime) {
  auto m = Make<TWaitingMultivibrator>(81);
  EXPECT_EQ(m->Kind, 5);
  m->Params[0] = 10.0 / 64;  // T: ten steps of 1/64
  m->Params[1] = -1.0;       // L0
  m->Params[2] = 2.0;        // L1
  m->Params[3] = 0.5;        // threshold
  EXPECT_DOUBLE_EQ(m->GetStepHint(), 1.0 / 64);
  m->Inputs[Top] = &In;
  const double dt = 1.0 / 64;
  // Triggered at step 5 only.
  const auto v = RunSteps(*m, 30, dt, &In, [&](double t) { return t == 5 * dt ? 1.0 : 0.0; });
  for (int k = 0; k < 30; ++k) {
    const double expect = (k >= 6 && k <= 14) ? 2.0 : -1.0;
    EXPECT_EQ(v[k], expect) << k;
  }
  // An input still above the threshold when the pulse ends starts the next
  // pulse at once, the output staying at L1.
  const auto w = RunSteps(*m, 30, dt, &In, [](double) { return 1.0; });
  EXPECT_EQ(w[0], 0.0) << "the trigger step keeps the output of Start";
  for (int k = 1; k < 30; ++k) EXPECT_EQ(w[k], 2.0) << k;
  // Without an input nothing changes but the pulse time.
  m->Inputs[Top] = nullptr;
  m->Start();
  m->Output = 7.0;
  StepAt(*m, 0.0, dt);
  EXPECT_EQ(m->Output, 7.0);
  EXPECT_DOUBLE_EQ(m->Remaining, -dt);
}

TEST_F(EventsTest, StructureSwitchesPassTheLeftInputByTheBottomOne) {
  TSignal signal(3.0, 0), control(0.0, 1);
  auto on = Make<TStructureSwitch>(35);
  auto off = Make<TStructureSwitch>(36);
  for (auto* s : {on.get(), off.get()}) {
    EXPECT_EQ(s->Kind, 2);
    EXPECT_EQ(s->Stepped, 1);
    s->Params[0] = 0.5;
    s->Step();
    EXPECT_EQ(s->Output, 0.0);
    s->Inputs[Left] = &signal;
    s->Step();
    EXPECT_EQ(s->Output, 0.0) << "no control input: 0";
    s->Inputs[Bottom] = &control;
  }
  for (double c : {0.0, 0.5, 0.6, 2.0}) {
    control.Output = c;
    on->Step();
    off->Step();
    EXPECT_EQ(on->Output, c > 0.5 ? 3.0 : 0.0) << c;
    EXPECT_EQ(on->Stepped, c > 0.5 ? 0 : 1) << c;
    EXPECT_EQ(off->Output, c <= 0.5 ? 3.0 : 0.0) << c;
    EXPECT_EQ(off->Stepped, c <= 0.5 ? 0 : 1) << c;
  }
  for (auto* s : {on.get(), off.get()}) {
    s->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 0);
    for (int side : {Top, Right}) {
      s->Inputs[side] = &In;
      s->Check();
      EXPECT_EQ(Prog.Err.ErrorCode, 20) << side;
      Prog.Err.ErrorCode = 0;
      s->Inputs[side] = nullptr;
    }
  }
}

TEST_F(EventsTest, SpeedSensorOutputsTheMeanInputOverEachMark) {
  auto s = Make<TSpeedSensor>(39);
  EXPECT_EQ(s->Kind, 5);
  s->Params[0] = 16.0;
  s->Inputs[Left] = &In;
  const double dt = 1.0 / 64;
  // Input 2: half a mark per step, a whole mark (more than 1) every third step.
  const auto v = RunSteps(*s, 9, dt, &In, [](double) { return 2.0; });
  const double expected[] = {0, 0, 2, 2, 2, 2, 2, 2, 2};
  for (int k = 0; k < 9; ++k) EXPECT_DOUBLE_EQ(v[k], expected[k]) << k;
  // A mark is counted only beyond 1; the mean over its steps is reported.
  s->Start();
  const double in[] = {1, 3, 0, 0};  // marks 0.25, 1.0 (not > 1), 1.0, 1.0
  for (double x : in) {
    In.Output = x;
    StepAt(*s, 0, dt);
  }
  EXPECT_EQ(s->Output, 0.0);
  In.Output = 4.0;  // 1.0 + 1.0 = 2.0 > 1: mean over five steps = 8/5
  StepAt(*s, 0, dt);
  EXPECT_DOUBLE_EQ(s->Output, 8.0 / 5);
  EXPECT_EQ(s->Marks, 0.0);
  EXPECT_EQ(s->Elapsed, 0.0);
  TPolynomial num, den;
  s->GetTransferFunction(Left, num, den);
  EXPECT_EQ(num.Degree, 0);
  EXPECT_EQ(num[0], 16.0L);
  ASSERT_EQ(den.Degree, 1);
  EXPECT_EQ(den[0], 0.0L);
  EXPECT_EQ(den[1], 1.0L);
  s->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  s->Inputs[Bottom] = &In;
  s->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 2);
}

TEST_F(EventsTest, ParameterControlDrivesTheBlockAboveLeft) {
  Scheme s;
  s.B.Block(2, 2, 0, {1.0});
  s.B.Block(4, 2, 6, {1.0});                 // the controlled proportional
  s.B.Block(2, 3, 33, {0.5, 10.0, 3.0});     // 3 from t = 0.5
  auto* ctrl = static_cast<TParamControl*>(s.B.Block(5, 3, 40));
  ctrl->AimFrom(5, 3);
  EXPECT_EQ(ctrl->TargetCol, 4);
  EXPECT_EQ(ctrl->TargetRow, 2);
  s.B.Line({{2, 2}, {4, 2}});
  s.B.Line({{4, 2}, {8, 2}});
  s.B.Line({{2, 3}, {5, 3}});
  s.B.Point(0, 8, 2);
  ASSERT_EQ(s.Prepare(), 0);
  EXPECT_EQ(ctrl->Target, s.At(4, 2));
  const auto v = s.RunPointA(1.0);
  ASSERT_EQ(v.size(), 100u);
  for (size_t k = 0; k < 50; ++k) EXPECT_EQ(v[k], 1.0) << k;
  // Around t = 0.5 the order of the two blocks in the run decides the step.
  for (size_t k = 52; k < 100; ++k) EXPECT_EQ(v[k], 3.0) << k;
  auto* target = static_cast<TParamBlock*>(s.At(4, 2));
  EXPECT_EQ(target->Params[0], 3.0) << "the changed value stays after the run";
  // Once active, the parameter follows the input back to 0.
  ctrl->Start();
  TSignal in(2.0);
  ctrl->Inputs[Left] = &in;
  ctrl->Step();
  in.Output = 0.0;
  ctrl->Step();
  EXPECT_EQ(ctrl->Active, 1);
  EXPECT_EQ(target->Params[0], 0.0);
  ctrl->Start();
  ctrl->Step();
  EXPECT_EQ(target->Params[0], 0.0) << "inactive until the input leaves 0";
  EXPECT_EQ(ctrl->Active, 0);
}

TEST_F(EventsTest, ParameterControlErrors) {
  auto field = CreateField();
  TSchemeBuilder b(*field);
  auto* ctrl = static_cast<TParamControl*>(b.Block(5, 5, 40));
  ctrl->Prepare(field.get());
  EXPECT_EQ(Prog.Err.ErrorCode, 30) << "no cell chosen";
  Prog.Err.ErrorCode = 0;
  ctrl->AimFrom(5, 5);
  ctrl->Prepare(field.get());
  EXPECT_EQ(Prog.Err.ErrorCode, 30) << "empty cell";
  Prog.Err.ErrorCode = 0;
  struct Case {
    uint16_t code;
    uint8_t index;
    int error;
  } cases[] = {{1, 0, 31},  {34, 0, 31}, {37, 0, 31},       {81, 0, 31},
               {6, 1, 31},  {6, 0, 0},   {33, 2, 0},        {10, 2, 0},
               {kWireCode, 0, 31}};
  for (const Case& c : cases) {
    field->SetCell(4, 4, CreateCellObject(c.code));
    ctrl->ParamIndex = c.index;
    ctrl->Prepare(field.get());
    EXPECT_EQ(Prog.Err.ErrorCode, c.error) << c.code;
    EXPECT_EQ(ctrl->Target != nullptr, c.error == 0) << c.code;
    EXPECT_EQ(ctrl->OutSide, kNoSide);
    Prog.Err.ErrorCode = 0;
  }
  // Exactly one input.
  ctrl->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 2);
  Prog.Err.ErrorCode = 0;
  ctrl->Inputs[Left] = &In;
  ctrl->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  ctrl->Inputs[Top] = &In;
  ctrl->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 2);
  // In a compile the error carries the control block's cell.
  Prog.Err.ErrorCode = 0;
  Scheme s;
  s.B.Block(2, 2, 0);
  s.B.Block(4, 2, 40);
  s.B.Line({{2, 2}, {4, 2}});
  s.B.Point(0, 3, 2);
  EXPECT_EQ(s.Prepare(), 30);
  EXPECT_EQ(Prog.Err.ErrorCol, 4);
  EXPECT_EQ(Prog.Err.ErrorRow, 2);
}

TEST_F(EventsTest, UserNonlinearityMapsItsInputThroughTheTable) {
  auto u = Make<TUserNonlinearity>(37);
  EXPECT_EQ(u->Kind, 2);
  EXPECT_EQ(u->Stepped, 0);
  u->Table.Add(0, 0);
  u->Table.Add(1, 0);
  u->Table.Add(1, 1);
  u->Table.Add(2, 1);
  u->Inputs[Bottom] = &In;
  const std::pair<double, double> cases[] = {{0.5, 0}, {1.0, 1}, {1.5, 1}, {2.5, 0}, {-1, 0}};
  for (auto [x, y] : cases) {
    In.Output = x;
    u->Step();
    EXPECT_EQ(u->Output, y) << x;
  }
  u->Inputs[Bottom] = nullptr;
  u->Step();
  EXPECT_EQ(u->Output, 0.0);
  u->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  u->Inputs[Top] = &In;
  u->Inputs[Right] = &In;
  u->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 2);
  // In a run: a ramp through a characteristic of slope 2.
  Scheme s(0.125);
  s.B.Block(2, 2, 0, {1.0});
  s.B.Block(4, 2, 7);
  auto* nl = static_cast<TUserNonlinearity*>(s.B.Block(6, 2, 37));
  nl->Table.Add(0, 0);
  nl->Table.Add(10, 20);
  s.B.Line({{2, 2}, {4, 2}});
  s.B.Line({{4, 2}, {6, 2}});
  s.B.Line({{6, 2}, {8, 2}});
  s.B.Point(0, 8, 2);
  ASSERT_EQ(s.Prepare(), 0);
  const auto v = s.RunPointA(1.0);
  ASSERT_EQ(v.size(), 8u);
  for (size_t k = 0; k < v.size(); ++k) EXPECT_DOUBLE_EQ(v[k], 2.0 * (k + 0.5) * 0.125) << k;
}

TEST_F(EventsTest, RecordsSurviveACopy) {
  for (uint16_t code : {35, 36, 39, 81}) {
    auto b = Make<TParamBlock>(code);
    for (int i = 0; i < b->ParamCount; ++i) b->Params[i] = -0.5 + 2 * i;
    auto copy = CloneObject(*b);
    auto* c = dynamic_cast<TParamBlock*>(copy.get());
    ASSERT_TRUE(c) << code;
    EXPECT_EQ(typeid(*c), typeid(*b));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c->Params[i], b->Params[i]) << code;
  }
  auto p = Make<TParamControl>(40);
  p->AimFrom(17, 9);
  p->ParamIndex = 2;
  auto pc = CloneObject(*p);
  auto* q = dynamic_cast<TParamControl*>(pc.get());
  ASSERT_TRUE(q);
  EXPECT_EQ(q->TargetCol, 16);
  EXPECT_EQ(q->TargetRow, 8);
  EXPECT_EQ(q->ParamIndex, 2);
  auto u = Make<TUserNonlinearity>(37);
  for (int i = 0; i < 5; ++i) u->Table.Add(i * 0.5, i * i - 1.0);
  auto uc = CloneObject(*u);
  auto* v = dynamic_cast<TUserNonlinearity*>(uc.get());
  ASSERT_TRUE(v);
  EXPECT_EQ(v->Table.Points, u->Table.Points);
}

}  // namespace
}  // namespace vemo::blocktest
