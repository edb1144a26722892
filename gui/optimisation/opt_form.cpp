#include "optimisation/opt_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtMath>

#include "optimisation/field_evaluator.h"
#include "optimisation/opt_params.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/plot_form.h"

namespace vemo {

TOptAnimation::TOptAnimation(QWidget* parent) : QWidget(parent) {
  timer_ = new QTimer(this);
  timer_->setInterval(80);
  connect(timer_, &QTimer::timeout, this, [this] {
    phase_ = (phase_ + 1) % 12;
    update();
  });
  setFixedSize(48, 48);
}

void TOptAnimation::Start() { timer_->start(); }
void TOptAnimation::Stop() { timer_->stop(); }
bool TOptAnimation::Running() const { return timer_->isActive(); }

void TOptAnimation::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(width() / 2.0, height() / 2.0);
  // Twelve dots on a circle, the one of the current phase darkest.
  for (int k = 0; k < 12; ++k) {
    const int age = (phase_ - k + 12) % 12;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128, 255 - age * 18));
    const double a = k * M_PI / 6.0;
    p.drawEllipse(QPointF(16 * std::cos(a), 16 * std::sin(a)), 3.5, 3.5);
  }
}

TOptForm::TOptForm(TJob job, QWidget* parent) : QDialog(parent), job_(std::move(job)) {
  setWindowTitle(QStringLiteral("Оптимизация..."));
  setModal(true);
  auto* top = new QGridLayout(this);
  Gauge1 = new QProgressBar(this);
  Gauge1->setObjectName(QStringLiteral("Gauge1"));
  Gauge1->setRange(0, 1000);
  Gauge1->setValue(0);
  Gauge1->setTextVisible(false);
  Gauge1->setMinimumWidth(260);
  Label2 = new QLabel(QString::fromUtf8(kNoTimeYet), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Animate1 = new TOptAnimation(this);
  CancelBtn = new QPushButton(QStringLiteral("Отмена"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  top->addWidget(Animate1, 0, 0, 2, 1);
  top->addWidget(Gauge1, 0, 1, 1, 2);
  top->addWidget(new QLabel(QStringLiteral("Осталось времени:"), this), 1, 1);
  top->addWidget(Label2, 1, 2);
  top->addWidget(CancelBtn, 2, 2, Qt::AlignRight);
  connect(CancelBtn, &QPushButton::clicked, this, &TOptForm::CancelBtnClick);

  Timer1 = new QTimer(this);
  Timer1->setInterval(10);
  connect(Timer1, &QTimer::timeout, this, &TOptForm::Timer1Timer);
  Timer1->start();
}

void TOptForm::Timer1Timer() {
  Timer1->stop();
  if (running_) return;
  // "Отмена" pressed before the first tick: nothing runs.
  if (cancelled_) {
    accept();
    return;
  }
  running_ = true;
  Animate1->Start();
  outcome_ = job_(progress_, [this] { ShowProgress(); });
  ShowProgress();
  running_ = false;
  Animate1->Stop();
  accept();
}

void TOptForm::ShowProgress() {
  Gauge1->setValue(progress_.Gauge());
  Label2->setText(QString::fromStdString(progress_.Label()));
  // Pending messages run here: the buttons, the animation, repaints.
  for (int k = 0; k < 11; ++k) QApplication::processEvents();
  if (OnProgress) OnProgress();
}

void TOptForm::CancelBtnClick() {
  cancelled_ = true;
  CancelBtn->setEnabled(false);
  Animate1->Stop();
  OptState().Stop = 1;
}

void TOptForm::closeEvent(QCloseEvent* event) {
  // The run lives inside this window: closing it is a cancel, and the window
  // goes when the run has ended.
  if (running_) {
    CancelBtnClick();
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TOptForm::reject() {
  if (running_) {
    CancelBtnClick();
    return;
  }
  QDialog::reject();
}

TOptOutcome RunOptForm(TField& field, QWidget* parent) {
  const TSettings& s = PlotSettings();
  TOptRunOptions options;
  options.Method = s.OptMethod;
  options.Setup = CriterionSettings(s);
  options.Setup.ViewTime = Prog.Clock.ViewTime;
  options.Setup.ErrorPoint = OptState().ErrorPoint;
  options.Workers = DefaultWorkers();
  OptState().TargetMode = 0;
  TOptForm form(
      [&](TOptProgress& progress, const std::function<void()>& display) {
        return RunOptimisation(field, s, options, progress, display);
      },
      parent);
  form.exec();
  return form.Outcome();
}

}  // namespace vemo
