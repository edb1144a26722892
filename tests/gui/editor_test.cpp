// The structure editor driven with the mouse and the keyboard: placing and
// removing blocks, laying lines, the properties of a block, view points,
// comments and the close question, each edit undone and redone.
#include <QtTest>

#include "blocks/param_control.h"
#include "editor_support.h"
#include "fuzzy/fuzzy_block.h"
#include "model/editing.h"
#include "model/wire.h"

using namespace vemo;
using namespace vemo::testing;

namespace {

TWire* WireAt(TMDIChild* e, int col, int row) {
  return dynamic_cast<TWire*>(e->Field().Cell(col, row));
}

uint8_t Bit(uint8_t side) { return static_cast<uint8_t>(1u << side); }

}  // namespace

class EditorTest : public QObject {
  Q_OBJECT
 private slots:
  void DoubleClickPlacesAndRemovesWithHistory() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    Place(e, 6, 3, 3);
    QCOMPARE(CodeAt(e, 3, 3), uint16_t(6));
    QVERIFY(e->Field().Modified);
    QCOMPARE(QString::fromStdString(e->History.UndoName()), QStringLiteral("Поставить деталь"));
    auto* block = static_cast<TParamBlock*>(e->Field().Cell(3, 3));
    block->Params[0] = 7.5;  // changed behind the editor's back: removal keeps it
    DoubleClick(e, 3, 3);
    QCOMPARE(CodeAt(e, 3, 3), kEmptyCellCode);
    QCOMPARE(QString::fromStdString(e->History.UndoName()), QStringLiteral("Удалить деталь"));
    e->UndoStep();
    QCOMPARE(static_cast<TParamBlock*>(e->Field().Cell(3, 3))->Params[0], 7.5);
    e->UndoStep();
    QCOMPARE(CodeAt(e, 3, 3), kEmptyCellCode);
    e->RedoStep();
    QCOMPARE(static_cast<TParamBlock*>(e->Field().Cell(3, 3))->Params[0], 1.0);
    // A code that names no kind places nothing and records nothing.
    const int steps = e->History.UndoCount();
    Place(e, 31, 5, 5);
    QCOMPARE(CodeAt(e, 5, 5), kEmptyCellCode);
    QCOMPARE(e->History.UndoCount(), steps);
  }

  void RightDragLaysStraightLinesUnderBlocks() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    Place(e, 0, 2, 2);
    Place(e, 6, 4, 2);
    LayLine(e, 2, 2, 7, 2);
    QCOMPARE(CodeAt(e, 2, 2), uint16_t(0));
    QCOMPARE(CodeAt(e, 4, 2), uint16_t(6));  // passed under
    QVERIFY(WireAt(e, 3, 2) && WireAt(e, 5, 2) && WireAt(e, 7, 2));
    QCOMPARE(WireAt(e, 3, 2)->LineSides, uint8_t(Bit(Left) | Bit(Right)));
    QCOMPARE(WireAt(e, 3, 2)->OutSides, Bit(Right));
    QCOMPARE(WireAt(e, 7, 2)->LineSides, Bit(Left));
    QCOMPARE(QString::fromStdString(e->History.UndoName()),
             QStringLiteral("Соединительная линия"));
    QCOMPARE(e->LineMode, uint8_t(0));
    QCOMPARE(e->BandShown, uint8_t(0));
    QVERIFY(!e->DrawGrid1->BandVisible());
    // A diagonal drag follows its longer axis: 4 columns against 1 row.
    LayLine(e, 2, 6, 6, 7);
    for (int col = 2; col <= 6; ++col) QVERIFY(WireAt(e, col, 6));
    QCOMPARE(CodeAt(e, 6, 7), kEmptyCellCode);
    // ... and 1 column against 3 rows goes down.
    LayLine(e, 10, 2, 11, 5);
    QVERIFY(WireAt(e, 10, 5) && !WireAt(e, 11, 5));
  }

  void BandFollowsTheMouseWhileDragging() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    const QPoint from = At(e, 2, 2);
    QTest::mousePress(Viewport(e), Qt::RightButton, {}, from);
    QTest::mouseMove(Viewport(e), At(e, 5, 3));
    QCOMPARE(e->BandShown, uint8_t(1));
    QVERIFY(e->DrawGrid1->BandVisible());
    QCOMPARE(e->DrawGrid1->BandCells(), QLine(2, 2, 5, 2));  // snapped horizontal
    const QImage shown = e->DrawGrid1->viewport()->grab().toImage();
    const QPoint mid = At(e, 3, 2);
    QVERIFY(shown.pixelColor(mid) != QColor(Qt::white));
    QTest::mouseRelease(Viewport(e), Qt::RightButton, {}, At(e, 5, 3));
    QCOMPARE(e->BandShown, uint8_t(0));
    QVERIFY(!e->DrawGrid1->BandVisible());
    // Scrolling ends a line being laid.
    QTest::mousePress(Viewport(e), Qt::RightButton, {}, At(e, 2, 4));
    QTest::mouseMove(Viewport(e), At(e, 2, 6));
    e->DrawGrid1->SetTopLeft(1, 0);
    QCOMPARE(e->LineMode, uint8_t(0));
    QCOMPARE(e->BandShown, uint8_t(0));
    QTest::mouseRelease(Viewport(e), Qt::RightButton, {}, At(e, 2, 6));
    QVERIFY(!WireAt(e, 3, 6));
  }

  void JunctionDotAndCrossing() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    Place(e, 0, 2, 4);
    LayLine(e, 2, 4, 9, 4);
    LayLine(e, 5, 4, 5, 7);  // a branch: the junction dot
    QVERIFY(WireAt(e, 5, 4)->OutSides & kJunctionBit);
    QCOMPARE(WireAt(e, 5, 4)->LineSides & 0x0F, Bit(Left) | Bit(Right) | Bit(Bottom));
    LayLine(e, 7, 1, 7, 6);  // crosses the first line in its middle
    TWire* crossing = WireAt(e, 7, 4);
    QCOMPARE(crossing->LineSides & 0x0F, 0x0F);
    QVERIFY(!(crossing->OutSides & kJunctionBit));
    QVERIFY(crossing->IsCrossing());
    // Undoing the crossing leaves the first line as it was.
    e->UndoStep();
    QCOMPARE(WireAt(e, 7, 4)->LineSides & 0x0F, Bit(Left) | Bit(Right));
    QVERIFY(!WireAt(e, 7, 3));
  }

  void RefusedLineChangesNothing() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    Place(e, 0, 2, 2);
    LayLine(e, 2, 2, 6, 2);
    const auto before = Image(e);
    const int steps = e->History.UndoCount();
    LayLine(e, 6, 2, 3, 2);  // against the flow of the line
    QCOMPARE(rig.Dialogs.Messages.size(), size_t(1));
    QCOMPARE(QString::fromStdString(rig.Dialogs.Messages[0]),
             QStringLiteral("Так проложить линию связи нельзя!"));
    QCOMPARE_IMAGES(Image(e), before);
    QCOMPARE(e->History.UndoCount(), steps);
  }

  void ShortRightClickOpensPropertiesNotALine() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    Place(e, 10, 4, 4);
    int opened = 0;
    e->Dialogs.EditParams = [&](TParamBlock& b, QWidget*) {
      ++opened;
      b.Params[0] = 0.25;
      return true;
    };
    const auto steps = e->History.UndoCount();
    RightClick(e, 4, 4, QPoint(7, -7));  // less than 8 pixels in both directions
    QCOMPARE(opened, 1);
    QCOMPARE(e->History.UndoCount(), steps + 1);
    QCOMPARE(QString::fromStdString(e->History.UndoName()), QStringLiteral("Свойства детали"));
    QCOMPARE(CodeAt(e, 5, 4), kEmptyCellCode);
    // Properties undo and redo alternate between the two parameter sets.
    auto* b = static_cast<TParamBlock*>(e->Field().Cell(4, 4));
    e->UndoStep();
    QCOMPARE(static_cast<TParamBlock*>(e->Field().Cell(4, 4))->Params[0], 1.0);
    e->RedoStep();
    b = static_cast<TParamBlock*>(e->Field().Cell(4, 4));
    QCOMPARE(b->Params[0], 0.25);
    // A dialog that changes nothing records nothing.
    e->Dialogs.EditParams = [&](TParamBlock&, QWidget*) { return ++opened, false; };
    RightClick(e, 4, 4);
    QCOMPARE(opened, 2);
    QCOMPARE(e->History.UndoCount(), steps + 1);
    // Eight pixels start a line (here inside one cell: nothing is laid and
    // no dialog opens).
    RightClick(e, 4, 4, QPoint(8, 0));
    QCOMPARE(opened, 2);
    // On an empty cell the cell menu comes up.
    RightClick(e, 8, 8);
    QVERIFY(e->PopupMenu3->isVisible());
    QVERIFY(!e->N7->isEnabled());
    QCOMPARE(e->CurrentCol(), 8);
    HideMenus(e);
  }

  void ViewPointsThroughTheMenu() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    Place(e, 0, 2, 2);
    LayLine(e, 2, 2, 6, 2);
    RightClick(e, 4, 2);
    QVERIFY(e->PopupMenu1->isVisible());
    QCOMPARE(e->PointItems[0]->text(), QStringLiteral("Точка A"));
    QCOMPARE(e->PointItems[11]->objectName(), QStringLiteral("L1"));
    for (QAction* a : e->PointItems) QVERIFY(a->isEnabled());
    MenuItem(e->PopupMenu1, "C1")->trigger();
    HideMenus(e);
    QVERIFY(e->Field().Points[2].Placed);
    QCOMPARE(int(e->Field().Points[2].Col), 4);
    QCOMPARE(QString::fromStdString(e->History.UndoName()), QStringLiteral("Пометить точку"));
    RightClick(e, 5, 2);
    QVERIFY(e->PopupMenu1->isVisible());
    QVERIFY(!e->PointItems[2]->isEnabled());
    QVERIFY(e->PointItems[0]->isEnabled());
    HideMenus(e);
    // A right click on the wire that carries the point takes the point off.
    RightClick(e, 4, 2);
    QVERIFY(!e->PopupMenu1->isVisible());
    QVERIFY(!e->Field().Points[2].Placed);
    QCOMPARE(QString::fromStdString(e->History.UndoName()), QStringLiteral("Снять пометку"));
    e->UndoStep();
    QVERIFY(e->Field().Points[2].Placed);
    // The letter is drawn in the cell.
    const QImage shot = e->DrawGrid1->viewport()->grab().toImage();
    const QRect cell = e->DrawGrid1->CellRect(4, 2);
    bool dark = false;
    for (int x = cell.right() - 14; x < cell.right() - 4; ++x)
      for (int y = cell.top() + 2; y < cell.top() + 14; ++y)
        dark = dark || shot.pixelColor(x, y).lightness() < 100;
    QVERIFY(dark);
  }

  void UndoAndRedoEveryKindOfStep() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    e->Dialogs.EditParams = [](TParamBlock& b, QWidget*) { return b.Params[0] = 3, true; };
    e->Dialogs.PromptText = [](QWidget*, const QString&, QString& t) { return t = "x", true; };
    std::vector<std::vector<uint8_t>> images{SchemeImage(e)};
    auto snap = [&] { images.push_back(SchemeImage(e)); };
    Place(e, 0, 2, 2), snap();              // place
    Place(e, 6, 5, 2), snap();              // place
    LayLine(e, 2, 2, 8, 2), snap();         // line
    RightClick(e, 5, 2), snap();            // properties
    RightClick(e, 7, 2);                    // view point menu
    MenuItem(e->PopupMenu1, "A1")->trigger(), snap();  // mark
    HideMenus(e);
    RightClick(e, 7, 2), snap();            // unmark
    RightClick(e, 3, 5);                    // cell menu
    e->N9->trigger(), snap();               // comment (block step of one cell)
    HideMenus(e);
    Drag(e, Qt::LeftButton, 2, 2, 3, 2);
    QVERIFY(e->HasSelection());
    QTest::keyClick(e->DrawGrid1, Qt::Key_Delete), snap();  // block step
    DoubleClick(e, 5, 2), snap();           // remove
    QCOMPARE(int(images.size()), 10);
    QCOMPARE(e->History.UndoCount(), 9);
    for (size_t i = images.size() - 1; i > 0; --i) {
      e->UndoStep();
      QVERIFY2(SchemeImage(e) == images[i - 1], qPrintable(QStringLiteral("undo of step %1: ").arg(i) +
                                                      ImageDiff(SchemeImage(e), images[i - 1])));
    }
    QVERIFY(!e->History.CanUndo());
    for (size_t i = 1; i < images.size(); ++i) {
      e->RedoStep();
      QCOMPARE_IMAGES(SchemeImage(e), images[i]);
    }
    QVERIFY(!e->History.CanRedo());
    // A new edit after an undo drops the redo steps.
    e->UndoStep();
    Place(e, 7, 9, 9);
    QVERIFY(!e->History.CanRedo());
  }

  void CommentIsCutModifiesAndUndoes() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    QString answer = QStringLiteral("Регулятор уровня воды в баке номер два");
    QString shownInitial;
    e->Dialogs.PromptText = [&](QWidget*, const QString& initial, QString& t) {
      shownInitial = initial;
      t = answer;
      return true;
    };
    RightClick(e, 3, 3);
    e->N9->trigger();
    HideMenus(e);
    auto* c = dynamic_cast<TComment*>(e->Field().Cell(3, 3));
    QVERIFY(c);
    QCOMPARE(QString::fromStdString(c->Text), answer.left(30));
    QVERIFY(e->Field().Modified);
    QVERIFY(e->History.CanUndo());
    e->UndoStep();
    QCOMPARE(CodeAt(e, 3, 3), kEmptyCellCode);
    e->RedoStep();
    QCOMPARE(QString::fromStdString(dynamic_cast<TComment*>(e->Field().Cell(3, 3))->Text),
             answer.left(30));
    // Editing the comment shows its text and records a properties step.
    answer = QStringLiteral("Бак");
    RightClick(e, 3, 3);
    QCOMPARE(shownInitial, QStringLiteral("Регулятор уровня воды в баке н"));
    QCOMPARE(QString::fromStdString(e->History.UndoName()), QStringLiteral("Свойства детали"));
    // An empty text removes it, undoably.
    answer.clear();
    RightClick(e, 3, 3);
    QCOMPARE(CodeAt(e, 3, 3), kEmptyCellCode);
    e->UndoStep();
    QCOMPARE(QString::fromStdString(dynamic_cast<TComment*>(e->Field().Cell(3, 3))->Text),
             QStringLiteral("Бак"));
    // Cancelling the prompt changes nothing.
    const int steps = e->History.UndoCount();
    e->Dialogs.PromptText = [](QWidget*, const QString&, QString&) { return false; };
    RightClick(e, 6, 6);
    e->N9->trigger();
    HideMenus(e);
    QCOMPARE(CodeAt(e, 6, 6), kEmptyCellCode);
    QCOMPARE(e->History.UndoCount(), steps);
  }

  void ParameterControlNeedsAControllableBlock() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    int opened = 0;
    e->Dialogs.EditParamControl = [&](TParamControl& c, TParamBlock& t, QWidget*) {
      ++opened;
      c.ParamIndex = 1;
      return t.ParamCount > 0;
    };
    Place(e, 40, 0, 3);  // column 0: nothing up and to the left
    RightClick(e, 0, 3);
    Place(e, 40, 5, 5);  // (4,4) empty
    RightClick(e, 5, 5);
    Place(e, 1, 4, 4);  // a summer has no parameters
    RightClick(e, 5, 5);
    DoubleClick(e, 4, 4);
    Place(e, 35, 4, 4);  // code 35 and beyond cannot be controlled
    RightClick(e, 5, 5);
    QCOMPARE(opened, 0);
    const QStringList expected{QStringLiteral("Управляемый блок не найден!"),
                               QStringLiteral("Управляемый блок не найден!"),
                               QStringLiteral("Блок не может быть управляемым!"),
                               QStringLiteral("Блок не может быть управляемым!")};
    QCOMPARE(int(rig.Dialogs.Messages.size()), 4);
    for (int i = 0; i < 4; ++i)
      QCOMPARE(QString::fromStdString(rig.Dialogs.Messages[size_t(i)]), expected[i]);
    DoubleClick(e, 4, 4);
    Place(e, 10, 4, 4);
    RightClick(e, 5, 5);
    QCOMPARE(opened, 1);
    auto* control = static_cast<TParamControl*>(e->Field().Cell(5, 5));
    QCOMPARE(control->TargetCol, 4);
    QCOMPARE(control->TargetRow, 4);
    e->UndoStep();
    control = static_cast<TParamControl*>(e->Field().Cell(5, 5));
    QCOMPARE(int(control->ParamIndex), 0);
  }

  void FuzzyEditorIsOneUndoStep() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    Place(e, 38, 2, 2);   // fuzzy controller: its own editor, undone as one step
    int fuzzyOpened = 0;
    e->Dialogs.EditFuzzy = [&](TFuzzyBlock& b, QWidget*) {
      ++fuzzyOpened;
      b.OutputSide = Left;
      return true;
    };
    const int steps = e->History.UndoCount();
    RightClick(e, 2, 2);
    QCOMPARE(fuzzyOpened, 1);
    QCOMPARE(e->History.UndoCount(), steps + 1);
    e->UndoStep();
    QCOMPARE(int(static_cast<TFuzzyBlock*>(e->Field().Cell(2, 2))->OutputSide), int(Right));
    QVERIFY(rig.Dialogs.Messages.empty());
    QCOMPARE(e->History.UndoCount(), steps);
  }

  void KeyboardPlacesLaysAndRemoves() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    QWidget* grid = e->DrawGrid1;
    e->SetCurrentCell(3, 3);
    e->DefaultPlaceType = 0;
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(CodeAt(e, 3, 3), uint16_t(0));
    // Space starts a line at the current cell, the arrows move the end and
    // the next Space lays it.
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(e->LineMode, uint8_t(1));
    for (int i = 0; i < 3; ++i) QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(e->CurrentCol(), 6);
    QCOMPARE(e->BandShown, uint8_t(1));
    QCOMPARE(e->DrawGrid1->BandCells(), QLine(3, 3, 6, 3));
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(e->LineMode, uint8_t(0));
    QVERIFY(WireAt(e, 4, 3) && WireAt(e, 6, 3));
    // Ctrl+Enter opens the properties of the block.
    int opened = 0;
    e->Dialogs.EditParams = [&](TParamBlock&, QWidget*) { return ++opened, false; };
    e->SetCurrentCell(3, 3);
    QTest::keyClick(grid, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(opened, 1);
    // Delete removes the object of the current cell.
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(CodeAt(e, 3, 3), kEmptyCellCode);
    QCOMPARE(QString::fromStdString(e->History.UndoName()), QStringLiteral("Удалить деталь"));
    // Shift+arrows select a range.
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    QVERIFY(e->HasSelection());
    QCOMPARE(SelectionExists, uint8_t(1));
    QVERIFY(e->DrawGrid1->Selection() == (TGridRect{3, 3, 4, 4}));
    // Moving far scrolls.
    e->SetCurrentCell(0, 0);
    for (int i = 0; i < 30; ++i) QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(e->CurrentCol(), 30);
    QVERIFY(e->DrawGrid1->LeftCol() > 0);
    QVERIFY(e->DrawGrid1->LeftCol() + e->DrawGrid1->VisibleColCount() > 30);
  }

  void CloseQuestionKeepsOrDiscards() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    Place(e, 0, 2, 2);
    QPointer<TMDIChild> alive(e);
    rig.Dialogs.ThreeWayAnswer = TAnswer::Cancel;
    QVERIFY(!e->close());
    QVERIFY(alive);
    QCOMPARE(CodeAt(e, 2, 2), uint16_t(0));
    QCOMPARE(QString::fromStdString(rig.Dialogs.Questions.back()),
             QStringLiteral("Проект <без имени 1> не сохранен! Сохранить?"));
    rig.Dialogs.ThreeWayAnswer = TAnswer::No;
    QVERIFY(e->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!alive);
  }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
