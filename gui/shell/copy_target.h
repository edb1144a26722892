// A window other than the structure editor that offers the Edit menu's
// Copy (the table editor of a nonlinearity, also while it is modal).
#pragma once

class QWidget;

namespace vemo {

class TCopyTarget {
 public:
  virtual ~TCopyTarget() = default;
  virtual bool CopyAvailable() const = 0;
  virtual void CopyToClipboard() = 0;
};

// Lets the main window's Copy (its menu item and Ctrl+C) reach a window
// that is a TCopyTarget while that window is active, also when it is modal;
// the main window's menus follow it as it shows and hides.
void AttachMainCopy(QWidget* window);

}  // namespace vemo
