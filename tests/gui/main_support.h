// A main window on a settings file of its own, with the program's dialogs
// and the file dialogs answered from a script.
#pragma once
#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "model/clipboard.h"
#include "model/field.h"
#include "model/mdi_child.h"
#include "shell/main_form.h"
#include "shell/program.h"

namespace vemo::testing {

inline QString ExamplePath(const char* name) {
  return QStringLiteral(VEMO_SOURCE_DIR "/examples/") + QString::fromLatin1(name);
}

class TMainRig {
 public:
  QTemporaryDir Config;  // XDG_CONFIG_HOME: where "Vemo.ini" lives
  QTemporaryDir Work;    // the program directory ("Paths"/"EXE")
  TScriptedDialogs Dialogs;
  std::unique_ptr<TMainForm> Form;
  // What the file dialog answers, and the requests it was asked.
  QStringList FileAnswers;
  std::vector<TFileRequest> FileRequests;

  // iniText, when given, is the settings file the program starts with; by
  // default the file names the work directory as the program directory.
  explicit TMainRig(const QByteArray* iniText = nullptr, bool start = true) {
    ResetProgramState();
    Prog.Dialogs = &Dialogs;
    ClipClear();
    qputenv("XDG_CONFIG_HOME", Config.path().toUtf8());
    qputenv("XDG_DATA_HOME", Config.path().toUtf8());  // the desktop's recent-documents list
    const QByteArray text =
        iniText ? *iniText : QByteArray("[Paths]\r\nEXE=") + Work.path().toUtf8() + "\r\n";
    if (!text.isEmpty()) WriteIni(text);
    if (start) Start();
  }
  ~TMainRig() {
    if (Form)
      for (TMDIChild* e : Form->Editors()) e->Field().Modified = 0;
    Form.reset();
    Prog.Dialogs = nullptr;
    ResetProgramState();
  }

  void Start() {
    Form = std::make_unique<TMainForm>();
    Form->FileChooser = [this](const TFileRequest& r) {
      FileRequests.push_back(r);
      return FileAnswers.isEmpty() ? QString() : FileAnswers.takeFirst();
    };
    Form->resize(900, 600);
    Form->show();
  }

  QString IniPath() const { return Config.path() + QStringLiteral("/Vemo.ini"); }
  void WriteIni(const QByteArray& text) const {
    QFile f(IniPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
  }
  QByteArray IniText() const {
    QFile f(IniPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  int WindowCount() const { return static_cast<int>(Form->MdiArea()->subWindowList().size()); }
};

// Runs check on the next modal widget as soon as it shows (polling the event
// loop), so that a test never hangs on a modal box; fails the test when no
// modal widget came within five seconds.
inline void OnNextModal(std::function<void(QWidget*)> check) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, check] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      check(w);
      return;
    }
    if (++*tries > 250) {
      timer->stop();
      timer->deleteLater();
      qWarning("no modal widget appeared");
    }
  });
  timer->start(20);
}

}  // namespace vemo::testing
