// The simulation engine: orders the run list, rejects algebraic loops,
// chooses the step and steps every block of a run.
#pragma once
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

// The run operations.
void SimInit(TField& field);
inline void SimStepAll(TField& field) {
  for (TBlock* b : field.RunArray) b->Step();
}
void SimDone(TField& field);

}  // namespace vemo
