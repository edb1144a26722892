// What `optimize` and `neuro train` share: the method options, the settings
// named on the command line, the progress bar, Ctrl+C as "Отмена", and the
// output of a finished run.
#pragma once
#include <string>

#include "cli_common.h"
#include "optimisation/optimise.h"
#include "shell/settings.h"

namespace vemo::cli {

// --set NAME=VALUE (every occurrence, by the settings file's key names),
// then --method probe|coord|grad and --criterion 0|1|2, then --jobs N.
// False after a usage message.
bool MethodOptions(const TArgs& a, TSettings& s, unsigned& workers);

// A cell "COL,ROW" of the grid; false when it is not one.
bool ParseCell(const std::string& text, int& col, int& row);

// Runs `run` with Ctrl+C setting the optimiser's cancel flag and, when
// stderr is a terminal, a progress bar there; `run` gets the progress and
// the display to hand to the optimiser.
void WithProgress(const std::function<void(TOptProgress&, const std::function<void()>&)>& run);

// The criterion at the values now in the blocks (one more run, not counted),
// as the line "J = <real>"; after a cancel "J = -" (no further run).
std::string CriterionLine(TField& field, const TCriterionSetup& crit, bool stopped);

// Writes the project to the -o file if given; false after a write error.
bool SaveOutput(const TArgs& a, TField& field);

}  // namespace vemo::cli
