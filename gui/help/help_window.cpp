#include "help/help_window.h"

namespace vemo {

void ShowHelpContext(int, QWidget*) {}
bool HasHelpPage(int) { return false; }

}  // namespace vemo
