// The table editor window: the characteristic of the user nonlinearity (or
// the time function of the table-defined generator) drawn with the mouse,
// with its text file, clipboard copies and drawing range.
#pragma once
#include <QDialog>
#include <QImage>
#include <functional>

#include "blocks/point_table.h"
#include "blocks/ranges_dlg.h"
#include "shell/copy_target.h"
#include "simulation/plot_widgets.h"
#include "simulation/table_plot.h"

class QCheckBox;
class QMenu;
class QAction;
class QMouseEvent;
class QToolButton;

namespace vemo {

class TTableBlock;

// The plot surface of the editor: every mouse press, move (also without a
// button: the cursor read-out) and release goes to the window.
class TTableBox : public TPlotBox {
  Q_OBJECT
 public:
  explicit TTableBox(QWidget* parent = nullptr);
  std::function<void(QMouseEvent*)> OnPress, OnMove, OnRelease;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
};

// The MIME type of the editor's own clipboard copy: the table's raw record
// (count, then x and y of every point). A plain-text copy in the layout of
// the table's text file goes along, for other programs and for pasting
// text typed elsewhere.
inline constexpr const char* kPointTableMime = "application/x-vemo-point-table";

// Mouse tolerance: a point is hit, and a segment is under the cursor, within
// this many pixels.
inline constexpr int kTableHitPixels = 5;

class TnlEditorForm : public QDialog, public TCopyTarget {
  Q_OBJECT
 public:
  enum class TTool { Pen, Move, BreakPoint, Cut };

  // generator: the window serves the table-defined generator (abscissa is
  // time from 0).
  TnlEditorForm(const PointTable& table, bool generator, QWidget* parent = nullptr);

  // Runs the editor modally on a copy of table and stores the edited table
  // back when the window closes; true when it differs from the one given.
  static bool Edit(PointTable& table, bool generator, QWidget* parent);
  // The editor of a type-37 or type-51 block (generator by its kind 8).
  static bool EditBlock(TTableBlock& block, QWidget* parent);

  PointTable Table;  // the table being edited
  TPlotRange Range;  // the full drawing range
  bool Generator() const { return generator_; }
  TTool Tool() const { return tool_; }
  // Whether Table differs from the table the window was opened on.
  bool Changed() const;

  QToolButton *PenBtn = nullptr, *MoveBtn = nullptr, *BreakPointBtn = nullptr,
              *CutBtn = nullptr;
  QToolButton *NewBtn = nullptr, *CopyBtn = nullptr, *PasteBtn = nullptr, *ZoomBtn = nullptr;
  QToolButton *Mirrow1Btn = nullptr, *Mirrow2Btn = nullptr, *SaveBtn = nullptr,
              *LoadBtn = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  TTableBox* PaintBox = nullptr;
  TRangeSlider* HPaintBox = nullptr;
  TRangeSlider* VPaintBox = nullptr;
  TPanelBar* StatusBar = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* N1 = nullptr;  // copy as picture

  // The name of the file to save (save set) or load; "" when cancelled.
  // Defaults to the common file dialogs; tests put their own choice here.
  std::function<QString(QWidget* parent, const QString& title, bool save)> ChooseFile;

  void NewBtnClick();
  void CopyBtnClick();
  void PasteBtnClick();
  void ZoomBtnClick();
  void Mirrow1BtnClick();  // odd completion
  void Mirrow2BtnClick();  // even completion
  void SaveBtnClick();
  void LoadBtnClick();
  // File operations behind the buttons (messages on failure).
  bool SaveToFile(const QString& name);
  bool LoadFromFile(const QString& name);

  // The range fitted to the points (a margin of a twentieth of the extent
  // on each side), -1..1 for no points; the generator's abscissa from 0.
  void FitRange();
  // The visible part of the range (the sliders' selection of it).
  TTablePicture VisiblePicture(bool monochrome = false) const;
  TPlotFrame VisibleFrame() const;
  // The picture copy: "График "нелинейности"" (kept as the image's title).
  static QString PictureTitle();
  QImage Picture(bool monochrome) const;
  void CopyPicture();

  // The main window's Copy is the editor's own: the characteristic.
  bool CopyAvailable() const override { return true; }
  void CopyToClipboard() override { CopyBtnClick(); }

  // The point within the mouse tolerance nearest to a pixel, or -1.
  int PointAt(QPointF pixel) const;
  // The segment (index of its first point) under a pixel, or -1.
  int SegmentAt(QPointF pixel) const;

 private:
  void SetTool(TTool tool);
  void PaintBoxMouseDown(QMouseEvent* e);
  void PaintBoxMouseMove(QMouseEvent* e);
  void PaintBoxMouseUp(QMouseEvent* e);
  // The table value at a pixel (limited to the plot area and, for the
  // generator, to times of 0 and more).
  TablePoint ValueAt(QPointF pixel) const;
  void ShowCursor(QPointF pixel);
  // The table was replaced as a whole: new range, full sliders, redraw.
  void TableReplaced();
  void ResetSliders();
  void Mirror(bool odd);

  bool generator_;
  PointTable original_;
  TTool tool_ = TTool::Pen;
  int dragged_ = -1;  // the point moved while the button is held
};

}  // namespace vemo
