// One optimisation run, as the progress window starts it: the cancel flag
// and the run count cleared, the clock started, the method chosen run over
// the criterion of the prepared field, and the values it leaves written into
// the blocks.
#pragma once
#include <functional>

#include "optimisation/criterion.h"
#include "optimisation/progress.h"

namespace vemo {

struct TField;
struct TSettings;

struct TOptRunOptions {
  int Method = 1;
  TCriterionSetup Setup;
  unsigned Workers = 1;  // more than one: runs on copies of the field
};

struct TOptOutcome {
  long Runs = 0;          // simulations of the sequential order
  bool Stopped = false;   // ended by the cancel flag
  bool Parallel = false;  // evaluated on copies of the field
};

// Optimises the first OptParamCount entries of the table on a prepared
// field. `display` runs on the calling thread whenever `progress` changed
// (at most every 20 ms, and once at the end).
TOptOutcome RunOptimisation(TField& field, const TSettings& settings, const TOptRunOptions& options,
                            TOptProgress& progress, const std::function<void()>& display = {});

}  // namespace vemo
