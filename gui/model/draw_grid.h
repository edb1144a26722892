// The owner-drawn cell grid of the structure editor: 200 x 200 cells of
// 40 x 40 pixels with one-pixel grid lines, a current (focused) cell, a
// rectangular range selection made with the left button, scrolling by whole
// cells, the rubber band of a line being laid and dragging a selection to
// another grid. What a cell shows and what the mouse and keys do is up to
// the handler (the editor window).
#pragma once
#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>
#include <functional>

class QDrag;
class QMimeData;

namespace vemo {

class TDrawGrid;

// A rectangular range of cells, inclusive.
struct TGridRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Contains(int col, int row) const {
    return col >= Left && col <= Right && row >= Top && row <= Bottom;
  }
  bool operator==(const TGridRect&) const = default;
};

// The events of the grid, named after the grid and the event as the editor
// window handles them.
class TDrawGridHandler {
 public:
  virtual ~TDrawGridHandler() = default;
  virtual void DrawGrid1DrawCell(QPainter& painter, int col, int row, const QRect& rect) = 0;
  virtual void DrawGrid1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x,
                                  int y) = 0;
  virtual void DrawGrid1MouseMove(Qt::MouseButtons buttons, int x, int y) = 0;
  virtual void DrawGrid1MouseUp(Qt::MouseButton button, int x, int y) = 0;
  virtual void DrawGrid1DblClick() = 0;
  // True when the key was used and the grid must not move its cell for it.
  virtual bool DrawGrid1KeyDown(int key, Qt::KeyboardModifiers mods) = 0;
  virtual void DrawGrid1KeyUp(int key, Qt::KeyboardModifiers mods) = 0;
  virtual void DrawGrid1TopLeftChanged() = 0;
  virtual void DrawGrid1SelectCell(int col, int row) = 0;
  // A drag of the selection begins (the selection is cut here); false
  // cancels the drag.
  virtual bool DrawGrid1StartDrag() = 0;
  // A selection dragged from a grid was dropped on the cell.
  virtual void DrawGrid1DragDrop(TDrawGrid* source, int col, int row) = 0;
};

class TDrawGrid : public QAbstractScrollArea {
  Q_OBJECT
 public:
  static constexpr int kColCount = 200;
  static constexpr int kRowCount = 200;
  static constexpr int kDefaultColWidth = 40;
  static constexpr int kDefaultRowHeight = 40;
  static constexpr int kGridLineWidth = 1;
  static constexpr int kPitch = kDefaultColWidth + kGridLineWidth;
  // The format of the drag data: a selection dragged between editor grids.
  static const char* const kDragMimeType;

  explicit TDrawGrid(TDrawGridHandler* handler, QWidget* parent = nullptr);

  // The current (focused) cell.
  int Col() const { return col_; }
  int Row() const { return row_; }
  // Makes the cell current, collapses the selection onto it and scrolls it
  // into view.
  void SetCurrent(int col, int row);
  TGridRect Selection() const { return sel_; }
  // A selection rectangle (clamped to the grid); the current cell moves to
  // its bottom-right corner unless it already lies inside.
  void SetSelection(const TGridRect& r);
  bool MultiCellSelection() const { return sel_.Left != sel_.Right || sel_.Top != sel_.Bottom; }
  // Whether the cell is drawn highlighted (inside a multi-cell selection, or
  // the focused cell of one).
  bool Highlighted(int col, int row) const;

  // The first column and row shown, and how many are shown completely.
  int LeftCol() const;
  int TopRow() const;
  void SetTopLeft(int col, int row);
  int VisibleColCount() const;
  int VisibleRowCount() const;

  // Viewport pixels <-> cells. MouseToCell clamps to the grid; false when
  // the point lies beyond the last column or row.
  bool MouseToCell(int x, int y, int& col, int& row) const;
  QRect CellRect(int col, int row) const;
  // Centre of a cell in viewport coordinates (tests aim the mouse with it).
  QPoint CellCenter(int col, int row) const { return CellRect(col, row).center(); }

  // The rubber band between the centres of two cells, drawn with an
  // inverting pen over the cells. Showing it again with the same ends, or
  // hiding it, erases it.
  void ShowBand(int col1, int row1, int col2, int row2);
  void HideBand();
  bool BandVisible() const { return bandVisible_; }
  QLine BandCells() const { return band_; }

  // Drag mode: automatic while the mouse is over the selection (a left press
  // there starts dragging it), manual otherwise.
  void SetDragAutomatic(bool on);
  bool DragAutomatic() const { return dragAutomatic_; }
  // Runs a started drag; the default executes it with the windowing system.
  // Tests replace it to deliver the drop themselves.
  std::function<Qt::DropAction(QDrag&)> DragRunner;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void UpdateScrollBars();
  void MoveCurrent(int col, int row, bool extend);
  void ScrollIntoView(int col, int row);
  void StartDrag();
  bool AcceptsDrag(const QMimeData* data) const;

  TDrawGridHandler* handler_;
  int col_ = 0, row_ = 0;
  int anchorCol_ = 0, anchorRow_ = 0;
  TGridRect sel_;
  bool selecting_ = false;  // left button held for a range selection
  bool dragPending_ = false;
  QPoint dragStart_;
  bool dragAutomatic_ = false;
  bool bandVisible_ = false;
  QLine band_;
};

}  // namespace vemo
