// The edit history: the ring of 32 steps, and each kind of step undone and
// redone on a field the way the editor records and applies its edits.
#include "model/history.h"

#include <gtest/gtest.h>

#include "core/model/test_support.h"
#include "model/clipboard.h"
#include "model/editing.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "model/wire.h"

namespace vemo {
namespace {

using testing::BlockAt;

class HistoryTest : public testing::ClipboardProgramTest {
 protected:
  // The editor's double click on an empty cell.
  void Place(int col, int row, uint16_t code) {
    H.Push(MakePlaceStep(col, row, code));
    ASSERT_TRUE(PlaceObject(*F, col, row, code));
  }
  std::vector<uint8_t> Image() const { return FieldImage(*F, 10.0); }
  TParamBlock* ParamsAt(int col, int row) {
    return dynamic_cast<TParamBlock*>(BlockAt(*F, col, row));
  }

  std::unique_ptr<TField> F = CreateField();
  THistory H;
};

TEST_F(HistoryTest, RingKeepsTheLast32Steps) {
  EXPECT_FALSE(H.CanUndo());
  EXPECT_FALSE(H.Undo(*F));
  EXPECT_FALSE(H.Redo(*F));
  for (int i = 0; i < 33; ++i) Place(i, 0, 6);
  EXPECT_EQ(H.UndoCount(), 32);
  int undone = 0;
  while (H.Undo(*F)) ++undone;
  EXPECT_EQ(undone, 32);
  EXPECT_NE(F->Cell(0, 0), nullptr);  // the first edit can no longer be undone
  for (int i = 1; i < 33; ++i) EXPECT_EQ(F->Cell(i, 0), nullptr) << i;
  int redone = 0;
  while (H.Redo(*F)) ++redone;
  EXPECT_EQ(redone, 32);
  for (int i = 0; i < 33; ++i) EXPECT_NE(F->Cell(i, 0), nullptr) << i;

  // Wrapping round the ring many times keeps the count at 32.
  for (int i = 0; i < 100; ++i) Place(i % 200, 10 + i / 200, 6);
  EXPECT_EQ(H.UndoCount(), 32);
  EXPECT_FALSE(H.CanRedo());
}

TEST_F(HistoryTest, NewEditAfterUndoDiscardsTheRedoSteps) {
  Place(1, 1, 6);
  Place(2, 1, 7);
  Place(3, 1, 9);
  ASSERT_TRUE(H.Undo(*F));
  ASSERT_TRUE(H.Undo(*F));
  EXPECT_TRUE(H.CanRedo());
  Place(5, 5, 10);
  EXPECT_FALSE(H.CanRedo());
  EXPECT_EQ(H.RedoName(), "");
  EXPECT_EQ(H.UndoCount(), 2);
  ASSERT_TRUE(H.Undo(*F));
  EXPECT_EQ(F->Cell(5, 5), nullptr);
  ASSERT_TRUE(H.Undo(*F));
  EXPECT_EQ(F->Cell(1, 1), nullptr);
  EXPECT_FALSE(H.Undo(*F));
}

TEST_F(HistoryTest, NamesOfTheStepsToUndoAndRedo) {
  EXPECT_EQ(H.UndoName(), "");
  EXPECT_EQ(H.RedoName(), "");
  Place(1, 1, 6);
  H.Push(MakeLineStep(*F, 1, 1, Right, 3));
  EXPECT_EQ(H.UndoName(), "Соединительная линия");
  H.Undo(*F);
  EXPECT_EQ(H.UndoName(), "Поставить деталь");
  EXPECT_EQ(H.RedoName(), "Соединительная линия");
  const struct {
    std::unique_ptr<THistoryStep> step;
    const char* name;
  } kinds[] = {
      {MakePlaceStep(0, 0, 6), "Поставить деталь"},
      {MakeRemoveStep(*F, 0, 0), "Удалить деталь"},
      {MakePropertiesStep(*F, 0, 0), "Свойства детали"},
      {MakeLineStep(*F, 0, 0, Top, 1), "Соединительная линия"},
      {MakeMarkStep(0, 0), "Пометить точку"},
      {MakeUnmarkStep(*F, 0, 0), "Снять пометку"},
      {MakeBlockStep(*F, 0, 0, 1, 1), "Блоковая операция"},
  };
  for (const auto& k : kinds) EXPECT_EQ(k.step->GetName(), k.name);
}

TEST_F(HistoryTest, RedoOfAPlacementGivesDefaultParameters) {
  Place(4, 4, 10);
  ParamsAt(4, 4)->Params[0] = 7.5;
  ASSERT_TRUE(H.Undo(*F));
  EXPECT_EQ(F->Cell(4, 4), nullptr);
  ASSERT_TRUE(H.Redo(*F));
  TParamBlock* b = ParamsAt(4, 4);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->TypeCode, 10);
  auto fresh = CreateCellObject(10);
  EXPECT_EQ(b->Params[0], static_cast<TParamBlock*>(fresh->AsBlock())->Params[0]);
}

TEST_F(HistoryTest, UndoOfARemovalRestoresParametersAndThePoint) {
  TSchemeBuilder(*F).Block(6, 3, 11, {0.3, 0.7, 4.0});
  F->Points[2].Placed = 1, F->Points[2].Col = 6, F->Points[2].Row = 3;
  F->Points[7].Placed = 1, F->Points[7].Col = 6, F->Points[7].Row = 3;
  H.Push(MakeRemoveStep(*F, 6, 3));
  RemoveObject(*F, 6, 3);
  EXPECT_EQ(F->Points[2].Placed, 0);

  ASSERT_TRUE(H.Undo(*F));
  TParamBlock* b = ParamsAt(6, 3);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->TypeCode, 11);
  EXPECT_EQ(b->Params[0], 0.3);
  EXPECT_EQ(b->Params[1], 0.7);
  EXPECT_EQ(b->Params[2], 4.0);
  EXPECT_EQ(F->Points[2].Placed, 1);  // the first point that stood there
  EXPECT_EQ(F->Points[2].Col, 6);
  EXPECT_EQ(F->Points[2].Row, 3);
  EXPECT_EQ(F->Points[7].Placed, 0);

  ASSERT_TRUE(H.Redo(*F));
  EXPECT_EQ(F->Cell(6, 3), nullptr);
  EXPECT_EQ(F->Points[2].Placed, 0);
  ASSERT_TRUE(H.Undo(*F));  // and back once more, from the storage taken by Redo
  ASSERT_NE(ParamsAt(6, 3), nullptr);
  EXPECT_EQ(ParamsAt(6, 3)->Params[2], 4.0);
  EXPECT_EQ(F->Points[2].Placed, 1);
}

TEST_F(HistoryTest, UndoOfAPropertyEditAlternatesTheTwoParameterSets) {
  TSchemeBuilder(*F).Block(2, 2, 10, {1.0, 2.0, 3.0});
  H.Push(MakePropertiesStep(*F, 2, 2));
  ParamsAt(2, 2)->Params[0] = 10.0;  // what the dialog changed
  ParamsAt(2, 2)->Params[2] = 30.0;
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(H.Undo(*F));
    EXPECT_EQ(ParamsAt(2, 2)->Params[0], 1.0);
    EXPECT_EQ(ParamsAt(2, 2)->Params[2], 3.0);
    ASSERT_TRUE(H.Redo(*F));
    EXPECT_EQ(ParamsAt(2, 2)->Params[0], 10.0);
    EXPECT_EQ(ParamsAt(2, 2)->Params[2], 30.0);
  }
}

TEST_F(HistoryTest, PropertyStepOfACommentRestoresItsText) {
  PutComment(*F, 3, 3, "первый");
  H.Push(MakePropertiesStep(*F, 3, 3));
  PutComment(*F, 3, 3, "второй");
  ASSERT_TRUE(H.Undo(*F));
  EXPECT_EQ(static_cast<TComment*>(F->Cell(3, 3))->Text, "первый");
  ASSERT_TRUE(H.Redo(*F));
  EXPECT_EQ(static_cast<TComment*>(F->Cell(3, 3))->Text, "второй");
}

TEST_F(HistoryTest, LineStepSwapsTheCoveredCells) {
  TSchemeBuilder b(*F);
  b.Block(2, 5, 0);
  b.Block(5, 5, 10, {2.0});  // the new line passes under it
  b.Line({{2, 5}, {3, 5}});  // an existing wire at (3, 5)
  const auto before = Image();
  const TLinePlan plan = PlanLine(2, 5, 8, 5);
  ASSERT_TRUE(LineAllowed(*F, plan));
  H.Push(MakeLineStep(*F, plan.Col, plan.Row, plan.Side, plan.Count));
  ApplyLine(*F, plan);
  const auto after = Image();
  ASSERT_NE(before, after);
  TCellObject* block = F->Cell(5, 5);

  ASSERT_TRUE(H.Undo(*F));
  EXPECT_EQ(Image(), before);
  EXPECT_EQ(F->Cell(5, 5), block);  // blocks under the line stay as they are
  EXPECT_EQ(F->Cell(4, 5), nullptr);
  ASSERT_TRUE(H.Redo(*F));
  EXPECT_EQ(Image(), after);
  ASSERT_TRUE(H.Undo(*F));
  EXPECT_EQ(Image(), before);
}

TEST_F(HistoryTest, MarkAndUnmarkSteps) {
  TSchemeBuilder(*F).Line({{1, 1}, {4, 1}});
  H.Push(MakeMarkStep(2, 1));
  F->Points[4].Col = 2, F->Points[4].Row = 1, F->Points[4].Placed = 1;
  ASSERT_TRUE(H.Undo(*F));
  EXPECT_EQ(F->Points[4].Placed, 0);
  ASSERT_TRUE(H.Redo(*F));
  EXPECT_EQ(F->Points[4].Placed, 1);
  EXPECT_EQ(F->Points[4].Col, 2);

  H.Push(MakeUnmarkStep(*F, 2, 1));
  F->Points[4].Placed = 0;
  ASSERT_TRUE(H.Undo(*F));
  EXPECT_EQ(F->Points[4].Placed, 1);
  ASSERT_TRUE(H.Redo(*F));
  EXPECT_EQ(F->Points[4].Placed, 0);
  ASSERT_TRUE(H.Undo(*F));
  ASSERT_TRUE(H.Undo(*F));  // the mark again
  EXPECT_EQ(F->Points[4].Placed, 0);

  // An unmark step of a cell without a point does nothing either way.
  THistory h2;
  h2.Push(MakeUnmarkStep(*F, 9, 9));
  h2.Undo(*F);
  h2.Redo(*F);
  for (const TViewPoint& p : F->Points) EXPECT_EQ(p.Placed, 0);
}

TEST_F(HistoryTest, BlockStepUndoesADeleteWithItsPoints) {
  TSchemeBuilder b(*F);
  b.Block(10, 10, 10, {4.0});
  b.Line({{10, 10}, {14, 10}});
  b.Point(0, 12, 10);
  b.Point(1, 30, 30);  // outside the rectangle
  const auto before = Image();
  H.Push(MakeBlockStep(*F, 9, 9, 13, 11));
  DeleteRect(*F, 9, 9, 11, 13);
  EXPECT_EQ(F->Points[0].Placed, 0);
  const auto after = Image();

  ASSERT_TRUE(H.Undo(*F));
  EXPECT_EQ(Image(), before);
  EXPECT_EQ(ParamsAt(10, 10)->Params[0], 4.0);
  ASSERT_TRUE(H.Redo(*F));
  EXPECT_EQ(Image(), after);
  EXPECT_EQ(F->Points[0].Placed, 0);
  EXPECT_EQ(F->Points[1].Placed, 1);
}

TEST_F(HistoryTest, BlockStepUndoesAndRedoesAPaste) {
  TSchemeBuilder b(*F);
  b.Block(1, 1, 9, {0.25, 2.0});
  ClipCopy(*F, 0, 0, 2, 2);
  b.Block(21, 21, 6);
  b.Point(5, 22, 21);  // inside the target rectangle 20..22
  const auto before = Image();
  H.Push(MakeBlockStep(*F, 20, 20, 22, 22));
  ASSERT_TRUE(ClipPaste(*F, 20, 20));
  const auto after = Image();
  EXPECT_EQ(F->Points[5].Placed, 0);

  ASSERT_TRUE(H.Undo(*F));
  EXPECT_EQ(Image(), before);
  EXPECT_EQ(F->Points[5].Placed, 1);
  ASSERT_TRUE(H.Redo(*F));
  EXPECT_EQ(Image(), after);  // the point goes again with the redone paste
  EXPECT_EQ(F->Points[5].Placed, 0);
}

TEST_F(HistoryTest, StepsOutsideTheGridDoNothing) {
  const auto before = Image();
  THistory h;
  h.Push(MakePlaceStep(-1, 5, 6));
  h.Push(MakeRemoveStep(*F, 200, 5));
  h.Push(MakePropertiesStep(*F, 5, 250));
  h.Push(MakeLineStep(*F, 198, 0, Right, 5));
  h.Push(MakeBlockStep(*F, 190, 190, 260, 260));
  while (h.Undo(*F)) {}
  while (h.Redo(*F)) {}
  EXPECT_EQ(Image(), before);
  h.Push(nullptr);  // ignored
  EXPECT_EQ(h.UndoCount(), 5);
  h.Clear();
  EXPECT_FALSE(h.CanUndo());
}

}  // namespace
}  // namespace vemo
