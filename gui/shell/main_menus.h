// The command table of the main window: every menu item with its name,
// caption, shortcut and handler, and the tool buttons that share them.
#pragma once
#include <QString>

class QMenuBar;
class QWidget;

namespace vemo {

class TMainForm;

// Builds the menu bar; every item is a QAction child of the form named
// after its item ("FileOpenItem", "htItem", ...).
void BuildMainMenu(TMainForm& form, QMenuBar* bar);
// Builds the tool buttons (children of panel, named "SpeedButton1",
// "OpenBtn", ... "PopovBtn") on the items of the menu; returns the width of
// the area they take.
int BuildToolButtons(TMainForm& form, QWidget* panel);

}  // namespace vemo
