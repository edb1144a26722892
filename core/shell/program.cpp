#include "shell/program.h"

#include "blocks/cell_object.h"
#include "frequency/analysis_state.h"
#include "optimisation/opt_params.h"

namespace vemo {

TProgram Prog;
constinit thread_local TRunClock TProgram::Clock;

namespace {
TScriptedDialogs& QuietDialogs() {
  static TScriptedDialogs d;
  return d;
}
}  // namespace

TBlock* ZeroBlock() {
  static std::unique_ptr<TCellObject> zero = [] {
    auto obj = CreateCellObject(0);
    static_cast<TParamBlock*>(obj->AsBlock())->Params[0] = 0.0;
    return obj;
  }();
  return zero->AsBlock();
}

void ResetProgramState() {
  Prog.Err = TErrorState{};
  Prog.Wiring = TWiringState{};
  Prog.Clock = TRunClock{};
  QuietDialogs() = TScriptedDialogs{};
  Prog.Dialogs = &QuietDialogs();
  Prog.Projects = nullptr;
  Prog.Plugins = TPluginTrust{};
  ResetAnalysisState();
  ResetOptState();
}

void ShowMessage(const std::string& text) {
  if (Prog.Dialogs) Prog.Dialogs->Message(text);
}

void ShowInformation(const std::string& text) {
  if (Prog.Dialogs) Prog.Dialogs->Notify(TNotice::Information, text, {});
}

}  // namespace vemo
