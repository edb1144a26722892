// A person builds the shipped feedback loop example with the mouse, starting
// from an empty editor window: the project it saves is the shipped file
// byte for byte and simulates the same.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "editor_support.h"

using namespace vemo;
using namespace vemo::testing;

namespace {

const QString kExample = QStringLiteral(VEMO_SOURCE_DIR "/examples/feedback_loop.vmo");

QString Simulate(const QString& project) {
  QProcess p;
  p.start(QStringLiteral(VEMO_BIN_DIR "/vemo-cli"),
          {QStringLiteral("simulate"), project, QStringLiteral("--points"), QStringLiteral("AB")});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return QStringLiteral("failed: ") + p.readAllStandardError();
  return QString::fromUtf8(p.readAllStandardOutput());
}

void SetPoint(TMDIChild* e, int col, int row, const char* item) {
  RightClick(e, col, row);
  QVERIFY(e->PopupMenu1->isVisible());
  MenuItem(e->PopupMenu1, item)->trigger();
  HideMenus(e);
}

}  // namespace

class EditorAcceptanceTest : public QObject {
  Q_OBJECT
 private slots:
  void FeedbackLoopBuiltWithTheMouse() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    // The blocks: unit step, summer with its bottom input negated,
    // integrator, aperiodic element.
    Place(e, 0, 2, 2);
    Place(e, 2, 4, 2);
    Place(e, 7, 6, 2);
    Place(e, 10, 8, 2);
    e->Dialogs.EditParams = [](TParamBlock& b, QWidget*) {
      b.Params[0] = 0.5;  // T
      return true;
    };
    RightClick(e, 8, 2);
    // The forward path and the output stub.
    LayLine(e, 2, 2, 4, 2);
    LayLine(e, 4, 2, 6, 2);
    LayLine(e, 6, 2, 8, 2);
    LayLine(e, 8, 2, 11, 2);
    // The feedback: down from the output line, back left, up into the summer.
    LayLine(e, 9, 2, 9, 4);
    LayLine(e, 9, 4, 4, 4);
    LayLine(e, 4, 4, 4, 2);
    SetPoint(e, 11, 2, "A1");
    SetPoint(e, 5, 2, "B1");
    QVERIFY(rig.Dialogs.Messages.empty());
    // The calculation step is set in the main window's settings.
    e->Field().Step = 0.01;
    e->Field().AutoStep = 0;

    const std::vector<uint8_t> shipped = ReadBytes(kExample);
    QVERIFY(!shipped.empty());
    QCOMPARE_IMAGES(Image(e), shipped);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("built.vmo"));
    Prog.Clock.ViewTime = 10.0;
    QVERIFY(SaveField(e->Field(), path.toStdString()));
    const QString built = Simulate(path);
    QVERIFY2(!built.startsWith(QStringLiteral("failed")), qPrintable(built));
    QCOMPARE(built, Simulate(kExample));

    // Every edit can be taken back down to the empty field.
    while (e->History.CanUndo()) e->UndoStep();
    auto empty = CreateField();
    QCOMPARE_IMAGES(SchemeImage(e), FieldImage(*empty, 10.0));
  }

  void ExampleOpensAndShows() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    e->SetCaption(kExample);
    QCOMPARE(LoadField(e->Field(), kExample.toStdString()), TLoadResult::Ok);
    e->SetCurrentCell(9, 3);
    e->RefreshGrid();
    const QImage shot = e->grab().toImage();
    shot.save(QStringLiteral(VEMO_BINARY_DIR "/editor_feedback_loop.png"));
    // The junction dot at (9,2) is black at the cell centre; empty cells
    // stay white.
    const QPoint dot = Viewport(e)->mapTo(e, At(e, 9, 2));
    QCOMPARE(shot.pixelColor(dot), QColor(Qt::black));
    const QPoint blank = Viewport(e)->mapTo(e, At(e, 12, 6));
    QCOMPARE(shot.pixelColor(blank), QColor(Qt::white));
    // A selection is drawn in the highlight colour, the blocks on top.
    e->DrawGrid1->SetSelection({2, 2, 5, 3});
    const QImage selected = e->grab().toImage();
    selected.save(QStringLiteral(VEMO_BINARY_DIR "/editor_feedback_selection.png"));
    const QColor highlight = e->DrawGrid1->palette().color(QPalette::Highlight);
    QCOMPARE(selected.pixelColor(Viewport(e)->mapTo(e, At(e, 3, 3))), highlight);
    QCOMPARE(selected.pixelColor(Viewport(e)->mapTo(e, At(e, 6, 3))), QColor(Qt::white));
  }
};

QTEST_MAIN(EditorAcceptanceTest)
#include "editor_acceptance_test.moc"
