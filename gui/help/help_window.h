// The help window: short pages shipped with the program, looked up by
// numeric context (0 the main window, 7000 + a block's type code,
// 10000 + an error code, and the forms' own contexts).
#pragma once

class QWidget;

namespace vemo {

inline constexpr int kBlockHelpBase = 7000;
inline constexpr int kErrorHelpBase = 10000;

// Shows (or brings forward) the help window at the page of the context; a
// context without a page of its own shows the contents page.
void ShowHelpContext(int context, QWidget* parent = nullptr);
// Whether a page exists for the context (tests).
bool HasHelpPage(int context);

}  // namespace vemo
