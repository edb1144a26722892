// The phase portrait run: one observed signal against another, or against
// its own time derivative, page by page.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "model/field.h"
#include "simulation/sample_store.h"

namespace vemo {

inline constexpr uint8_t kDerivativeOrdinate = 255;

class TPhaseRun {
 public:
  TField* Field = nullptr;
  int Abscissa = 0;        // point index 0..11
  uint8_t Ordinate = 1;    // point index, or kDerivativeOrdinate for dx/dt
  double PageTime = 10.0;  // length of one page
  TSampleStore Samples;    // pairs (abscissa, ordinate)
  double T = 0.0;          // Steps·Dt
  int64_t Steps = 0;       // steps run since Open
  double Dt = 0.01;        // the run's step, fixed at Open
  double PrevX = 0.0;
  bool FirstStep = true;   // the derivative has no previous value yet
  bool AutoScale = true;
  double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
  bool RangeStarted = false;
  bool Aborted = false;
  bool MathError = false;
  bool Opened = false;  // between Open and Close
  std::function<bool(double t)> Progress;  // every 201 steps; false = stop
  // Called with every recorded pair: a batch run writes its text as it goes.
  std::function<void(float x, float y)> PairSink;
  // Off: the pairs go to PairSink only and the store stays empty.
  bool KeepSamples = true;

  // Starts a run on a prepared field (SimInit).
  void Open(TField& field, int abscissa, uint8_t ordinate, double pageTime);
  // One page from the reached time; false after a floating-point fault, and
  // without a step when the page would take more than kMaxRunSteps steps
  // ("Недопустимое значение параметра!").
  bool RunPage();
  // Ends the run (SimDone); a second call does nothing.
  void Close();
  size_t PairCount() const { return Samples.Count() / 2; }
  // The text file: ordinate, one blank, abscissa per line (CR LF).
  std::string Text() const;
};

}  // namespace vemo
