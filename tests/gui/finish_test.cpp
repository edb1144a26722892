// The finish of the desktop program: Qt's own texts in Russian with one
// spelling of Ok, message boxes with the icon of what they tell, cascade and
// tile keeping windows useful, the main window's Copy reaching the modal
// table editor, and the transient window's second "Далее" button.
#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "blocks/nl_editor.h"
#include "main_support.h"
#include "shell/qt_dialogs.h"
#include "shell/translations.h"
#include "simulation/transient_form.h"
#include "time_window_support.h"

using namespace vemo;
using vemo::testing::OnNextModal;
using vemo::testing::TMainRig;

namespace {

struct TBoxSeen {
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  QString Caption;
  QStringList Buttons;
};

// Answers the next message box with its first button, noting what it showed.
void AnswerBox(TBoxSeen& seen) {
  OnNextModal([&seen](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (!box) return;
    seen.Icon = box->icon();
    seen.Caption = box->windowTitle();
    for (QAbstractButton* b : box->buttons()) seen.Buttons << b->text();
    box->buttons().first()->click();
  });
}

}  // namespace

class FinishTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(InstallQtTranslations(*QCoreApplication::instance())); }

  void QtTextsAreRussianWithOneOk() {
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Перейти к:"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("Ok"));
    // The file chooser as a person sees it.
    QFileDialog dlg(nullptr, QStringLiteral("Открыть проект с диска"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    QStringList texts;
    for (QLabel* l : dlg.findChildren<QLabel*>()) texts << l->text();
    for (QPushButton* b : dlg.findChildren<QPushButton*>()) texts << b->text();
    QVERIFY2(texts.contains(QStringLiteral("&Имя файла:")), qPrintable(texts.join('|')));
    QVERIFY(texts.contains(QStringLiteral("Отмена")));
    for (const QString& t : texts) QVERIFY2(!t.contains(QStringLiteral("Look in")), qPrintable(t));
  }

  void MessageBoxesShowWhatTheyTell() {
    TQtDialogs d;
    TBoxSeen error, info, question, three;
    AnswerBox(error);
    d.Message("Ошибка в чтении файла!");
    QCOMPARE(error.Icon, QMessageBox::Critical);
    QCOMPARE(error.Buttons, QStringList{QStringLiteral("Ok")});
    AnswerBox(info);
    d.Notify(TNotice::Information, "Команда пока недоступна.", "Внимание");
    QCOMPARE(info.Icon, QMessageBox::Information);
    QCOMPARE(info.Caption, QStringLiteral("Внимание"));
    AnswerBox(question);
    d.AskYesNo("Закрыть окна результатов анализа?");
    QCOMPARE(question.Icon, QMessageBox::Question);
    QCOMPARE(question.Caption, QStringLiteral("внимание"));
    AnswerBox(three);
    d.AskYesNoCancel("Проект x не сохранен! Сохранить?");
    QCOMPARE(three.Icon, QMessageBox::Question);
    QVERIFY(three.Buttons.contains(QStringLiteral("Да")) &&
            three.Buttons.contains(QStringLiteral("Отмена")));
  }

  void CascadeKeepsTheOpeningSizeAndTileFillsTheArea() {
    TMainRig rig;
    for (int i = 0; i < 3; ++i) {
      rig.Form->NewEditor()->Field().Modified = 1;  // not replaced by the next New
    }
    QMdiArea* area = rig.Form->MdiArea();
    const QSize free = area->viewport()->size();
    rig.Form->Item("WindowCascadeItem")->trigger();
    QPoint last(-1, -1);
    for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::CreationOrder)) {
      QVERIFY(sub->width() >= free.width() * 2 / 3 - 1 && sub->height() >= free.height() * 2 / 3 - 1);
      QVERIFY(sub->x() > last.x() && sub->y() > last.y());
      QVERIFY(QRect(QPoint(0, 0), free).contains(sub->geometry()));
      last = sub->pos();
    }
    rig.Form->Item("WindowTileItem")->trigger();
    int covered = 0;
    const QList<QMdiSubWindow*> subs = area->subWindowList();
    for (QMdiSubWindow* a : subs) {
      QVERIFY(QRect(QPoint(0, 0), free).contains(a->geometry()));
      covered += a->width() * a->height();
      for (QMdiSubWindow* b : subs) QVERIFY(a == b || !a->geometry().intersects(b->geometry()));
    }
    QCOMPARE(covered, free.width() * free.height());
  }

  void MainCopyReachesTheModalTableEditor() {
    TMainRig rig;
    PointTable table;
    table.Add(0, 0);
    table.Add(1, 2);
    TnlEditorForm editor(table, false, rig.Form.get());
    bool enabled = false;
    OnNextModal([&](QWidget* w) {
      enabled = rig.Form->Item("CopyItem")->isEnabled();
      QApplication::clipboard()->clear();
      QTest::keyClick(w, Qt::Key_C, Qt::ControlModifier);
      qobject_cast<QDialog*>(w)->reject();
    });
    editor.exec();
    QVERIFY(enabled);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data && data->hasFormat(QString::fromLatin1(kPointTableMime)));
    // Closed, the editor no longer holds the item.
    QVERIFY(!rig.Form->Item("CopyItem")->isEnabled());
  }

  void SecondPlayButtonContinuesTheRun() {
    TScriptedDialogs dialogs;
    std::unique_ptr<TField> field;
    vemo::testing::PrepareExampleRun(dialogs, field);
    Prog.Clock.ViewTime = 1.0;
    ThtForm form(*field);
    form.show();
    form.Start();
    const size_t first = form.Run.StepCount();
    QVERIFY(form.PlayBtn2->isEnabled() && form.PlayBtn2->toolTip() == QStringLiteral("Далее"));
    QTest::mouseClick(form.PlayBtn2, Qt::LeftButton);
    QVERIFY(form.Run.StepCount() > first + first / 2);
    form.close();
    Prog.Dialogs = nullptr;
  }
};

QTEST_MAIN(FinishTest)
#include "finish_test.moc"
