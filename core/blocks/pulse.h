// Pulse elements: the pulse-amplitude element with shaper, the pulse-width
// and the pulse-frequency modulator.
#pragma once
#include "blocks/linear.h"

namespace vemo {

// Pulse-amplitude element (period T, duty ratio Q): every T it samples the
// input and holds it for T / Q, then outputs 0 for the rest of the period.
class TPulseAmplitude : public TTableParamBlock {
 public:
  double Phase = 0.0;  // time since the last sample
  TPulseAmplitude() : TTableParamBlock(13) {}
  void Check() override;
  void Start() override;
  void Step() override;
  // The record carries the phase in C[0] and the output held in C[3]; the
  // loop steps it with the run's step.
  void PlanStep(TRunRecord& r, double dt) override;
  void UnplanStep(const TRunRecord& r) override;
  // One step of phase `phase` from output y: the phase advances by dt, the
  // pulse ends once `pulse` (T / Q) has passed, and every T a new pulse
  // carries x.
  static double Advance(double& phase, double x, double dt, double T, double pulse, double y) {
    // Most steps fall inside a pulse: the code for them goes straight on.
    phase += dt;
    if (phase >= pulse) [[unlikely]]
      y = 0.0;                        // the pulse has ended
    if (phase >= T) [[unlikely]] {    // a new pulse carries the input sampled now
      y = x;
      phase -= T;
    }
    return y;
  }
  double GetStepHint() override { return 0.5 * Params[0] * Params[1]; }
};

class TPulseWidthModulator : public TKindBlock {
 public:
  uint8_t Polarity = 1;   // 0..3
  uint8_t ModKind = 1;    // "I рода" / "II рода"
  uint8_t Signal = 1;     // comparison signal 0..3
  double Period = 0.01;   // T
  double Saturation = 1;  // Uн
  double Amplitude = 1;   // A
  double ShaperClock = 0.01;
  double ZeroPause = 0.001;
  // run state
  double Held = 0.0, LastSample = -1.0, ZeroSwitchTime = 0.0;

  TPulseWidthModulator() : TKindBlock(100) {}
  uint8_t EditorKind() const override { return 11; }
  void Save(TMemCursor& c) override;
  bool Load(TLoadCursor& c) override;
  void Check() override;
  void Start() override;
  // The kind and the shaper clock are kept for the dialog; the input is
  // used directly in both kinds.
  void Step() override;
  double GetStepHint() override;
  // The comparison signal at time t (before the doubling of polarities 2, 3).
  double ComparisonSignal(double t) const;
};

class TPulseFrequencyModulator : public TKindBlock {
 public:
  uint8_t ModKind = 1;   // "I род" / "II род"
  uint8_t Polarity = 1;  // 0 one-sided, 1 two-sided
  double Quantum = 0.1;  // d
  double Height = 1.0;   // h
  double PulseLength = 0.1;
  double ShaperClock = 1.0;
  // run state
  double Held = 0.0, LastSample = -1.0, Accumulator = 0.0, PulseEnd = 0.0;

  TPulseFrequencyModulator() : TKindBlock(101) {}
  uint8_t EditorKind() const override { return 12; }
  void Save(TMemCursor& c) override;
  bool Load(TLoadCursor& c) override;
  void Check() override;
  // The accumulator keeps its value from the previous run.
  void Start() override;
  void Step() override;
  double GetStepHint() override { return 0.1 * PulseLength; }
};

}  // namespace vemo
