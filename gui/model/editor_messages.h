// The editor's messages and questions go through the program's dialogs
// (core's TUserDialogs), so that the desktop program shows message boxes
// and tests answer them from a script. Without installed dialogs a plain
// Qt message box with the caption is shown.
#pragma once
#include <QString>

#include "shell/dialogs.h"

namespace vemo {

void EditorMessage(const QString& text, const QString& caption, TNotice kind = TNotice::Error);
bool EditorAskYesNo(const QString& text, const QString& caption);
TAnswer EditorAskYesNoCancel(const QString& text, const QString& caption);

}  // namespace vemo
