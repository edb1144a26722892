// Signal sources: waveforms, the repeatable random source, the table-defined
// generator, their checks, step hints and records.
#include <cmath>
#include <numbers>

#include "blocks/sources.h"
#include "core/blocks/block_test_support.h"

namespace vemo::blocktest {
namespace {

class SourcesTest : public BlockTest {
 protected:
  double At(TBlock& b, double t) {
    StepAt(b, t);
    return b.Output;
  }
};

TEST_F(SourcesTest, SawIsATriangleStartingAtMinusA) {
  auto saw = Make<TSawGenerator>(29);  // A 1, H 0.5, t0 0
  saw->Start();
  EXPECT_DOUBLE_EQ(At(*saw, 0.0), -1.0);
  EXPECT_DOUBLE_EQ(At(*saw, 0.25), 0.0);
  EXPECT_DOUBLE_EQ(At(*saw, 0.5), 1.0);
  EXPECT_DOUBLE_EQ(At(*saw, 0.75), 0.0);
  EXPECT_DOUBLE_EQ(At(*saw, 1.0), -1.0);
  EXPECT_DOUBLE_EQ(At(*saw, 1.125), -0.5);
  EXPECT_DOUBLE_EQ(At(*saw, 1.625), 0.5);
  // A start time shifts the wave: t0 = 0.25 with A = 2 starts at 0.
  saw->Params[0] = 2.0;
  saw->Params[2] = 0.25;
  EXPECT_DOUBLE_EQ(At(*saw, 0.0), 0.0);
  EXPECT_DOUBLE_EQ(At(*saw, 0.25), 2.0);
  EXPECT_DOUBLE_EQ(At(*saw, 0.75), -2.0);
  EXPECT_DOUBLE_EQ(saw->GetStepHint(), 0.125);
}

TEST_F(SourcesTest, MeanderStartsLowAndAlternatesEveryHalfPeriod) {
  auto m = Make<TMeanderGenerator>(30);
  EXPECT_EQ(m->ParamCount, 2);
  EXPECT_EQ(m->GetParamName(0), "Амплитуда выхода");
  EXPECT_EQ(m->GetParamName(1), "Полупериод");
  m->Start();
  for (double t : {0.0, 0.2, 0.49}) EXPECT_EQ(At(*m, t), -1.0) << t;
  for (double t : {0.5, 0.7, 0.99}) EXPECT_EQ(At(*m, t), 1.0) << t;
  EXPECT_EQ(At(*m, 1.0), -1.0);
  m->Params[0] = 3.0;
  EXPECT_EQ(At(*m, 1.6), 3.0);
  EXPECT_DOUBLE_EQ(m->GetStepHint(), 0.125);
}

TEST_F(SourcesTest, UnitPulseIncludesBothEnds) {
  auto p = Make<TUnitPulse>(33);  // t1 1, t2 2, A 1
  p->Params[2] = 2.5;
  p->Start();
  EXPECT_EQ(p->Output, 0.0);
  EXPECT_EQ(At(*p, 0.99), 0.0);
  EXPECT_EQ(At(*p, 1.0), 2.5);
  EXPECT_EQ(At(*p, 1.5), 2.5);
  EXPECT_EQ(At(*p, 2.0), 2.5);
  EXPECT_EQ(At(*p, 2.01), 0.0);
  EXPECT_DOUBLE_EQ(p->GetStepHint(), 0.2);
}

TEST_F(SourcesTest, HarmonicWithFrequencyInHertzAndPhaseInDegrees) {
  auto h = Make<THarmonicGenerator>(115);
  h->Params[0] = 2.0;
  h->Params[1] = 0.5;
  h->Params[2] = 90.0;
  h->Start();
  EXPECT_EQ(h->Output, 0.0);
  for (double t : {0.0, 0.3, 1.0, 1.7}) {
    EXPECT_NEAR(At(*h, t), 2.0 * std::sin(2 * std::numbers::pi * (0.5 * t + 0.25)), 1e-12);
  }
  EXPECT_NEAR(At(*h, 0.0), 2.0, 1e-12);
  EXPECT_NEAR(At(*h, 1.0), -2.0, 1e-12);
  EXPECT_DOUBLE_EQ(h->GetStepHint(), 1.0 / 9.0);
}

TEST_F(SourcesTest, RandomSourceIsUniformOnItsSegmentAndRepeatable) {
  auto r = Make<TRandomGenerator>(32);
  r->Params[0] = -2.0;
  r->Params[1] = 3.0;
  const auto first = RunSteps(*r, 2000, 0.01, nullptr, [](double) { return 0.0; });
  double sum = 0.0;
  for (double v : first) {
    EXPECT_GE(v, -2.0);
    EXPECT_LT(v, 3.0);
    sum += v;
  }
  EXPECT_NEAR(sum / first.size(), 0.5, 0.15);
  EXPECT_NE(first[0], first[1]);
  // Every run start reseeds: the next run draws the same values.
  const auto second = RunSteps(*r, 2000, 0.01, nullptr, [](double) { return 0.0; });
  EXPECT_EQ(first, second);
  // Two random blocks of one run draw different values from the sequence.
  Scheme s;
  s.B.Block(2, 2, 32);
  s.B.Block(2, 5, 32);
  s.B.Block(5, 2, 1);
  s.B.Line({{2, 2}, {5, 2}});
  s.B.Line({{2, 5}, {5, 5}, {5, 2}});
  s.B.Line({{5, 2}, {8, 2}});
  s.B.Point(0, 8, 2);
  ASSERT_EQ(s.Prepare(), 0);
  const auto a = s.RunPointA(1.0);
  const auto b = s.RunPointA(1.0);
  EXPECT_EQ(a, b);
  EXPECT_NE(s.At(2, 2)->Output, s.At(2, 5)->Output);
  EXPECT_EQ(s.At(5, 2)->Stepped, 1) << "a sum of stepped signals is stepped";
}

TEST_F(SourcesTest, TableGeneratorRepeatsItsTableAsAPeriodicFunction) {
  auto g = Make<TFunctionGenerator>(51);
  EXPECT_EQ(g->EditorKind(), 8);
  EXPECT_EQ(g->Kind, 0);
  EXPECT_EQ(g->Stepped, 0);
  // A triangle from t = 1 to t = 2: 0 at 1, 1 at 1.5, 0 at 2.
  g->Table.Add(1.0, 0.0);
  g->Table.Add(1.5, 1.0);
  g->Table.Add(2.0, 0.0);
  const double dt = 0.125;
  const auto v = RunSteps(*g, 24, dt, nullptr, [](double) { return 0.0; });
  EXPECT_EQ(g->MinTime, 1.0);
  EXPECT_EQ(g->MaxTime, 2.0);
  // Phase 1, 1.125, ..., 2, then 1.125 (2.125 - 2 + 1), ...
  const double expected[] = {0, 0.25, 0.5, 0.75, 1, 0.75, 0.5, 0.25, 0,
                             0.25, 0.5, 0.75, 1, 0.75, 0.5, 0.25, 0, 0.25};
  for (size_t k = 0; k < std::size(expected); ++k) EXPECT_DOUBLE_EQ(v[k], expected[k]) << k;
  // Step hint: a quarter of the smallest time difference of the table.
  EXPECT_DOUBLE_EQ(g->GetStepHint(), 0.125);
  g->Table.Add(2.0, 5.0);  // a vertical jump does not count
  g->Table.Add(2.2, 5.0);
  EXPECT_NEAR(g->GetStepHint(), 0.05, 1e-15);
  g->Table.Clear();
  EXPECT_DOUBLE_EQ(g->GetStepHint(), 0.1);
  g->Start();
  g->Step();
  EXPECT_EQ(g->Output, 0.0) << "an empty table gives 0";
}

TEST_F(SourcesTest, ChecksOfTheSources) {
  TSignal in;
  for (uint16_t code : {0, 29, 30, 32, 33, 51, 115}) {
    auto b = Make<TBlock>(code);
    ASSERT_TRUE(b) << code;
    EXPECT_EQ(b->Kind, 0);
    b->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 0) << code;
    b->Inputs[Right] = &in;
    b->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 1) << code;
    Prog.Err.ErrorCode = 0;
  }
  // Parameter faults (code 15) come before the input test.
  struct Case {
    uint16_t code;
    int index;
    double value;
  } bad[] = {{29, 1, 1e-7}, {30, 1, 0.0}, {115, 1, 5e-7}, {33, 0, 2.5}};
  for (const Case& c : bad) {
    auto b = Make<TParamBlock>(c.code);
    b->Params[c.index] = c.value;
    b->Inputs[Top] = &in;
    b->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 15) << c.code;
    Prog.Err.ErrorCode = 0;
  }
  // A wired constant fails the compile with code 1.
  Scheme s;
  s.B.Block(2, 2, 29);
  s.B.Block(5, 2, 0);
  s.B.Line({{2, 2}, {5, 2}});
  s.B.Line({{5, 2}, {8, 2}});
  s.B.Point(0, 8, 2);
  EXPECT_EQ(s.Prepare(), 1);
  EXPECT_EQ(Prog.Err.ErrorCol, 5);
}

TEST_F(SourcesTest, MeanderRunAndTheAutomaticStep) {
  Scheme s;
  s.B.Block(2, 2, 30, {1.0, 0.5});
  s.B.Line({{2, 2}, {5, 2}});
  s.B.Point(0, 5, 2);
  s.F->AutoStep = 1;
  ASSERT_EQ(s.Prepare(), 0);
  EXPECT_DOUBLE_EQ(s.F->Step, 0.125) << "0.25 of the half-period";
  const auto v = s.RunPointA(2.0);
  ASSERT_EQ(v.size(), 16u);
  for (size_t k = 0; k < v.size(); ++k) EXPECT_EQ(v[k], (k / 4) % 2 ? 1.0 : -1.0) << k;
}

TEST_F(SourcesTest, RecordsSurviveACopy) {
  for (uint16_t code : {0, 29, 30, 32, 33, 115}) {
    auto b = Make<TParamBlock>(code);
    for (int i = 0; i < b->ParamCount; ++i) b->Params[i] = 0.75 + i;
    auto copy = CloneObject(*b);
    auto* c = dynamic_cast<TParamBlock*>(copy.get());
    ASSERT_TRUE(c) << code;
    EXPECT_EQ(typeid(*c), typeid(*b));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c->Params[i], b->Params[i]) << code;
  }
  auto g = Make<TFunctionGenerator>(51);
  g->Table.Add(0, 1);
  g->Table.Add(0.5, -1);
  g->Table.Add(1, 2);
  auto copy = CloneObject(*g);
  auto* c = dynamic_cast<TFunctionGenerator*>(copy.get());
  ASSERT_TRUE(c);
  EXPECT_EQ(c->Table.Points, g->Table.Points);
}

}  // namespace
}  // namespace vemo::blocktest
