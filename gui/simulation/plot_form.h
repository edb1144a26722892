// The common frame of the transient and phase-portrait windows: the button
// row with the progress of a run and its cancel button, the plot with its
// two range sliders, the status panels, picture copies, and the run state
// (a running segment disables the controls and lets pending window messages
// run at its progress points).
#pragma once
#include <QImage>
#include <QStringList>

#include "shell/print_dlg.h"
#include "shell/result_window.h"
#include "simulation/plot_widgets.h"

class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QAction;
class QGridLayout;

namespace vemo {

struct TSettings;

// The program's settings (the main window's, or the program-wide defaults
// when there is no main window) and the "Жирные графики" switch that the
// plot windows share.
TSettings& PlotSettings();
bool& BoldGraphs();

class TTimePlotForm : public TResultWindow {
  Q_OBJECT
 public:
  TTimePlotForm(TResultKind kind, TField* field, QWidget* parent);

  TPlotBox* PaintBox = nullptr;
  TRangeSlider* HPaintBox = nullptr;
  TRangeSlider* VPaintBox = nullptr;
  QPushButton* PropertyBtn = nullptr;
  QPushButton* PrintBtn = nullptr;
  QProgressBar* ProgressBar = nullptr;
  QLabel* StaticText1 = nullptr;
  TPanelBar* StatusBar = nullptr;
  QMenu* PopupMenu1 = nullptr;

  bool Running() const { return running_; }
  bool Busy() const override { return running_; }
  // The picture as "Копировать как картинку" puts it on the clipboard:
  // the whole run or the visible part, in colour or black and white.
  QImage Picture(bool whole, bool monochrome);
  // Puts Picture(whole, the black-and-white option) on the clipboard.
  void CopyPicture(bool whole);
  // "Печать": the print dialog on the window's picture (visible part or the
  // whole run, scalable, with annotation and a black-and-white variant).
  void PrintBtnClick();

 protected:
  // Ends the window's run (the field may be released right after closing).
  virtual void FinishRun() = 0;
  // Draws the window's picture (whole = full ranges, else the sliders' view).
  virtual void DrawPicture(QPainter& p, const QRect& area, bool whole, bool monochrome) = 0;
  // The cursor read-out at a point of the plot.
  virtual void ShowCursor(QPoint pos) = 0;
  // The lines of the printed annotation (at most four).
  virtual QStringList AnnotationLines() const = 0;
  // Draws the annotation: its lines, one per quarter of area.
  virtual void DrawAnnotation(QPainter& p, const QRect& area, bool monochrome);
  // "Переходный процесс: <project>", or the title alone for a field no
  // editor shows.
  QString TitleLine() const { return AnnotationTitle(windowTitle(), AnalysedField); }
  // "Время: от 0 до T с, шаг h с" of the run so far.
  static QString TimeLine(double t, double step);

  // Runs one segment: controls disabled, progress shown, abort flag cleared.
  void BeginRun();
  void EndRun();
  // The progress point of a run (every 201 steps): sets the bar to the
  // fraction done, lets the window process its messages 11 times and
  // returns false once "Отмена" was pressed.
  bool ProgressPoint(double fraction);
  // Both sliders back to the full range (without a redraw per slider).
  void ResetSliders();
  // Adds the popup's "Копировать как ..." submenu.
  void AddCopyMenu(const QString& title);
  // Adds "Жирные графики" (checkable, shared by the windows).
  QAction* AddBoldItem(const QString& title);

  QPushButton* continueBtn_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;
  QLabel* colorInfo_ = nullptr;
  QGridLayout* plotGrid_ = nullptr;    // the plot and its sliders
  std::vector<QAction*> idleActions_;  // disabled while a segment runs
  std::vector<QWidget*> idleWidgets_;  // likewise

  void closeEvent(QCloseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  bool running_ = false;
  bool abort_ = false;
  bool closePending_ = false;
};

}  // namespace vemo
