#include "blocks/pulse.h"

namespace vemo {

void TPulseWidthModulator::Save(TMemCursor& c) {
  c.U8(Polarity);
  c.U8(ModKind);
  c.U8(Signal);
  c.F64(Period);
  c.F64(Saturation);
  c.F64(Amplitude);
  c.F64(ShaperClock);
  c.F64(ZeroPause);
}

bool TPulseWidthModulator::Load(TLoadCursor& c) {
  Polarity = c.U8();
  ModKind = c.U8();
  Signal = c.U8();
  Period = c.F64();
  Saturation = c.F64();
  Amplitude = c.F64();
  ShaperClock = c.F64();
  ZeroPause = c.F64();
  return c.Ok && Polarity <= 3 && ModKind <= 1 && Signal <= 3;
}

void TPulseFrequencyModulator::Save(TMemCursor& c) {
  c.U8(ModKind);
  c.U8(Polarity);
  c.F64(Quantum);
  c.F64(Height);
  c.F64(PulseLength);
  c.F64(ShaperClock);
}

bool TPulseFrequencyModulator::Load(TLoadCursor& c) {
  ModKind = c.U8();
  Polarity = c.U8();
  Quantum = c.F64();
  Height = c.F64();
  PulseLength = c.F64();
  ShaperClock = c.F64();
  return c.Ok && ModKind <= 1 && Polarity <= 1;
}

}  // namespace vemo

#include <cfenv>
#include <cmath>

#include "shell/program.h"

namespace vemo {

namespace {
double InputOf(const TBlock& b) {
  const TBlock* in = b.StepInput();
  return in ? in->Output : 0.0;
}
bool IsOdd(double n) { return std::fmod(n, 2.0) != 0.0; }
}  // namespace

// Pulse-amplitude element.
void TPulseAmplitude::Check() {
  if (Params[0] < 1e-9 || Params[1] < 1.0) {
    Prog.Err.ErrorCode = 15;
    return;
  }
  CheckSingleInput();
}
void TPulseAmplitude::Start() {
  Output = 0.0;
  Phase = Params[0];
}
void TPulseAmplitude::Step() {
  const double T = Params[0];
  Output = Advance(Phase, InputOf(*this), Prog.Clock.TimeStep, T, T / Params[1], Output);
}
void TPulseAmplitude::PlanStep(TRunRecord& r, double) {
  r.Op = TRunOp::PulseAmplitude;
  r.C[0] = Phase;
  r.C[1] = Params[0];
  r.C[2] = Params[0] / Params[1];
  r.C[3] = Output;
}
void TPulseAmplitude::UnplanStep(const TRunRecord& r) {
  if (r.Op == TRunOp::PulseAmplitude) Phase = r.C[0];
}

// Pulse-width modulator.
void TPulseWidthModulator::Check() {
  if (Period < 1e-8 || Saturation < 1e-8 || Amplitude < 1e-8) {
    Prog.Err.ErrorCode = 15;
    return;
  }
  if (InputCount() != 1) Prog.Err.ErrorCode = 2;
}
void TPulseWidthModulator::Start() {
  Held = 0.0;
  LastSample = -1.0;
  ZeroSwitchTime = 0.0;
  Output = 0.0;
}
double TPulseWidthModulator::GetStepHint() {
  const double h = 0.05 * Period;
  if (Polarity == 3 && 0.5 * ZeroPause < h) return 0.5 * ZeroPause;
  return h;
}
double TPulseWidthModulator::ComparisonSignal(double t) const {
  const double q = t / Period;
  const double n = std::trunc(q), f = q - n;
  const double U = Saturation;
  switch (Signal) {
    case 0: return (1.0 - f) * U;
    case 1: return f * U;
    case 2: return IsOdd(n) ? U - f * U : f * U;
    default: return IsOdd(n) ? f * U : U - f * U;
  }
}
void TPulseWidthModulator::Step() {
  const double t = Prog.Clock.SimTime, U = Saturation, A = Amplitude;
  double x = InputOf(*this);
  if (Polarity == 0 && x < 0.0) x = 0.0;
  double s = ComparisonSignal(t);
  if (Polarity >= 2) s *= 2.0;
  const double e = (Polarity == 1 ? std::fabs(x) : x) - s;
  switch (Polarity) {
    case 0:
    case 1: Output = e > 0.0 ? (x >= 0.0 ? A : -A) : 0.0; break;
    case 2: Output = e > -U ? A : -A; break;
    default:
      // Pause at zero: every reversal passes through 0 for the zero pause.
      if (t - ZeroSwitchTime > ZeroPause) {
        if (e > -U) {
          if (Output < -1e-8) {
            Output = 0.0;
            ZeroSwitchTime = t;
          } else {
            Output = A;
          }
        } else if (Output > 1e-8) {
          Output = 0.0;
          ZeroSwitchTime = t;
        } else {
          Output = -A;
        }
      }
      break;
  }
}

// Pulse-frequency modulator (integrate and fire).
void TPulseFrequencyModulator::Check() {
  if (Quantum < 1e-10 || Height < 1e-10 || PulseLength < 1e-10 || ShaperClock < 1e-8) {
    Prog.Err.ErrorCode = 15;
    return;
  }
  if (InputCount() != 1) Prog.Err.ErrorCode = 2;
}
void TPulseFrequencyModulator::Start() {
  Held = 0.0;
  LastSample = -1.0;
  PulseEnd = 0.0;
  Output = 0.0;
}
void TPulseFrequencyModulator::Step() {
  const double t = Prog.Clock.SimTime, d = Quantum;
  double x;
  if (ModKind == 0) {
    if (std::floor(t / ShaperClock) != std::floor(LastSample / ShaperClock)) {
      LastSample = t;
      Held = InputOf(*this);
    }
    x = Held;
  } else {
    x = InputOf(*this);
  }
  Accumulator += x * Prog.Clock.TimeStep;
  if (!std::isfinite(Accumulator)) {
    // Only a faulty run gets here: fault it and keep the next run clean.
    std::feraiseexcept(FE_INVALID);
    Accumulator = 0.0;
    return;
  }
  // One quantum at a time, as many as the accumulator holds. A huge
  // accumulator takes its quanta in one reduction to what the loop would
  // leave (within one quantum of zero), so the step stays short.
  if (std::fabs(Accumulator) > 1e6 * d) {
    const double r = std::fmod(Accumulator, d);  // same sign as the accumulator
    if (Accumulator > 0.0) {
      Output = Height;
      PulseEnd = t + PulseLength;
      Accumulator = r > 0.0 ? r : d;
    } else {
      if (Polarity == 1) {
        Output = -Height;
        PulseEnd = t + PulseLength;
      }
      Accumulator = r < 0.0 ? r : -d;
    }
  }
  while (Accumulator > d) {
    Output = Height;
    PulseEnd = t + PulseLength;
    Accumulator -= d;
  }
  while (Accumulator < -d) {
    if (Polarity == 1) {
      Output = -Height;
      PulseEnd = t + PulseLength;
    }
    Accumulator += d;
  }
  if (t > PulseEnd) Output = 0.0;
}

}  // namespace vemo
