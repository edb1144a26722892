#include "synthesis/synthesis_commands.h"

#include <QMdiSubWindow>

#include "blocks/nl_editor.h"
#include "frequency/edit_ws_dlg.h"
#include "model/field.h"
#include "model/mdi_child.h"
#include "shell/analysis_bridge.h"
#include "shell/main_form.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "synthesis/contour_dialogs.h"
#include "synthesis/inout.h"
#include "synthesis/structure.h"

namespace vemo {

namespace {

// Compile (with Order and CheckLoops when asked) the active editor's field
// before its dialog; nullptr after the error box.
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

void BeginStructureAnalysis(TField* field) {
  AnalysisRun().CurrentField = field;
  AnalysisRun().TimeDomainRun = 0;
  BeginAnalysis();
}

// The end of a synthesis: its window, or the error box.
void FinishSynthesis(TMainForm& form, TField* analysed, TSynthOutcome& outcome) {
  if (analysed) ReleaseMacroBodies(*analysed);
  switch (outcome.Status) {
    case TSynthStatus::Ok:
      EndAnalysis(form);
      OpenSynthesisWindow(form, std::move(outcome.Field));
      return;
    case TSynthStatus::TextError:  // its message was shown
      EndAnalysis(form);
      return;
    case TSynthStatus::BadParameter:
      EndAnalysis(form);
      ShowMessage(kBadParameter);
      return;
    case TSynthStatus::SchemeError:
      ShowAnalysisError();
      return;
  }
}

}  // namespace

TMDIChild* OpenSynthesisWindow(TMainForm& form, std::unique_ptr<TField> field) {
  TMDIChild* editor = form.CreateEditor(QString::fromUtf8(kSynthesisCaption));
  TField& to = editor->Field();
  for (int c = 0; c < kGridSize; ++c)
    for (int r = 0; r < kGridSize; ++r)
      if (field->Cell(c, r)) to.SetCell(c, r, field->TakeCell(c, r));
  to.Points = field->Points;
  to.Step = field->Step;
  to.AutoStep = field->AutoStep;
  to.Modified = 1;
  editor->RefreshGrid();
  form.UpdateMenuItems();
  return editor;
}

TnlEditorForm* OpenInOutWindow(const PointTable& table) {
  auto* window = new TnlEditorForm(table, false);
  window->setWindowTitle(QStringLiteral("Входо-выходная хар-ка"));
  ShowDocument(window);
  // Escape finishes a dialog: as a document window it closes instead.
  QObject::connect(window, &QDialog::finished, window, [window] {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
      sub->close();
    else
      window->close();
  });
  return window;
}

void RunInOutCharacteristic(TMainForm& form) {
  TField* field = PrepareActiveField(form, true);
  if (!field) return;
  TInOutUnlDlg dlg(*field, &form);
  if (dlg.exec() != QDialog::Accepted) return;
  const TStructureChoices& c = StructureChoices();
  BeginStructureAnalysis(field);
  TInOutResult r = RunInOutCommand(*field, dlg.StartPoint(), dlg.EndPoint(), c.XMax, c.Step);
  ReleaseMacroBodies(*field);
  switch (r.Status) {
    case TInOutStatus::Ok:
      EndAnalysis(form);
      OpenInOutWindow(r.Table);
      return;
    case TInOutStatus::SchemeError:
      ShowAnalysisError();
      return;
    case TInOutStatus::MathError:  // its message was shown
      EndAnalysis(form);
      return;
    case TInOutStatus::TooManyPoints:
      EndAnalysis(form);
      ShowMessage(kBadParameter);
      return;
  }
}

void RunStructureSimplification(TMainForm& form) {
  TField* field = PrepareActiveField(form, false);
  if (!field) return;
  TStructEasyDlg dlg(*field, &form);
  if (dlg.exec() != QDialog::Accepted) return;
  BeginStructureAnalysis(field);
  TSynthOutcome outcome = RunSimplifyCommand(*field, dlg.StartPoint(), dlg.EndPoint());
  FinishSynthesis(form, field, outcome);
}

void RunStructureSynthesis(TMainForm& form) {
  TEditWSDlg dlg(&form);
  if (dlg.exec() != QDialog::Accepted) return;
  BeginStructureAnalysis(nullptr);
  TSynthOutcome outcome = RunSynthesisCommand(dlg.Text().toStdString());
  FinishSynthesis(form, nullptr, outcome);
}

void RunControllerSynthesis(TMainForm& form) {
  TField* field = PrepareActiveField(form, false);
  if (!field) return;
  TSyntezDlg dlg(*field, &form);
  if (dlg.exec() != QDialog::Accepted) return;
  BeginStructureAnalysis(field);
  TSynthOutcome outcome =
      RunControllerCommand(*field, dlg.StartPoint(), dlg.EndPoint(), StructureChoices().T);
  FinishSynthesis(form, field, outcome);
}

}  // namespace vemo
