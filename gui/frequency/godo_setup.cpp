#include "frequency/godo_setup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "frequency/bode.h"
#include "frequency/frequency_state.h"
#include "frequency/hodograph.h"
#include "help/help_window.h"
#include "shell/settings.h"
#include "simulation/plot_form.h"
#include "simulation/plot_widgets.h"
#include "simulation/setup_checks.h"

namespace vemo {

namespace {

// The smallest phase step of the nonlinearity (exclusive).
constexpr double kMinNeStep = 1e-8;

}  // namespace

TGodoSetupDlg::TGodoSetupDlg(const TField& field, bool popov, QWidget* parent)
    : QDialog(parent), popov_(popov) {
  setWindowTitle(popov ? QStringLiteral("Настройка критерия Попова")
                       : QStringLiteral("Настройка годографа"));
  const TSettings& s = PlotSettings();
  const TFrequencyChoices& c = FrequencyChoices();
  lgwMin_ = s.LgwMin;
  lgwMax_ = s.LgwMax;
  auto* top = new QVBoxLayout(this);

  auto* row = new QHBoxLayout;
  row->addWidget(MakeContourGroup(this, Lists));
  Lists.Fill(field);
  Lists.SelectRows(c.GodoStartRow, c.GodoEndRow);
  auto* curves = new QVBoxLayout;
  WsCheck = new QCheckBox(QStringLiteral("Wлч(S)"), this);
  WsCheck->setObjectName(QStringLiteral("WsCheck"));
  NeCheck = new QCheckBox(QStringLiteral("ЭККУ -1/Wнч(jw) "), this);
  NeCheck->setObjectName(QStringLiteral("NeCheck"));
  curves->addWidget(WsCheck);
  curves->addWidget(NeCheck);
  curves->addStretch();
  row->addLayout(curves);
  top->addLayout(row);

  auto* scale = new QGroupBox(QStringLiteral("Автомасштаб"), this);
  auto* scaleLayout = new QGridLayout(scale);
  AutoscaleGroup = new QButtonGroup(this);
  const char* const kinds[] = {"По Wлч(S)", "По ЭККУ", "По Wлч(S) и ЭККУ", "Вручную"};
  for (int i = 0; i < 4; ++i) {
    auto* b = new QRadioButton(QString::fromUtf8(kinds[i]), scale);
    AutoscaleGroup->addButton(b, i);
    scaleLayout->addWidget(b, i, 0);
  }
  ReMinEdit = new QLineEdit(NumberText(s.GodoReMin), scale);
  ImMinEdit = new QLineEdit(NumberText(s.GodoImMin), scale);
  ReMaxEdit = new QLineEdit(NumberText(s.GodoReMax), scale);
  ImMaxEdit = new QLineEdit(NumberText(s.GodoImMax), scale);
  const std::pair<QLineEdit*, const char*> edits[] = {
      {ReMinEdit, "Re min"}, {ImMinEdit, "Im min"}, {ReMaxEdit, "Re max"}, {ImMaxEdit, "Im max"}};
  for (int i = 0; i < 4; ++i) {
    edits[i].first->setObjectName(QString::fromLatin1(edits[i].second).remove(' ') + "Edit");
    scaleLayout->addWidget(new QLabel(QString::fromLatin1(edits[i].second), scale), i, 1);
    scaleLayout->addWidget(edits[i].first, i, 2);
  }
  AutoBtn = new QPushButton(QStringLiteral("авто"), scale);
  AutoBtn->setObjectName(QStringLiteral("AutoBtn"));
  scaleLayout->addWidget(AutoBtn, 4, 2);
  top->addWidget(scale);
  connect(AutoBtn, &QPushButton::clicked, this, [this] {
    ReMinEdit->setText(NumberText(-2));
    ImMinEdit->setText(NumberText(-2));
    ReMaxEdit->setText(NumberText(1));
    ImMaxEdit->setText(NumberText(2));
  });

  auto* range = new QGridLayout;
  range->addWidget(new QLabel(QStringLiteral("Диапозон частот:"), this), 0, 0, 1, 2);
  FrequencySlider = new TRangeSlider(Qt::Horizontal, this);
  FrequencySlider->setObjectName(QStringLiteral("FrequencySlider"));
  range->addWidget(FrequencySlider, 1, 0, 1, 2);
  LgwMinLabel = new QLabel(this);
  LgwMaxLabel = new QLabel(this);
  LgwMaxLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  range->addWidget(LgwMinLabel, 2, 0);
  range->addWidget(LgwMaxLabel, 2, 1);
  range->addWidget(new QLabel(QStringLiteral("Шаг интегрирования нелинейности:"), this), 3, 0);
  StepEdit = new QLineEdit(NumberText(s.GodoNeStep), this);
  StepEdit->setObjectName(QStringLiteral("StepEdit"));
  range->addWidget(StepEdit, 3, 1);
  top->addLayout(range);
  settingSlider_ = true;
  FrequencySlider->SetSelection(LgwToSlider(lgwMin_), LgwToSlider(lgwMax_));
  settingSlider_ = false;
  // The slider spans lg w from -8 to 8; the range stays exact until it moves.
  FrequencySlider->OnChange = [this] {
    if (settingSlider_) return;
    lgwMin_ = SliderToLgw(FrequencySlider->Low());
    lgwMax_ = SliderToLgw(FrequencySlider->High());
    ShowRange();
  };
  ShowRange();

  auto* box = new QDialogButtonBox(this);
  OkBtn = box->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
  OkBtn->setObjectName(QStringLiteral("OkBtn"));
  OkBtn->setDefault(true);
  QPushButton* cancel = box->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  connect(OkBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  top->addWidget(box);
  InstallHelpKey(this, kHodographHelpContext);

  // The Popov criterion looks at the modified hodograph alone: the
  // describing-function curve has no place on its plane.
  WsCheck->setChecked(popov || s.GodoWs);
  NeCheck->setChecked(!popov && s.GodoWne);
  WsCheck->setEnabled(!popov);
  NeCheck->setEnabled(!popov);
  if (QAbstractButton* b = AutoscaleGroup->button(s.GodoAutoscaleType)) b->setChecked(true);
  connect(AutoscaleGroup, &QButtonGroup::idClicked, this, [this] { UpdateEnabled(); });
  for (QListWidget* list : {Lists.Start, Lists.End})
    connect(list, &QListWidget::itemSelectionChanged, this, [this] { UpdateEnabled(); });
  UpdateEnabled();
}

void TGodoSetupDlg::ShowRange() {
  LgwMinLabel->setText(QStringLiteral("lgw min=") + NumberText(lgwMin_));
  LgwMaxLabel->setText(QStringLiteral("lgw max=") + NumberText(lgwMax_));
}

void TGodoSetupDlg::UpdateEnabled() {
  const bool manual = AutoscaleGroup->checkedId() == kAutoscaleManual;
  for (QLineEdit* e : {ReMinEdit, ImMinEdit, ReMaxEdit, ImMaxEdit}) e->setEnabled(manual);
  AutoBtn->setEnabled(manual);
  OkBtn->setEnabled(Lists.BothSelected());
}

void TGodoSetupDlg::FixPoints(int start, int end) {
  Lists.SelectPoints(start, end);
  Lists.Lock();
  UpdateEnabled();
}

bool TGodoSetupDlg::OkBtnClick() {
  if (!Lists.BothSelected() || !Lists.CheckDistinct()) return false;
  const bool manual = AutoscaleGroup->checkedId() == kAutoscaleManual;
  double reMin = 0, imMin = 0, reMax = 0, imMax = 0, step = 0;
  if (manual) {
    for (auto [edit, value] : {std::pair{ReMinEdit, &reMin}, std::pair{ImMinEdit, &imMin},
                               std::pair{ReMaxEdit, &reMax}, std::pair{ImMaxEdit, &imMax}})
      if (!EditNumber(edit, *value)) return false;
  }
  if (!EditNumber(StepEdit, step)) return false;
  if (!(step > kMinNeStep)) return RejectEdit(StepEdit);
  if (manual && !(reMax > reMin)) return RejectEdit(ReMaxEdit);
  if (manual && !(imMax > imMin)) return RejectEdit(ImMaxEdit);

  TSettings& s = PlotSettings();
  if (!popov_) {
    s.GodoWs = WsCheck->isChecked();
    s.GodoWne = NeCheck->isChecked();
  }
  s.GodoAutoscaleType = std::max(0, AutoscaleGroup->checkedId());
  if (manual) {
    s.GodoReMin = reMin;
    s.GodoImMin = imMin;
    s.GodoReMax = reMax;
    s.GodoImMax = imMax;
  }
  s.GodoNeStep = step;
  s.LgwMin = lgwMin_;
  s.LgwMax = lgwMax_;
  if (Lists.Start->isEnabled()) {
    FrequencyChoices().GodoStartRow = Lists.StartRow();
    FrequencyChoices().GodoEndRow = Lists.EndRow();
  }
  accept();
  return true;
}

}  // namespace vemo
