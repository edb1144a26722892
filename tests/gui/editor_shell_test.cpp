// The structure editor inside the main window: the palette chooses what a
// double click places, the status bar explains the mouse, result windows of
// the field are closed (after asking) before an edit, and the close question
// saves through the main window.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "editor_support.h"
#include "shell/main_form.h"
#include "shell/result_window.h"

using namespace vemo;
using namespace vemo::testing;

class EditorShellTest : public QObject {
  Q_OBJECT

  TScriptedDialogs dialogs_;
  std::unique_ptr<TMainForm> form_;

  TMDIChild* Editor() {
    TMDIChild* e = form_->NewEditor();
    e->DrawGrid1->setMinimumSize(600, 400);
    form_->MdiArea()->activeSubWindow()->resize(640, 440);
    QCoreApplication::processEvents();
    return e;
  }

 private slots:
  void init() {
    ResetProgramState();
    ClipClear();
    form_ = std::make_unique<TMainForm>();
    form_->show();
    Prog.Dialogs = &dialogs_;
    dialogs_ = TScriptedDialogs{};
  }

  void cleanup() {
    for (TMDIChild* e : form_->Editors()) e->Field().Modified = 0;
    form_.reset();
    ResetProgramState();
  }

  void PaletteChoosesTheBlockAndStatusExplains() {
    TMDIChild* e = Editor();
    form_->SetSelectedType(10);
    e->DefaultPlaceType = 0;  // ignored while there is a main window
    DoubleClick(e, 3, 3);
    QCOMPARE(CodeAt(e, 3, 3), uint16_t(10));
    QTest::mousePress(Viewport(e), Qt::RightButton, {}, At(e, 3, 3));
    QTest::mouseMove(Viewport(e), At(e, 6, 3));
    QCOMPARE(form_->statusBar()->currentMessage(),
             QStringLiteral("Двойной щелчок-ставить/удалять  Правая кнопка-свойства"));
    QTest::mouseRelease(Viewport(e), Qt::RightButton, {}, At(e, 6, 3));
    QCOMPARE(CodeAt(e, 5, 3), kWireCode);
  }

  void ResultWindowsCloseAfterOneQuestion() {
    TMDIChild* e = Editor();
    auto otherField = CreateField();
    QStringList closed;
    QObject listening;  // ends the notifications with this test
    auto add = [&](TResultKind kind, TField* field, const QString& name) {
      auto* w = new TResultWindow(kind, field);
      connect(w, &QObject::destroyed, &listening, [&closed, name] { closed << name; });
      form_->AddDocument(w);
      return QPointer<TResultWindow>(w);
    };
    QPointer<TResultWindow> transient = add(TResultKind::Transient, &e->Field(), "transient");
    QPointer<TResultWindow> bode = add(TResultKind::Bode, &e->Field(), "bode");
    QPointer<TResultWindow> foreign = add(TResultKind::Bode, otherField.get(), "foreign");
    e->DefaultPlaceType = 0;
    form_->SetSelectedType(0);
    dialogs_.YesNoAnswer = false;
    DoubleClick(e, 2, 2);
    QCOMPARE(CodeAt(e, 2, 2), kEmptyCellCode);  // refused: no edit
    QCOMPARE(dialogs_.Questions.size(), size_t(1));
    QCOMPARE(QString::fromStdString(dialogs_.Questions[0]),
             QStringLiteral("Закрыть окна результатов анализа?"));
    QVERIFY(transient && bode);
    dialogs_.YesNoAnswer = true;
    DoubleClick(e, 2, 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(CodeAt(e, 2, 2), uint16_t(0));
    QCOMPARE(dialogs_.Questions.size(), size_t(2));  // asked once for both
    QVERIFY(!transient && !bode && foreign);
    QCOMPARE(closed, (QStringList{"bode", "transient"}));  // Bode windows go first
    // Nothing left to close: no question.
    DoubleClick(e, 2, 2);
    QCOMPARE(dialogs_.Questions.size(), size_t(2));
  }

  void CloseQuestionSavesThroughTheMainWindow() {
    TMDIChild* e = Editor();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.vmo"));
    e->SetCaption(path);
    form_->SetSelectedType(0);
    DoubleClick(e, 2, 2);
    QVERIFY(e->Field().Modified);
    dialogs_.ThreeWayAnswer = TAnswer::Yes;
    QPointer<TMDIChild> alive(e);
    QVERIFY(form_->MdiArea()->activeSubWindow()->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!alive);
    QCOMPARE(dialogs_.Questions.size(), size_t(1));
    auto reopened = CreateField();
    QCOMPARE(LoadField(*reopened, path.toStdString()), TLoadResult::Ok);
    QCOMPARE(reopened->Cell(2, 2)->TypeCode, uint16_t(0));
  }
};

QTEST_MAIN(EditorShellTest)
#include "editor_shell_test.moc"
