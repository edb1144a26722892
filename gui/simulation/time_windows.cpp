#include "simulation/time_windows.h"

namespace vemo {

bool ShowTransientSetup(TField&, QWidget*) { return false; }
void OpenTransientWindow(TField&) {}
bool ShowPhaseSetup(TField&, QWidget*) { return false; }
void OpenPhaseWindow(TField&) {}

}  // namespace vemo
