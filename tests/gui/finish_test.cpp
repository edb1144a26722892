// The finish of the desktop program: Qt's own texts in Russian, message
// boxes with the icon of what they tell, cascade and tile keeping windows
// useful, the main window's Copy reaching the modal table editor, and the
// transient window's second "Далее" button.
#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QAbstractButton>
#include <QFileIconProvider>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "blocks/cell_object.h"
#include "blocks/nl_editor.h"
#include "blocks/property_dlg.h"
#include "optimisation/opt_param_dlg.h"
#include "shell/about_box.h"
#include "shell/print_dlg.h"
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

  void QtTextsAreRussian() {
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Перейти к:"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("OK"));
    // The file chooser as a person sees it.
    QFileDialog dlg(nullptr, QStringLiteral("Открыть проект с диска"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    QStringList texts;
    for (QLabel* l : dlg.findChildren<QLabel*>()) texts << l->text();
    for (QPushButton* b : dlg.findChildren<QPushButton*>()) texts << b->text();
    QVERIFY2(texts.contains(QStringLiteral("&Имя файла:")), qPrintable(texts.join('|')));
    QVERIFY(texts.contains(QStringLiteral("Отмена")));
    for (const QString& t : texts) QVERIFY2(!t.contains(QStringLiteral("Look in")), qPrintable(t));
    // The type column names folders in Russian too, though Qt's catalogue
    // lacks the word.
    QCOMPARE(QCoreApplication::translate("QAbstractFileIconProvider", "Folder", "All other platforms"),
             QStringLiteral("Папка"));
    QFileIconProvider icons;
    QCOMPARE(icons.type(QFileInfo(QDir::tempPath())), QStringLiteral("Папка"));
  }

  void MessageBoxesShowWhatTheyTell() {
    TQtDialogs d;
    TBoxSeen error, info, question, three;
    AnswerBox(error);
    d.Message("Ошибка в чтении файла!");
    QCOMPARE(error.Icon, QMessageBox::Critical);
    QCOMPARE(error.Buttons, QStringList{QStringLiteral("OK")});
    AnswerBox(info);
    d.Notify(TNotice::Information, "Оптимизация завершена.", "Внимание");
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

  // Every text of a dialog shown at its opening size is whole: labels and
  // buttons at least as wide as their texts need, list rows as wide as
  // the list.
  void DialogsHoldTheirTexts() {
    const auto check = [](QDialog* d) {
      d->show();
      QVERIFY(QTest::qWaitForWindowExposed(d));
      for (QLabel* l : d->findChildren<QLabel*>())
        if (l->isVisible() && !l->wordWrap() && !l->text().isEmpty())
          QVERIFY2(l->width() >= l->minimumSizeHint().width(), qPrintable(l->text()));
      for (QAbstractButton* b : d->findChildren<QAbstractButton*>())
        if (b->isVisible() && !b->text().isEmpty())
          QVERIFY2(b->width() >= b->minimumSizeHint().width(), qPrintable(b->text()));
      for (QListWidget* list : d->findChildren<QListWidget*>())
        if (list->isVisible())
          QVERIFY2(list->viewport()->width() >= list->sizeHintForColumn(0),
                   qPrintable(list->item(0) ? list->item(0)->text() : QString()));
      d->close();
    };
    std::unique_ptr<QDialog> about(MakeAboutBox(nullptr));
    check(about.get());
    std::unique_ptr<TCellObject> obj = CreateCellObject(11);
    auto* block = dynamic_cast<TParamBlock*>(obj.get());
    QVERIFY(block);
    TPropertyDlg property(*block);
    check(&property);
    TSettings settings;
    TOptParamDlg optimisation(settings);
    check(&optimisation);
    TPrintRequest request;
    request.PrintCallback = [](QPainter*, int, const QRect& r) { return r; };
    TForm5 print(request);
    check(&print);
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
