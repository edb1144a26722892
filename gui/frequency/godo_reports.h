// The reports of the hodograph window's "О системе": TForm7 ("О замкнутой
// системе": stability, margins, possible oscillations) and TPopovWnd
// ("Критерий Попова": the sector, the line and the conclusion).
#pragma once
#include <QDialog>

#include "frequency/popov.h"

class QLabel;

namespace vemo {

class TForm7 : public QDialog {
  Q_OBJECT
 public:
  // report: the lines of the closed-loop verdict and the oscillations.
  TForm7(const QString& report, QWidget* parent = nullptr);
  QLabel* Verdict = nullptr;  // the first line, "Устойчива" or "Неустойчива!"
  QLabel* Details = nullptr;  // the rest
};

class TPopovWnd : public QDialog {
  Q_OBJECT
 public:
  TPopovWnd(const TPopovVerdict& verdict, QWidget* parent = nullptr);
  QLabel* NonlinearityValue = nullptr;
  QLabel* LineValue = nullptr;
  QLabel* ConclusionValue = nullptr;
};

void ShowClosedLoopReport(const QString& report, QWidget* parent);
void ShowPopovReport(const TPopovVerdict& verdict, QWidget* parent);

}  // namespace vemo
