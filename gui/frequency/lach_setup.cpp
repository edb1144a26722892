#include "frequency/lach_setup.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "frequency/frequency_state.h"
#include "help/help_window.h"
#include "shell/settings.h"
#include "simulation/plot_form.h"
#include "simulation/setup_checks.h"

namespace vemo {

namespace {

// A group "ЛАЧХ" or "ФЧХ": "Вывод", "Автомасштаб" and the two limits.
QGroupBox* ScaleGroup(QWidget* parent, const QString& title, const QString& unit,
                      QCheckBox*& shown, QCheckBox*& autoscale, QLineEdit*& min, QLineEdit*& max) {
  auto* g = new QGroupBox(title, parent);
  shown = new QCheckBox(QStringLiteral("Вывод"), g);
  autoscale = new QCheckBox(QStringLiteral("Автомасштаб"), g);
  min = new QLineEdit(g);
  max = new QLineEdit(g);
  auto* l = new QGridLayout(g);
  l->addWidget(shown, 0, 0, 1, 2);
  l->addWidget(autoscale, 1, 0, 1, 2);
  l->addWidget(new QLabel(QStringLiteral("min ") + unit, g), 2, 0);
  l->addWidget(min, 2, 1);
  l->addWidget(new QLabel(QStringLiteral("max ") + unit, g), 3, 0);
  l->addWidget(max, 3, 1);
  return g;
}

}  // namespace

TLACHSetupDlg::TLACHSetupDlg(const TField& field, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Настройка ЛАЧХ/ФЧХ"));
  const TSettings& s = PlotSettings();
  const TFrequencyChoices& c = FrequencyChoices();
  auto* top = new QVBoxLayout(this);
  top->addWidget(MakeContourGroup(this, Lists));
  Lists.Fill(field);
  Lists.SelectRows(c.BodeStartRow, c.BodeEndRow);

  auto* groups = new QHBoxLayout;
  groups->addWidget(ScaleGroup(this, QStringLiteral("ЛАЧХ"), QStringLiteral("[ДБ]"), CheckBox1,
                               LAutoscaleCheck, Edit1, Edit2));
  groups->addWidget(ScaleGroup(this, QStringLiteral("ФЧХ"), QStringLiteral("[ ° ]"), CheckBox2,
                               FAutoscaleCheck, Edit3, Edit4));
  top->addLayout(groups);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  LAutoscaleCheck->setObjectName(QStringLiteral("LAutoscaleCheck"));
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit2->setObjectName(QStringLiteral("Edit2"));
  CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
  FAutoscaleCheck->setObjectName(QStringLiteral("FAutoscaleCheck"));
  Edit3->setObjectName(QStringLiteral("Edit3"));
  Edit4->setObjectName(QStringLiteral("Edit4"));

  CheckBox1->setChecked(c.LShown);
  CheckBox2->setChecked(c.PhiShown);
  LAutoscaleCheck->setChecked(s.LafcAutoscale);
  FAutoscaleCheck->setChecked(s.PfcAutoscale);
  Edit1->setText(NumberText(s.LafcMin));
  Edit2->setText(NumberText(s.LafcMax));
  Edit3->setText(NumberText(s.PfchMin));
  Edit4->setText(NumberText(s.PfchMax));

  auto* box = new QDialogButtonBox(this);
  OkBtn = box->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
  OkBtn->setObjectName(QStringLiteral("OkBtn"));
  OkBtn->setDefault(true);
  QPushButton* cancel = box->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  connect(OkBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  top->addWidget(box);
  InstallHelpKey(this, kBodeHelpContext);

  // At least one plot is always shown: unchecking the second rechecks the first.
  connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) {
    if (!on && !CheckBox2->isChecked()) CheckBox2->setChecked(true);
    UpdateEnabled();
  });
  connect(CheckBox2, &QCheckBox::toggled, this, [this](bool on) {
    if (!on && !CheckBox1->isChecked()) CheckBox1->setChecked(true);
    UpdateEnabled();
  });
  connect(LAutoscaleCheck, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
  connect(FAutoscaleCheck, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
  if (!CheckBox1->isChecked() && !CheckBox2->isChecked()) CheckBox1->setChecked(true);
  UpdateEnabled();
}

void TLACHSetupDlg::UpdateEnabled() {
  const bool l = CheckBox1->isChecked() && !LAutoscaleCheck->isChecked();
  const bool phi = CheckBox2->isChecked() && !FAutoscaleCheck->isChecked();
  Edit1->setEnabled(l);
  Edit2->setEnabled(l);
  Edit3->setEnabled(phi);
  Edit4->setEnabled(phi);
}

void TLACHSetupDlg::FixPoints(int start, int end) {
  Lists.SelectPoints(start, end);
  Lists.Lock();
}

bool TLACHSetupDlg::OkBtnClick() {
  if (!Lists.BothSelected() || !Lists.CheckDistinct()) return false;
  const bool lShown = CheckBox1->isChecked(), phiShown = CheckBox2->isChecked();
  const bool lAuto = LAutoscaleCheck->isChecked(), phiAuto = FAutoscaleCheck->isChecked();
  double lMin = 0, lMax = 0, phiMin = 0, phiMax = 0;
  const bool lLimits = lShown && !lAuto, phiLimits = phiShown && !phiAuto;
  if (lLimits && !EditRange(Edit1, Edit2, lMin, lMax)) return false;
  if (phiLimits && !EditRange(Edit3, Edit4, phiMin, phiMax)) return false;

  TSettings& s = PlotSettings();
  s.LafcAutoscale = lAuto;
  s.PfcAutoscale = phiAuto;
  if (lLimits) {
    s.LafcMin = lMin;
    s.LafcMax = lMax;
  }
  if (phiLimits) {
    s.PfchMin = phiMin;
    s.PfchMax = phiMax;
  }
  TFrequencyChoices& c = FrequencyChoices();
  c.LShown = lShown;
  c.PhiShown = phiShown;
  if (Lists.Start->isEnabled()) {
    c.BodeStartRow = Lists.StartRow();
    c.BodeEndRow = Lists.EndRow();
  }
  accept();
  return true;
}

}  // namespace vemo
