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
// One step of every block in run-list order.
void StepRunPlan(TRunPlan& plan);

}  // namespace vemo
