// Selections of the structure editor: copy, cut, delete and paste through
// the scheme clipboard (also between two windows), dragging a selection to
// another window, pictures on the system clipboard, and a scheme saved and
// opened again.
#include <QClipboard>
#include <QDrag>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

#include "editor_support.h"
#include "model/editing.h"

using namespace vemo;
using namespace vemo::testing;

namespace {

// A constant, a proportional block and the line between them, with point A
// on the line.
void SmallScheme(TMDIChild* e) {
  Place(e, 0, 2, 2);
  Place(e, 6, 4, 2);
  LayLine(e, 2, 2, 4, 2);
  RightClick(e, 3, 2);
  e->PointItems[0]->trigger();
  HideMenus(e);
}

// Delivers the drag to a cell of another editor's grid as the windowing
// system would: enter, move, drop.
Qt::DropAction DropOn(TMDIChild* target, int col, int row, QDrag& drag) {
  QWidget* vp = Viewport(target);
  const QPoint pos = At(target, col, row);
  QDragEnterEvent enter(pos, Qt::MoveAction, drag.mimeData(), Qt::LeftButton, {});
  QApplication::sendEvent(vp, &enter);
  if (!enter.isAccepted()) return Qt::IgnoreAction;
  QDragMoveEvent move(pos, Qt::MoveAction, drag.mimeData(), Qt::LeftButton, {});
  QApplication::sendEvent(vp, &move);
  QDropEvent drop(QPointF(pos), Qt::MoveAction, drag.mimeData(), Qt::LeftButton, {});
  QApplication::sendEvent(vp, &drop);
  return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

}  // namespace

class EditorClipboardTest : public QObject {
  Q_OBJECT
 private slots:
  void CopyInOneWindowPasteInAnother() {
    TEditorRig rig;
    TMDIChild* a = rig.New();
    TMDIChild* b = rig.New();
    SmallScheme(a);
    Drag(a, Qt::LeftButton, 2, 2, 4, 2);
    QVERIFY(a->HasSelection());
    QVERIFY(a->DrawGrid1->Selection() == (TGridRect{2, 2, 4, 2}));
    // A right click inside the selection brings up the selection menu.
    RightClick(a, 3, 2);
    QVERIFY(a->PopupMenu2->isVisible());
    MenuItem(a->PopupMenu2, "N1")->trigger();
    HideMenus(a);
    QVERIFY(SchemeClipboard().HasData());
    QCOMPARE(int(SchemeClipboard().ClipWidth), 2);
    // Paste in the other window through its cell menu, N7 now enabled.
    RightClick(b, 10, 5);
    QVERIFY(b->PopupMenu3->isVisible());
    QVERIFY(b->N7->isEnabled());
    b->N7->trigger();
    HideMenus(b);
    QCOMPARE(CodeAt(b, 10, 5), uint16_t(0));
    QCOMPARE(CodeAt(b, 11, 5), kWireCode);
    QCOMPARE(CodeAt(b, 12, 5), uint16_t(6));
    QVERIFY(!b->Field().Points[0].Placed);  // view points are not copied
    QVERIFY(b->Field().Modified);
    QCOMPARE(QString::fromStdString(b->History.UndoName()), QStringLiteral("Блоковая операция"));
    b->UndoStep();
    QCOMPARE(CodeAt(b, 10, 5), kEmptyCellCode);
    // The source window is unchanged.
    QCOMPARE(CodeAt(a, 3, 2), kWireCode);
    QVERIFY(a->Field().Points[0].Placed);
  }

  void CutDeleteAndPasteByKeys() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    SmallScheme(e);
    const auto full = Image(e);
    Drag(e, Qt::LeftButton, 2, 2, 4, 2);
    QTest::keyClick(e->DrawGrid1, Qt::Key_Delete, Qt::ShiftModifier);  // cut
    QCOMPARE(CodeAt(e, 2, 2), kEmptyCellCode);
    QVERIFY(!e->Field().Points[0].Placed);
    QVERIFY(!e->HasSelection());
    QCOMPARE(e->CurrentCol(), 2);
    e->SetCurrentCell(2, 8);
    QTest::keyClick(e->DrawGrid1, Qt::Key_Insert, Qt::ShiftModifier);  // paste
    QCOMPARE(CodeAt(e, 4, 8), uint16_t(6));
    e->UndoStep();
    e->UndoStep();
    QCOMPARE_IMAGES(Image(e), full);
    // Ctrl+Insert copies; Delete alone deletes the selection.
    Drag(e, Qt::LeftButton, 2, 2, 3, 2);
    QTest::keyClick(e->DrawGrid1, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(int(SchemeClipboard().ClipWidth), 1);
    QCOMPARE(CodeAt(e, 2, 2), uint16_t(0));
    QTest::keyClick(e->DrawGrid1, Qt::Key_Delete);
    QCOMPARE(CodeAt(e, 2, 2), kEmptyCellCode);
    QCOMPARE(CodeAt(e, 4, 2), uint16_t(6));
  }

  void PasteStopsShortOfTheLastColumnAndRow() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    Place(e, 0, 2, 2);
    e->DrawGrid1->SetSelection({2, 2, 4, 4});
    e->N1Click();
    const auto before = Image(e);
    e->SetCurrentCell(197, 10);
    e->N7Click();
    e->SetCurrentCell(10, 197);
    e->N7Click();
    QCOMPARE(int(rig.Dialogs.Messages.size()), 2);
    QCOMPARE(QString::fromStdString(rig.Dialogs.Messages[0]),
             QStringLiteral("Буфер пуст или вставка вне границы поля!"));
    QCOMPARE_IMAGES(Image(e), before);
    e->SetCurrentCell(196, 196);
    e->N7Click();
    QCOMPARE(CodeAt(e, 196, 196), uint16_t(0));
    QCOMPARE(int(rig.Dialogs.Messages.size()), 2);
    // An empty clipboard is refused the same way.
    ClipClear();
    e->SetCurrentCell(5, 5);
    e->N7Click();
    QCOMPARE(int(rig.Dialogs.Messages.size()), 3);
  }

  void DragMovesASelectionToAnotherWindow() {
    TEditorRig rig;
    TMDIChild* a = rig.New();
    TMDIChild* b = rig.New();
    SmallScheme(a);
    const auto original = Image(a);
    bool dropped = false;
    a->DrawGrid1->DragRunner = [&](QDrag& drag) {
      dropped = true;
      return DropOn(b, 6, 3, drag);
    };
    Drag(a, Qt::LeftButton, 2, 2, 4, 2);
    // Hovering over the selection offers to drag it.
    QTest::mouseMove(Viewport(a), At(a, 3, 2));
    a->DrawGrid1MouseMove(Qt::NoButton, At(a, 3, 2).x(), At(a, 3, 2).y());
    QVERIFY(a->DrawGrid1->DragAutomatic());
    // Press on the selection and move: the drag starts.
    Drag(a, Qt::LeftButton, 3, 2, 3, 3);
    QVERIFY(dropped);
    QCOMPARE(CodeAt(a, 2, 2), kEmptyCellCode);
    QCOMPARE(CodeAt(a, 4, 2), kEmptyCellCode);
    QCOMPARE(CodeAt(b, 6, 3), uint16_t(0));
    QCOMPARE(CodeAt(b, 8, 3), uint16_t(6));
    QCOMPARE(b->CurrentCol(), 6);
    QVERIFY(!a->DrawGrid1->DragAutomatic());
    a->UndoStep();
    QCOMPARE_IMAGES(Image(a), original);
    // A drop of anything else is refused.
    QMimeData text;
    text.setText(QStringLiteral("x"));
    QDragEnterEvent enter(At(b, 1, 1), Qt::CopyAction, &text, Qt::LeftButton, {});
    QApplication::sendEvent(Viewport(b), &enter);
    QVERIFY(!enter.isAccepted());
  }

  void PicturesOfTheScheme() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    QCOMPARE(e->RenderScheme(nullptr, 4, {}), QRect());  // empty field
    SmallScheme(e);
    Place(e, 7, 5, 6);
    QCOMPARE(e->RenderScheme(nullptr, 4, {}), QRect(QPoint(82, 82), QPoint(6 * 41 - 1, 7 * 41 - 1)));
    const int vc = e->DrawGrid1->VisibleColCount(), vr = e->DrawGrid1->VisibleRowCount();
    QCOMPARE(e->RenderScheme(nullptr, 3, {}), QRect(0, 0, (vc + 1) * 41, (vr + 1) * 41));
    MenuItem(e->PopupMenu3, "N20")->trigger();
    const QImage all = QGuiApplication::clipboard()->image();
    QCOMPARE(all.size(), QSize(4 * 41, 5 * 41));
    // The proportional block at (4,2) is drawn at (2,0) of the picture.
    bool drawn = false;
    for (int x = 2 * 41; x < 3 * 41; ++x) drawn = drawn || all.pixelColor(x, 20) != Qt::white;
    QVERIFY(drawn);
    QCOMPARE(all.pixelColor(41 + 20, 4 * 41 + 20), QColor(Qt::white));  // empty cell
    e->DrawGrid1->SetSelection({4, 2, 5, 2});
    e->N18->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(2 * 41, 41));
    e->N16Click();
    QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize((vc + 1) * 41, (vr + 1) * 41));
    QCOMPARE(DrawMonochrome, uint8_t(0));
  }

  void SavedSchemeOpensTheSame() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    SmallScheme(e);
    e->Dialogs.PromptText = [](QWidget*, const QString&, QString& t) {
      return t = QStringLiteral("Привод"), true;
    };
    RightClick(e, 6, 6);
    e->N9->trigger();
    HideMenus(e);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scheme.vmo"));
    QVERIFY(SaveField(e->Field(), path.toStdString()));
    QVERIFY(!e->Field().Modified);
    TMDIChild* again = rig.New();
    QCOMPARE(LoadField(again->Field(), path.toStdString()), TLoadResult::Ok);
    again->RefreshGrid();
    QCOMPARE_IMAGES(Image(again), Image(e));
    QCOMPARE(ReadBytes(path), Image(e));
  }
};

QTEST_MAIN(EditorClipboardTest)
#include "editor_clipboard_test.moc"
