// The transient response run: segments of simulation from the current
// model time, samples of the observed points, and the scale rules.
#pragma once
#include <cfenv>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/field.h"
#include "simulation/engine.h"
#include "simulation/sample_store.h"

namespace vemo {

inline constexpr const char* kRunMathError =
    "Мат.ошибка. Возможно в системе сильно расходящийся процесс!";
inline constexpr double kSampleLimit = 1e20;

// A sample as stored: held at the limit beyond ±kSampleLimit.
inline double ClampSample(double v) {
  return v > kSampleLimit ? kSampleLimit : v < -kSampleLimit ? -kSampleLimit : v;
}

// Counts one step of a run of the field and, every 201 steps, asks
// `progress` (when set) whether to go on; true when it says to stop. The
// fault flags are the same after the question as before it, and the run's
// step constants are derived again (the window handled its events).
bool RunStopAsked(long& counter, const std::function<bool(double t)>& progress, double t,
                  TField& field);

// Ends the step loop of a run segment: brings the field's blocks up to date
// with their run records (whoever looks at them while the run pauses sees
// the state it has reached), clears the fault flags and, after a fault,
// sets `mathError` and shows kRunMathError. True when there was no fault.
bool EndRunSteps(TField& field, bool fault, bool& mathError);

struct TScaleSettings {
  bool AutoScale = true;
  bool SingleScale = true;
  double Min = 0.0, Max = 1.0;  // common scale
};

class TTransientRun {
 public:
  TField* Field = nullptr;
  std::vector<int> Observed;  // letter indices, in letter order
  TSampleStore Samples;
  double T = 0.0;             // current model time, Steps·Dt
  int64_t Steps = 0;          // steps run since Open
  double ViewStart = 0.0, ViewEnd = 0.0;
  double Margin = 0.0;        // -0.05 of the view time
  TScaleSettings Scale;
  double RunMin = 0.0, RunMax = 0.0;  // running common range
  bool RangeStarted = false;
  bool Aborted = false;
  bool MathError = false;
  bool Opened = false;  // between Open and Close
  // Called every 201 steps; returns false to stop the segment ("Отмена").
  std::function<bool(double t)> Progress;
  // Called after every step with its index and its samples (one per
  // observed point, as stored): a batch run writes its text as it goes.
  std::function<void(int64_t step, const float* samples)> StepSink;
  // Off: the samples go to StepSink only and the store stays empty, so the
  // run's memory does not grow with its length.
  bool KeepSamples = true;
  // Off: a chain is stepped a step at a time too, not in batches of steps
  // (simulation/run_batch.h); the outputs are the same either way.
  bool Batches = true;

  // Opens a run on a prepared field: the observed points are those placed
  // and shown (or the letters given), SimInit runs.
  void Open(TField& field, double viewTime, const std::vector<int>& points);
  // One segment: runs while t < view end. Returns false after a
  // floating-point fault (the samples up to it are kept), and without a
  // step when the segment would take more than kMaxRunSteps steps or the
  // step is no positive number ("Недопустимое значение параметра!").
  bool RunSegment();
  // Ends the run (SimDone); a second call does nothing.
  void Close();
  // The autoscale/rescale rule over the whole store.
  void Rescale();

  // The curve text of one observed point (time, sample; CR LF lines).
  std::string CurveText(int observedIndex) const;
  size_t StepCount() const { return Observed.empty() ? 0 : Samples.Count() / Observed.size(); }
  double SampleTime(size_t step) const { return static_cast<double>(step) * Dt; }

  double Dt = 0.01;
};

// Points observed by default: placed and shown, in letter order.
std::vector<int> ShownPoints(const TField& field);

}  // namespace vemo
