// Results of the frequency-domain commands, held program-wide: one set at a
// time, replaced by every analysis command.
#pragma once
#include <cstdint>

#include "frequency/fraction.h"
#include "frequency/zero_pole.h"

namespace vemo {

class TBlock;

struct TAnalysisState {
  // The current contour: start and end point (0..11 for A..L).
  uint8_t StartPoint = 0;
  uint8_t EndPoint = 1;
  // Sum of the delay times of the delay blocks on the contour, seconds.
  Real Delay = 0.0L;
  // The current W(s) and its zero-pole form.
  TFraction W;
  TZeroPoleForm Form;
  // The nonlinear part of a contour: the block whose output enters the
  // nonlinear chain and the last nonlinear block of it (nullptr: not found).
  TBlock* NonlinearEntry = nullptr;
  TBlock* NonlinearLast = nullptr;
};

extern TAnalysisState Analysis;

// Releases the results and returns to the state of a fresh program.
void ResetAnalysisState();
// Drops the W(s), its zero-pole form and the delay of the last command,
// before a command computes its own; the contour and the nonlinear part stay.
void ClearTransferResults();

}  // namespace vemo
