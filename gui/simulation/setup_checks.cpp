#include "simulation/setup_checks.h"

#include <QBoxLayout>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

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

QPushButton* AddOkCancel(QDialog* dialog, QBoxLayout* layout, const QString& okCaption,
                         const std::function<void()>& ok) {
  auto* box = new QDialogButtonBox(dialog);
  QPushButton* okBtn = box->addButton(okCaption, QDialogButtonBox::AcceptRole);
  okBtn->setObjectName(QStringLiteral("OkBtn"));
  okBtn->setDefault(true);
  QPushButton* cancel = box->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  QObject::connect(okBtn, &QPushButton::clicked, dialog, ok);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  layout->addWidget(box);
  return okBtn;
}

}  // namespace vemo
