// The other dialogs a structure editor opens on a block. Each runs modally
// and returns true when it changed what it edits; the parameter control
// dialog returns true whenever it is confirmed, since the editor then aims
// the control block anew.
#pragma once

class QWidget;

namespace vemo {

class TMacroBlock;
class TParamControl;
class TParamBlock;
class TPulseWidthModulator;
class TPulseFrequencyModulator;
class TUserBlock;

// TMacroDlg: the body file and the parameters of a macro insert.
bool EditMacroBlock(TMacroBlock& block, QWidget* parent = nullptr);
// TParamCtrlDlg: which parameter of the controlled block the control block drives.
bool EditParamControl(TParamControl& control, TParamBlock& target, QWidget* parent = nullptr);
// TPWMDialogBox / TFIMDialogBox on a copy of the modulator's settings,
// copied back only when confirmed with a change.
bool EditPulseWidthModulator(TPulseWidthModulator& block, QWidget* parent = nullptr);
bool EditPulseFrequencyModulator(TPulseFrequencyModulator& block, QWidget* parent = nullptr);
// TDLLSetupDlg: the plug-in library of a user block, with its inspection
// listing and the skeleton sources of a new plug-in. The binding changes at
// once inside the dialog; true when the library bound differs afterwards.
bool EditUserBlock(TUserBlock& block, QWidget* parent = nullptr);

}  // namespace vemo
