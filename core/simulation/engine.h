// The simulation engine: orders the run list, rejects algebraic loops,
// chooses the step and steps every block of a run.
#pragma once
#include <cfenv>
#include <cstdint>

#include "model/field.h"

namespace vemo {

// Depth-first post-order: every block after the blocks that feed it.
void SortRunList(TField& field);
// Error 7 when a multi-input block feeds itself without a dynamic block.
void CheckAlgebraicLoops(TField& field);
// The smallest step recommended by the blocks of the field (100 if none).
double MinStepHint(TField& field);
// Sets the run step from the field (and fixes the field's step once when
// AutoStep is set).
void ChooseStep(TField& field);

// Compile, order, check loops and choose the step, stopping at the first
// error; the result is in Prog.Err.ErrorCode.
void PrepareRun(TField& field);

// A run counts its steps with an integer and takes the model time of step k
// as k·dt, so that a tiny step can neither stall the clock (t + dt == t) nor
// let it drift. One run segment (a window's page, a batch run) has at most
// kMaxRunSteps steps.
inline constexpr int64_t kMaxRunSteps = 1'000'000'000;
// The floating-point faults that stop a run.
inline constexpr int kRunFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
inline double StepTime(int64_t k, double dt) { return static_cast<double>(k) * dt; }
// The number of steps k = first, first + 1, ... whose time k·dt lies before
// end. False when dt is not a positive finite number, end is NaN or +inf,
// or there would be more than kMaxRunSteps of them.
bool CountRunSteps(int64_t first, double dt, double end, int64_t& count);

// The run operations.
void SimInit(TField& field);
// Every block's Step in run-list order (through the run records of
// run_plan.h). The caller sets SimTime and TimeStep first. Returns the
// output of the last block of the run list (0 without blocks).
double SimStepAll(TField& field);
void SimDone(TField& field);

}  // namespace vemo
