#include "simulation/plot_form.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "shell/main_form.h"
#include "shell/settings.h"
#include "simulation/setup_checks.h"

namespace vemo {

TSettings& PlotSettings() { return ProgramSettings(); }

bool& BoldGraphs() {
  static bool bold = false;
  return bold;
}

TTimePlotForm::TTimePlotForm(TResultKind kind, TField* field, QWidget* parent)
    : TResultWindow(kind, field, parent) {
  auto* buttons = new QHBoxLayout;
  continueBtn_ = new QPushButton(QStringLiteral("Далее"), this);
  PropertyBtn = new QPushButton(QStringLiteral("Св-ва"), this);
  PropertyBtn->setObjectName(QStringLiteral("PropertyBtn"));
  PrintBtn = new QPushButton(QStringLiteral("Печать"), this);
  PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
  connect(PrintBtn, &QPushButton::clicked, this, [this] { PrintBtnClick(); });
  StaticText1 = new QLabel(QStringLiteral("Расчет..."), this);
  StaticText1->setObjectName(QStringLiteral("StaticText1"));
  ProgressBar = new QProgressBar(this);
  ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
  ProgressBar->setRange(0, 1000);
  ProgressBar->setTextVisible(false);
  cancelBtn_ = new QPushButton(QStringLiteral("Отмена"), this);
  for (QWidget* w : {static_cast<QWidget*>(continueBtn_), static_cast<QWidget*>(PropertyBtn),
                     static_cast<QWidget*>(PrintBtn)})
    buttons->addWidget(w);
  buttons->addSpacing(12);
  buttons->addWidget(StaticText1);
  buttons->addWidget(ProgressBar, 1);
  buttons->addWidget(cancelBtn_);
  buttons->addStretch();
  StaticText1->hide();
  ProgressBar->hide();
  cancelBtn_->hide();
  connect(cancelBtn_, &QPushButton::clicked, this, [this] { abort_ = true; });

  PaintBox = new TPlotBox(this);
  PaintBox->setObjectName(QStringLiteral("PaintBox"));
  PaintBox->OnPaint = [this](QPainter& p, const QRect& r) { DrawPicture(p, r, false, false); };
  PaintBox->OnCursor = [this](QPoint pos) { ShowCursor(pos); };
  MakePlotSliders(this, HPaintBox, VPaintBox, [this] { PaintBox->update(); });
  StatusBar = new TPanelBar(this);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));

  plotGrid_ = LayOutPlotWindow(this, buttons, PaintBox, HPaintBox, VPaintBox, StatusBar);
  idleWidgets_ = {continueBtn_, PropertyBtn, PrintBtn};

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  resize(640, 460);
}

void TTimePlotForm::AddCopyMenu(const QString& title) {
  QMenu* copy = PopupMenu1->addMenu(title);
  QAction* whole = copy->addAction(QStringLiteral("В&есь график"));
  QAction* visible = copy->addAction(QStringLiteral("&Видимую часть"));
  connect(whole, &QAction::triggered, this, [this] { CopyPicture(true); });
  connect(visible, &QAction::triggered, this, [this] { CopyPicture(false); });
  idleActions_.push_back(copy->menuAction());
}

QAction* TTimePlotForm::AddBoldItem(const QString& title) {
  QAction* bold = PopupMenu1->addAction(title);
  bold->setCheckable(true);
  connect(PopupMenu1, &QMenu::aboutToShow, bold, [bold] { bold->setChecked(BoldGraphs()); });
  connect(bold, &QAction::triggered, this, [this](bool on) {
    BoldGraphs() = on;
    PaintBox->update();
  });
  return bold;
}

QImage TTimePlotForm::Picture(bool whole, bool monochrome) {
  const QSize size = PaintBox->size().expandedTo(QSize(16, 16));
  QImage img(size, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  DrawPicture(p, img.rect(), whole, monochrome);
  p.end();
  return img;
}

void TTimePlotForm::CopyPicture(bool whole) {
  QApplication::clipboard()->setImage(Picture(whole, PlotSettings().BlackWhiteClipboard));
}

void TTimePlotForm::PrintBtnClick() {
  if (running_) return;
  TPlotPrint plot;
  plot.Title = windowTitle();
  plot.Size = PaintBox->size();
  plot.Draw = [this](QPainter& p, const QRect& r, bool whole, bool mono) {
    DrawPicture(p, r, whole, mono);
  };
  plot.Annotate = [this](QPainter& p, const QRect& r, bool mono) { DrawAnnotation(p, r, mono); };
  ShowPrintDialog(PlotPrintRequest(plot), this);
}

void TTimePlotForm::DrawAnnotation(QPainter& p, const QRect& area, bool) {
  DrawAnnotationLines(p, area, AnnotationLines());
}

QString TTimePlotForm::TimeLine(double t, double step) {
  return QStringLiteral("Время: от 0 до %1 с, шаг %2 с").arg(NumberText(t), NumberText(step));
}

void TTimePlotForm::BeginRun() {
  running_ = true;
  abort_ = false;
  for (QWidget* w : idleWidgets_) w->setEnabled(false);
  for (QAction* a : idleActions_) a->setEnabled(false);
  ProgressBar->setValue(0);
  StaticText1->show();
  ProgressBar->show();
  cancelBtn_->show();
}

void TTimePlotForm::EndRun() {
  running_ = false;
  for (QWidget* w : idleWidgets_) w->setEnabled(true);
  for (QAction* a : idleActions_) a->setEnabled(true);
  StaticText1->hide();
  ProgressBar->hide();
  cancelBtn_->hide();
  ResetSliders();
  PaintBox->update();
  if (closePending_)
    QTimer::singleShot(0, this, [this] {
      if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
      else
        close();
    });
}

bool TTimePlotForm::ProgressPoint(double fraction) {
  const double f = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
  ProgressBar->setValue(static_cast<int>(f * 1000));
  for (int i = 0; i < 11; ++i) QApplication::processEvents();
  return !abort_;
}

void TTimePlotForm::ResetSliders() {
  HPaintBox->ResetQuietly();
  VPaintBox->ResetQuietly();
}

void TTimePlotForm::closeEvent(QCloseEvent* e) {
  // The run loop of a segment is below us on the stack: stop it at its next
  // progress point and close afterwards.
  if (running_) {
    abort_ = true;
    closePending_ = true;
    e->ignore();
    return;
  }
  FinishRun();
  TResultWindow::closeEvent(e);
}

void TTimePlotForm::contextMenuEvent(QContextMenuEvent* e) {
  if (PaintBox->geometry().contains(e->pos())) PopupMenu1->popup(e->globalPos());
}

}  // namespace vemo
