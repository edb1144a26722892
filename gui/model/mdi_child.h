// The structure editor window: one per open project, owning its field and
// its edit history, showing the 200 x 200 grid of 40 x 40 pixel cells.
#pragma once
#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>

#include "model/history.h"

class QPainter;

namespace vemo {

struct TField;
class TDrawGrid;

class TMDIChild : public QWidget {
  Q_OBJECT
 public:
  explicit TMDIChild(QWidget* parent = nullptr);
  ~TMDIChild() override;

  TField& Field() { return *field_; }
  THistory History;
  TDrawGrid* DrawGrid1 = nullptr;

  // The caption: the project's file name or "<без имени N>".
  QString Caption() const { return windowTitle(); }
  void SetCaption(const QString& caption) { setWindowTitle(caption); }

  // Closes the result windows that show this field, asking first when ask
  // is set; false when the person refused (the edit is then abandoned).
  bool CloseResultWindows(bool ask);

  // Edit history (each marks the field modified, repaints, updates menus).
  void PushStep(std::unique_ptr<THistoryStep> step);
  void UndoStep();
  void RedoStep();

  // Selection commands used by the main window's Edit menu.
  bool HasSelection() const;
  void SelectAll();
  void N1Click();  // copy
  void N3Click();  // cut
  void N4Click();  // delete
  void N7Click();  // paste at the current cell

  // Moves the current cell (used to show the cell of a scheme error).
  void SetCurrentCell(int col, int row);
  int CurrentCol() const;
  int CurrentRow() const;

  // Draws the visible cells (0), all occupied cells (1) or the selection (2)
  // into target; modes 3..5 only return the pixel rectangle of the same range
  // at 41 pixels per cell.
  QRect RenderScheme(QPainter* painter, int mode, const QRect& target);

  // Repaints the grid after the field changed behind the window's back.
  void RefreshGrid();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::unique_ptr<TField> field_;
};

}  // namespace vemo
