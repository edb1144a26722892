// The phase portrait run: one observed signal against another, or against
// its own time derivative, page by page.
#pragma once
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
  double T = 0.0;
  double PrevX = 0.0;
  bool FirstStep = true;   // the derivative has no previous value yet
  bool AutoScale = true;
  double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
  bool RangeStarted = false;
  bool Aborted = false;
  bool MathError = false;
  bool Opened = false;  // between Open and Close
  std::function<bool(double t)> Progress;  // every 201 steps; false = stop

  // Starts a run on a prepared field (SimInit).
  void Open(TField& field, int abscissa, uint8_t ordinate, double pageTime);
  // One page from the reached time; false after a floating-point fault.
  bool RunPage();
  // Ends the run (SimDone); a second call does nothing.
  void Close();
  size_t PairCount() const { return Samples.Count() / 2; }
  // The text file: ordinate, one blank, abscissa per line (CR LF).
  std::string Text() const;
};

}  // namespace vemo
