#include "frequency/frequency_commands.h"

#include "frequency/analysis_state.h"
#include "frequency/godo_form.h"
#include "frequency/godo_setup.h"
#include "frequency/lach_setup.h"
#include "frequency/lafc_form.h"
#include "frequency/transfer_text.h"
#include "frequency/ws_form.h"
#include "model/field.h"
#include "model/mdi_child.h"
#include "shell/analysis_bridge.h"
#include "shell/main_form.h"
#include "shell/program.h"
#include "simulation/plot_form.h"

namespace vemo {

namespace {

bool Failed() {
  ShowAnalysisError();
  return false;
}

// The first half of every frequency-domain command: the active editor's
// field compiled (to find its faults before any dialog) and its macro
// bodies released again. nullptr after the error box.
TField* CompileActiveField(TMainForm& form) {
  TMDIChild* editor = form.ActiveEditor();
  if (!editor) return nullptr;
  TField& field = editor->Field();
  AnalysisRun().CurrentField = &field;
  AnalysisRun().TimeDomainRun = 1;
  BeginAnalysis();
  if (!Compile()) {
    Failed();
    return nullptr;
  }
  ReleaseMacroBodies(field);
  EndAnalysis(form);
  return &field;
}

// Contour -> ZeroPoles of the chosen contour, the frequency-domain half.
bool ContourForm(TField& field, int start, int end, bool zeroPoles) {
  AnalysisRun().CurrentField = &field;
  AnalysisRun().TimeDomainRun = 0;
  BeginAnalysis();
  return Contour(start, end) && (!zeroPoles || ZeroPoles());
}

}  // namespace

void RunBodeCommand(TMainForm& form) {
  TField* field = CompileActiveField(form);
  if (!field) return;
  TLACHSetupDlg dlg(*field, &form);
  if (dlg.exec() != QDialog::Accepted) return;
  const int start = dlg.StartPoint(), end = dlg.EndPoint();
  if (!ContourForm(*field, start, end, true)) {
    Failed();
    return;
  }
  ReleaseMacroBodies(*field);
  auto* window = new TLAFCForm(*field, start, end, Analysis.Form, Analysis.Delay);
  // The autoscale evaluates the response over the whole range first: a
  // fault there ends the command like a fault of the zero-pole form.
  if (!window->Autoscale()) {
    delete window;
    SetError(18);
    Failed();
    return;
  }
  EndAnalysis();
  ShowDocument(window);
}

void RunHodographCommand(TMainForm& form, bool popov) {
  TField* field = CompileActiveField(form);
  if (!field) return;
  TGodoSetupDlg dlg(*field, popov, &form);
  if (dlg.exec() != QDialog::Accepted) return;
  const int start = dlg.StartPoint(), end = dlg.EndPoint();
  if (!ContourForm(*field, start, end, true)) {
    Failed();
    return;
  }
  auto* window = new TGodoForm(*field, popov, start, end, Analysis.Form, Analysis.Delay);
  // Split and the curves; the blocks of the nonlinear part are used only
  // while the macro bodies are still loaded.
  const bool ok = window->Compute(*field);
  ReleaseMacroBodies(*field);
  if (!ok) {
    delete window;
    Failed();
    return;
  }
  EndAnalysis();
  ShowDocument(window);
  window->ShowRefusal();
}

void RunTransferCommand(TMainForm& form) {
  TField* field = CompileActiveField(form);
  if (!field) return;
  ShowDocument(new TWSForm(*field));
}

bool ComputeTransferText(TField& field, int start, int end, bool factored, std::string& text) {
  if (!ContourForm(field, start, end, factored)) return Failed();
  ReleaseMacroBodies(field);
  EndAnalysis();
  text = factored ? FormatFactoredText(start, end, Analysis.Form, Analysis.Delay)
                  : FormatPolynomialText(start, end, Analysis.W, Analysis.Delay);
  return true;
}

bool RecomputeHodographWindow(TGodoForm& window) {
  TField& field = *window.AnalysedField;
  AnalysisRun().CurrentField = &field;
  AnalysisRun().TimeDomainRun = 0;
  BeginAnalysis();
  const TLoopCurves kept = window.Curves;
  bool ok = Compile() && window.Compute(field);
  ReleaseMacroBodies(field);
  if (!ok) {
    window.Curves = kept;
    return Failed();
  }
  EndAnalysis();
  window.ShowRefusal();
  return true;
}

}  // namespace vemo
