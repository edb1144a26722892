#include "simulation/phase_form.h"

#include <QAction>
#include <algorithm>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>

#include "model/field.h"
#include "shell/file_replace.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/phase_plot.h"
#include "simulation/phase_setup.h"
#include "simulation/setup_checks.h"

namespace vemo {

TPhaseFaceForm::TPhaseFaceForm(TField& field, int abscissa, uint8_t ordinate, QWidget* parent)
    : TTimePlotForm(TResultKind::PhasePortrait, &field, parent) {
  setWindowTitle(QStringLiteral("Фазовый портрет"));
  Run.Abscissa = abscissa;
  Run.Ordinate = ordinate;
  NextBtn = continueBtn_;
  NextBtn->setObjectName(QStringLiteral("NextBtn"));
  StopBtn = cancelBtn_;
  StopBtn->setObjectName(QStringLiteral("StopBtn"));
  connect(NextBtn, &QPushButton::clicked, this, [this] { NextBtnClick(); });
  connect(PropertyBtn, &QPushButton::clicked, this, [this] { PropertyBtnClick(); });

  QAction* props = PopupMenu1->addAction(QStringLiteral("&Свойства"));
  connect(props, &QAction::triggered, this, [this] { PropertyBtnClick(); });
  AddBoldItem(QStringLiteral("Жирные графики"));
  QAction* next = PopupMenu1->addAction(QStringLiteral("&Далее..."));
  connect(next, &QAction::triggered, this, [this] { NextBtnClick(); });
  AddCopyMenu(QStringLiteral("&Копировать как рисунок..."));
  QAction* save = PopupMenu1->addAction(QStringLiteral("Сохранить в текстовый файл"));
  connect(save, &QAction::triggered, this, [this] {
    const QString name = QFileDialog::getSaveFileName(
        this, QStringLiteral("Сохранить фазовый портрет"), QString(),
        QStringLiteral("Текстовые файлы (*.txt);;Все файлы (*)"));
    if (!name.isEmpty()) SavePortrait(name);
  });
  QAction* print = PopupMenu1->addAction(QStringLiteral("&Печать"));
  connect(print, &QAction::triggered, this, [this] { PrintBtnClick(); });
  idleActions_.insert(idleActions_.end(), {props, next, save, print});
}

TPhaseFaceForm::~TPhaseFaceForm() { Run.Close(); }

void TPhaseFaceForm::Start() {
  TField& field = *AnalysedField;
  const QChar x(PointLetter(Run.Abscissa));
  const QString y = Run.Ordinate == kDerivativeOrdinate ? QStringLiteral("d") + x
                                                        : QString(QChar(PointLetter(Run.Ordinate)));
  StatusBar->Panels = {{40, x, false, QColor(), 0},
                       {100, QString(), false, QColor(), 0},
                       {40, y, false, QColor(), 0},
                       {100, QString(), false, QColor(), 0}};
  StatusBar->update();
  Run.AutoScale = PlotSettings().PhaseAutoscale;
  Run.Open(field, Run.Abscissa, Run.Ordinate, Prog.Clock.ViewTime);
  RunPage();
}

void TPhaseFaceForm::RunPage() {
  if (Running()) return;
  BeginRun();
  const double t0 = Run.T;
  Run.Progress = [this, t0](double t) {
    return ProgressPoint(Run.PageTime > 0 ? (t - t0) / Run.PageTime : 1.0);
  };
  Run.RunPage();
  Run.Progress = nullptr;
  EndRun();
}

void TPhaseFaceForm::NextBtnClick() {
  if (!Running()) RunPage();
}

void TPhaseFaceForm::PropertyBtnClick() {
  if (Running()) return;
  TpfSetupDlg dlg(*AnalysedField, this);
  dlg.SelectPoints(Run.Abscissa, Run.Ordinate);
  dlg.FixPoints();
  if (dlg.exec() != QDialog::Accepted) return;
  Run.PageTime = Prog.Clock.ViewTime;
  Run.AutoScale = PlotSettings().PhaseAutoscale;
  if (Run.AutoScale && !Run.RangeStarted) {
    // Ranges were not followed while the scale was fixed: find them now.
    for (size_t i = 0; i < Run.PairCount(); ++i) {
      const double x = Run.Samples.At(2 * i), y = Run.Samples.At(2 * i + 1);
      if (!Run.RangeStarted) {
        Run.MinX = Run.MaxX = x;
        Run.MinY = Run.MaxY = y;
        Run.RangeStarted = true;
      }
      Run.MinX = std::min(Run.MinX, x);
      Run.MaxX = std::max(Run.MaxX, x);
      Run.MinY = std::min(Run.MinY, y);
      Run.MaxY = std::max(Run.MaxY, y);
    }
  }
  ResetSliders();
  PaintBox->update();
}

bool TPhaseFaceForm::SavePortrait(const QString& fileName) {
  const std::string text = Run.Text();
  if (!ReplaceFileContents(fileName.toStdString(), text.data(), text.size())) {
    ShowMessage(kWriteError);
    return false;
  }
  return true;
}

TPhasePicture TPhaseFaceForm::ViewPicture(bool whole) const {
  const TSettings& s = PlotSettings();
  TPhaseSelection sel;
  sel.XLo = HPaintBox->LowFraction();
  sel.XHi = HPaintBox->HighFraction();
  sel.YLo = VPaintBox->LowFraction();
  sel.YHi = VPaintBox->HighFraction();
  TPhasePicture pic = PhasePicture(Run, s.PhaseMinX, s.PhaseMaxX, s.PhaseMinY, s.PhaseMaxY,
                                   TPhasePicture().Color, whole ? nullptr : &sel);
  pic.Bold = BoldGraphs();
  return pic;
}

void TPhaseFaceForm::DrawPicture(QPainter& p, const QRect& area, bool whole, bool monochrome) {
  TPhasePicture pic = ViewPicture(whole);
  pic.Monochrome = monochrome;
  DrawPhase(p, area, pic);
}

QStringList TPhaseFaceForm::AnnotationLines() const {
  const QString x(QChar(PointLetter(Run.Abscissa)));
  const QString y = Run.Ordinate == kDerivativeOrdinate
                        ? QStringLiteral("d%1/dt").arg(x)
                        : QStringLiteral("точка ") + QChar(PointLetter(Run.Ordinate));
  const double step = AnalysedField ? AnalysedField->Step : 0;
  return {TitleLine(), QStringLiteral("Абсцисса: точка %1, ордината: %2").arg(x, y),
          TimeLine(Run.T, step)};
}

void TPhaseFaceForm::ShowCursor(QPoint pos) {
  const TPlotFrame f = PhaseFrame(PaintBox->rect(), ViewPicture(false));
  StatusBar->SetText(1, NumberText(f.ValueX(pos.x())));
  StatusBar->SetText(3, NumberText(f.ValueY(pos.y())));
}

}  // namespace vemo
