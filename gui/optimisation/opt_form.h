// TOptForm ("Оптимизация..."): the modal progress window of an optimisation
// or a network training. Its one-shot 10 ms timer starts the run, which then
// goes on inside the window, showing the gauge, the remaining time and an
// animation, and letting pending messages run at its progress points;
// "Отмена" sets the cancel flag. The window closes when the run ends.
#pragma once
#include <QDialog>
#include <functional>

#include "optimisation/optimise.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace vemo {

// A turning wheel of dots: the window's sign that the run is alive.
class TOptAnimation : public QWidget {
  Q_OBJECT
 public:
  explicit TOptAnimation(QWidget* parent = nullptr);
  void Start();
  void Stop();
  bool Running() const;
  QSize sizeHint() const override { return {48, 48}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QTimer* timer_ = nullptr;
  int phase_ = 0;
};

class TOptForm : public QDialog {
  Q_OBJECT
 public:
  // The run: it gets the progress to fill and the display to call.
  using TJob = std::function<TOptOutcome(TOptProgress&, const std::function<void()>& display)>;
  explicit TOptForm(TJob job, QWidget* parent = nullptr);

  QProgressBar* Gauge1 = nullptr;
  QLabel* Label2 = nullptr;
  TOptAnimation* Animate1 = nullptr;
  QPushButton* CancelBtn = nullptr;
  QTimer* Timer1 = nullptr;

  void Timer1Timer();
  void CancelBtnClick();
  // Called after every display update (tests press "Отмена" from here).
  std::function<void()> OnProgress;
  const TOptOutcome& Outcome() const { return outcome_; }
  bool Running() const { return running_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void ShowProgress();
  TJob job_;
  TOptProgress progress_;
  TOptOutcome outcome_;
  bool running_ = false;
  bool cancelled_ = false;
};

// Runs the optimisation of the table's parameters on the prepared field in a
// modal TOptForm (the program's settings, the error point of the optimiser's
// state, the view time, on every core). Returns the outcome.
TOptOutcome RunOptForm(TField& field, QWidget* parent);

}  // namespace vemo
