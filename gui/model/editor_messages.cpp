#include "model/editor_messages.h"

#include <QApplication>
#include <QMessageBox>

#include "shell/program.h"

namespace vemo {

namespace {
QWidget* DialogParent() { return QApplication::activeWindow(); }
}  // namespace

void EditorMessage(const QString& text, const QString& caption, TNotice kind) {
  if (Prog.Dialogs) {
    Prog.Dialogs->Notify(kind, text.toStdString(), caption.toStdString());
    return;
  }
  if (kind == TNotice::Error)
    QMessageBox::critical(DialogParent(), caption, text);
  else
    QMessageBox::information(DialogParent(), caption, text);
}

bool EditorAskYesNo(const QString& text, const QString& caption) {
  if (Prog.Dialogs) return Prog.Dialogs->AskYesNo(text.toStdString());
  return QMessageBox::question(DialogParent(), caption, text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

TAnswer EditorAskYesNoCancel(const QString& text, const QString& caption) {
  if (Prog.Dialogs) return Prog.Dialogs->AskYesNoCancel(text.toStdString());
  switch (QMessageBox::question(DialogParent(), caption, text,
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes: return TAnswer::Yes;
    case QMessageBox::No: return TAnswer::No;
    default: return TAnswer::Cancel;
  }
}

}  // namespace vemo
