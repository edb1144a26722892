#include "model/mdi_child.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdlib>

#include "canvas/qt_canvas.h"
#include "model/clipboard.h"
#include "model/editing.h"
#include "model/editor_messages.h"
#include "model/field.h"
#include "model/scheme_render.h"
#include "shell/main_form.h"
#include "shell/result_window.h"

namespace vemo {

uint8_t SelectionExists = 0;
uint8_t DrawMonochrome = 0;

namespace {
// A press of the right button moved less than this in both directions is a
// click that opens the properties, not the start of a line.
constexpr int kLineThreshold = 8;
}  // namespace

TMDIChild::TMDIChild(QWidget* parent) : QWidget(parent), field_(CreateField()) {
  setAttribute(Qt::WA_DeleteOnClose);
  FormCreate();
}

TMDIChild::~TMDIChild() { Clear(*field_); }

void TMDIChild::FormCreate() {
  Dialogs = DefaultEditorDialogs();
  LineMode = Dragged = BandShown = 0;
  DrawGrid1 = new TDrawGrid(this, this);
  DrawGrid1->setObjectName(QStringLiteral("DrawGrid1"));
  DrawGrid1->setFont(MappedFont("Small Fonts", 10));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(DrawGrid1);
  setFocusProxy(DrawGrid1);
  resize(640, 420);
  CreateMenus();
}

uint16_t TMDIChild::PlaceType() const {
  if (TMainForm* mf = TMainForm::Instance()) return mf->SelectedType();
  return DefaultPlaceType;
}

void TMDIChild::UpdateMenus() {
  if (TMainForm* mf = TMainForm::Instance()) mf->UpdateMenuItems();
}

void TMDIChild::RefreshGrid() { DrawGrid1->viewport()->update(); }

// ---- closing ---------------------------------------------------------------

void TMDIChild::closeEvent(QCloseEvent* event) {
  if (!closeConfirmed_ && !FormCloseQuery()) {
    event->ignore();
    return;
  }
  closeConfirmed_ = true;
  CloseResultWindows(false);
  if (ResultRunBusy()) {
    // A run of a result window is below us on the stack and steps this
    // field: let it stop at its next progress point, then close.
    event->ignore();
    QTimer::singleShot(50, this, [this] { close(); });
    return;
  }
  FormClose();
  event->accept();
}

bool TMDIChild::ResultRunBusy() const {
  TMainForm* mf = TMainForm::Instance();
  if (!mf) return false;
  for (TResultWindow* w : mf->ResultWindows())
    if (w->AnalysedField == field_.get() && w->Busy()) return true;
  return false;
}

bool TMDIChild::FormCloseQuery() {
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (sub && sub->mdiArea()) sub->mdiArea()->setActiveSubWindow(sub);
  else if (isWindow()) raise();
  QCoreApplication::processEvents();
  while (Field().Modified) {
    const QString question = QStringLiteral("Проект %1 не сохранен! Сохранить?").arg(Caption());
    switch (EditorAskYesNoCancel(question, QStringLiteral("Внимание"))) {
      case TAnswer::Cancel: return false;
      case TAnswer::No: return true;
      case TAnswer::Yes: break;
    }
    TMainForm* mf = TMainForm::Instance();
    if (!mf) return false;  // nothing here can save the field: keep the window
    mf->SaveEditor(this);
  }
  return true;
}

void TMDIChild::FormClose() {
  CloseResultWindows(false);
  Clear(Field());
  History.Clear();
}

bool TMDIChild::CloseResultWindows(bool ask) {
  TMainForm* mf = TMainForm::Instance();
  if (!mf) return true;
  static constexpr TResultKind kOrder[] = {TResultKind::TransferFunction, TResultKind::Hodograph,
                                           TResultKind::Bode, TResultKind::PhasePortrait,
                                           TResultKind::Transient};
  for (TResultKind kind : kOrder) {
    std::vector<QPointer<TResultWindow>> windows;
    for (TResultWindow* w : mf->ResultWindows())
      if (w->Kind == kind && w->AnalysedField == field_.get()) windows.emplace_back(w);
    for (const QPointer<TResultWindow>& w : windows) {
      if (!w) continue;
      if (ask) {
        ask = false;
        if (!EditorAskYesNo(QStringLiteral("Закрыть окна результатов анализа?"),
                            QStringLiteral("внимание")))
          return false;
      }
      if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) sub->close();
      else w->close();
      for (int i = 0; i < 11; ++i) QCoreApplication::processEvents();
    }
  }
  return true;
}

// ---- history ---------------------------------------------------------------

void TMDIChild::PushStep(std::unique_ptr<THistoryStep> step) {
  History.Push(std::move(step));
  UpdateMenus();
}

void TMDIChild::UndoStep() {
  if (!History.CanUndo() || !CloseResultWindows(true)) return;
  History.Undo(Field());
  Field().Modified = 1;
  RefreshGrid();
  UpdateMenus();
}

void TMDIChild::RedoStep() {
  if (!History.CanRedo() || !CloseResultWindows(true)) return;
  History.Redo(Field());
  Field().Modified = 1;
  RefreshGrid();
  UpdateMenus();
}

// ---- current cell and selection --------------------------------------------

bool TMDIChild::HasSelection() const { return DrawGrid1->MultiCellSelection(); }

void TMDIChild::SelectAll() {
  DrawGrid1->SetSelection({0, 0, TDrawGrid::kColCount - 1, TDrawGrid::kRowCount - 1});
  SyncSelection();
}

void TMDIChild::SetCurrentCell(int col, int row) {
  DrawGrid1->SetCurrent(col, row);
  SyncSelection();
}

int TMDIChild::CurrentCol() const { return DrawGrid1->Col(); }
int TMDIChild::CurrentRow() const { return DrawGrid1->Row(); }

void TMDIChild::SyncSelection() {
  if (HasSelection() == (SelectionExists != 0)) return;
  RefreshGrid();
  SelectionExists = HasSelection() ? 1 : 0;
  UpdateMenus();
}

// ---- drawing ---------------------------------------------------------------

void TMDIChild::DrawGrid1DrawCell(QPainter& painter, int col, int row, const QRect& rect) {
  const QPalette& pal = DrawGrid1->palette();
  const bool highlighted = DrawGrid1->Highlighted(col, row);
  painter.fillRect(rect, highlighted ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
  if (TCellObject* obj = Field().Cell(col, row)) {
    painter.save();
    DrawCellObject(painter, *obj, rect, false);
    painter.restore();
    const int k = PointAt(Field(), col, row);
    if (k >= 0) {
      painter.save();
      painter.setFont(MappedFont("MS Sans Serif", 10));
      painter.setPen(highlighted ? pal.color(QPalette::HighlightedText) : QColor(Qt::black));
      painter.setBackgroundMode(Qt::OpaqueMode);
      painter.setBackground(highlighted ? pal.color(QPalette::Highlight) : QColor(Qt::white));
      painter.drawText(rect.right() + 1 - 15, rect.top() + 2 + painter.fontMetrics().ascent(),
                       QString(QChar(PointLetter(k))));
      painter.restore();
    }
  }
  if (col == DrawGrid1->Col() && row == DrawGrid1->Row() && !highlighted) {
    painter.save();
    painter.setPen(pal.color(QPalette::Highlight));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.drawRect(rect.adjusted(1, 1, -2, -2));
    painter.restore();
  }
}

void TMDIChild::DrawBand() {
  EraseBand();
  int col = EndCol, row = EndRow;
  SnapLineEnd(PressCol, PressRow, col, row);
  DrawGrid1->ShowBand(PressCol, PressRow, col, row);
  BandShown = 1;
}

void TMDIChild::EraseBand() {
  if (!BandShown) return;
  DrawGrid1->HideBand();
  BandShown = 0;
}

// ---- mouse -----------------------------------------------------------------

void TMDIChild::DrawGrid1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
  EraseBand();
  LineMode = button == Qt::RightButton ? 1 : 0;
  Dragged = 0;
  DrawGrid1->MouseToCell(x, y, PressCol, PressRow);
  EndCol = PressCol;
  EndRow = PressRow;
  PressX = x;
  PressY = y;
}

void TMDIChild::DrawGrid1MouseMove(Qt::MouseButtons, int x, int y) {
  if (LineMode && !Dragged && std::abs(x - PressX) < kLineThreshold &&
      std::abs(y - PressY) < kLineThreshold)
    return;
  int col = 0, row = 0;
  DrawGrid1->MouseToCell(x, y, col, row);
  SyncSelection();
  const bool overSelection = HasSelection() && DrawGrid1->Selection().Contains(col, row);
  if (overSelection != DrawGrid1->DragAutomatic()) DrawGrid1->SetDragAutomatic(overSelection);
  if (LineMode) {
    EraseBand();
    Dragged = 1;
    EndCol = col;
    EndRow = row;
    DrawBand();
    if (TMainForm* mf = TMainForm::Instance())
      mf->SetStatusText(QStringLiteral("Двойной щелчок-ставить/удалять  Правая кнопка-свойства"));
  }
}

void TMDIChild::DrawGrid1MouseUp(Qt::MouseButton button, int x, int y) {
  EraseBand();
  int col = 0, row = 0;
  DrawGrid1->MouseToCell(x, y, col, row);
  if (!Dragged) {
    LineMode = 0;
    PressCol = col;
    PressRow = row;
    if (button == Qt::RightButton) ShowProperties();
  } else if (LineMode) {
    LineMode = 0;
    EndCol = col;
    EndRow = row;
    LayLine();
  }
}

void TMDIChild::DrawGrid1TopLeftChanged() {
  EraseBand();
  LineMode = 0;
}

void TMDIChild::DrawGrid1SelectCell(int, int) {
  SyncSelection();
  UpdateMenus();
}

// ---- editing ---------------------------------------------------------------

void TMDIChild::LayLine() {
  SnapLineEnd(PressCol, PressRow, EndCol, EndRow);
  const TLinePlan plan = PlanLine(PressCol, PressRow, EndCol, EndRow);
  if (plan.Count == 0) return;
  if (!LineAllowed(Field(), plan)) {
    EditorMessage(QString::fromUtf8(kLineRefused), QStringLiteral("ошибка"));
    return;
  }
  if (!CloseResultWindows(true)) return;
  Field().Modified = 1;
  PushStep(MakeLineStep(Field(), plan.Col, plan.Row, plan.Side, plan.Count));
  ApplyLine(Field(), plan);
  RefreshGrid();
  UpdateMenus();
}

void TMDIChild::DrawGrid1DblClick() {
  LineMode = 0;
  if (!CloseResultWindows(true)) return;
  const int col = PressCol, row = PressRow;
  if (!TField::InGrid(col, row)) return;
  if (!Field().Cell(col, row)) {
    const uint16_t code = PlaceType();
    std::unique_ptr<TCellObject> obj = CreateCellObject(code);
    if (!obj) return;
    Field().Modified = 1;
    PushStep(MakePlaceStep(col, row, code));
    Field().SetCell(col, row, std::move(obj));
  } else {
    RemoveAt(col, row);
  }
  RefreshGrid();
  UpdateMenus();
}

void TMDIChild::RemoveAt(int col, int row) {
  Field().Modified = 1;
  PushStep(MakeRemoveStep(Field(), col, row));
  RemoveObject(Field(), col, row);
}

// ---- keyboard --------------------------------------------------------------

bool TMDIChild::DrawGrid1KeyDown(int key, Qt::KeyboardModifiers mods) {
  EraseBand();
  const bool ctrl = mods & Qt::ControlModifier;
  const bool shift = mods & Qt::ShiftModifier;
  const bool plain = !(mods & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier));
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      LineMode = 0;
      PressCol = CurrentCol();
      PressRow = CurrentRow();
      if (ctrl) ShowProperties();
      else if (plain) DrawGrid1DblClick();
      return true;
    case Qt::Key_Space:
      if (CloseResultWindows(true)) {
        if (!LineMode) {
          PressCol = CurrentCol();
          PressRow = CurrentRow();
        } else {
          EndCol = CurrentCol();
          EndRow = CurrentRow();
          LayLine();
        }
        LineMode = LineMode ? 0 : 1;
      }
      return true;
    case Qt::Key_Insert:
      if (ctrl && HasSelection()) N1Click();
      else if (shift && SchemeClipboard().HasData()) N7Click();
      return true;
    case Qt::Key_Delete:
      if (shift) {
        if (HasSelection()) N3Click();
      } else if (plain) {
        if (HasSelection()) N4Click();
        else if (Field().Cell(CurrentCol(), CurrentRow()) && CloseResultWindows(true)) {
          RemoveAt(CurrentCol(), CurrentRow());
          RefreshGrid();
          UpdateMenus();
        }
      }
      return true;
    default: return false;
  }
}

void TMDIChild::DrawGrid1KeyUp(int, Qt::KeyboardModifiers) {
  if (!LineMode) return;
  EndCol = CurrentCol();
  EndRow = CurrentRow();
  DrawBand();
}

}  // namespace vemo
