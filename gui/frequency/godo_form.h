// TGodoForm ("Годограф"): the complex plane with the hodograph of a
// contour's linear part, the describing-function curve of its nonlinear
// part or, in the Popov command, the modified hodograph with the Popov
// line; the locator read-out, "О системе", picture copies and the curves
// saved as text.
#pragma once
#include <QImage>

#include "frequency/loop_curves.h"
#include "frequency/plane_plot.h"
#include "shell/result_window.h"
#include "simulation/plot_widgets.h"

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;

namespace vemo {

class TGodoForm : public TResultWindow {
  Q_OBJECT
 public:
  // The window of the contour start..end with a copy of its zero-pole form;
  // what it shows is taken from the settings. Compute fills it.
  TGodoForm(TField& field, bool popov, int start, int end, const TZeroPoleForm& form, Real delay,
            QWidget* parent = nullptr);

  TPlotBox* PaintBox = nullptr;
  QPushButton* PropertyBtn = nullptr;  // "Свойства"
  QPushButton* PrintBtn = nullptr;     // "Печать"
  QPushButton* AboutBtn = nullptr;     // "О системе"
  QGroupBox* LocatorGroup = nullptr;
  QLabel* ReLabel = nullptr;
  QLabel* ImLabel = nullptr;
  QLabel* PhiLabel = nullptr;
  QLabel* ALabel = nullptr;
  QProgressBar* ProgressBar = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* SaveHodographItem = nullptr;  // "Годограф W(s)"
  QAction* SaveCurveItem = nullptr;      // "ЭККУ"

  const bool Popov;
  const int StartPoint, EndPoint;
  const TZeroPoleForm Form;
  const Real Delay;
  // What is shown, as the settings had it when the window was made or its
  // properties last accepted.
  bool ShowHodograph = true, ShowCurve = false;
  int AutoscaleType = kAutoscaleBoth;
  TPlaneRect Manual;
  double NeStep = 0.01, LgwMin = -3.0, LgwMax = 3.0;
  TLoopCurves Curves;
  TPlaneRect Rect;  // the visible rectangle

  // Split on the compiled field (the progress bar follows a long curve),
  // then the hodograph and the autoscale. False with ErrorCode set; the
  // blocks of the field are not used afterwards.
  bool Compute(TField& field);
  // The message of a nonlinear part without a curve, when there is one.
  void ShowRefusal() const;

  // The picture: the visible rectangle, or (whole) autoscaled over every
  // curve shown.
  TPlanePicture Picture(bool whole, bool monochrome = false) const;
  // The locator read-out at a point of the plane's box.
  void ShowLocator(QPointF pos);
  // "Свойства": the settings dialog with the contour locked; after OK the
  // curves again.
  void PropertyBtnClick();
  // "О системе": TForm7, TPopovWnd, or the message without a hodograph.
  void AboutBtnClick();
  // The text of TForm7: the verdict, the margins and, with the curve, the
  // possible oscillations (as the batch program's margins command).
  QString ClosedLoopReport() const;
  QImage PlanePicture(bool whole, bool monochrome) const;
  void CopyPicture(bool whole);
  // "Печать": the print dialog on the plane (visible part or all curves).
  void PrintBtnClick();
  // "Сохранить в текстовый файл": the hodograph or the curve; false after
  // "Ошибка в записи файла!" or when the curve is not there.
  bool SaveCurve(bool describing, const QString& fileName);

 protected:
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void TakeSettings();
  void Rescale();
  void UpdateItems();
};

}  // namespace vemo
