#include "model/draw_grid.h"

#include <QApplication>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>

#include "shell/cursors.h"

namespace vemo {

const char* const TDrawGrid::kDragMimeType = "application/x-vemo-scheme-selection";

namespace {
int Clamp(int v, int hi) { return std::clamp(v, 0, hi); }
// Floor division for pixel offsets left of or above the viewport.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
}  // namespace

TDrawGrid::TDrawGrid(TDrawGridHandler* handler, QWidget* parent)
    : QAbstractScrollArea(parent), handler_(handler) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  viewport()->setAcceptDrops(true);
  setAcceptDrops(true);
  horizontalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setSingleStep(1);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  UpdateScrollBars();
}

int TDrawGrid::LeftCol() const { return horizontalScrollBar()->value(); }
int TDrawGrid::TopRow() const { return verticalScrollBar()->value(); }

void TDrawGrid::SetTopLeft(int col, int row) {
  horizontalScrollBar()->setValue(col);
  verticalScrollBar()->setValue(row);
}

int TDrawGrid::VisibleColCount() const {
  return std::clamp(viewport()->width() / kPitch, 1, kColCount);
}
int TDrawGrid::VisibleRowCount() const {
  return std::clamp(viewport()->height() / kPitch, 1, kRowCount);
}

void TDrawGrid::UpdateScrollBars() {
  horizontalScrollBar()->setRange(0, kColCount - VisibleColCount());
  horizontalScrollBar()->setPageStep(VisibleColCount());
  verticalScrollBar()->setRange(0, kRowCount - VisibleRowCount());
  verticalScrollBar()->setPageStep(VisibleRowCount());
}

void TDrawGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void TDrawGrid::scrollContentsBy(int, int) {
  viewport()->update();
  handler_->DrawGrid1TopLeftChanged();
}

bool TDrawGrid::MouseToCell(int x, int y, int& col, int& row) const {
  const int c = LeftCol() + FloorDiv(x, kPitch);
  const int r = TopRow() + FloorDiv(y, kPitch);
  col = Clamp(c, kColCount - 1);
  row = Clamp(r, kRowCount - 1);
  return c == col && r == row;
}

QRect TDrawGrid::CellRect(int col, int row) const {
  return QRect((col - LeftCol()) * kPitch, (row - TopRow()) * kPitch, kDefaultColWidth,
               kDefaultRowHeight);
}

bool TDrawGrid::Highlighted(int col, int row) const {
  return MultiCellSelection() && (sel_.Contains(col, row) || (col == col_ && row == row_));
}

void TDrawGrid::SetCurrent(int col, int row) {
  col = Clamp(col, kColCount - 1);
  row = Clamp(row, kRowCount - 1);
  col_ = anchorCol_ = col;
  row_ = anchorRow_ = row;
  sel_ = {col, row, col, row};
  ScrollIntoView(col, row);
  viewport()->update();
  handler_->DrawGrid1SelectCell(col, row);
}

void TDrawGrid::SetSelection(const TGridRect& r) {
  TGridRect s{Clamp(std::min(r.Left, r.Right), kColCount - 1),
              Clamp(std::min(r.Top, r.Bottom), kRowCount - 1),
              Clamp(std::max(r.Left, r.Right), kColCount - 1),
              Clamp(std::max(r.Top, r.Bottom), kRowCount - 1)};
  sel_ = s;
  if (!s.Contains(col_, row_)) {
    col_ = s.Right;
    row_ = s.Bottom;
  }
  // The anchor is the corner opposite the current cell.
  anchorCol_ = col_ == s.Left ? s.Right : s.Left;
  anchorRow_ = row_ == s.Top ? s.Bottom : s.Top;
  viewport()->update();
}

void TDrawGrid::MoveCurrent(int col, int row, bool extend) {
  col = Clamp(col, kColCount - 1);
  row = Clamp(row, kRowCount - 1);
  if (!extend) {
    SetCurrent(col, row);
    return;
  }
  col_ = col;
  row_ = row;
  sel_ = {std::min(anchorCol_, col), std::min(anchorRow_, row), std::max(anchorCol_, col),
          std::max(anchorRow_, row)};
  ScrollIntoView(col, row);
  viewport()->update();
  handler_->DrawGrid1SelectCell(col, row);
}

void TDrawGrid::ScrollIntoView(int col, int row) {
  int left = LeftCol(), top = TopRow();
  if (col < left) left = col;
  else if (col >= left + VisibleColCount()) left = col - VisibleColCount() + 1;
  if (row < top) top = row;
  else if (row >= top + VisibleRowCount()) top = row - VisibleRowCount() + 1;
  SetTopLeft(left, top);
}

void TDrawGrid::paintEvent(QPaintEvent* event) {
  QPainter p(viewport());
  const QRect area = event->rect();
  p.fillRect(area, palette().color(QPalette::Base));
  const int lastCol = std::min(kColCount - 1, LeftCol() + VisibleColCount() + 1);
  const int lastRow = std::min(kRowCount - 1, TopRow() + VisibleRowCount() + 1);
  const QColor lineColor(0xE0, 0xE0, 0xE0);
  for (int row = TopRow(); row <= lastRow; ++row)
    for (int col = LeftCol(); col <= lastCol; ++col) {
      const QRect r = CellRect(col, row);
      const QRect withLines = r.adjusted(0, 0, kGridLineWidth, kGridLineWidth);
      if (!withLines.intersects(area)) continue;
      p.save();
      p.setClipRect(r);
      handler_->DrawGrid1DrawCell(p, col, row, r);
      p.restore();
      p.fillRect(QRect(r.right() + 1, r.top(), kGridLineWidth, withLines.height()), lineColor);
      p.fillRect(QRect(r.left(), r.bottom() + 1, withLines.width(), kGridLineWidth), lineColor);
    }
  // Past the last column or row the grid ends.
  const QRect all = CellRect(0, 0).united(CellRect(kColCount - 1, kRowCount - 1));
  const QRegion outside = QRegion(area).subtracted(QRegion(all.adjusted(0, 0, 1, 1)));
  for (const QRect& r : outside) p.fillRect(r, palette().color(QPalette::Dark));
  if (bandVisible_) {
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(CellCenter(band_.x1(), band_.y1()), CellCenter(band_.x2(), band_.y2()));
  }
}

void TDrawGrid::ShowBand(int col1, int row1, int col2, int row2) {
  band_ = QLine(col1, row1, col2, row2);
  bandVisible_ = true;
  viewport()->update();
}

void TDrawGrid::HideBand() {
  if (!bandVisible_) return;
  bandVisible_ = false;
  viewport()->update();
}

void TDrawGrid::SetDragAutomatic(bool on) {
  dragAutomatic_ = on;
  if (on) viewport()->setCursor(ProgramCursor(crHandUnpress));
  else viewport()->unsetCursor();
}

void TDrawGrid::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  int col = 0, row = 0;
  if (!MouseToCell(pos.x(), pos.y(), col, row)) return;
  setFocus(Qt::MouseFocusReason);
  if (event->button() == Qt::LeftButton) {
    if (MultiCellSelection() && sel_.Contains(col, row)) {
      // Pressing on the selection picks it up for dragging.
      dragPending_ = true;
      dragStart_ = pos;
    } else {
      MoveCurrent(col, row, event->modifiers() & Qt::ShiftModifier);
      selecting_ = true;
    }
  }
  handler_->DrawGrid1MouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
}

void TDrawGrid::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (dragPending_ && (event->buttons() & Qt::LeftButton) &&
      (pos - dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
    dragPending_ = false;
    StartDrag();
    return;
  }
  if (selecting_ && (event->buttons() & Qt::LeftButton)) {
    int col = 0, row = 0;
    MouseToCell(pos.x(), pos.y(), col, row);
    if (col != col_ || row != row_) MoveCurrent(col, row, true);
  }
  handler_->DrawGrid1MouseMove(event->buttons(), pos.x(), pos.y());
}

void TDrawGrid::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (dragPending_ && event->button() == Qt::LeftButton) {
    // A click on the selection without moving selects the clicked cell.
    dragPending_ = false;
    int col = 0, row = 0;
    if (MouseToCell(pos.x(), pos.y(), col, row)) MoveCurrent(col, row, false);
  }
  if (event->button() == Qt::LeftButton) selecting_ = false;
  handler_->DrawGrid1MouseUp(event->button(), pos.x(), pos.y());
}

void TDrawGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  int col = 0, row = 0;
  if (!MouseToCell(pos.x(), pos.y(), col, row)) return;
  if (event->button() == Qt::LeftButton) {
    dragPending_ = false;
    MoveCurrent(col, row, false);
  }
  handler_->DrawGrid1MouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
  if (event->button() == Qt::LeftButton) handler_->DrawGrid1DblClick();
}

void TDrawGrid::keyPressEvent(QKeyEvent* event) {
  if (handler_->DrawGrid1KeyDown(event->key(), event->modifiers())) return;
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Left: MoveCurrent(col_ - 1, row_, extend); break;
    case Qt::Key_Right: MoveCurrent(col_ + 1, row_, extend); break;
    case Qt::Key_Up: MoveCurrent(col_, row_ - 1, extend); break;
    case Qt::Key_Down: MoveCurrent(col_, row_ + 1, extend); break;
    case Qt::Key_PageUp: MoveCurrent(col_, row_ - VisibleRowCount(), extend); break;
    case Qt::Key_PageDown: MoveCurrent(col_, row_ + VisibleRowCount(), extend); break;
    case Qt::Key_Home: MoveCurrent(0, ctrl ? 0 : row_, extend); break;
    case Qt::Key_End: MoveCurrent(kColCount - 1, ctrl ? kRowCount - 1 : row_, extend); break;
    default: event->ignore(); return;
  }
}

void TDrawGrid::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  handler_->DrawGrid1KeyUp(event->key(), event->modifiers());
}

void TDrawGrid::StartDrag() {
  if (!handler_->DrawGrid1StartDrag()) {
    selecting_ = false;
    return;
  }
  auto* drag = new QDrag(this);
  auto* data = new QMimeData;
  data->setData(kDragMimeType, QByteArray::number(reinterpret_cast<quintptr>(this)));
  drag->setMimeData(data);
  if (DragRunner) DragRunner(*drag);
  else drag->exec(Qt::MoveAction);
  drag->deleteLater();
  selecting_ = false;
  SetDragAutomatic(false);
}

bool TDrawGrid::AcceptsDrag(const QMimeData* data) const {
  return data && data->hasFormat(kDragMimeType);
}

void TDrawGrid::dragEnterEvent(QDragEnterEvent* event) {
  if (AcceptsDrag(event->mimeData())) event->acceptProposedAction();
  else event->ignore();
}

void TDrawGrid::dragMoveEvent(QDragMoveEvent* event) {
  if (AcceptsDrag(event->mimeData())) event->acceptProposedAction();
  else event->ignore();
}

void TDrawGrid::dropEvent(QDropEvent* event) {
  if (!AcceptsDrag(event->mimeData())) {
    event->ignore();
    return;
  }
  const QPoint pos = event->position().toPoint();
  int col = 0, row = 0;
  MouseToCell(pos.x(), pos.y(), col, row);
  event->acceptProposedAction();
  handler_->DrawGrid1DragDrop(qobject_cast<TDrawGrid*>(event->source()), col, row);
  SetDragAutomatic(false);
}

}  // namespace vemo
