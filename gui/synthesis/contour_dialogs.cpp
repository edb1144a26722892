#include "synthesis/contour_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "frequency/frequency_state.h"
#include "help/help_window.h"
#include "simulation/setup_checks.h"
#include "synthesis/inout.h"
#include "synthesis/structure.h"

namespace vemo {

TStructureChoices& StructureChoices() {
  static TStructureChoices choices;
  return choices;
}

TStructEasyDlg::TStructEasyDlg(const TField& field, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Упрощение структуры"));
  auto* top = new QVBoxLayout(this);
  Label1 = new QLabel(
      QStringLiteral("Укажите две точки, между которыми находится упрощаемый контур:"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setWordWrap(true);
  top->addWidget(Label1);
  top->addWidget(MakeContourGroup(this, Lists, QString()));
  Lists.Fill(field);
  Extra = new QVBoxLayout;
  top->addLayout(Extra);
  auto* box = new QDialogButtonBox(this);
  OkBtn = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  OkBtn->setObjectName(QStringLiteral("OkBtn"));
  OkBtn->setDefault(true);
  QPushButton* cancel = box->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  connect(OkBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  top->addWidget(box);
  InstallHelpKey(this, kSynthesisHelpContext);
}

bool TStructEasyDlg::OkBtnClick() {
  if (!Lists.BothSelected() || !Lists.CheckDistinct()) return false;
  if (!TakeValues()) return false;
  StructureChoices().Start = Lists.StartPoint();
  StructureChoices().End = Lists.EndPoint();
  accept();
  return true;
}

TInOutUnlDlg::TInOutUnlDlg(const TField& field, QWidget* parent) : TStructEasyDlg(field, parent) {
  setWindowTitle(QStringLiteral("Входо-выходная хар-ка"));
  Label1->setText(QStringLiteral(
      "Укажите контур, входо-выходные характеристики которого надо построить:"));
  auto* form = new QFormLayout;
  Edit1 = new QLineEdit(NumberText(StructureChoices().XMax), this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit2 = new QLineEdit(NumberText(StructureChoices().Step), this);
  Edit2->setObjectName(QStringLiteral("Edit2"));
  form->addRow(QStringLiteral("X max:"), Edit1);
  form->addRow(QStringLiteral("Шаг:"), Edit2);
  Extra->addLayout(form);
}

bool TInOutUnlDlg::TakeValues() {
  double xMax = 0, step = 0;
  if (!EditNumber(Edit1, xMax) || !EditNumber(Edit2, step)) return false;
  StructureChoices().XMax = ClampInOutValue(xMax);
  StructureChoices().Step = ClampInOutValue(step);
  return true;
}

TSyntezDlg::TSyntezDlg(const TField& field, QWidget* parent) : TStructEasyDlg(field, parent) {
  setWindowTitle(QStringLiteral("Синтез регулятора"));
  Label1->setText(
      QStringLiteral("Укажите две точки, между которыми находится объект управления:"));
  auto* aim = new QLabel(QStringLiteral("Вместе с регулятором переходный процесс в системе будет "
                                        "апериодическим с постоянной времени t:"),
                         this);
  aim->setWordWrap(true);
  Extra->addWidget(aim);
  auto* form = new QFormLayout;
  Edit1 = new QLineEdit(NumberText(StructureChoices().T), this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  form->addRow(QStringLiteral("t:"), Edit1);
  Extra->addLayout(form);
}

bool TSyntezDlg::TakeValues() {
  double t = 0;
  if (!EditNumber(Edit1, t)) return false;
  if (!(t > kMinControllerTime)) return RejectEdit(Edit1);
  StructureChoices().T = t;
  return true;
}

}  // namespace vemo
