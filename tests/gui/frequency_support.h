// Shared by the tests of the frequency-domain and structure windows: the
// batch program's output for the same command, a main window with a
// shipped example in front, and a command driven through its dialog.
#pragma once
#include <QDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <functional>
#include <string>

#include "main_support.h"
#include "shell/result_window.h"
#include "simulation/plot_form.h"
#include "time_window_support.h"

namespace vemo::testing {

// The bytes vemo-cli writes with "-o FILE" for the arguments (the example
// names are completed to their paths); empty when it fails.
inline std::string CliFile(const QString& args) {
  QTemporaryDir dir;
  const QString out = dir.path() + QStringLiteral("/out");
  QString line = args;
  line.replace(QStringLiteral("examples/"), QStringLiteral(VEMO_SOURCE_DIR "/examples/"));
  const std::string cmd = std::string(VEMO_BIN_DIR "/vemo-cli ") + line.toStdString() + " -o '" +
                          out.toStdString() + "' >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) return {};
  return ReadFile(out);
}

// What vemo-cli prints on its standard output (LF line ends).
inline std::string CliOutput(const QString& args) {
  QTemporaryDir dir;
  const QString out = dir.path() + QStringLiteral("/stdout");
  QString line = args;
  line.replace(QStringLiteral("examples/"), QStringLiteral(VEMO_SOURCE_DIR "/examples/"));
  const std::string cmd = std::string(VEMO_BIN_DIR "/vemo-cli ") + line.toStdString() + " >'" +
                          out.toStdString() + "' 2>/dev/null";
  std::system(cmd.c_str());
  return ReadFile(out);
}

// Runs a menu command whose modal dialog is answered by `answer` (called
// with the dialog as soon as it shows).
template <typename TDialog>
void RunWithDialog(TMainRig& rig, const char* item, std::function<void(TDialog&)> answer) {
  bool seen = false;
  OnNextModal([&seen, answer](QWidget* w) {
    seen = true;
    auto* d = qobject_cast<TDialog*>(w);
    QVERIFY(d);
    answer(*d);
    if (d->isVisible()) d->reject();  // a failing check keeps it open
  });
  rig.Form->Item(item)->trigger();
  QVERIFY(seen);
}

// Closes the next modal error box with "Ok"; its text goes to text.
inline void AnswerErrorBox(QString& text) {
  OnNextModal([&text](QWidget* w) {
    if (auto* label = w->findChild<QLabel*>(QStringLiteral("ErrorText"))) text = label->text();
    if (auto* ok = w->findChild<QPushButton*>(QStringLiteral("OkButton")))
      ok->click();
    else
      w->close();
  });
}

// The submenu of a popup menu by its title.
inline QMenu* Submenu(QMenu* popup, const QString& title) {
  for (QAction* a : popup->actions())
    if (a->text() == title) return a->menu();
  return nullptr;
}

// The one result window of a kind, or nullptr.
template <typename TWindow>
TWindow* OnlyWindow(TMainRig& rig) {
  TWindow* found = nullptr;
  for (TResultWindow* w : rig.Form->ResultWindows())
    if (auto* f = qobject_cast<TWindow*>(w)) found = f;
  return found;
}

}  // namespace vemo::testing
