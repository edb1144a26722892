// TLAFCForm ("ЛАЧХ/ФЧХ"): the Bode plots of a contour with the range
// sliders of lg w and of each plot, the cursor read-out in the status bar,
// picture copies and the curves saved as text.
#pragma once
#include <QImage>

#include "frequency/bode.h"
#include "frequency/bode_plot.h"
#include "frequency/zero_pole.h"
#include "shell/result_window.h"
#include "simulation/plot_widgets.h"

class QMenu;
class QPushButton;

namespace vemo {

class TLAFCForm : public TResultWindow {
  Q_OBJECT
 public:
  // What "Копировать как картинку" and the print items draw (menu tags).
  enum TWhich { Both = 0, LPlot = 1, PhiPlot = 2 };

  // The window of the contour start..end of field with a copy of the
  // zero-pole form: flags and limits from the settings, then autoscale.
  TLAFCForm(TField& field, int start, int end, const TZeroPoleForm& form, Real delay,
            QWidget* parent = nullptr);

  TPlotBox* PaintBox1 = nullptr;  // L
  TPlotBox* PaintBox2 = nullptr;  // phi
  TRangeSlider* HPaintBox = nullptr;
  TRangeSlider* VPaintBox1 = nullptr;
  TRangeSlider* VPaintBox2 = nullptr;
  QPushButton* PropertyBtn = nullptr;
  QPushButton* PrintBtn = nullptr;
  TPanelBar* StatusBar = nullptr;
  QMenu* PopupMenu1 = nullptr;

  const int StartPoint, EndPoint;
  const TZeroPoleForm Form;
  const Real Delay;
  bool LShown = true, PhiShown = true;
  TBodeRanges Ranges;  // flags and full ranges (phi in radians)
  double LgwMin = kDefaultLgwMin, LgwMax = kDefaultLgwMax;

  // The autoscale rule over the window's lg w range; false (ranges kept)
  // on a fault of the evaluation.
  bool Autoscale();
  // A plot as shown now: the lg w range and the vertical slider's window.
  TBodePicture Picture(bool phase, bool monochrome = false) const;
  // The status-bar read-out at a point of a plot's box.
  void ShowCursor(bool phase, QPoint pos);
  // "Св-ва": the settings dialog with the contour locked; after OK the new
  // flags and limits, autoscale and layout.
  void PropertyBtnClick();
  // "Копировать как картинку": one plot at its box's size, or both one
  // above the other.
  QImage PlotPicture(TWhich which, bool monochrome) const;
  void CopyPicture(TWhich which);
  // "Печать" (the shown plots) and "Печать...": the print dialog on one
  // plot or both, one above the other.
  void PrintPlots(TWhich which);
  // "Сохранить в текстовый файл": the 200 lines of a curve; false after
  // "Ошибка в записи файла!".
  bool SaveCurve(bool phase, const QString& fileName);

 protected:
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void ApplySettings();
  void LayOut();
  void SlidersFromRanges();
  void HorizontalChanged();
  bool recalculating_ = false;
  TBodeSamples samples_;
};

}  // namespace vemo
