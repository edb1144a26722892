#include "frequency/godo_form.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "frequency/frequency_commands.h"
#include "frequency/frequency_state.h"
#include "frequency/godo_reports.h"
#include "frequency/godo_setup.h"
#include "frequency/oscillation.h"
#include "help/help_window.h"
#include "model/field.h"
#include "shell/cursors.h"
#include "shell/print_dlg.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/plot_form.h"
#include "simulation/setup_checks.h"

namespace vemo {

namespace {

// The plane's box follows the mouse without a button for the locator.
class TPlaneBox : public TPlotBox {
 public:
  using TPlotBox::TPlotBox;
  std::function<void(QPointF)> OnHover;

 protected:
  void mouseMoveEvent(QMouseEvent* e) override {
    if (OnHover) OnHover(e->position());
    TPlotBox::mouseMoveEvent(e);
  }
};

QLabel* LocatorValue(QWidget* parent, QGridLayout* grid, int row, const QString& name) {
  grid->addWidget(new QLabel(name, parent), row, 0);
  auto* value = new QLabel(parent);
  value->setMinimumWidth(90);
  grid->addWidget(value, row, 1);
  return value;
}

}  // namespace

TGodoForm::TGodoForm(TField& field, bool popov, int start, int end, const TZeroPoleForm& form,
                     Real delay, QWidget* parent)
    : TResultWindow(TResultKind::Hodograph, &field, parent),
      Popov(popov),
      StartPoint(start),
      EndPoint(end),
      Form(form),
      Delay(delay) {
  setWindowTitle(QStringLiteral("Годограф"));
  setMinimumSize(420, 300);
  PropertyBtn = new QPushButton(QStringLiteral("Свойства"), this);
  PropertyBtn->setObjectName(QStringLiteral("PropertyBtn"));
  PrintBtn = new QPushButton(QStringLiteral("Печать"), this);
  PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
  AboutBtn = new QPushButton(QStringLiteral("О системе"), this);
  AboutBtn->setObjectName(QStringLiteral("AboutBtn"));
  ProgressBar = new QProgressBar(this);
  ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
  ProgressBar->setTextVisible(false);
  ProgressBar->hide();
  connect(PropertyBtn, &QPushButton::clicked, this, [this] { PropertyBtnClick(); });
  connect(AboutBtn, &QPushButton::clicked, this, [this] { AboutBtnClick(); });
  connect(PrintBtn, &QPushButton::clicked, this, [this] { PrintBtnClick(); });

  auto* box = new TPlaneBox(this);
  box->setObjectName(QStringLiteral("PaintBox"));
  box->setMouseTracking(true);
  box->setCursor(ProgramCursor(crLocator));
  box->OnPaint = [this](QPainter& p, const QRect& r) { DrawPlane(p, r, Picture(false)); };
  box->OnHover = [this](QPointF pos) { ShowLocator(pos); };
  PaintBox = box;

  LocatorGroup = new QGroupBox(QStringLiteral("Локатор"), this);
  LocatorGroup->setObjectName(QStringLiteral("LocatorGroup"));
  auto* loc = new QGridLayout(LocatorGroup);
  ReLabel = LocatorValue(LocatorGroup, loc, 0, QStringLiteral("Re:"));
  ImLabel = LocatorValue(LocatorGroup, loc, 1, QStringLiteral("Im:"));
  PhiLabel = LocatorValue(LocatorGroup, loc, 2, QStringLiteral("φ:"));
  ALabel = LocatorValue(LocatorGroup, loc, 3, QStringLiteral("A:"));

  auto* buttons = new QHBoxLayout;
  for (QWidget* w : {static_cast<QWidget*>(PropertyBtn), static_cast<QWidget*>(PrintBtn),
                     static_cast<QWidget*>(AboutBtn)})
    buttons->addWidget(w);
  buttons->addSpacing(12);
  buttons->addWidget(ProgressBar, 1);
  buttons->addStretch();
  auto* body = new QHBoxLayout;
  body->addWidget(PaintBox, 1);
  auto* side = new QVBoxLayout;
  side->addWidget(LocatorGroup);
  side->addStretch();
  body->addLayout(side);
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(4, 4, 4, 4);
  top->addLayout(buttons);
  top->addLayout(body, 1);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  connect(PopupMenu1->addAction(QStringLiteral("Свойства")), &QAction::triggered, this,
          [this] { PropertyBtnClick(); });
  QAction* bold = PopupMenu1->addAction(QStringLiteral("Жирные графики"));
  bold->setCheckable(true);
  connect(PopupMenu1, &QMenu::aboutToShow, bold, [bold] { bold->setChecked(BoldGraphs()); });
  connect(bold, &QAction::triggered, this, [this](bool on) {
    BoldGraphs() = on;
    PaintBox->update();
  });
  QMenu* copy = PopupMenu1->addMenu(QStringLiteral("Копировать как картинку"));
  connect(copy->addAction(QStringLiteral("Все")), &QAction::triggered, this,
          [this] { CopyPicture(true); });
  connect(copy->addAction(QStringLiteral("Видимую часть")), &QAction::triggered, this,
          [this] { CopyPicture(false); });
  QMenu* save = PopupMenu1->addMenu(QStringLiteral("Сохранить в текстовый файл"));
  SaveHodographItem = save->addAction(QStringLiteral("Годограф W(s)"));
  SaveCurveItem = save->addAction(QStringLiteral("ЭККУ"));
  for (bool describing : {false, true})
    connect(describing ? SaveCurveItem : SaveHodographItem, &QAction::triggered, this,
            [this, describing] {
              const QString name = AskCurveFile(this, describing ? QStringLiteral("Сохранить ЭККУ")
                                                                 : QStringLiteral("Сохранить годограф"));
              if (!name.isEmpty()) SaveCurve(describing, name);
            });
  connect(PopupMenu1->addAction(QStringLiteral("Печать...")), &QAction::triggered, this,
          [this] { PrintBtnClick(); });
  InstallHelpKey(this, kHodographHelpContext);

  TakeSettings();
  UpdateItems();
  resize(760, 560);
}

void TGodoForm::TakeSettings() {
  const TSettings& s = PlotSettings();
  ShowHodograph = Popov || s.GodoWs;
  ShowCurve = !Popov && s.GodoWne;
  AutoscaleType = s.GodoAutoscaleType;
  Manual = {s.GodoReMin, s.GodoImMin, s.GodoReMax, s.GodoImMax};
  NeStep = s.GodoNeStep;
  LgwMin = s.LgwMin;
  LgwMax = s.LgwMax;
}

bool TGodoForm::Compute(TField& field) {
  TLoopRequest request;
  request.Popov = Popov;
  request.WantCurve = ShowCurve;
  request.StepDegrees = NeStep;
  ProgressBar->setValue(0);
  ProgressBar->setVisible(isVisible() && ShowCurve);
  // The bar is repainted at once: the computation does not give the event
  // loop a turn, so nothing else can happen to the window meanwhile.
  const auto progress = [this](int done, int max) {
    ProgressBar->setMaximum(std::max(1, max));
    ProgressBar->setValue(std::min(done, std::max(1, max)));
    if (ProgressBar->isVisible()) ProgressBar->repaint();
  };
  const bool ok = SplitNonlinearPart(field, StartPoint, EndPoint, request, Curves, progress);
  ProgressBar->hide();
  if (!ok) return false;
  // The modified hodograph is traced also when not drawn: the Popov line
  // needs it.
  if (ShowHodograph || Popov) {
    if (!TraceHodograph(Form, Delay, LgwMin, LgwMax, Curves)) return false;
  } else {
    Curves.H = THodograph{};
    Curves.HaveHodograph = false;
  }
  Rescale();
  UpdateItems();
  PaintBox->update();
  return true;
}

void TGodoForm::ShowRefusal() const {
  if (!Curves.Refusal.empty()) ShowMessage(Curves.Refusal);
}

void TGodoForm::Rescale() {
  const double popovK = Curves.HaveSector && Curves.Popov.Sector.Fits ? Curves.Popov.Sector.K : 0.0;
  Rect = HodographAutoscale(AutoscaleType, ShowHodograph ? &Curves.H.Points : nullptr,
                            Curves.HaveCurve ? &Curves.Curve.Points : nullptr,
                            Curves.HaveCurve && Curves.Curve.PulseFrequencyTable, Manual, popovK);
}

void TGodoForm::PrintBtnClick() {
  if (ProgressBar->isVisible()) return;  // the curves are being computed
  TPlotPrint plot;
  plot.Title = windowTitle();
  plot.Size = PaintBox->size();
  plot.Draw = [this](QPainter& p, const QRect& r, bool whole, bool mono) {
    DrawPlane(p, r, Picture(whole, mono));
  };
  plot.Annotate = [this](QPainter& p, const QRect& r, bool) {
    DrawAnnotationLines(p, r,
                        {AnnotationTitle(windowTitle(), AnalysedField),
                         QStringLiteral("Контур: от точки %1 до точки %2")
                             .arg(QChar(PointLetter(StartPoint)), QChar(PointLetter(EndPoint)))});
  };
  ShowPrintDialog(PlotPrintRequest(plot), this);
}

void TGodoForm::UpdateItems() {
  SaveHodographItem->setEnabled(Curves.HaveHodograph);
  SaveCurveItem->setEnabled(Curves.HaveCurve);
}

TPlanePicture TGodoForm::Picture(bool whole, bool monochrome) const {
  TPlanePicture pic;
  if (ShowHodograph && Curves.HaveHodograph) pic.Hodograph = &Curves.H.Points;
  if (Curves.HaveCurve) {
    pic.Describing = &Curves.Curve.Points;
    if (Curves.Curve.PulseFrequencyTable) pic.Ranks = &Curves.Curve.Ranks;
  }
  double popovK = 0.0;
  if (Curves.HaveSector && Curves.Popov.Sector.Fits) {
    popovK = Curves.Popov.Sector.K;
    pic.HasPopovPoint = true;
    pic.PopovPoint = -1.0 / popovK;
    pic.HasPopovLine = Curves.Popov.Line.Found;
    pic.PopovAngle = Curves.Popov.Line.Angle;
    pic.PopovLabel = QString::fromStdString(PopovPlotLabel(popovK));
  }
  pic.Rect = whole ? HodographAutoscale(kAutoscaleBoth, pic.Hodograph, pic.Describing,
                                        pic.Ranks != nullptr, Manual, popovK)
                   : Rect;
  pic.Bold = BoldGraphs();
  pic.Monochrome = monochrome;
  return pic;
}

void TGodoForm::ShowLocator(QPointF pos) {
  const TPlotFrame f = PlaneFrame(PaintBox->rect(), Picture(false));
  const double re = f.ValueX(pos.x()), im = f.ValueY(pos.y());
  ReLabel->setText(NumberText(re));
  ImLabel->setText(NumberText(im));
  PhiLabel->setText(NumberText(std::atan2(im, re) * 180.0 / 3.14159265358979323846) +
                    QStringLiteral("°"));
  ALabel->setText(NumberText(std::hypot(re, im)));
}

void TGodoForm::PropertyBtnClick() {
  // The window's own choices go back into the settings, so the dialog shows them.
  TSettings& s = PlotSettings();
  if (!Popov) {
    s.GodoWs = ShowHodograph;
    s.GodoWne = ShowCurve;
  }
  s.GodoAutoscaleType = AutoscaleType;
  s.GodoReMin = Manual.ReMin;
  s.GodoImMin = Manual.ImMin;
  s.GodoReMax = Manual.ReMax;
  s.GodoImMax = Manual.ImMax;
  s.GodoNeStep = NeStep;
  s.LgwMin = LgwMin;
  s.LgwMax = LgwMax;
  TGodoSetupDlg dlg(*AnalysedField, Popov, this);
  dlg.FixPoints(StartPoint, EndPoint);
  if (dlg.exec() != QDialog::Accepted) return;
  TakeSettings();
  RecomputeHodographWindow(*this);
}

QString TGodoForm::ClosedLoopReport() const {
  std::string text = ClosedLoopText(AnalyseClosedLoop(Curves.H));
  if (Curves.HaveCurve) text += OscillationsText(FindOscillations(Curves.H.Points, Curves.Curve));
  return QString::fromStdString(text);
}

void TGodoForm::AboutBtnClick() {
  if (Popov) {
    ShowPopovReport(Curves.Popov, this);
    return;
  }
  if (!ShowHodograph || !Curves.HaveHodograph) {
    ShowMessage(kNoHodographText);
    return;
  }
  ShowClosedLoopReport(ClosedLoopReport(), this);
}

QImage TGodoForm::PlanePicture(bool whole, bool monochrome) const {
  const TPlanePicture pic = Picture(whole, monochrome);
  return PlaneImage(pic, PaintBox->size().expandedTo(QSize(16, 16)));
}

void TGodoForm::CopyPicture(bool whole) {
  QApplication::clipboard()->setImage(PlanePicture(whole, PlotSettings().BlackWhiteClipboard));
}

bool TGodoForm::SaveCurve(bool describing, const QString& fileName) {
  if (describing ? !Curves.HaveCurve : !Curves.HaveHodograph) return false;
  return SaveCurveText(fileName, PointListText(describing ? Curves.Curve.Points : Curves.H.Points));
}

void TGodoForm::contextMenuEvent(QContextMenuEvent* e) {
  if (PaintBox->geometry().contains(e->pos())) PopupMenu1->popup(e->globalPos());
}

}  // namespace vemo
