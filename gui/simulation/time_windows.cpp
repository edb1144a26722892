#include "simulation/time_windows.h"

#include "shell/analysis_bridge.h"
#include "simulation/phase_form.h"
#include "simulation/phase_setup.h"
#include "simulation/transient_form.h"
#include "simulation/transient_setup.h"

namespace vemo {

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
