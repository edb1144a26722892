// Program-wide state, gathered in a few named structs owned by one program
// context so that a test can start from a fresh state.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "plugins/plugin_trust.h"
#include "shell/dialogs.h"

namespace vemo {

struct TField;
class TBlock;

// The error of the last scheme or analysis operation.
struct TErrorState {
  uint8_t ErrorCode = 0;
  int32_t ErrorCol = -1;
  int32_t ErrorRow = -1;
  TField* ErrorField = nullptr;
  uint8_t FuzzyError = 0;  // code 1..9 of the last failed fuzzy rule line
};

// State of the wiring resolution.
struct TWiringState {
  int32_t MacroDepth = 0;
  uint8_t ZeroListed = 0;
  // What the macro bodies copied for the running check count against their
  // budget (see TMacroBlock).
  uint64_t MacroBodyBytes = 0;
};

// The clock of the current run and the time span of time-domain runs.
// Every thread has its own clock: the optimiser runs copies of a field on
// worker threads, each stepping its blocks with its own model time and step.
struct TRunClock {
  double SimTime = 0.0;
  double TimeStep = 0.01;
  double ViewTime = 10.0;
};

struct TProgram {
  TErrorState Err;
  TWiringState Wiring;
  static constinit thread_local TRunClock Clock;
  TUserDialogs* Dialogs = nullptr;
  TProjectSource* Projects = nullptr;
  std::string ProgramDir;  // with a trailing separator
  TPluginTrust Plugins;
};

extern TProgram Prog;

// The source of every input reached by a line that leads nowhere: a constant
// generator of value 0 that lives for the whole program.
TBlock* ZeroBlock();

// Back to the state of a freshly started program (tests). Dialogs and the
// project source become quiet defaults.
void ResetProgramState();

// Shows a message about a fault through the current dialogs (if any).
void ShowMessage(const std::string& text);
// Shows a message that reports no fault (the information icon).
void ShowInformation(const std::string& text);

// Sets ErrorCode with its cell.
inline void SetError(uint8_t code, int32_t col = -1, int32_t row = -1) {
  Prog.Err.ErrorCode = code;
  Prog.Err.ErrorCol = col;
  Prog.Err.ErrorRow = row;
}

}  // namespace vemo
