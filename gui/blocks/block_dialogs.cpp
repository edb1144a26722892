#include "blocks/block_dialogs.h"

#include "blocks/dll_setup_dlg.h"
#include "blocks/macro_dlg.h"
#include "blocks/modulator_dlgs.h"
#include "blocks/param_control.h"
#include "blocks/param_ctrl_dlg.h"
#include "blocks/pulse.h"
#include "plugins/user_block.h"

namespace vemo {

bool EditMacroBlock(TMacroBlock& block, QWidget* parent) {
  TMacroDlg dlg(block, parent);
  return dlg.exec() == QDialog::Accepted && dlg.Changed();
}

// OK always counts as a change: the editor then aims the control block at
// the cell one left and one up of where it stands now, which may differ
// from the cell it was aimed at before even when the index stays.
bool EditParamControl(TParamControl& control, TParamBlock& target, QWidget* parent) {
  TParamCtrlDlg dlg(control, target, parent);
  return dlg.exec() == QDialog::Accepted;
}

bool EditPulseWidthModulator(TPulseWidthModulator& block, QWidget* parent) {
  const TPWMSettings before = TPWMSettings::From(block);
  TPWMDialogBox dlg(before, parent);
  if (dlg.exec() != QDialog::Accepted || dlg.Settings == before) return false;
  dlg.Settings.To(block);
  return true;
}

bool EditPulseFrequencyModulator(TPulseFrequencyModulator& block, QWidget* parent) {
  const TPFMSettings before = TPFMSettings::From(block);
  TFIMDialogBox dlg(before, parent);
  if (dlg.exec() != QDialog::Accepted || dlg.Settings == before) return false;
  dlg.Settings.To(block);
  return true;
}

// True when the binding changed: another library, or bound where it was not.
bool EditUserBlock(TUserBlock& block, QWidget* parent) {
  const std::string file = block.Link.FileName;
  const void* handle = block.Link.Handle;
  TDLLSetupDlg dlg(block, parent);
  dlg.exec();
  return block.Link.FileName != file || block.Link.Handle != handle;
}

}  // namespace vemo
