#include "simulation/time_windows.h"

#include "shell/main_form.h"
#include "simulation/phase_form.h"
#include "simulation/phase_setup.h"
#include "simulation/transient_form.h"
#include "simulation/transient_setup.h"

namespace vemo {

namespace {

// A result window goes into the main window's document area (a plain
// top-level window when there is none, as in tests).
void ShowDocument(TTimePlotForm* form) {
  if (TMainForm* main = TMainForm::Instance())
    main->AddDocument(form);
  else {
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
  }
}

}  // namespace

bool ShowTransientSetup(TField& field, QWidget* parent) {
  ThtSetupDlg dlg(field, parent);
  return dlg.exec() == QDialog::Accepted;
}

void OpenTransientWindow(TField& field) {
  auto* form = new ThtForm(field);
  ShowDocument(form);
  form->Start();
}

bool ShowPhaseSetup(TField& field, QWidget* parent) {
  TpfSetupDlg dlg(field, parent);
  return dlg.exec() == QDialog::Accepted;
}

void OpenPhaseWindow(TField& field) {
  auto* form = new TPhaseFaceForm(field, PhaseChoice().Abscissa, PhaseChoice().Ordinate);
  ShowDocument(form);
  form->Start();
}

}  // namespace vemo
