#include "simulation/phase.h"

#include <cfenv>

#include "shell/numtext.h"
#include "shell/program.h"
#include "simulation/engine.h"
#include "simulation/transient.h"

namespace vemo {

void TPhaseRun::Open(TField& field, int abscissa, uint8_t ordinate, double pageTime) {
  Field = &field;
  Abscissa = abscissa;
  Ordinate = ordinate;
  PageTime = pageTime;
  Samples.Clear();
  T = 0.0;
  Steps = 0;
  PrevX = 0.0;
  FirstStep = true;
  RangeStarted = false;
  MathError = false;
  SimInit(field);
  Opened = true;
  Dt = Prog.Clock.TimeStep;
}

void TPhaseRun::Close() {
  if (Field && Opened) SimDone(*Field);
  Opened = false;
}

bool TPhaseRun::RunPage() {
  TField& field = *Field;
  const bool derivative = Ordinate == kDerivativeOrdinate;
  TBlock* xs = field.Points[Abscissa].Source;
  TBlock* ys = derivative || Ordinate >= kPointCount ? nullptr : field.Points[Ordinate].Source;
  const double step = Dt;
  Aborted = false;
  int64_t count = 0;
  if (!CountRunSteps(Steps, step, T + PageTime, count)) {
    ShowMessage(kBadParameter);
    return false;
  }
  const int64_t last = Steps + count;
  bool fault = false;
  long counter = 0;
  std::feclearexcept(kRunFaults);
  while (Steps < last) {
    Prog.Clock.SimTime = T;
    Prog.Clock.TimeStep = step;
    SimStepAll(field);
    const double x = xs ? xs->Output : 0.0;
    double y;
    bool record = true;
    if (derivative) {
      y = (x - PrevX) / step;
      PrevX = x;
      if (FirstStep) record = false;
    } else {
      y = ys ? ys->Output : 0.0;
    }
    FirstStep = false;
    if (std::fetestexcept(kRunFaults)) {
      fault = true;
      break;
    }
    if (record) {
      const double cx = ClampSample(x);
      const double cy = ClampSample(y);
      if (KeepSamples) {
        Samples.Append(static_cast<float>(cx));
        Samples.Append(static_cast<float>(cy));
      }
      if (PairSink) PairSink(static_cast<float>(cx), static_cast<float>(cy));
      if (AutoScale) {
        if (!RangeStarted) {
          MinX = MaxX = cx;
          MinY = MaxY = cy;
          RangeStarted = true;
        }
        if (cx < MinX) MinX = cx;
        if (cx > MaxX) MaxX = cx;
        if (cy < MinY) MinY = cy;
        if (cy > MaxY) MaxY = cy;
      }
    }
    T = StepTime(++Steps, step);
    if (RunStopAsked(counter, Progress, T, field)) {
      Aborted = true;
      break;
    }
  }
  return EndRunSteps(field, fault, MathError);
}

std::string TPhaseRun::Text() const {
  std::string text;
  const size_t n = PairCount();
  text.reserve(n * 49);
  for (size_t i = 0; i < n; ++i) {
    text += FormatReal23(Samples.At(2 * i + 1));
    text += ' ';
    text += FormatReal23(Samples.At(2 * i));
    text += "\r\n";
  }
  return text;
}

}  // namespace vemo
