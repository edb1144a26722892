#include "simulation/setup_checks.h"

#include <QLineEdit>

#include "shell/numtext.h"
#include "shell/program.h"
#include "simulation/engine.h"

namespace vemo {

bool EditNumber(QLineEdit* edit, double& out) {
  if (ParseNumber(edit->text().trimmed().toStdString(), out)) return true;
  ShowMessage(kBadNumberFormat);
  edit->setFocus();
  edit->selectAll();
  return false;
}

bool RejectEdit(QLineEdit* edit) {
  ShowMessage(kBadParameter);
  edit->setFocus();
  edit->selectAll();
  return false;
}

bool EditAtLeast(QLineEdit* edit, double min, double& out) {
  if (!EditNumber(edit, out)) return false;
  return out >= min ? true : RejectEdit(edit);
}

bool RunLengthAllowed(QLineEdit* viewTimeEdit, double viewTime, double step) {
  int64_t steps = 0;
  return CountRunSteps(0, step, viewTime, steps) ? true : RejectEdit(viewTimeEdit);
}

bool EditRange(QLineEdit* lowEdit, QLineEdit* highEdit, double& low, double& high) {
  if (!EditNumber(lowEdit, low) || !EditNumber(highEdit, high)) return false;
  return high > low ? true : RejectEdit(highEdit);
}

QString NumberText(double v) { return QString::fromStdString(FormatNumber(v)); }

}  // namespace vemo
