#include "simulation/transient_setup.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "canvas/qt_canvas.h"
#include "model/field.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/engine.h"
#include "simulation/plot_form.h"
#include "simulation/setup_checks.h"

namespace vemo {

namespace {

void PaintColorButton(QPushButton* b, uint32_t color) {
  QPixmap pm(14, 14);
  pm.fill(ToQColor(color));
  b->setIcon(QIcon(pm));
}

}  // namespace

ThtSetupDlg::ThtSetupDlg(TField& field, QWidget* parent) : QDialog(parent), field_(field) {
  setWindowTitle(QStringLiteral("Настройка переход.процесса"));
  const TSettings& s = PlotSettings();
  auto* top = new QVBoxLayout(this);

  auto* run = new QGridLayout;
  ViewTimeEdit = new QLineEdit(NumberText(Prog.Clock.ViewTime), this);
  ViewTimeEdit->setObjectName(QStringLiteral("ViewTimeEdit"));
  StepEdit = new QLineEdit(NumberText(field.Step), this);
  StepEdit->setObjectName(QStringLiteral("StepEdit"));
  StepBtn = new QPushButton(QStringLiteral("авто"), this);
  StepBtn->setObjectName(QStringLiteral("StepBtn"));
  run->addWidget(new QLabel(QStringLiteral("Время просмотра (сек):"), this), 0, 0);
  run->addWidget(ViewTimeEdit, 0, 1);
  run->addWidget(new QLabel(QStringLiteral("Шаг расчета (сек): "), this), 1, 0);
  run->addWidget(StepEdit, 1, 1);
  run->addWidget(StepBtn, 1, 2);
  top->addLayout(run);
  connect(StepBtn, &QPushButton::clicked, this, [this] {
    const double h = MinStepHint(field_);
    field_.Step = h;
    StepEdit->setText(NumberText(h));
  });

  auto* scale = new QGridLayout;
  AutoScaleCheck = new QCheckBox(QStringLiteral("Автомасштаб"), this);
  AutoScaleCheck->setObjectName(QStringLiteral("AutoScaleCheck"));
  AutoScaleCheck->setChecked(s.HtAutoScale);
  SingleScaleCheck = new QCheckBox(QStringLiteral("Единый масштаб"), this);
  SingleScaleCheck->setObjectName(QStringLiteral("SingleScaleCheck"));
  SingleScaleCheck->setChecked(s.HtSingleScale);
  MinEdit = new QLineEdit(NumberText(s.HtMin), this);
  MinEdit->setObjectName(QStringLiteral("MinEdit"));
  MaxEdit = new QLineEdit(NumberText(s.HtMax), this);
  MaxEdit->setObjectName(QStringLiteral("MaxEdit"));
  scale->addWidget(AutoScaleCheck, 0, 0);
  scale->addWidget(SingleScaleCheck, 0, 1);
  scale->addWidget(new QLabel(QStringLiteral("Мин.:"), this), 1, 0);
  scale->addWidget(MinEdit, 1, 1);
  scale->addWidget(new QLabel(QStringLiteral("Макс.:"), this), 2, 0);
  scale->addWidget(MaxEdit, 2, 1);
  top->addLayout(scale);

  auto* points = new QGridLayout;
  int line = 0;
  for (int k = 0; k < kPointCount; ++k) {
    const TViewPoint& pt = field.Points[k];
    if (!pt.Placed) continue;
    TPointRow row;
    row.Point = k;
    row.Color = pt.Color;
    row.ShownCheck = new QCheckBox(QStringLiteral("Точка ") + QChar(PointLetter(k)), this);
    row.ShownCheck->setChecked(pt.Shown != 0);
    row.ColorBtn = new QPushButton(this);
    row.ColorBtn->setToolTip(QStringLiteral("Цвет графика"));
    row.ColorBtn->setFixedWidth(28);
    PaintColorButton(row.ColorBtn, row.Color);
    row.LowEdit = new QLineEdit(NumberText(pt.Low), this);
    row.HighEdit = new QLineEdit(NumberText(pt.High), this);
    points->addWidget(row.ShownCheck, line, 0);
    points->addWidget(row.ColorBtn, line, 1);
    points->addWidget(row.LowEdit, line, 2);
    points->addWidget(row.HighEdit, line, 3);
    ++line;
    Rows.push_back(row);
  }
  for (size_t i = 0; i < Rows.size(); ++i)
    connect(Rows[i].ColorBtn, &QPushButton::clicked, this, [this, i] { ChooseColor(Rows[i]); });
  top->addLayout(points);

  OkBtn = AddOkCancel(this, top, QStringLiteral("OK"), [this] { OkBtnClick(); });

  connect(AutoScaleCheck, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
  connect(SingleScaleCheck, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
  UpdateEnabled();
}

void ThtSetupDlg::UpdateEnabled() {
  const bool autoScale = AutoScaleCheck->isChecked(), single = SingleScaleCheck->isChecked();
  MinEdit->setEnabled(single && !autoScale);
  MaxEdit->setEnabled(single && !autoScale);
  for (TPointRow& r : Rows) {
    r.LowEdit->setEnabled(!single && !autoScale);
    r.HighEdit->setEnabled(!single && !autoScale);
  }
}

void ThtSetupDlg::ChooseColor(TPointRow& row) {
  const QColor c = QColorDialog::getColor(ToQColor(row.Color), this,
                                          QStringLiteral("Цвет графика"));
  if (!c.isValid()) return;
  row.Color = FromQColor(c);
  PaintColorButton(row.ColorBtn, row.Color);
}

bool ThtSetupDlg::OkBtnClick() {
  // Every check first; nothing changes unless all pass, so that a dialog
  // cancelled after a failed check leaves the settings as they were.
  double viewTime = 0, step = 0, min = 0, max = 0;
  if (!EditAtLeast(ViewTimeEdit, 1e-5, viewTime)) return false;
  if (!EditAtLeast(StepEdit, 1e-8, step)) return false;
  if (!RunLengthAllowed(ViewTimeEdit, viewTime, step)) return false;
  const bool autoScale = AutoScaleCheck->isChecked(), single = SingleScaleCheck->isChecked();
  if (single && !autoScale && !EditRange(MinEdit, MaxEdit, min, max)) return false;
  std::vector<std::pair<double, double>> bounds(Rows.size());
  if (!autoScale && !single)
    for (size_t i = 0; i < Rows.size(); ++i)
      if (!EditRange(Rows[i].LowEdit, Rows[i].HighEdit, bounds[i].first, bounds[i].second))
        return false;

  Prog.Clock.ViewTime = viewTime;
  field_.Step = step;
  TSettings& s = PlotSettings();
  s.HtAutoScale = autoScale;
  s.HtSingleScale = single;
  if (single && !autoScale) {
    s.HtMin = min;
    s.HtMax = max;
  }
  for (size_t i = 0; i < Rows.size(); ++i) {
    TViewPoint& pt = field_.Points[Rows[i].Point];
    pt.Shown = Rows[i].ShownCheck->isChecked() ? 1 : 0;
    pt.Color = Rows[i].Color;
    if (!autoScale && !single) {
      pt.Low = bounds[i].first;
      pt.High = bounds[i].second;
    }
  }
  accept();
  return true;
}

}  // namespace vemo
