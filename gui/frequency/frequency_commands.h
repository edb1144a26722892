// The frequency-domain commands of the main window (Bode plots, hodograph,
// Popov line, transfer function): each the fixed sequence of the analysis
// bridge from the active editor's field to its window.
#pragma once
#include <string>

namespace vemo {

class TMainForm;
class TGodoForm;
struct TField;

// "ЛАЧХ/ФЧХ": compile, TLACHSetupDlg, W(s) and its zero-pole form, TLAFCForm.
void RunBodeCommand(TMainForm& form);
// "Годограф" and "Прямая Попова": compile, TGodoSetupDlg, W(s), its
// zero-pole form, the nonlinear part, TGodoForm.
void RunHodographCommand(TMainForm& form, bool popov);
// "Передаточная функция W(s)": compile, then TWSForm.
void RunTransferCommand(TMainForm& form);

// The W(s) text of TWSForm's "Вывести": the contour's W(s) (with its
// zero-pole form for the factored text); false after the error box.
bool ComputeTransferText(TField& field, int start, int end, bool factored, std::string& text);
// TGodoForm's curves again after its properties changed: compile, split,
// trace; false after the error box (the window keeps what it showed).
bool RecomputeHodographWindow(TGodoForm& window);

}  // namespace vemo
