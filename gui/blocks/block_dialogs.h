// The other dialogs a structure editor opens on a block. Each runs modally
// and returns true when it changed what it edits.
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
// TPWMDialogBox / TFIMDialogBox on the modulator's settings.
bool EditPulseWidthModulator(TPulseWidthModulator& block, QWidget* parent = nullptr);
bool EditPulseFrequencyModulator(TPulseFrequencyModulator& block, QWidget* parent = nullptr);
// TDLLSetupDlg: the plug-in library of a user block, with its inspection listing.
bool EditUserBlock(TUserBlock& block, QWidget* parent = nullptr);

}  // namespace vemo
