// The time-domain result windows the main window opens after its command
// sequence has compiled, ordered and checked the scheme and chosen the step.
#pragma once

class QWidget;

namespace vemo {

struct TField;

// ThtSetupDlg on the field: false when cancelled.
bool ShowTransientSetup(TField& field, QWidget* parent = nullptr);
// ThtForm: runs the response of the field and shows it as a document window.
void OpenTransientWindow(TField& field);
// TpfSetupDlg / TPhaseFaceForm, the same way.
bool ShowPhaseSetup(TField& field, QWidget* parent = nullptr);
void OpenPhaseWindow(TField& field);

}  // namespace vemo
