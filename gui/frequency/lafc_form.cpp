#include "frequency/lafc_form.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "frequency/frequency_state.h"
#include "frequency/lach_setup.h"
#include "help/help_window.h"
#include "model/errors.h"
#include "model/field.h"
#include "shell/print_dlg.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/plot_form.h"
#include "simulation/setup_checks.h"

namespace vemo {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// The status bar: (name of the plot), value, "lgw:", lg w, "w[rad/сек]:", w.
void MakePanels(TPanelBar* bar) {
  bar->Panels = {{80, QString(), false, QColor(), 0},
                 {110, QString(), false, QColor(), 0},
                 {40, QStringLiteral("lgw:"), false, QColor(), 0},
                 {110, QString(), false, QColor(), 0},
                 {100, QStringLiteral("w[rad/сек]:"), false, QColor(), 0},
                 {120, QString(), false, QColor(), 0}};
}

}  // namespace

TLAFCForm::TLAFCForm(TField& field, int start, int end, const TZeroPoleForm& form, Real delay,
                     QWidget* parent)
    : TResultWindow(TResultKind::Bode, &field, parent),
      StartPoint(start),
      EndPoint(end),
      Form(form),
      Delay(delay) {
  setWindowTitle(QStringLiteral("ЛАЧХ/ФЧХ"));
  setMinimumSize(380, 285);

  PropertyBtn = new QPushButton(QStringLiteral("Св-ва"), this);
  PropertyBtn->setObjectName(QStringLiteral("PropertyBtn"));
  PrintBtn = new QPushButton(QStringLiteral("Печать"), this);
  PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
  connect(PropertyBtn, &QPushButton::clicked, this, [this] { PropertyBtnClick(); });
  connect(PrintBtn, &QPushButton::clicked, this, [this] {
    PrintPlots(LShown && PhiShown ? Both : LShown ? LPlot : PhiPlot);
  });

  PaintBox1 = new TPlotBox(this);
  PaintBox1->setObjectName(QStringLiteral("PaintBox1"));
  PaintBox2 = new TPlotBox(this);
  PaintBox2->setObjectName(QStringLiteral("PaintBox2"));
  // The two plots have the same columns: the response evaluated for one
  // serves the other.
  PaintBox1->OnPaint = [this](QPainter& p, const QRect& r) {
    DrawBodePlot(p, r, Picture(false), &samples_);
  };
  PaintBox2->OnPaint = [this](QPainter& p, const QRect& r) {
    DrawBodePlot(p, r, Picture(true), &samples_);
  };
  PaintBox1->OnCursor = [this](QPoint pos) { ShowCursor(false, pos); };
  PaintBox2->OnCursor = [this](QPoint pos) { ShowCursor(true, pos); };

  HPaintBox = new TRangeSlider(Qt::Horizontal, this);
  HPaintBox->setObjectName(QStringLiteral("HPaintBox"));
  VPaintBox1 = new TRangeSlider(Qt::Vertical, this);
  VPaintBox1->setObjectName(QStringLiteral("VPaintBox1"));
  VPaintBox2 = new TRangeSlider(Qt::Vertical, this);
  VPaintBox2->setObjectName(QStringLiteral("VPaintBox2"));
  HPaintBox->OnChange = [this] { HorizontalChanged(); };
  VPaintBox1->OnChange = [this] { PaintBox1->update(); };
  VPaintBox2->OnChange = [this] { PaintBox2->update(); };

  StatusBar = new TPanelBar(this);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  MakePanels(StatusBar);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(PropertyBtn);
  buttons->addWidget(PrintBtn);
  buttons->addStretch();
  auto* grid = new QGridLayout;
  grid->setSpacing(2);
  grid->addWidget(PaintBox1, 0, 0);
  grid->addWidget(VPaintBox1, 0, 1);
  grid->addWidget(PaintBox2, 1, 0);
  grid->addWidget(VPaintBox2, 1, 1);
  grid->addWidget(HPaintBox, 2, 0);
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(4, 4, 4, 0);
  top->addLayout(buttons);
  top->addLayout(grid, 1);
  top->addWidget(StatusBar);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  connect(PopupMenu1->addAction(QStringLiteral("Свойства")), &QAction::triggered, this,
          [this] { PropertyBtnClick(); });
  QAction* bold = PopupMenu1->addAction(QStringLiteral("Жирные графики"));
  bold->setCheckable(true);
  connect(PopupMenu1, &QMenu::aboutToShow, bold, [bold] { bold->setChecked(BoldGraphs()); });
  connect(bold, &QAction::triggered, this, [this](bool on) {
    BoldGraphs() = on;
    PaintBox1->update();
    PaintBox2->update();
  });
  const std::pair<const char*, TWhich> plots[] = {
      {"ЛАЧХ", LPlot}, {"ФЧХ", PhiPlot}, {"ЛАЧХ и ФЧХ", Both}};
  QMenu* copy = PopupMenu1->addMenu(QStringLiteral("Копировать как картинку"));
  for (const auto& [title, which] : plots)
    connect(copy->addAction(QString::fromUtf8(title)), &QAction::triggered, this,
            [this, which = which] { CopyPicture(which); });
  QMenu* save = PopupMenu1->addMenu(QStringLiteral("Сохранить в текстовый файл"));
  for (bool phase : {false, true})
    connect(save->addAction(phase ? QStringLiteral("ФЧХ") : QStringLiteral("ЛАЧХ")),
            &QAction::triggered, this, [this, phase] {
              const QString name = AskCurveFile(
                  this, phase ? QStringLiteral("Сохранить ФЧХ") : QStringLiteral("Сохранить ЛАЧХ"));
              if (!name.isEmpty()) SaveCurve(phase, name);
            });
  QMenu* print = PopupMenu1->addMenu(QStringLiteral("Печать..."));
  for (const auto& [title, which] : plots)
    connect(print->addAction(QString::fromUtf8(title)), &QAction::triggered, this,
            [this, which = which] { PrintPlots(which); });
  InstallHelpKey(this, kBodeHelpContext);

  ApplySettings();
  Autoscale();
  SlidersFromRanges();
  LayOut();
  resize(720, 560);
}

void TLAFCForm::ApplySettings() {
  const TSettings& s = PlotSettings();
  Ranges.LAutoscale = s.LafcAutoscale;
  Ranges.PhiAutoscale = s.PfcAutoscale;
  Ranges.LMin = s.LafcMin;
  Ranges.LMax = s.LafcMax;
  Ranges.PhiMin = s.PfchMin * kDegree;
  Ranges.PhiMax = s.PfchMax * kDegree;
  LShown = FrequencyChoices().LShown;
  PhiShown = FrequencyChoices().PhiShown || !LShown;
}

bool TLAFCForm::Autoscale() {
  TBodeRanges r = Ranges;
  if (!BodeAutoscale(Form, Delay, LgwMin, LgwMax, r)) return false;
  Ranges = r;
  VPaintBox1->ResetQuietly();
  VPaintBox2->ResetQuietly();
  return true;
}

// The horizontal slider spans lg w from -8 to 8; the window keeps its exact
// range until the slider is moved.
void TLAFCForm::SlidersFromRanges() {
  recalculating_ = true;
  HPaintBox->SetSelection(LgwToSlider(LgwMin), LgwToSlider(LgwMax));
  recalculating_ = false;
}

void TLAFCForm::HorizontalChanged() {
  if (recalculating_) return;
  LgwMin = SliderToLgw(HPaintBox->Low());
  LgwMax = SliderToLgw(HPaintBox->High());
  PaintBox1->update();
  PaintBox2->update();
}

void TLAFCForm::LayOut() {
  PaintBox1->setVisible(LShown);
  VPaintBox1->setVisible(LShown);
  PaintBox2->setVisible(PhiShown);
  VPaintBox2->setVisible(PhiShown);
  PaintBox1->update();
  PaintBox2->update();
}

TBodePicture TLAFCForm::Picture(bool phase, bool monochrome) const {
  TBodePicture pic;
  pic.Form = &Form;
  pic.Delay = Delay;
  pic.Phase = phase;
  pic.LgwMin = LgwMin;
  pic.LgwMax = LgwMax;
  const TRangeSlider* v = phase ? VPaintBox2 : VPaintBox1;
  const double min = phase ? Ranges.PhiMin : Ranges.LMin;
  const double max = phase ? Ranges.PhiMax : Ranges.LMax;
  // Slider positions counted from the top of the range.
  SliderWindow(min, max, TRangeSlider::kFull - v->High(), TRangeSlider::kFull - v->Low(), pic.Top,
               pic.Bottom);
  pic.Bold = BoldGraphs();
  pic.Monochrome = monochrome;
  return pic;
}

void TLAFCForm::ShowCursor(bool phase, QPoint pos) {
  const TPlotBox* box = phase ? PaintBox2 : PaintBox1;
  const TBodeFrame f = BodeFrame(box->rect(), Picture(phase));
  const double value = f.ValueAt(pos.y());
  const double lgw = f.LgwAt(pos.x());
  StatusBar->SetText(0, BodeReadOutName(phase));
  StatusBar->SetText(1, NumberText(phase ? value / kDegree : value));
  StatusBar->SetText(3, NumberText(lgw));
  StatusBar->SetText(5, NumberText(std::pow(10.0, lgw)));
}

void TLAFCForm::PropertyBtnClick() {
  // The window's own flags and limits go back into the settings first, so
  // that the dialog shows them.
  TSettings& s = PlotSettings();
  s.LafcAutoscale = Ranges.LAutoscale;
  s.PfcAutoscale = Ranges.PhiAutoscale;
  s.LafcMin = Ranges.LMin;
  s.LafcMax = Ranges.LMax;
  s.PfchMin = Ranges.PhiMin / kDegree;
  s.PfchMax = Ranges.PhiMax / kDegree;
  s.LgwMin = LgwMin;
  s.LgwMax = LgwMax;
  FrequencyChoices().LShown = LShown;
  FrequencyChoices().PhiShown = PhiShown;
  TLACHSetupDlg dlg(*AnalysedField, this);
  dlg.FixPoints(StartPoint, EndPoint);
  if (dlg.exec() != QDialog::Accepted) return;
  ApplySettings();
  Autoscale();
  LayOut();
}

QImage TLAFCForm::PlotPicture(TWhich which, bool monochrome) const {
  // The size of a plot's box; a hidden plot takes the size of the other.
  const TPlotBox* shown = LShown ? PaintBox1 : PaintBox2;
  const QSize box = shown->size().expandedTo(QSize(16, 16));
  const TBodePicture l = Picture(false, monochrome), phi = Picture(true, monochrome);
  if (which == Both) return BodeImage(&l, &phi, QSize(box.width(), 2 * box.height()));
  return BodeImage(which == LPlot ? &l : nullptr, which == PhiPlot ? &phi : nullptr, box);
}

void TLAFCForm::PrintPlots(TWhich which) {
  static const char* const kTitles[] = {"ЛАЧХ и ФЧХ", "ЛАЧХ", "ФЧХ"};
  TPlotPrint plot;
  plot.Title = QString::fromUtf8(kTitles[which]);
  // The page of both plots is 1000 x 1200 units, of one 1000 x 600.
  plot.Size = QSize(1000, which == Both ? 1200 : 600);
  plot.WholeAvailable = false;
  plot.Draw = [this, which](QPainter& p, const QRect& r, bool, bool mono) {
    const TBodePicture l = Picture(false, mono), phi = Picture(true, mono);
    DrawBodePlots(p, r, which != PhiPlot ? &l : nullptr, which != LPlot ? &phi : nullptr);
  };
  plot.Annotate = [this, title = plot.Title](QPainter& p, const QRect& r, bool) {
    DrawAnnotationLines(
        p, r,
        {AnnotationTitle(title, AnalysedField),
         QStringLiteral("Контур: от точки %1 до точки %2")
             .arg(QChar(PointLetter(StartPoint)), QChar(PointLetter(EndPoint))),
         QStringLiteral("lg w: от %1 до %2").arg(NumberText(LgwMin), NumberText(LgwMax))});
  };
  ShowPrintDialog(PlotPrintRequest(plot), this);
}

void TLAFCForm::CopyPicture(TWhich which) {
  QApplication::clipboard()->setImage(PlotPicture(which, PlotSettings().BlackWhiteClipboard));
}

bool TLAFCForm::SaveCurve(bool phase, const QString& fileName) {
  std::string text;
  if (!BodeCurveText(Form, Delay, LgwMin, LgwMax, phase, text)) {
    ShowMessage(ErrorMessage(kMathErrorCode));
    return false;
  }
  return SaveCurveText(fileName, text);
}

void TLAFCForm::contextMenuEvent(QContextMenuEvent* e) {
  for (const TPlotBox* box : {PaintBox1, PaintBox2})
    if (box->isVisible() && box->geometry().contains(e->pos())) PopupMenu1->popup(e->globalPos());
}

}  // namespace vemo
