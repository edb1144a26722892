#include "simulation/transient_form.h"

#include <QAction>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <QFileDialog>
#include <QMenu>
#include <QGridLayout>
#include <QPushButton>
#include <QToolButton>
#include <cmath>

#include "canvas/qt_canvas.h"
#include "model/field.h"
#include "shell/file_replace.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/setup_checks.h"
#include "simulation/time_windows.h"
#include "simulation/transient_plot.h"

namespace vemo {

namespace {

// A value read from a pixel position, to the four digits the pixel can tell.
QString ReadOut(double v) {
  if (v == 0 || !std::isfinite(v)) return NumberText(0);
  const double digits = 4 - std::ceil(std::log10(std::fabs(v)));
  const double scale = std::pow(10.0, digits);
  const double r = std::isfinite(scale) && scale > 0 ? std::round(v * scale) / scale : v;
  return NumberText(r);
}

}  // namespace

ThtForm::ThtForm(TField& field, QWidget* parent)
    : TTimePlotForm(TResultKind::Transient, &field, parent) {
  setWindowTitle(QStringLiteral("Переходный процесс"));
  PlayBtn1 = continueBtn_;
  PlayBtn1->setObjectName(QStringLiteral("PlayBtn1"));
  CancelBtn = cancelBtn_;
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  connect(PlayBtn1, &QPushButton::clicked, this, [this] { PlayBtn1Click(); });
  PlayBtn2 = new QToolButton(this);
  PlayBtn2->setObjectName(QStringLiteral("PlayBtn2"));
  PlayBtn2->setToolTip(QStringLiteral("Далее"));
  PlayBtn2->setAutoRaise(true);
  PlayBtn2->setArrowType(Qt::RightArrow);
  PlayBtn2->setFixedSize(HPaintBox->height(), HPaintBox->height());
  plotGrid_->addWidget(PlayBtn2, 1, 0);
  idleWidgets_.push_back(PlayBtn2);
  connect(PlayBtn2, &QToolButton::clicked, this, [this] { PlayBtn1Click(); });
  connect(PropertyBtn, &QPushButton::clicked, this, [this] { PropertyBtnClick(); });

  QAction* props = PopupMenu1->addAction(QStringLiteral("&Свойства"));
  connect(props, &QAction::triggered, this, [this] { PropertyBtnClick(); });
  AddBoldItem(QStringLiteral("&Жирные графики"));
  QAction* next = PopupMenu1->addAction(QStringLiteral("&Далее..."));
  connect(next, &QAction::triggered, this, [this] { PlayBtn1Click(); });
  AddCopyMenu(QStringLiteral("Копировать как картинку..."));
  QMenu* save = PopupMenu1->addMenu(QStringLiteral("Сохранить в тектовый файл"));
  for (int k = 0; k < kPointCount; ++k) {
    QAction* item = save->addAction(QStringLiteral("График &") + QChar(PointLetter(k)));
    connect(item, &QAction::triggered, this, [this, k] {
      const QString name = QFileDialog::getSaveFileName(
          this, QStringLiteral("Сохранить переходный процесс"), QString(),
          QStringLiteral("Текстовые файлы (*.txt);;Все файлы (*)"));
      if (!name.isEmpty()) SaveCurve(k, name);
    });
    SaveItems.push_back(item);
  }
  idleActions_.insert(idleActions_.end(), {props, next, save->menuAction()});
}

ThtForm::~ThtForm() { Run.Close(); }

void ThtForm::ApplySettings() {
  const TSettings& s = PlotSettings();
  Run.Scale.AutoScale = s.HtAutoScale;
  Run.Scale.SingleScale = s.HtSingleScale;
  if (!s.HtAutoScale) {
    Run.Scale.Min = s.HtMin;
    Run.Scale.Max = s.HtMax;
  }
}

void ThtForm::Start() {
  TField& field = *AnalysedField;
  ApplySettings();
  Run.Open(field, Prog.Clock.ViewTime, ShownPoints(field));
  StatusBar->Panels.clear();
  StatusBar->Panels.push_back({80, QStringLiteral("Время:"), false, QColor(), 0});
  for (size_t k = 0; k < Run.Observed.size(); ++k) {
    TPanelBar::TPanel panel;
    panel.Width = 90;
    panel.Text = QString(QChar(PointLetter(Run.Observed[k]))) + QStringLiteral(":     ");
    panel.HasSquare = true;
    panel.SquareX = 84 + 90 * static_cast<int>(k);
    StatusBar->Panels.push_back(panel);
  }
  UpdatePanels();
  for (int k = 0; k < kPointCount; ++k) {
    bool observed = false;
    for (int o : Run.Observed) observed = observed || o == k;
    SaveItems[k]->setEnabled(observed);
  }
  RunSegment();
}

void ThtForm::UpdatePanels() {
  for (size_t k = 0; k < Run.Observed.size(); ++k)
    StatusBar->Panels[k + 1].Square = ToQColor(AnalysedField->Points[Run.Observed[k]].Color);
  StatusBar->update();
}

void ThtForm::RunSegment() {
  if (Running()) return;
  TField& field = *AnalysedField;
  BeginRun();
  // The samples are one step apart: a step changed in the setup dialog
  // meanwhile applies to the next run, not to the rest of this one.
  const double userStep = field.Step;
  field.Step = Run.Dt;
  const double t0 = Run.T;
  Run.Progress = [this, t0](double t) {
    const double span = Run.ViewEnd - t0;
    return ProgressPoint(span > 0 ? (t - t0) / span : 1.0);
  };
  Run.RunSegment();
  Run.Progress = nullptr;
  field.Step = userStep;
  EndRun();
}

void ThtForm::PlayBtn1Click() {
  if (!Running()) RunSegment();
}

void ThtForm::PropertyBtnClick() {
  if (Running()) return;
  if (!ShowTransientSetup(*AnalysedField, this)) return;
  ApplySettings();
  Run.Rescale();
  UpdatePanels();
  PaintBox->update();
}

bool ThtForm::SaveCurve(int k, const QString& fileName) {
  int index = -1;
  for (size_t i = 0; i < Run.Observed.size(); ++i)
    if (Run.Observed[i] == k) index = static_cast<int>(i);
  if (index < 0) return false;
  const std::string text = Run.CurveText(index);
  if (!ReplaceFileContents(fileName.toStdString(), text.data(), text.size())) {
    ShowMessage(kWriteError);
    return false;
  }
  return true;
}

TPlotSelection ThtForm::Selection() const {
  TPlotSelection sel;
  sel.TimeLo = HPaintBox->LowFraction();
  sel.TimeHi = HPaintBox->HighFraction();
  sel.ValueLo = VPaintBox->LowFraction();
  sel.ValueHi = VPaintBox->HighFraction();
  return sel;
}

void ThtForm::DrawPicture(QPainter& p, const QRect& area, bool whole, bool monochrome) {
  const TPlotSelection sel = Selection();
  TTransientPicture pic = TransientPicture(Run, whole ? nullptr : &sel);
  if (whole) {
    pic.TimeFrom = Run.Margin;
    pic.TimeTo = Run.T > Run.Margin ? Run.T : Run.Margin + 1e-9;
  }
  pic.Bold = BoldGraphs();
  pic.Monochrome = monochrome;
  DrawTransient(p, area, pic);
}

QStringList ThtForm::AnnotationLines() const {
  return {TitleLine(), TimeLine(Run.T, Run.Dt)};
}

void ThtForm::DrawAnnotation(QPainter& p, const QRect& area, bool monochrome) {
  TTimePlotForm::DrawAnnotation(p, area, monochrome);
  const int step = std::max(1, area.height() / 4);
  const QRect line(area.left(), area.top() + 2 * step, area.width(), step);
  const QFontMetrics fm(p.font());
  const QString label = QStringLiteral("Точки:");
  p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, label);
  int x = line.left() + fm.horizontalAdvance(label) + fm.horizontalAdvance(QLatin1Char(' '));
  const int stroke = 3 * fm.horizontalAdvance(QLatin1Char('M'));
  for (int k : Run.Observed) {
    const TViewPoint& pt = AnalysedField->Points[k];
    if (!pt.Shown) continue;
    p.save();
    p.setPen(CurvePen(pt.Color, true, monochrome));
    p.drawLine(x, line.center().y(), x + stroke, line.center().y());
    p.restore();
    x += stroke + fm.horizontalAdvance(QLatin1Char(' '));
    const QString letter(QChar(PointLetter(k)));
    p.drawText(QRect(x, line.top(), fm.horizontalAdvance(letter) + 1, line.height()),
               Qt::AlignLeft | Qt::AlignVCenter, letter);
    x += 2 * fm.horizontalAdvance(QStringLiteral("M "));
  }
}

void ThtForm::ShowCursor(QPoint pos) {
  const TPlotSelection sel = Selection();
  const TTransientPicture pic = TransientPicture(Run, &sel);
  const TPlotFrame f = TransientFrame(PaintBox->rect(), pic);
  StatusBar->SetText(0, QStringLiteral("Время: ") + ReadOut(f.ValueX(pos.x())));
  const double v = f.ValueY(pos.y());
  for (size_t k = 0; k < Run.Observed.size(); ++k) {
    double shown = v;
    if (pic.Percent) {
      const TViewPoint& pt = AnalysedField->Points[Run.Observed[k]];
      shown = v * std::max(std::fabs(pt.Low), std::fabs(pt.High)) * 0.01;
    }
    StatusBar->SetText(k + 1, QString(QChar(PointLetter(Run.Observed[k]))) +
                                  QStringLiteral(": ") + ReadOut(shown));
  }
}

}  // namespace vemo
