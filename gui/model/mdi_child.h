// The structure editor window: one per open project, owning its field and
// its edit history, showing the 200 x 200 grid of 40 x 40 pixel cells.
#pragma once
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "model/draw_grid.h"
#include "model/history.h"

class QAction;
class QMenu;
class QPainter;

namespace vemo {

struct TField;
struct TPrintRequest;
class TParamBlock;
class TMacroBlock;
class TParamControl;
class TPulseWidthModulator;
class TPulseFrequencyModulator;
class TUserBlock;
class TTableBlock;
class TFuzzyBlock;

// Whether the active editor's grid selection spans more than one cell
// (mirrored into the main window's menus).
extern uint8_t SelectionExists;
// Set while a scheme is drawn for a black-and-white picture.
extern uint8_t DrawMonochrome;

// The dialogs an editor opens on the objects of its field. They default to
// the program's real dialogs; tests put scripted ones in their place.
struct TEditorDialogs {
  std::function<bool(TParamBlock&, QWidget*)> EditParams;
  std::function<bool(TMacroBlock&, QWidget*)> EditMacro;
  std::function<bool(TParamControl&, TParamBlock&, QWidget*)> EditParamControl;
  std::function<bool(TPulseWidthModulator&, QWidget*)> EditPWM;
  std::function<bool(TPulseFrequencyModulator&, QWidget*)> EditPFM;
  std::function<bool(TUserBlock&, QWidget*)> EditUserBlock;
  // The table editor of a user nonlinearity or a table-defined generator;
  // true when the table changed.
  std::function<bool(TTableBlock&, QWidget*)> EditTable;
  // The fuzzy controller's editor; true when confirmed with "OK".
  std::function<bool(TFuzzyBlock&, QWidget*)> EditFuzzy;
  // The one-line comment prompt; false when cancelled.
  std::function<bool(QWidget*, const QString& initial, QString& text)> PromptText;
  // The print dialog on what the editor prints (RenderScheme, its ranges
  // and the window caption as title).
  std::function<void(QWidget*, const TPrintRequest&)> Print;
};
TEditorDialogs DefaultEditorDialogs();

class TMDIChild : public QWidget, public TDrawGridHandler {
  Q_OBJECT
 public:
  explicit TMDIChild(QWidget* parent = nullptr);
  ~TMDIChild() override;

  TField& Field() { return *field_; }
  THistory History;
  TDrawGrid* DrawGrid1 = nullptr;

  // View-point menu: A1..L1 "Точка A".."Точка L".
  QMenu* PopupMenu1 = nullptr;
  std::array<QAction*, 12> PointItems{};
  // Selection menu.
  QMenu* PopupMenu2 = nullptr;
  QAction *N3 = nullptr, *N1 = nullptr, *N4 = nullptr, *N16 = nullptr, *N17 = nullptr,
          *N18 = nullptr, *N6 = nullptr;
  QMenu* N5 = nullptr;
  // Cell menu.
  QMenu* PopupMenu3 = nullptr;
  QAction *N12 = nullptr, *N7 = nullptr, *N9 = nullptr, *N19 = nullptr, *N20 = nullptr,
          *N15 = nullptr;
  QMenu* N14 = nullptr;

  // The cell of the last mouse press (also the start of a line being laid),
  // the end cell of that line and the pixel position of the press.
  int PressCol = 0, PressRow = 0;
  int EndCol = 0, EndRow = 0;
  int PressX = 0, PressY = 0;
  uint8_t LineMode = 0;   // a line is being laid
  uint8_t Dragged = 0;    // the right button moved far enough to start a line
  uint8_t BandShown = 0;  // the rubber band is drawn on the grid

  TEditorDialogs Dialogs;
  // The block a double click places when there is no main window palette.
  uint16_t DefaultPlaceType = 0;
  // The type code a double click on an empty cell places.
  uint16_t PlaceType() const;

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
  void N9Click();  // insert a comment
  void N15Click();  // print
  void N16Click();  // picture of the visible part to the system clipboard
  void N17Click();  // ... of all occupied cells
  void N18Click();  // ... of the selection
  // A view-point item of PopupMenu1: places the point of its letter on the
  // current cell.
  void A1Click(QAction* item);

  // Lays the line from (PressCol, PressRow) to (EndCol, EndRow).
  void LayLine();
  // The editor of the object at (PressCol, PressRow), or a menu.
  void ShowProperties();

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

  // Grid events.
  void DrawGrid1DrawCell(QPainter& painter, int col, int row, const QRect& rect) override;
  void DrawGrid1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, int x,
                          int y) override;
  void DrawGrid1MouseMove(Qt::MouseButtons buttons, int x, int y) override;
  void DrawGrid1MouseUp(Qt::MouseButton button, int x, int y) override;
  void DrawGrid1DblClick() override;
  bool DrawGrid1KeyDown(int key, Qt::KeyboardModifiers mods) override;
  void DrawGrid1KeyUp(int key, Qt::KeyboardModifiers mods) override;
  void DrawGrid1TopLeftChanged() override;
  void DrawGrid1SelectCell(int col, int row) override;
  bool DrawGrid1StartDrag() override;
  void DrawGrid1DragDrop(TDrawGrid* source, int col, int row) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  bool FormCloseQuery();
  void FormClose();
  void CreateMenus();
  void DrawBand();
  void EraseBand();
  // Tells the main window that the field, the selection or the history changed.
  void UpdateMenus();
  void SyncSelection();
  void RemoveAt(int col, int row);
  void CopyPicture(int mode);
  QPoint CellScreenPos(int col, int row) const;
  // Runs a dialog on the object at (PressCol, PressRow) with a properties
  // step that is kept only when the dialog reports a change.
  void EditWithStep(const std::function<bool()>& edit);
  void EditByKind();
  void EditComment();
  void EditParamControlAt();

  // A result window of this field still runs below us on the stack.
  bool ResultRunBusy() const;
  bool closeConfirmed_ = false;  // the close question was answered

  std::unique_ptr<TField> field_;
};

}  // namespace vemo
