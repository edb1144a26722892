// Pulse modulators: the pulse-width and the pulse-frequency modulator.
#pragma once
#include "blocks/linear.h"

namespace vemo {

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
};

}  // namespace vemo
