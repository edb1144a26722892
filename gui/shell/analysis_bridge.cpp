#include "shell/analysis_bridge.h"

#include <QApplication>
#include <QCursor>

#include <cfenv>

#include "codegen/language_dlg.h"
#include "frequency/analysis_state.h"
#include "frequency/contour.h"
#include "model/compile.h"
#include "model/field.h"
#include "model/mdi_child.h"
#include "optimisation/optimize_dlg.h"
#include "shell/main_form.h"
#include "shell/program.h"
#include "shell/qt_dialogs.h"
#include "simulation/engine.h"
#include "simulation/time_windows.h"

namespace vemo {

namespace {

int g_hourglass = 0;

void RestoreCursor() {
  while (g_hourglass > 0) {
    QApplication::restoreOverrideCursor();
    --g_hourglass;
  }
}

bool NoError() { return Prog.Err.ErrorCode == 0; }

using TSetupFn = bool (*)(TField&, QWidget*);
using TWindowFn = void (*)(TField&);

// Compile -> Order -> CheckLoops -> ChooseStep -> EndAnalysis, then the
// settings dialog and the window.
void RunTimeDomain(TMainForm& form, TSetupFn setup, TWindowFn window) {
  TMDIChild* editor = form.ActiveEditor();
  if (!editor) return;
  TField& field = editor->Field();
  AnalysisRun().CurrentField = &field;
  AnalysisRun().TimeDomainRun = 1;
  BeginAnalysis();
  // The same preparation as the batch program's time-domain commands.
  PrepareRun(field);
  if (!NoError()) {
    RestoreCursor();
    form.ShowError();
    return;
  }
  EndAnalysis(form);
  if (!setup(field, &form)) {
    ReleaseMacroBodies(field);
    return;
  }
  window(field);
}

}  // namespace

TAnalysisRun& AnalysisRun() {
  static TAnalysisRun run;
  return run;
}

void BeginAnalysis() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++g_hourglass;
  }
  Prog.Err.ErrorCode = 0;
}

bool Compile() {
  Prog.Wiring.ZeroListed = 0;
  if (!AnalysisRun().CurrentField) return false;
  CompileScheme(*AnalysisRun().CurrentField, nullptr);
  return NoError();
}

bool Order() {
  if (!AnalysisRun().CurrentField) return false;
  SortRunList(*AnalysisRun().CurrentField);
  return NoError();
}

bool CheckLoops() {
  if (!AnalysisRun().CurrentField) return false;
  CheckAlgebraicLoops(*AnalysisRun().CurrentField);
  return NoError();
}

bool Contour(int start, int end) {
  if (!AnalysisRun().CurrentField) return false;
  return RunContourCommand(*AnalysisRun().CurrentField, start, end, false);
}

bool ZeroPoles() {
  constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
  std::feclearexcept(kFaults);
  bool ok = true;
  Analysis.Form = BuildZeroPoleForm(Analysis.W, &ok);
  if (ok && !std::fetestexcept(kFaults)) return NoError();
  std::feclearexcept(kFaults);
  Analysis.Form.Release();
  SetError(18);
  return false;
}

void EndAnalysis(TMainForm& form) {
  RestoreCursor();
  if (AnalysisRun().TimeDomainRun)
    if (TMDIChild* e = form.EditorOf(Prog.Err.ErrorField)) form.BringForward(e);
}

void EndAnalysis() {
  if (TMainForm* form = TMainForm::Instance())
    EndAnalysis(*form);
  else
    RestoreCursor();
}

void ShowAnalysisError() {
  RestoreCursor();
  if (TMainForm* form = TMainForm::Instance()) {
    form->ShowError();
    return;
  }
  if (TField* field = AnalysisRun().CurrentField) ReleaseMacroBodies(*field);
  ShowErrorBox(Prog.Err.ErrorCode, nullptr);
}

void ShowDocument(QWidget* window) {
  if (TMainForm* main = TMainForm::Instance()) {
    main->AddDocument(window);
  } else {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
  }
}

TField* PrepareActiveField(TMainForm& form, bool orderAndLoops) {
  TMDIChild* editor = form.ActiveEditor();
  if (!editor) return nullptr;
  TField& field = editor->Field();
  AnalysisRun().CurrentField = &field;
  AnalysisRun().TimeDomainRun = 1;
  BeginAnalysis();
  if (!Compile() || (orderAndLoops && (!Order() || !CheckLoops()))) {
    ShowAnalysisError();
    return nullptr;
  }
  ReleaseMacroBodies(field);
  EndAnalysis(form);
  return &field;
}

void RunTransientCommand(TMainForm& form) {
  RunTimeDomain(form, &ShowTransientSetup, &OpenTransientWindow);
}

void RunPhaseCommand(TMainForm& form) { RunTimeDomain(form, &ShowPhaseSetup, &OpenPhaseWindow); }

// Compile -> CheckLoops -> EndAnalysis, the dialog, then the macro bodies
// are released.
void RunProgramGenerationCommand(TMainForm& form) {
  TMDIChild* editor = form.ActiveEditor();
  if (!editor) return;
  TField& field = editor->Field();
  AnalysisRun().CurrentField = &field;
  BeginAnalysis();
  if (!Compile() || !CheckLoops()) {
    RestoreCursor();
    form.ShowError();
    return;
  }
  EndAnalysis(form);
  ShowLanguageDlg(field, &form);
  ReleaseMacroBodies(field);
}

void RunOptimizeCommand(TMainForm& form) { RunTimeDomain(form, &OptimizeSetup, nullptr); }


}  // namespace vemo
