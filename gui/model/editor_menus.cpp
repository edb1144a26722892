// The editor's popup menus and the editors of the objects in its cells.
#include <QAction>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>

#include "blocks/block_dialogs.h"
#include "blocks/nl_editor.h"
#include "blocks/param_control.h"
#include "blocks/property_dlg.h"
#include "blocks/pulse.h"
#include "blocks/table_blocks.h"
#include "fuzzy/fuzzy_block.h"
#include "fuzzy/fuzzy_dlg.h"
#include "model/clipboard.h"
#include "model/editing.h"
#include "model/editor_messages.h"
#include "model/field.h"
#include "model/macro.h"
#include "model/mdi_child.h"
#include "model/wire.h"
#include "neural/neural_block.h"
#include "neural/neuro_box.h"
#include "plugins/user_block.h"
#include "shell/encoding.h"
#include "shell/print_dlg.h"

namespace vemo {

namespace {

constexpr size_t kCommentChars = 30;

QAction* Item(QMenu* menu, const char* name, const char* caption) {
  QAction* a = menu->addAction(QString::fromUtf8(caption));
  a->setObjectName(QString::fromLatin1(name));
  return a;
}

QMenu* SubMenu(QMenu* menu, const char* name, const char* caption) {
  QMenu* sub = menu->addMenu(QString::fromUtf8(caption));
  sub->setObjectName(QString::fromLatin1(name));
  sub->menuAction()->setObjectName(QString::fromLatin1(name));
  return sub;
}

}  // namespace

TEditorDialogs DefaultEditorDialogs() {
  TEditorDialogs d;
  d.EditParams = [](TParamBlock& b, QWidget* p) { return TPropertyDlg::Edit(b, p); };
  d.EditMacro = [](TMacroBlock& b, QWidget* p) { return EditMacroBlock(b, p); };
  d.EditParamControl = [](TParamControl& c, TParamBlock& t, QWidget* p) {
    return EditParamControl(c, t, p);
  };
  d.EditPWM = [](TPulseWidthModulator& b, QWidget* p) { return EditPulseWidthModulator(b, p); };
  d.EditPFM = [](TPulseFrequencyModulator& b, QWidget* p) {
    return EditPulseFrequencyModulator(b, p);
  };
  d.EditUserBlock = [](TUserBlock& b, QWidget* p) { return EditUserBlock(b, p); };
  d.EditTable = [](TTableBlock& b, QWidget* p) { return TnlEditorForm::EditBlock(b, p); };
  d.EditFuzzy = [](TFuzzyBlock& b, QWidget* p) { return TFuzzyDlg::Edit(b, p); };
  d.PromptText = [](QWidget* parent, const QString& initial, QString& text) {
    QInputDialog dlg(parent);
    dlg.setWindowTitle(QStringLiteral("Коментарий"));
    dlg.setLabelText(QStringLiteral("Введите текст:"));
    dlg.setTextValue(initial);
    // Room for the 30 characters a comment keeps.
    if (auto* edit = dlg.findChild<QLineEdit*>())
      edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * int(kCommentChars + 4));
    if (dlg.exec() != QDialog::Accepted) return false;
    text = dlg.textValue();
    return true;
  };
  d.Print = [](QWidget* parent, const TPrintRequest& request) { ShowPrintDialog(request, parent); };
  return d;
}

void TMDIChild::CreateMenus() {
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  for (int k = 0; k < kPointCount; ++k) {
    const QChar letter(PointLetter(k));
    QAction* a = PopupMenu1->addAction(QStringLiteral("Точка %1").arg(letter));
    a->setObjectName(QString(letter) + QLatin1Char('1'));
    connect(a, &QAction::triggered, this, [this, a] { A1Click(a); });
    PointItems[static_cast<size_t>(k)] = a;
  }

  PopupMenu2 = new QMenu(this);
  PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
  N3 = Item(PopupMenu2, "N3", "Вырезать");
  N1 = Item(PopupMenu2, "N1", "Копировать");
  N4 = Item(PopupMenu2, "N4", "Удалить");
  PopupMenu2->addSeparator();
  N5 = SubMenu(PopupMenu2, "N5", "Копировать как рисунок");
  N16 = Item(N5, "N16", "Видимую часть");
  N17 = Item(N5, "N17", "Все");
  N18 = Item(N5, "N18", "Выделенную часть");
  N6 = Item(PopupMenu2, "N6", "Печать...");

  PopupMenu3 = new QMenu(this);
  PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
  N12 = Item(PopupMenu3, "N12", "Поставить/удалить блок");
  PopupMenu3->setDefaultAction(N12);
  N7 = Item(PopupMenu3, "N7", "Вставить");
  PopupMenu3->addSeparator();
  N9 = Item(PopupMenu3, "N9", "Вставить комментарий");
  PopupMenu3->addSeparator();
  N14 = SubMenu(PopupMenu3, "N14", "Копировать как рисунок");
  N19 = Item(N14, "N19", "Видимую часть");
  N20 = Item(N14, "N20", "Все");
  N15 = Item(PopupMenu3, "N15", "Печать...");

  connect(N3, &QAction::triggered, this, [this] { N3Click(); });
  connect(N1, &QAction::triggered, this, [this] { N1Click(); });
  connect(N4, &QAction::triggered, this, [this] { N4Click(); });
  connect(N16, &QAction::triggered, this, [this] { N16Click(); });
  connect(N17, &QAction::triggered, this, [this] { N17Click(); });
  connect(N18, &QAction::triggered, this, [this] { N18Click(); });
  connect(N6, &QAction::triggered, this, [this] { N15Click(); });
  connect(N12, &QAction::triggered, this, [this] { DrawGrid1DblClick(); });
  connect(N7, &QAction::triggered, this, [this] { N7Click(); });
  connect(N9, &QAction::triggered, this, [this] { N9Click(); });
  connect(N19, &QAction::triggered, this, [this] { N16Click(); });
  connect(N20, &QAction::triggered, this, [this] { N17Click(); });
  connect(N15, &QAction::triggered, this, [this] { N15Click(); });
}

QPoint TMDIChild::CellScreenPos(int col, int row) const {
  return DrawGrid1->viewport()->mapToGlobal(DrawGrid1->CellRect(col, row).topLeft());
}

void TMDIChild::ShowProperties() {
  if (HasSelection()) {
    PopupMenu2->popup(CellScreenPos(PressCol, PressRow));
    return;
  }
  SetCurrentCell(PressCol, PressRow);
  TCellObject* obj = Field().Cell(PressCol, PressRow);
  if (!obj || obj->EditorKind() == 3) {
    N7->setEnabled(SchemeClipboard().HasData());
    PopupMenu3->popup(CellScreenPos(PressCol, PressRow));
    return;
  }
  EditByKind();
}

void TMDIChild::EditWithStep(const std::function<bool()>& edit) {
  if (!CloseResultWindows(true)) return;
  std::unique_ptr<THistoryStep> step = MakePropertiesStep(Field(), PressCol, PressRow);
  if (!edit()) return;  // no change: the step is discarded
  Field().Modified = 1;
  PushStep(std::move(step));
  RefreshGrid();
  UpdateMenus();
}

void TMDIChild::EditByKind() {
  TCellObject* obj = Field().Cell(PressCol, PressRow);
  if (!obj) return;
  switch (obj->EditorKind()) {
    case 1:
      if (auto* b = dynamic_cast<TParamBlock*>(obj))
        EditWithStep([&] { return Dialogs.EditParams(*b, this); });
      return;
    case 2: {
      const int k = PointAt(Field(), PressCol, PressRow);
      if (k < 0) {
        for (int i = 0; i < kPointCount; ++i)
          PointItems[static_cast<size_t>(i)]->setEnabled(!Field().Points[i].Placed);
        PopupMenu1->popup(CellScreenPos(PressCol, PressRow));
        return;
      }
      if (!CloseResultWindows(true)) return;
      PushStep(MakeUnmarkStep(Field(), PressCol, PressRow));
      Field().Points[k].Placed = 0;
      Field().Modified = 1;
      RefreshGrid();
      UpdateMenus();
      return;
    }
    case 4:
      if (auto* m = dynamic_cast<TMacroBlock*>(obj))
        EditWithStep([&] { return Dialogs.EditMacro(*m, this); });
      return;
    case 5:
    case 8:
      if (auto* t = dynamic_cast<TTableBlock*>(obj))
        EditWithStep([&] { return Dialogs.EditTable(*t, this); });
      return;
    case 6:
      if (auto* f = dynamic_cast<TFuzzyBlock*>(obj))
        EditWithStep([&] { return Dialogs.EditFuzzy(*f, this); });
      return;
    case 7: EditParamControlAt(); return;
    case 9:
      if (auto* u = dynamic_cast<TUserBlock*>(obj))
        EditWithStep([&] { return Dialogs.EditUserBlock(*u, this); });
      return;
    case 10: EditComment(); return;
    case 11:
      if (auto* m = dynamic_cast<TPulseWidthModulator*>(obj))
        EditWithStep([&] { return Dialogs.EditPWM(*m, this); });
      return;
    case 12:
      if (auto* m = dynamic_cast<TPulseFrequencyModulator*>(obj))
        EditWithStep([&] { return Dialogs.EditPFM(*m, this); });
      return;
    case 13:
      if (auto* n = dynamic_cast<TNeuralBlock*>(obj))
        EditWithStep([&] { return EditNeuralBlock(*n, Field(), this); });
      return;
    default:
      // Macro ports (ShowProperties gives them the empty cell's menu) and
      // any kind without an editor of its own: nothing to edit.
      return;
  }
}

void TMDIChild::EditParamControlAt() {
  auto* control = dynamic_cast<TParamControl*>(Field().Cell(PressCol, PressRow));
  if (!control) return;
  TCellObject* target =
      PressCol > 0 && PressRow > 0 ? Field().Cell(PressCol - 1, PressRow - 1) : nullptr;
  if (!target) {
    EditorMessage(QStringLiteral("Управляемый блок не найден!"), QStringLiteral("ошибка"));
    return;
  }
  auto* params = dynamic_cast<TParamBlock*>(target);
  if (target->TypeCode >= 35 || !params || params->ParamCount == 0) {
    EditorMessage(QStringLiteral("Блок не может быть управляемым!"), QStringLiteral("ошибка"));
    return;
  }
  EditWithStep([&] {
    if (!Dialogs.EditParamControl(*control, *params, this)) return false;
    control->AimFrom(PressCol, PressRow);
    return true;
  });
}

void TMDIChild::EditComment() {
  auto* comment = dynamic_cast<TComment*>(Field().Cell(PressCol, PressRow));
  if (!comment || !CloseResultWindows(true)) return;
  std::unique_ptr<THistoryStep> step = MakePropertiesStep(Field(), PressCol, PressRow);
  QString typed;
  if (!Dialogs.PromptText(this, QString::fromStdString(comment->Text), typed)) return;
  const std::string text = Utf8Left(typed.toStdString(), kCommentChars);
  if (text == comment->Text) return;
  Field().Modified = 1;
  if (text.empty()) {
    RemoveAt(PressCol, PressRow);
  } else {
    comment->Text = text;
    PushStep(std::move(step));
  }
  RefreshGrid();
  UpdateMenus();
}

void TMDIChild::N9Click() {
  if (!CloseResultWindows(true)) return;
  QString typed;
  if (!Dialogs.PromptText(this, QString(), typed)) return;
  const std::string text = Utf8Left(typed.toStdString(), kCommentChars);
  if (text.empty()) return;
  const int col = CurrentCol(), row = CurrentRow();
  // Recorded as a block step of the one cell, so that undo brings back
  // whatever stood there and redo the comment with its text.
  PushStep(MakeBlockStep(Field(), col, row, col, row));
  UnplacePointsAt(Field(), col, row);
  PutComment(Field(), col, row, text);
  Field().Modified = 1;
  RefreshGrid();
  UpdateMenus();
}

void TMDIChild::A1Click(QAction* item) {
  if (!item || item->objectName().isEmpty()) return;
  const int k = item->objectName().at(0).unicode() - 'A';
  if (k < 0 || k >= kPointCount || Field().Points[k].Placed) return;
  if (!CloseResultWindows(true)) return;
  const int col = CurrentCol(), row = CurrentRow();
  PushStep(MakeMarkStep(col, row));
  TViewPoint& p = Field().Points[k];
  p.Col = static_cast<uint16_t>(col);
  p.Row = static_cast<uint16_t>(row);
  p.Placed = 1;
  Field().Modified = 1;
  RefreshGrid();
  UpdateMenus();
}

}  // namespace vemo
