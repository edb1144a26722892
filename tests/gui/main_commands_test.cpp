// The analysis commands of the main window: the error path with its box and
// faulty cell, the time-domain sequence up to its window, the commands not
// in this version, the projects of macro bodies, the plug-in message box.
#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <memory>

#include "main_support.h"
#include "model/errors.h"
#include "model/scheme_builder.h"
#include "shell/about_box.h"
#include "shell/analysis_bridge.h"
#include "shell/qt_dialogs.h"
#include "shell/result_window.h"

using namespace vemo;
using namespace vemo::testing;

namespace {

// A constant whose output is taken both to the right and downwards: error 6
// at the constant's cell (5, 5).
void BuildTwoOutputs(TField& f) {
  TSchemeBuilder b(f);
  b.Block(5, 5, 0, {1.0});
  b.Line({{5, 5}, {8, 5}});
  b.Line({{5, 5}, {5, 8}});
  b.Point(0, 8, 5);
  b.Point(1, 5, 8);
  f.Modified = 1;
}

struct TSeenBox {
  QString Title, Text;
  QStringList Buttons;
};

// Closes the next modal error box with "Ok", noting what it showed.
void CloseErrorBox(TSeenBox& seen) {
  OnNextModal([&seen](QWidget* w) {
    seen.Title = w->windowTitle();
    if (auto* text = w->findChild<QLabel*>(QStringLiteral("ErrorText"))) seen.Text = text->text();
    for (QPushButton* b : w->findChildren<QPushButton*>()) seen.Buttons << b->text();
    if (auto* ok = w->findChild<QPushButton*>(QStringLiteral("OkButton")))
      ok->click();
    else
      w->close();
  });
}

}  // namespace

class MainCommandsTest : public QObject {
  Q_OBJECT
 private slots:
  void ShowErrorBringsTheFaultyCellForward() {
    TMainRig rig;
    TMDIChild* faulty = rig.Form->NewEditor();
    faulty->Field().Modified = 1;
    TMDIChild* other = rig.Form->NewEditor();
    QCOMPARE(rig.Form->ActiveEditor(), other);
    Prog.Err = {5, 7, 9, &faulty->Field()};
    TSeenBox seen;
    CloseErrorBox(seen);
    rig.Form->ShowError();
    QCOMPARE(rig.Form->ActiveEditor(), faulty);
    QCOMPARE(faulty->CurrentCol(), 7);
    QCOMPARE(faulty->CurrentRow(), 9);
    QCOMPARE(seen.Title, QStringLiteral("Ошибка"));
    QCOMPARE(seen.Text, QString::fromUtf8(ErrorMessage(5)));
    QVERIFY(seen.Buttons.contains(QStringLiteral("Ok")));
    QVERIFY(seen.Buttons.contains(QStringLiteral("Помощь")));

    // An error of no cell leaves the current cell where it is.
    faulty->SetCurrentCell(2, 3);
    Prog.Err = {9, -1, -1, &faulty->Field()};
    CloseErrorBox(seen);
    rig.Form->ShowError();
    QCOMPARE(seen.Text, QString::fromUtf8(ErrorMessage(9)));
    QCOMPARE(faulty->CurrentCol(), 2);
    QCOMPARE(faulty->CurrentRow(), 3);
  }

  void TransientOfAFaultySchemeEndsInTheErrorBox() {
    TMainRig rig;
    TMDIChild* e = rig.Form->NewEditor();
    BuildTwoOutputs(e->Field());
    e->SetCurrentCell(0, 0);
    TSeenBox seen;
    CloseErrorBox(seen);
    rig.Form->Item("htItem")->trigger();
    QCOMPARE(Prog.Err.ErrorCode, uint8_t(6));
    QCOMPARE(seen.Text, QString::fromUtf8(ErrorMessage(6)));
    QCOMPARE(e->CurrentCol(), 5);
    QCOMPARE(e->CurrentRow(), 5);
    QVERIFY(!QApplication::overrideCursor());  // the hourglass is gone
    QVERIFY(rig.Form->ResultWindows().empty());
  }

  void TransientRunsUpToItsWindow() {
    TMainRig rig;
    TMDIChild* e = rig.Form->OpenProjectFile(ExamplePath("feedback_loop.vmo"));
    QVERIFY(e);
    // Cancelling the settings ends the command quietly.
    bool asked = false;
    OnNextModal([&asked](QWidget* w) {
      asked = true;
      if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
    });
    rig.Form->Item("htItem")->trigger();
    QVERIFY(asked);
    QCOMPARE(Prog.Err.ErrorCode, uint8_t(0));
    QVERIFY(rig.Form->ResultWindows().empty());
    QVERIFY(rig.Dialogs.Messages.empty());
    QCOMPARE(AnalysisRun().CurrentField, &e->Field());
    QCOMPARE(AnalysisRun().TimeDomainRun, uint8_t(1));

    OnNextModal([](QWidget* w) {
      if (auto* d = qobject_cast<QDialog*>(w)) d->accept();
    });
    rig.Form->Item("htItem")->trigger();
    QCOMPARE(rig.Form->ResultWindows().size(), size_t(1));
    QCOMPARE(rig.Form->ResultWindows().front()->AnalysedField, &e->Field());
    QVERIFY(!QApplication::overrideCursor());
    // A result window is no editor: the editor's commands go off.
    QVERIFY(!rig.Form->ActiveEditor());
    QVERIFY(!rig.Form->Item("htItem")->isEnabled());
    QVERIFY(rig.Form->Item("N12")->isEnabled());
  }

  // Closing an editor closes its result windows first; their runs end
  // before the field is released (the sanitizer build checks the memory).
  void ClosingAnEditorEndsTheRunsOfItsWindows() {
    TMainRig rig;
    TMDIChild* e = rig.Form->OpenProjectFile(ExamplePath("feedback_loop.vmo"));
    QVERIFY(e);
    OnNextModal([](QWidget* w) {
      if (auto* d = qobject_cast<QDialog*>(w)) d->accept();
    });
    rig.Form->Item("htItem")->trigger();
    QCOMPARE(rig.Form->ResultWindows().size(), size_t(1));
    QPointer<TMDIChild> editor = e;
    e->Field().Modified = 0;
    QVERIFY(qobject_cast<QMdiSubWindow*>(e->parentWidget())->close());
    QTRY_VERIFY(editor.isNull());
    QTRY_VERIFY(rig.Form->ResultWindows().empty());
  }

  // Every command of the frequency and structure rows opens its dialog (or,
  // for W(s), its window) from the menu item, from its tool button and from
  // its shortcut; cancelling the dialog ends the command quietly.
  void AnalysisCommandsOpenTheirDialogs() {
    TMainRig rig;
    TMDIChild* e = rig.Form->OpenProjectFile(ExamplePath("feedback_loop.vmo"));
    QVERIFY(e);
    rig.Form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.Form.get()));
    struct TRow {
      const char* Item;
      const char* Button;
      QKeyCombination Key;
      const char* Title;
    };
    const TRow rows[] = {
        {"LACHItem", "LACHBtn", Qt::CTRL | Qt::Key_L, "Настройка ЛАЧХ/ФЧХ"},
        {"GodoItem", "GodoBtn", Qt::CTRL | Qt::Key_G, "Настройка годографа"},
        {"N8", "PopovBtn", Qt::CTRL | Qt::Key_P, "Настройка критерия Попова"},
        {"InOutItem", nullptr, {}, "Входо-выходная хар-ка"},
        {"N23", nullptr, {}, "Синтез структуры"},
        {"N4", nullptr, {}, "Упрощение структуры"},
        {"N100", nullptr, {}, "Синтез регулятора"},
    };
    auto expectDialog = [] {
      auto seen = std::make_shared<QString>();
      OnNextModal([seen](QWidget* w) {
        *seen = w->windowTitle();
        if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
      });
      return seen;
    };
    for (const TRow& r : rows) {
      auto seen = expectDialog();
      rig.Form->Item(r.Item)->trigger();
      QCOMPARE(*seen, QString::fromUtf8(r.Title));
      if (r.Button) {
        seen = expectDialog();
        rig.Form->findChild<QToolButton*>(QString::fromLatin1(r.Button))->click();
        QCOMPARE(*seen, QString::fromUtf8(r.Title));
        seen = expectDialog();
        rig.Form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.Form.get()));
        QTest::keySequence(rig.Form.get(), QKeySequence(r.Key));
        QTRY_COMPARE(*seen, QString::fromUtf8(r.Title));
      }
      QVERIFY(rig.Form->ResultWindows().empty());
      QCOMPARE(rig.Form->ActiveEditor(), e);
      QVERIFY(!QApplication::overrideCursor());
    }
    QVERIFY(rig.Dialogs.Messages.empty());

    // W(s) opens its window at once: the contour is chosen inside it.
    rig.Form->Item("WsItem")->trigger();
    QCOMPARE(rig.Form->ResultWindows().size(), size_t(1));
    QCOMPARE(rig.Form->ResultWindows().front()->windowTitle(),
             QStringLiteral("Передаточная функция W(S)"));
    rig.Form->BringForward(e);
    rig.Form->findChild<QToolButton*>(QStringLiteral("WsBtn"))->click();
    rig.Form->BringForward(e);
    rig.Form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.Form.get()));
    QTest::keySequence(rig.Form.get(), QKeySequence(Qt::CTRL | Qt::Key_W));
    QTRY_COMPARE(rig.Form->ResultWindows().size(), size_t(3));
  }

  // A scheme fault ends a frequency command in the error box before its
  // dialog, at the faulty cell.
  void FrequencyCommandOfAFaultySchemeEndsInTheErrorBox() {
    TMainRig rig;
    TMDIChild* e = rig.Form->NewEditor();
    BuildTwoOutputs(e->Field());
    TSeenBox seen;
    CloseErrorBox(seen);
    rig.Form->Item("LACHItem")->trigger();
    QCOMPARE(seen.Text, QString::fromUtf8(ErrorMessage(6)));
    QCOMPARE(e->CurrentCol(), 5);
    QCOMPARE(e->CurrentRow(), 5);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(rig.Form->ResultWindows().empty());
  }

  void MacroBodiesComeFromEditorWindows() {
    TMainRig rig;
    TMDIChild* e = rig.Form->OpenProjectFile(ExamplePath("macro_lag.vmo"));
    QVERIFY(e);
    Prog.Clock.ViewTime = 3.5;
    AnalysisRun().CurrentField = &e->Field();
    AnalysisRun().TimeDomainRun = 1;
    BeginAnalysis();
    QVERIFY(Compile());
    QVERIFY(Order());
    QVERIFY(CheckLoops());
    EndAnalysis(*rig.Form);
    QVERIFY(!QApplication::overrideCursor());
    // The body opened in a window of its own beside the project...
    QCOMPARE(rig.WindowCount(), 2);
    QCOMPARE(rig.Form->Editors()[1]->Caption(), ExamplePath("macro_body_lag.vmo"));
    // ...without changing the view time of the analysis, and the analysed
    // editor is in front again.
    QCOMPARE(Prog.Clock.ViewTime, 3.5);
    QCOMPARE(rig.Form->ActiveEditor(), e);
    // The next compile finds that window.
    AnalysisRun().CurrentField = &e->Field();
    QVERIFY(Compile());
    QCOMPARE(rig.WindowCount(), 2);
    ReleaseMacroBodies(e->Field());

    TProjectSource* projects = Prog.Projects;
    QVERIFY(projects);
    QVERIFY(!projects->OpenProject(""));
    Prog.Err.ErrorCode = 0;
    QVERIFY(!projects->OpenProject("no_such_body.vmo"));
    QCOMPARE(Prog.Err.ErrorCode, uint8_t(14));
    QCOMPARE(rig.WindowCount(), 2);
  }

  void QtDialogsAnswerWithTheirButtons() {
    TQtDialogs dialogs;
    QString title;
    QStringList buttons;
    auto press = [&](QMessageBox::StandardButton which) {
      OnNextModal([&, which](QWidget* w) {
        title = w->windowTitle();
        buttons.clear();
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        for (QAbstractButton* b : box->buttons()) buttons << b->text();
        box->button(which)->click();
      });
    };
    press(QMessageBox::Cancel);
    QCOMPARE(dialogs.AskYesNoCancel("Проект x не сохранен! Сохранить?"), TAnswer::Cancel);
    QCOMPARE(title, QStringLiteral("Внимание"));
    QVERIFY(buttons.contains(QStringLiteral("Да")) && buttons.contains(QStringLiteral("Нет")));
    press(QMessageBox::No);
    QCOMPARE(dialogs.AskYesNoCancel("?"), TAnswer::No);
    press(QMessageBox::Yes);
    QVERIFY(dialogs.AskYesNo("Закрыть окна результатов анализа?"));
    QCOMPARE(title, QStringLiteral("внимание"));
    press(QMessageBox::Ok);
    dialogs.Message("Ошибка в чтении файла!");
    QCOMPARE(buttons, QStringList{QStringLiteral("Ok")});
  }

  void PluginMessagesAndTheAboutBox() {
    TMainRig rig;
    QString title, text;
    OnNextModal([&](QWidget* w) {
      title = w->windowTitle();
      if (auto* box = qobject_cast<QMessageBox*>(w)) {
        text = box->text();
        box->accept();
      } else {
        w->close();
      }
    });
    PluginMessageBox("Функция atan2!", "О DLL", 0);
    QCOMPARE(title, QStringLiteral("О DLL"));
    QCOMPARE(text, QStringLiteral("Функция atan2!"));

    std::unique_ptr<QDialog> about(MakeAboutBox(rig.Form.get()));
    auto* name = about->findChild<QLabel*>(QStringLiteral("ProgramName"));
    QVERIFY(name);
    QCOMPARE(name->text(), QStringLiteral("Vemo 3.1"));
    QVERIFY(about->findChild<QLabel*>(QStringLiteral("ProgramVersion"))->text().contains("3.1"));
  }
};

QTEST_MAIN(MainCommandsTest)
#include "main_commands_test.moc"
