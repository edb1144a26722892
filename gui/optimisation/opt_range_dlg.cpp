#include "optimisation/opt_range_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "optimisation/opt_params.h"
#include "simulation/setup_checks.h"

namespace vemo {

TOptRangeDlg::TOptRangeDlg(TOptParam& param, const QString& name, QWidget* parent)
    : QDialog(parent), param_(param) {
  setWindowTitle(QStringLiteral("Диапазон"));
  auto* top = new QVBoxLayout(this);
  TitleLabel = new QLabel(name, this);
  QFont bold = TitleLabel->font();
  bold.setBold(true);
  TitleLabel->setFont(bold);
  top->addWidget(TitleLabel);

  auto* grid = new QGridLayout;
  Edit1 = new QLineEdit(NumberText(param.Lower), this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit2 = new QLineEdit(NumberText(param.Upper), this);
  Edit2->setObjectName(QStringLiteral("Edit2"));
  grid->addWidget(new QLabel(QStringLiteral("Нижняя граница:"), this), 0, 0);
  grid->addWidget(Edit1, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Верхняя граница:"), this), 1, 0);
  grid->addWidget(Edit2, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Текущее значение:"), this), 2, 0);
  ValueLabel = new QLabel(param.Value ? NumberText(*param.Value) : QString(), this);
  grid->addWidget(ValueLabel, 2, 1);
  top->addLayout(grid);

  auto* type = new QGroupBox(QStringLiteral("Тип параметра:"), this);
  auto* types = new QVBoxLayout(type);
  LinearBtn = new QRadioButton(QStringLiteral("[-∞; +∞]"), type);
  LogBtn = new QRadioButton(QStringLiteral("[0; +∞]"), type);
  (param.LogScale ? LogBtn : LinearBtn)->setChecked(true);
  types->addWidget(LinearBtn);
  types->addWidget(LogBtn);
  top->addWidget(type);

  auto* box = new QDialogButtonBox(this);
  OKBtn = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  OKBtn->setDefault(true);
  QPushButton* cancel = box->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  top->addWidget(box);
}

bool TOptRangeDlg::OKBtnClick() {
  double lower = 0, upper = 0;
  if (!EditRange(Edit1, Edit2, lower, upper)) return false;
  param_.LogScale = LogBtn->isChecked() ? 1 : 0;
  param_.Lower = lower;
  param_.Upper = upper;
  accept();
  return true;
}

}  // namespace vemo
