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
