// ThtForm ("Переходный процесс"): runs the transient response of a field in
// segments and plots the observed points against time.
#pragma once
#include <QString>
#include <vector>

#include "simulation/plot_form.h"
#include "simulation/transient.h"
#include "simulation/transient_plot.h"

class QAction;
class QToolButton;

namespace vemo {

class ThtForm : public TTimePlotForm {
  Q_OBJECT
 public:
  // The field is prepared (compiled, ordered, step chosen); Start runs.
  explicit ThtForm(TField& field, QWidget* parent = nullptr);
  ~ThtForm() override;

  QPushButton* PlayBtn1 = nullptr;   // "Далее"
  QToolButton* PlayBtn2 = nullptr;   // "Далее" in the corner between the sliders
  QPushButton* CancelBtn = nullptr;  // "Отмена"
  TTransientRun Run;

  // Window opening: the colour squares and panels of the observed points,
  // SimInit and the first segment.
  void Start();
  // "Далее": the next segment.
  void PlayBtn1Click();
  // "Св-ва": the setup dialog again; after OK rescale and redraw.
  void PropertyBtnClick();
  // The observed points' scale settings applied after the setup dialog.
  void ApplySettings();
  // Writes the curve of point k (0 = A) to fileName; false after "Ошибка в
  // записи файла!" (or for a point that is not observed).
  bool SaveCurve(int k, const QString& fileName);
  // The items "График A".."График L" (enabled for observed points).
  std::vector<QAction*> SaveItems;

 protected:
  void FinishRun() override { Run.Close(); }
  void DrawPicture(QPainter& p, const QRect& area, bool whole, bool monochrome) override;
  void ShowCursor(QPoint pos) override;
  QStringList AnnotationLines() const override;
  // The lines, then on the third one "Точки:" and each shown point's letter
  // after a stroke of its curve's colour.
  void DrawAnnotation(QPainter& p, const QRect& area, bool monochrome) override;

 private:
  void RunSegment();
  void UpdatePanels();
  TPlotSelection Selection() const;
};

}  // namespace vemo
