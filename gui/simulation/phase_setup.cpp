#include "simulation/phase_setup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/field.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/engine.h"
#include "simulation/phase.h"
#include "simulation/plot_form.h"
#include "simulation/setup_checks.h"

namespace vemo {

namespace {

const QString kAuto = QStringLiteral("авто");

QListWidgetItem* PointItem(QListWidget* list, const QString& text, int value) {
  auto* item = new QListWidgetItem(text, list);
  item->setData(Qt::UserRole, value);
  return item;
}

int SelectedValue(QListWidget* list) {
  QListWidgetItem* item = list->currentItem();
  return item ? item->data(Qt::UserRole).toInt() : -1;
}

void SelectValue(QListWidget* list, int value) {
  for (int i = 0; i < list->count(); ++i)
    if (list->item(i)->data(Qt::UserRole).toInt() == value) list->setCurrentRow(i);
}

}  // namespace

TPhaseChoice& PhaseChoice() {
  static TPhaseChoice choice;
  return choice;
}

TpfSetupDlg::TpfSetupDlg(TField& field, QWidget* parent) : QDialog(parent), field_(field) {
  setWindowTitle(QStringLiteral("Настройка фазового портрета"));
  const TSettings& s = PlotSettings();
  auto* top = new QVBoxLayout(this);
  auto* lists = new QHBoxLayout;
  auto* xGroup = new QGroupBox(QStringLiteral("Абсцисса"), this);
  auto* yGroup = new QGroupBox(QStringLiteral("Ордината"), this);
  ListBox1 = new QListWidget(xGroup);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox2 = new QListWidget(yGroup);
  ListBox2->setObjectName(QStringLiteral("ListBox2"));
  for (int k = 0; k < kPointCount; ++k) {
    if (!field.Points[k].Placed) continue;
    PointItem(ListBox1, QChar(PointLetter(k)), k);
    PointItem(ListBox2, QChar(PointLetter(k)), k);
  }
  PointItem(ListBox2, QStringLiteral("dx/dt"), kDerivativeOrdinate);
  XMinEdit = new QLineEdit(this);
  XMaxEdit = new QLineEdit(this);
  YMinEdit = new QLineEdit(this);
  YMaxEdit = new QLineEdit(this);
  auto groupLayout = [](QGroupBox* g, QListWidget* list, QLineEdit* lo, QLineEdit* hi) {
    auto* l = new QGridLayout(g);
    l->addWidget(list, 0, 0, 1, 2);
    l->addWidget(new QLabel(QStringLiteral("Мин.:"), g), 1, 0);
    l->addWidget(lo, 1, 1);
    l->addWidget(new QLabel(QStringLiteral("Макс.:"), g), 2, 0);
    l->addWidget(hi, 2, 1);
    list->setMaximumHeight(110);
  };
  groupLayout(xGroup, ListBox1, XMinEdit, XMaxEdit);
  groupLayout(yGroup, ListBox2, YMinEdit, YMaxEdit);
  lists->addWidget(xGroup);
  lists->addWidget(yGroup);
  top->addLayout(lists);

  auto* run = new QGridLayout;
  ViewTimeEdit = new QLineEdit(NumberText(Prog.Clock.ViewTime), this);
  ViewTimeEdit->setObjectName(QStringLiteral("ViewTimeEdit"));
  ViewTimeEdit->setToolTip(QStringLiteral("Время просмотра одной страницы графиков"));
  StepEdit = new QLineEdit(NumberText(field.Step), this);
  StepEdit->setObjectName(QStringLiteral("StepEdit"));
  StepEdit->setToolTip(
      QStringLiteral("Шаг расчета. Чем меньше, тем качественее график, но дольше расчет"));
  AutoBtn = new QPushButton(kAuto, this);
  AutoBtn->setObjectName(QStringLiteral("AutoBtn"));
  AutoscaleCheck = new QCheckBox(QStringLiteral("Автомасштаб"), this);
  AutoscaleCheck->setObjectName(QStringLiteral("AutoscaleCheck"));
  run->addWidget(new QLabel(QStringLiteral("Время просмотра (сек):"), this), 0, 0);
  run->addWidget(ViewTimeEdit, 0, 1);
  run->addWidget(new QLabel(QStringLiteral("Шаг расчета (сек): "), this), 1, 0);
  run->addWidget(StepEdit, 1, 1);
  run->addWidget(AutoBtn, 1, 2);
  run->addWidget(AutoscaleCheck, 2, 0, 1, 2);
  top->addLayout(run);
  connect(AutoBtn, &QPushButton::clicked, this,
          [this] { StepEdit->setText(NumberText(MinStepHint(field_))); });

  OkBtn = AddOkCancel(this, top, QStringLiteral("OK"), [this] { OkBtnClick(); });

  XMinEdit->setText(NumberText(s.PhaseMinX));
  XMaxEdit->setText(NumberText(s.PhaseMaxX));
  YMinEdit->setText(NumberText(s.PhaseMinY));
  YMaxEdit->setText(NumberText(s.PhaseMaxY));
  AutoscaleCheck->setChecked(s.PhaseAutoscale);
  AutoscaleChanged();
  connect(AutoscaleCheck, &QCheckBox::toggled, this, [this] { AutoscaleChanged(); });
  SelectPoints(PhaseChoice().Abscissa, PhaseChoice().Ordinate);
  if (!ListBox1->currentItem() && ListBox1->count() > 0) ListBox1->setCurrentRow(0);
  if (!ListBox2->currentItem()) ListBox2->setCurrentRow(ListBox2->count() > 2 ? 1 : 0);
}

void TpfSetupDlg::AutoscaleChanged() {
  // "авто" stands in the range edits while autoscale is on.
  const bool on = AutoscaleCheck->isChecked();
  const TSettings& s = PlotSettings();
  const double values[4] = {s.PhaseMinX, s.PhaseMaxX, s.PhaseMinY, s.PhaseMaxY};
  QLineEdit* edits[4] = {XMinEdit, XMaxEdit, YMinEdit, YMaxEdit};
  for (int i = 0; i < 4; ++i) {
    edits[i]->setEnabled(!on);
    if (on)
      edits[i]->setText(kAuto);
    else if (edits[i]->text() == kAuto)
      edits[i]->setText(NumberText(values[i]));
  }
}

void TpfSetupDlg::FixPoints() {
  ListBox1->setEnabled(false);
  ListBox2->setEnabled(false);
}

void TpfSetupDlg::SelectPoints(int abscissa, uint8_t ordinate) {
  SelectValue(ListBox1, abscissa);
  SelectValue(ListBox2, ordinate);
}

bool TpfSetupDlg::OkBtnClick() {
  const bool autoScale = AutoscaleCheck->isChecked();
  double x0 = 0, x1 = 0, y0 = 0, y1 = 0, viewTime = 0, step = 0;
  if (!autoScale && (!EditRange(XMinEdit, XMaxEdit, x0, x1) || !EditRange(YMinEdit, YMaxEdit, y0, y1)))
    return false;
  if (!EditAtLeast(ViewTimeEdit, 1e-9, viewTime)) return false;
  if (!EditAtLeast(StepEdit, 1e-9, step)) return false;
  if (!RunLengthAllowed(ViewTimeEdit, viewTime, step)) return false;
  const int x = SelectedValue(ListBox1), y = SelectedValue(ListBox2);
  if (x < 0 || y < 0) {
    ShowMessage(kBadParameter);
    (x < 0 ? ListBox1 : ListBox2)->setFocus();
    return false;
  }
  TSettings& s = PlotSettings();
  s.PhaseAutoscale = autoScale;
  if (!autoScale) {
    s.PhaseMinX = x0;
    s.PhaseMaxX = x1;
    s.PhaseMinY = y0;
    s.PhaseMaxY = y1;
  }
  Prog.Clock.ViewTime = viewTime;
  field_.Step = step;
  PhaseChoice().Abscissa = x;
  PhaseChoice().Ordinate = static_cast<uint8_t>(y);
  accept();
  return true;
}

}  // namespace vemo
