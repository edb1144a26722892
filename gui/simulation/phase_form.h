// TPhaseFaceForm ("Фазовый портрет"): one observed signal against another,
// or against its own time derivative, page by page.
#pragma once
#include <QString>

#include "simulation/phase.h"
#include "simulation/phase_plot.h"
#include "simulation/plot_form.h"

namespace vemo {

class TPhaseFaceForm : public TTimePlotForm {
  Q_OBJECT
 public:
  TPhaseFaceForm(TField& field, int abscissa, uint8_t ordinate, QWidget* parent = nullptr);
  ~TPhaseFaceForm() override;

  QPushButton* NextBtn = nullptr;  // "Далее"
  QPushButton* StopBtn = nullptr;  // "Отмена"
  TPhaseRun Run;

  // The status panels, SimInit and the first page.
  void Start();
  void NextBtnClick();
  void PropertyBtnClick();
  // Writes the portrait (ordinate, abscissa per line); false after
  // "Ошибка в записи файла!".
  bool SavePortrait(const QString& fileName);

 protected:
  void FinishRun() override { Run.Close(); }
  void DrawPicture(QPainter& p, const QRect& area, bool whole, bool monochrome) override;
  void ShowCursor(QPoint pos) override;
  QStringList AnnotationLines() const override;

 private:
  void RunPage();
  TPhasePicture ViewPicture(bool whole) const;
};

}  // namespace vemo
