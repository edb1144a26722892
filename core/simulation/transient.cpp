#include "simulation/transient.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

#include "shell/numtext.h"
#include "shell/program.h"
#include "simulation/engine.h"
#include "simulation/run_batch.h"
#include "simulation/run_plan.h"

namespace vemo {

bool RunStopAsked(long& counter, const std::function<bool(double t)>& progress, double t,
                  TField& field) {
  if (++counter % 201 != 0 || !progress) return false;
  // The window repaints and handles its events inside `progress`; faults
  // raised there (a painter's conversions, say) are not the model's.
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, kRunFaults);
  const bool goOn = progress(t);
  std::fesetexceptflag(&flags, kRunFaults);
  // Whatever the events changed, the next step sees, as a block's own Step
  // would.
  RefreshRunPlan(field, field.Plan.Dt);
  return !goOn;
}

bool EndRunSteps(TField& field, bool fault, bool& mathError) {
  SyncRunOutputs(field.Plan);
  std::feclearexcept(kRunFaults);
  if (fault) {
    mathError = true;
    ShowMessage(kRunMathError);
  }
  return !fault;
}

std::vector<int> ShownPoints(const TField& field) {
  std::vector<int> pts;
  for (int k = 0; k < kPointCount; ++k)
    if (field.Points[k].Placed && field.Points[k].Shown) pts.push_back(k);
  return pts;
}

void TTransientRun::Open(TField& field, double viewTime, const std::vector<int>& points) {
  Field = &field;
  Observed = points;
  Samples.Clear();
  Margin = -0.05 * viewTime;
  ViewStart = Margin;
  ViewEnd = viewTime;
  T = 0.0;
  Steps = 0;
  RangeStarted = false;
  MathError = false;
  SimInit(field);
  Opened = true;
  Dt = Prog.Clock.TimeStep;
}

void TTransientRun::Close() {
  if (Field && Opened) SimDone(*Field);
  Opened = false;
}

bool TTransientRun::RunSegment() {
  TField& field = *Field;
  const double s = ViewStart < 0 ? 0.0 : ViewStart;
  const double span = ViewEnd - s;
  Aborted = false;
  int64_t count = 0;
  if (!CountRunSteps(Steps, Dt, T + span, count)) {
    ShowMessage(kBadParameter);
    return false;
  }
  ViewStart = T + Margin;
  ViewEnd = T + span;

  const size_t n = Observed.size();
  std::vector<TBlock*> sources(n);
  std::vector<TViewPoint*> points(n);
  std::vector<float> stepSamples(n);
  for (size_t k = 0; k < n; ++k) {
    points[k] = &field.Points[Observed[k]];
    sources[k] = points[k]->Source;
  }
  const bool single = Scale.SingleScale || n == 1;
  const int64_t last = Steps + count;
  long counter = 0;
  std::feclearexcept(kRunFaults);
  bool fault = false;
  // What follows a step whose observed outputs are `outputs`: the samples,
  // the sink, the time, and every 201 steps the question whether to go on.
  // True when the segment stops there.
  auto afterStep = [&](auto outputs) {
    for (size_t k = 0; k < n; ++k) {
      const double v = ClampSample(outputs(k));
      stepSamples[k] = static_cast<float>(v);
      if (KeepSamples) Samples.Append(stepSamples[k]);
      if (Scale.AutoScale) {
        if (single) {
          if (!RangeStarted) { RunMin = RunMax = v; RangeStarted = true; }
          if (v < RunMin) RunMin = v;
          if (v > RunMax) RunMax = v;
        } else {
          if (v < points[k]->Low) points[k]->Low = v;
          if (v > points[k]->High) points[k]->High = v;
        }
      }
    }
    if (StepSink) StepSink(Steps, stepSamples.data());
    T = StepTime(++Steps, Dt);
    if (RunStopAsked(counter, Progress, T, field)) {
      Aborted = true;
      return true;
    }
    return false;
  };
  auto blockOutput = [&](size_t k) { return sources[k] ? sources[k]->Output : 0.0; };
  // One step at a time, up to `end` or a fault.
  auto stepToEnd = [&](int64_t end) {
    while (Steps < end) {
      Prog.Clock.TimeStep = Dt;
      Prog.Clock.SimTime = T;
      SimStepAll(field);
      if (std::fetestexcept(kRunFaults)) {
        fault = true;
        return true;
      }
      if (afterStep(blockOutput)) return true;
    }
    return false;
  };

  TRunBatch batch;
  bool batchesReady = false;
  while (Steps < last) {
    Prog.Clock.TimeStep = Dt;
    if (field.Plan.Dt != Dt) RefreshRunPlan(field, Dt);
    if (!Batches || !PlanBatches(field.Plan)) {
      // A step at a time up to the next question to the window (its events
      // may change the scheme), then the plan is looked at again.
      const int64_t end = Progress ? std::min<int64_t>(last, Steps + 201 - counter % 201) : last;
      if (stepToEnd(end)) break;
      continue;
    }
    if (!batchesReady) {
      batch.Columns.resize(n);
      for (size_t k = 0; k < n; ++k) batch.Columns[k] = RecordOf(field.Plan, sources[k]);
      batchesReady = true;
    }
    // A batch ends at the segment's end and at the next question to the
    // window, so whatever the window changes, the steps after it see.
    int64_t size = std::min<int64_t>(BatchSteps(field.Plan), last - Steps);
    if (Progress) size = std::min<int64_t>(size, 201 - counter % 201);
    const int64_t end = Steps + size;
    if (!StepRunBatch(field.Plan, static_cast<int>(size), batch)) {
      // A step of the batch faulted: from the batch's start again, one step
      // at a time, to stop at that step.
      std::feclearexcept(kRunFaults);
      if (stepToEnd(end)) break;
      continue;
    }
    bool stop = false;
    for (int64_t j = 0; j < size && !stop; ++j) {
      Prog.Clock.SimTime = T;
      const double* values = batch.Values.data() + static_cast<size_t>(j) * n;
      stop = afterStep([&](size_t k) { return batch.Columns[k] >= 0 ? values[k] : blockOutput(k); });
    }
    if (stop) break;
  }
  const bool ok = EndRunSteps(*Field, fault, MathError);
  ViewEnd = T;
  Rescale();
  return ok;
}

void TTransientRun::Rescale() {
  const size_t n = Observed.size();
  if (n == 0) return;
  const bool single = Scale.SingleScale || n == 1;
  if (Scale.AutoScale) {
    const size_t steps = Samples.Count() / n;
    for (size_t k = 0; k < n; ++k) {
      TViewPoint& p = Field->Points[Observed[k]];
      for (size_t i = 0; i < steps; ++i) {
        const double v = Samples.At(i * n + k);
        if (single) {
          if (i == 0 && k == 0) Scale.Min = Scale.Max = v;
          if (v < Scale.Min) Scale.Min = v;
          if (v > Scale.Max) Scale.Max = v;
        } else {
          if (i == 0) p.Low = p.High = v;
          if (v < p.Low) p.Low = v;
          if (v > p.High) p.High = v;
        }
      }
    }
  }
  if (single) {
    if (Scale.Min > 0) Scale.Min = 0;
    if (Scale.Max < 0) Scale.Max = 0;
    if (Scale.Max - Scale.Min < 1e-7) {
      Scale.Min -= 1e-7;
      Scale.Max += 1e-7;
    }
  } else {
    for (int k : Observed) {
      TViewPoint& p = Field->Points[k];
      if (p.High - p.Low < 1e-7) {
        p.Low -= 1e-7;
        p.High += 1e-7;
      }
    }
  }
}

std::string TTransientRun::CurveText(int observedIndex) const {
  std::string text;
  const size_t n = Observed.size();
  if (observedIndex < 0 || static_cast<size_t>(observedIndex) >= n) return text;
  const size_t steps = StepCount();
  text.reserve(steps * 49);
  for (size_t i = 0; i < steps; ++i) {
    text += FormatReal23(SampleTime(i));
    text += ' ';
    text += FormatReal23(Samples.At(i * n + observedIndex));
    text += "\r\n";
  }
  return text;
}

}  // namespace vemo
