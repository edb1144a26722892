// Pulse elements: the pulse-amplitude element, the pulse-width and the
// pulse-frequency modulator; their timing, checks, step hints and records.
#include <cfenv>
#include <cmath>

#include "blocks/pulse.h"
#include "core/blocks/block_test_support.h"

namespace vemo::blocktest {
namespace {

constexpr double kDt = 1.0 / 64;  // binary steps keep the phases exact

class PulseTest : public BlockTest {
 protected:
  TSignal In;
};

TEST_F(PulseTest, PulseAmplitudeWithDutyOneIsASampleAndHold) {
  auto p = Make<TPulseAmplitude>(13);
  EXPECT_EQ(p->Kind, 2);
  EXPECT_EQ(p->Stepped, 1);
  p->Params[0] = 0.25;  // 16 steps
  p->Params[1] = 1.0;
  p->Inputs[Left] = &In;
  const auto v = RunSteps(*p, 64, kDt, &In, [](double t) { return 1.0 + t; });
  // Samples at the first step, then every 16 steps from step 15.
  int last = 0;
  for (int k = 0; k < 64; ++k) {
    if (k == 15 || (k > 15 && (k - 15) % 16 == 0)) last = k;
    EXPECT_DOUBLE_EQ(v[k], 1.0 + last * kDt) << k;
  }
  EXPECT_DOUBLE_EQ(p->GetStepHint(), 0.125);
}

TEST_F(PulseTest, PulseAmplitudeWithDutyTwoIsZeroInTheSecondHalf) {
  auto p = Make<TPulseAmplitude>(13);
  p->Params[0] = 0.25;
  p->Params[1] = 2.0;
  p->Inputs[Left] = &In;
  const auto v = RunSteps(*p, 80, kDt, &In, [](double t) { return 1.0 + t; });
  for (int k = 0; k < 7; ++k) EXPECT_DOUBLE_EQ(v[k], 1.0) << k;
  for (int k = 7; k < 15; ++k) EXPECT_EQ(v[k], 0.0) << k;
  for (int k = 15; k < 80; ++k) {
    const int start = 15 + (k - 15) / 16 * 16;
    const bool first_half = k - start < 8;
    EXPECT_DOUBLE_EQ(v[k], first_half ? 1.0 + start * kDt : 0.0) << k;
  }
  EXPECT_DOUBLE_EQ(p->GetStepHint(), 0.25);
  // Checks: T, Q, then the single input.
  p->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  p->Inputs[Top] = &In;
  p->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 2);
  Prog.Err.ErrorCode = 0;
  p->Params[1] = 0.9;
  p->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 15);
  Prog.Err.ErrorCode = 0;
  p->Params[1] = 1.0;
  p->Params[0] = 1e-10;
  p->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 15);
}

class PwmTest : public PulseTest {
 protected:
  std::unique_ptr<TPulseWidthModulator> M = Make<TPulseWidthModulator>(100);
  void SetUp() override {
    PulseTest::SetUp();
    M->Period = 0.25;  // 16 steps of kDt
    M->Saturation = 1.0;
    M->Amplitude = 2.0;
    M->Inputs[Left] = &In;
  }
  std::vector<double> Run(double x, int n = 48) {
    return RunSteps(*M, n, kDt, &In, [x](double) { return x; });
  }
};

TEST_F(PwmTest, OneSidedWithBothRamps) {
  M->Polarity = 0;
  M->Signal = 1;  // rising ramp: on in the first half
  auto v = Run(0.5);
  for (int k = 0; k < 48; ++k) EXPECT_EQ(v[k], k % 16 < 8 ? 2.0 : 0.0) << k;
  M->Signal = 0;  // falling ramp: on in the second half
  v = Run(0.5);
  for (int k = 0; k < 48; ++k) EXPECT_EQ(v[k], k % 16 > 8 ? 2.0 : 0.0) << k;
  // Signals 0 and 1 in polarity 0: input 0 gives no pulse, input 1 is always on
  // against the rising ramp.
  M->Signal = 1;
  v = Run(0.0);
  for (double y : v) EXPECT_EQ(y, 0.0);
  v = Run(1.0);
  for (double y : v) EXPECT_EQ(y, 2.0);
  v = Run(-0.5);
  for (double y : v) EXPECT_EQ(y, 0.0) << "negative input is 0 in polarity 0";
}

TEST_F(PwmTest, TwoSidedAndShiftedPolarities) {
  M->Polarity = 1;
  M->Signal = 1;
  auto v = Run(-0.25);
  for (int k = 0; k < 48; ++k) EXPECT_EQ(v[k], k % 16 < 4 ? -2.0 : 0.0) << k;
  M->Polarity = 2;  // s doubled: 2 f
  v = Run(0.0);
  for (int k = 0; k < 48; ++k) EXPECT_EQ(v[k], k % 16 < 8 ? 2.0 : -2.0) << k;
  // Alternating triangles: signal 2 rises in even periods, falls in odd ones;
  // signal 3 the other way round.
  M->Polarity = 0;
  M->Signal = 2;
  v = Run(0.5);
  for (int k = 0; k < 48; ++k) {
    const bool odd = (k / 16) % 2;
    EXPECT_EQ(v[k], (odd ? k % 16 > 8 : k % 16 < 8) ? 2.0 : 0.0) << k;
  }
  M->Signal = 3;
  v = Run(0.5);
  for (int k = 0; k < 48; ++k) {
    const bool odd = (k / 16) % 2;
    EXPECT_EQ(v[k], (odd ? k % 16 < 8 : k % 16 > 8) ? 2.0 : 0.0) << k;
  }
}

TEST_F(PwmTest, PauseAtZeroPassesThroughZeroOnEveryReversal) {
  M->Polarity = 3;
  M->Signal = 1;
  M->ZeroPause = 0.04;  // between two and three steps
  const auto v = Run(0.0);
  // Period of 16 steps: +A while 2 f < 1, -A after, each reversal through 0.
  const double expected[] = {0, 0, 0, 2, 2, 2, 2, 2, 0, 0, 0, -2, -2, -2, -2, -2,
                             0, 0, 0, 2, 2, 2, 2, 2, 0, 0, 0, -2, -2, -2, -2, -2};
  for (size_t k = 0; k < std::size(expected); ++k) EXPECT_EQ(v[k], expected[k]) << k;
  EXPECT_DOUBLE_EQ(M->GetStepHint(), 0.0125);
  M->ZeroPause = 0.01;
  EXPECT_DOUBLE_EQ(M->GetStepHint(), 0.005);
  M->Polarity = 2;
  EXPECT_DOUBLE_EQ(M->GetStepHint(), 0.0125);
}

TEST_F(PwmTest, Checks) {
  M->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  M->Inputs[Left] = nullptr;
  M->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 2) << "no input";
  Prog.Err.ErrorCode = 0;
  M->Inputs[Left] = M->Inputs[Top] = &In;
  M->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 2);
  Prog.Err.ErrorCode = 0;
  for (double* field : {&M->Period, &M->Saturation, &M->Amplitude}) {
    const double keep = *field;
    *field = 1e-9;
    M->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 15);
    Prog.Err.ErrorCode = 0;
    *field = keep;
  }
}

class PfmTest : public PulseTest {
 protected:
  std::unique_ptr<TPulseFrequencyModulator> M = Make<TPulseFrequencyModulator>(101);
  void SetUp() override {
    PulseTest::SetUp();
    M->PulseLength = 0.02;
    M->Inputs[Left] = &In;
  }
  // Times at which a pulse starts (the pulse end moves), over n steps of dt.
  std::vector<double> Fires(double x, int n, double dt, std::vector<double>* out = nullptr) {
    Prog.Clock.TimeStep = dt;
    M->Start();
    std::vector<double> t_fire;
    double end = M->PulseEnd;
    for (int k = 0; k < n; ++k) {
      In.Output = x;
      StepAt(*M, k * dt, dt);
      if (M->PulseEnd != end) t_fire.push_back(k * dt);
      end = M->PulseEnd;
      if (out) out->push_back(M->Output);
    }
    return t_fire;
  }
};

TEST_F(PfmTest, ConstantOneFiresEveryTenthOfASecond) {
  M->Polarity = 0;
  std::vector<double> out;
  const auto fires = Fires(1.0, 1000, 0.01, &out);
  ASSERT_GE(fires.size(), 98u);
  ASSERT_LE(fires.size(), 100u);
  EXPECT_NEAR(fires[0], 0.1, 0.011);
  for (size_t i = 1; i < fires.size(); ++i) EXPECT_NEAR(fires[i] - fires[i - 1], 0.1, 0.011) << i;
  // Each pulse is h for the pulse length, then 0.
  const int k0 = static_cast<int>(std::lround(fires[3] / 0.01));
  EXPECT_EQ(out[k0], 1.0);
  EXPECT_EQ(out[k0 + 2], 1.0);
  EXPECT_EQ(out[k0 + 3], 0.0);
  EXPECT_EQ(out[k0 - 1], 0.0);
}

TEST_F(PfmTest, NegativeInputFiresOnlyInTwoSidedPolarity) {
  M->Polarity = 0;
  std::vector<double> out;
  EXPECT_TRUE(Fires(-1.0, 1000, 0.01, &out).empty());
  for (double y : out) EXPECT_EQ(y, 0.0);
  EXPECT_GE(M->Accumulator, -0.1) << "quanta are still taken off";
  M->Polarity = 1;
  out.clear();
  M->Accumulator = 0.0;
  const auto fires = Fires(-1.0, 100, 0.01, &out);
  EXPECT_GE(fires.size(), 9u);
  double low = 0.0;
  for (double y : out) low = std::min(low, y);
  EXPECT_EQ(low, -1.0);
}

TEST_F(PfmTest, SampledKindHoldsTheInputForAShaperClock) {
  M->ModKind = 0;
  M->ShaperClock = 0.5;
  M->Accumulator = 0.0;
  Prog.Clock.TimeStep = kDt;
  M->Start();
  for (int k = 0; k < 64; ++k) {
    const double t = k * kDt;
    In.Output = 1.0 + t;
    StepAt(*M, t, kDt);
    EXPECT_DOUBLE_EQ(M->Held, t < 0.5 ? 1.0 : 1.5) << k;
  }
  EXPECT_DOUBLE_EQ(M->LastSample, 0.5);
}

TEST_F(PfmTest, AccumulatorCarriesOverAndHugeInputsStayFast) {
  M->Quantum = 1.0;
  M->Accumulator = 0.0;
  Fires(1.0, 10, 0.05);  // accumulator 0.5
  EXPECT_NEAR(M->Accumulator, 0.5, 1e-12);
  M->Start();
  EXPECT_NEAR(M->Accumulator, 0.5, 1e-12) << "kept from the previous run";
  std::feclearexcept(FE_ALL_EXCEPT);
  In.Output = 1e300;
  StepAt(*M, 0.0, 0.01);
  EXPECT_EQ(M->Output, M->Height);
  EXPECT_GT(M->Accumulator, 0.0);
  EXPECT_LE(M->Accumulator, 1.0);
  In.Output = -1e300;
  M->Polarity = 1;
  StepAt(*M, 0.01, 0.01);
  EXPECT_EQ(M->Output, -M->Height);
  EXPECT_GE(M->Accumulator, -1.0);
  EXPECT_LT(M->Accumulator, 0.0);
  EXPECT_FALSE(std::fetestexcept(FE_INVALID));
}

TEST_F(PfmTest, ChecksAndStepHint) {
  M->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_DOUBLE_EQ(M->GetStepHint(), 0.002);
  M->Inputs[Left] = nullptr;
  M->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 2);
  Prog.Err.ErrorCode = 0;
  M->Inputs[Left] = M->Inputs[Right] = &In;
  M->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 2);
  Prog.Err.ErrorCode = 0;
  for (double* field : {&M->Quantum, &M->Height, &M->PulseLength}) {
    const double keep = *field;
    *field = 1e-11;
    M->Check();
    EXPECT_EQ(Prog.Err.ErrorCode, 15);
    Prog.Err.ErrorCode = 0;
    *field = keep;
  }
  M->ShaperClock = 1e-9;
  M->Check();
  EXPECT_EQ(Prog.Err.ErrorCode, 15);
}

TEST_F(PulseTest, SchemeWithAPulseElementRuns) {
  Scheme s(kDt);
  s.B.Block(2, 2, 0, {0.5});
  s.B.Block(5, 2, 100);
  s.B.Line({{2, 2}, {5, 2}});
  s.B.Line({{5, 2}, {8, 2}});
  s.B.Point(0, 8, 2);
  auto* m = static_cast<TPulseWidthModulator*>(s.At(5, 2));
  m->Period = 0.25;
  m->Polarity = 0;
  ASSERT_EQ(s.Prepare(), 0);
  EXPECT_EQ(s.F->HasPulseElement, 1);
  const auto v = s.RunPointA(1.0);
  ASSERT_EQ(v.size(), 64u);
  for (size_t k = 0; k < v.size(); ++k) EXPECT_EQ(v[k], k % 16 < 8 ? 1.0 : 0.0) << k;
}

TEST_F(PulseTest, RecordsSurviveACopy) {
  auto p = Make<TPulseAmplitude>(13);
  p->Params[0] = 0.3;
  p->Params[1] = 4.0;
  auto pc = CloneObject(*p);
  auto* pa = dynamic_cast<TPulseAmplitude*>(pc.get());
  ASSERT_TRUE(pa);
  EXPECT_EQ(pa->Params[0], 0.3);
  EXPECT_EQ(pa->Params[1], 4.0);

  auto w = Make<TPulseWidthModulator>(100);
  w->Polarity = 3;
  w->ModKind = 0;
  w->Signal = 2;
  w->Period = 0.2;
  w->Saturation = 3;
  w->Amplitude = 4;
  w->ShaperClock = 0.05;
  w->ZeroPause = 0.007;
  auto wc = CloneObject(*w);
  auto* wa = dynamic_cast<TPulseWidthModulator*>(wc.get());
  ASSERT_TRUE(wa);
  EXPECT_EQ(wa->Polarity, 3);
  EXPECT_EQ(wa->ModKind, 0);
  EXPECT_EQ(wa->Signal, 2);
  EXPECT_EQ(wa->Period, 0.2);
  EXPECT_EQ(wa->Saturation, 3);
  EXPECT_EQ(wa->Amplitude, 4);
  EXPECT_EQ(wa->ShaperClock, 0.05);
  EXPECT_EQ(wa->ZeroPause, 0.007);

  auto f = Make<TPulseFrequencyModulator>(101);
  f->ModKind = 0;
  f->Polarity = 0;
  f->Quantum = 0.2;
  f->Height = 5;
  f->PulseLength = 0.3;
  f->ShaperClock = 0.4;
  auto fc = CloneObject(*f);
  auto* fa = dynamic_cast<TPulseFrequencyModulator*>(fc.get());
  ASSERT_TRUE(fa);
  EXPECT_EQ(fa->ModKind, 0);
  EXPECT_EQ(fa->Polarity, 0);
  EXPECT_EQ(fa->Quantum, 0.2);
  EXPECT_EQ(fa->Height, 5);
  EXPECT_EQ(fa->PulseLength, 0.3);
  EXPECT_EQ(fa->ShaperClock, 0.4);
}

}  // namespace
}  // namespace vemo::blocktest
