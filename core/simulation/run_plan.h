// The step loop over the run records (blocks/run_record.h): the kinds it
// steps itself are computed in place, with the signal handed from block to
// block in a register along a chain; every other block runs its own Step.
// The order, the arithmetic and every output are those of calling each
// block's Step in run-list order.
#pragma once
#include "model/field.h"

namespace vemo {

// The records of the field's run array for the step dt (SimInit).
void BuildRunPlan(TField& field, double dt);
// Every record's constants again, for the step dt (a new step, or
// parameters that may have been changed from outside the run).
void RefreshRunPlan(TField& field, double dt);
// Brings the Output of every block whose record keeps its output up to
// date (the loop keeps an output in its record when only the next block
// takes it): for whoever looks at the blocks between steps or after a run.
void SyncRunOutputs(TRunPlan& plan);
// One step of every block in run-list order; the output of the last block
// (0 without blocks).
double StepRunPlan(TRunPlan& plan);

}  // namespace vemo
