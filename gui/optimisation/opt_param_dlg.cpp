#include "optimisation/opt_param_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include "shell/numtext.h"
#include "shell/program.h"
#include "simulation/setup_checks.h"

namespace vemo {

namespace {

QSpinBox* Spin(int min, int max, int value, QWidget* parent) {
  auto* s = new QSpinBox(parent);
  s->setRange(min, max);
  s->setValue(value);
  return s;
}

QString PercentText(double v) { return NumberText(v) + QStringLiteral("%"); }

}  // namespace

TOptParamDlg::TOptParamDlg(TSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), work_(settings) {
  setWindowTitle(QStringLiteral("Параметры оптимизации"));
  auto* top = new QVBoxLayout(this);
  PageControl1 = new QTabWidget(this);
  top->addWidget(PageControl1);

  // Page "Критерий".
  auto* critPage = new QWidget(PageControl1);
  auto* crit = new QVBoxLayout(critPage);
  ListBox1 = new QListWidget(critPage);
  ListBox1->addItems({QStringLiteral("Интегрально-квадратичный"),
                      QStringLiteral("Интеграл.-квадратич. с первой производной"),
                      QStringLiteral("Интеграл-квадратчич со второй производной")});
  ListBox1->setMaximumHeight(70);
  crit->addWidget(ListBox1);
  auto* weights = new QGridLayout;
  const char* captions[3] = {"Вес ошибки:", "Вес производной ошибки:",
                             "Вес второй производной оишбки:"};
  for (int k = 0; k < 3; ++k) {
    WeightLabels[k] = new QLabel(QString::fromUtf8(captions[k]), critPage);
    TrackBars[k] = new QSlider(Qt::Horizontal, critPage);
    TrackBars[k]->setRange(1, 100);
    WeightValues[k] = new QLabel(critPage);
    WeightValues[k]->setMinimumWidth(28);
    weights->addWidget(WeightLabels[k], k, 0);
    weights->addWidget(TrackBars[k], k, 1);
    weights->addWidget(WeightValues[k], k, 2);
    connect(TrackBars[k], &QSlider::valueChanged, WeightValues[k],
            [label = WeightValues[k]](int v) { label->setNum(v); });
  }
  crit->addLayout(weights);
  crit->addStretch();
  PageControl1->addTab(critPage, QStringLiteral("Критерий"));

  // Page "Метод".
  auto* methodPage = new QWidget(PageControl1);
  auto* method = new QVBoxLayout(methodPage);
  ListBox2 = new QListWidget(methodPage);
  ListBox2->addItems({QStringLiteral("Равномерный зонд"), QStringLiteral("Покоординатный спуск"),
                      QStringLiteral("Градиентный спуск")});
  ListBox2->setMaximumHeight(70);
  method->addWidget(ListBox2);
  Notebook1 = new QStackedWidget(methodPage);
  method->addWidget(Notebook1);
  auto addPage = [this](int k) {
    auto* page = new QWidget(Notebook1);
    auto* form = new QFormLayout(page);
    Notebook1->addWidget(page);
    DefaultBtns[k] = new QPushButton(QStringLiteral("По умолчанию"), page);
    connect(DefaultBtns[k], &QPushButton::clicked, this, [this, k] { RestoreDefaults(k); });
    return form;
  };
  QFormLayout* probe = addPage(0);
  ZondCountEdit = Spin(3, 1000, work_.ZondCount, this);
  ZondIterEdit = Spin(1, 100, work_.ZondIterCount, this);
  probe->addRow(QStringLiteral("Число точек по координате:"), ZondCountEdit);
  probe->addRow(QStringLiteral("Число итераций:"), ZondIterEdit);
  probe->addRow(DefaultBtns[0]);
  QFormLayout* coord = addPage(1);
  SpeedDownEdit = Spin(4, 10000, work_.SpeedDown, this);
  SpeedDownItersEdit = Spin(3, 10000, work_.SpeedDownIters, this);
  SpeedDownSingleEdit = Spin(2, 1000, work_.SpeedDownSingleIters, this);
  SpeedDownEpsEdit = new QLineEdit(NumberText(work_.SpeedDownEps), this);
  coord->addRow(QStringLiteral("Точек на отрезке поиска:"), SpeedDownEdit);
  coord->addRow(QStringLiteral("Число проходов:"), SpeedDownItersEdit);
  coord->addRow(QStringLiteral("Число уточнений отрезка:"), SpeedDownSingleEdit);
  coord->addRow(QStringLiteral("Точность:"), SpeedDownEpsEdit);
  coord->addRow(DefaultBtns[1]);
  QFormLayout* grad = addPage(2);
  GradDownVolumEdit = new QLineEdit(PercentText(work_.GradDownVolum), this);
  GradDownItersEdit = Spin(10, 100000, work_.GradDownIters, this);
  GradDownEpsEdit = new QLineEdit(NumberText(work_.GradDownEps), this);
  grad->addRow(QStringLiteral("Начальный шаг (% диапазона):"), GradDownVolumEdit);
  grad->addRow(QStringLiteral("Число итераций:"), GradDownItersEdit);
  grad->addRow(QStringLiteral("Точность:"), GradDownEpsEdit);
  grad->addRow(DefaultBtns[2]);
  PageControl1->addTab(methodPage, QStringLiteral("Метод"));

  auto* box = new QDialogButtonBox(this);
  OKBtn = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  OKBtn->setDefault(true);
  QPushButton* cancel = box->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  top->addWidget(box);

  const int critery = work_.OptCritery >= 0 && work_.OptCritery <= 2 ? work_.OptCritery : 1;
  const int m = work_.OptMethod >= 0 && work_.OptMethod <= 2 ? work_.OptMethod : 1;
  ShowCriterion(critery);
  ListBox1->setCurrentRow(critery);
  ListBox2->setCurrentRow(m);
  Notebook1->setCurrentIndex(m);
  connect(ListBox1, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row < 0) return;
    StoreWeights();
    ShowCriterion(row);
  });
  connect(ListBox2, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) Notebook1->setCurrentIndex(row);
  });
}

void TOptParamDlg::ShowCriterion(int critery) {
  shownCritery_ = critery;
  const int values[3] = {critery == 2 ? work_.Sqr2DWeightY : work_.Sqr1DWeightY,
                         critery == 2 ? work_.Sqr2DWeightDY : work_.Sqr1DWeightDY,
                         work_.Sqr2DWeightD2Y};
  for (int k = 0; k < 3; ++k) {
    const bool shown = k < critery + 1 && critery > 0;
    TrackBars[k]->setValue(values[k] < 1 ? 1 : values[k] > 100 ? 100 : values[k]);
    WeightValues[k]->setNum(TrackBars[k]->value());
    for (QWidget* w : {static_cast<QWidget*>(TrackBars[k]), static_cast<QWidget*>(WeightLabels[k]),
                       static_cast<QWidget*>(WeightValues[k])})
      w->setVisible(shown);
  }
}

void TOptParamDlg::StoreWeights() {
  if (shownCritery_ == 1) {
    work_.Sqr1DWeightY = TrackBars[0]->value();
    work_.Sqr1DWeightDY = TrackBars[1]->value();
  } else if (shownCritery_ == 2) {
    work_.Sqr2DWeightY = TrackBars[0]->value();
    work_.Sqr2DWeightDY = TrackBars[1]->value();
    work_.Sqr2DWeightD2Y = TrackBars[2]->value();
  }
}

void TOptParamDlg::RestoreDefaults(int method) {
  const TSettings d;
  switch (method) {
    case 0:
      ZondCountEdit->setValue(d.ZondCount);
      ZondIterEdit->setValue(d.ZondIterCount);
      break;
    case 1:
      SpeedDownEdit->setValue(d.SpeedDown);
      SpeedDownItersEdit->setValue(d.SpeedDownIters);
      SpeedDownSingleEdit->setValue(d.SpeedDownSingleIters);
      SpeedDownEpsEdit->setText(NumberText(d.SpeedDownEps));
      break;
    default:
      GradDownVolumEdit->setText(PercentText(d.GradDownVolum));
      GradDownItersEdit->setValue(d.GradDownIters);
      GradDownEpsEdit->setText(NumberText(d.GradDownEps));
      break;
  }
}

bool TOptParamDlg::OKBtnClick() {
  const int method = ListBox2->currentRow() < 0 ? 1 : ListBox2->currentRow();
  TSettings s = work_;
  switch (method) {
    case 0:
      s.ZondCount = ZondCountEdit->value();
      s.ZondIterCount = ZondIterEdit->value();
      break;
    case 1:
      s.SpeedDown = SpeedDownEdit->value();
      s.SpeedDownIters = SpeedDownItersEdit->value();
      s.SpeedDownSingleIters = SpeedDownSingleEdit->value();
      if (!EditAtLeast(SpeedDownEpsEdit, 1e-10, s.SpeedDownEps)) return false;
      break;
    default: {
      // The mask's text with everything but digits and the point removed.
      QString digits;
      for (QChar ch : GradDownVolumEdit->text())
        if (ch.isDigit() || ch == QLatin1Char('.')) digits += ch;
      double volume = 0;
      if (!ParseNumber(digits.toStdString(), volume)) {
        ShowMessage(kBadNumberFormat);
        GradDownVolumEdit->setFocus();
        return false;
      }
      if (volume < 1e-5 || volume > 95) return RejectEdit(GradDownVolumEdit);
      s.GradDownVolum = volume;
      s.GradDownIters = GradDownItersEdit->value();
      if (!EditAtLeast(GradDownEpsEdit, 1e-10, s.GradDownEps)) return false;
      break;
    }
  }
  work_ = s;
  StoreWeights();
  work_.OptCritery = shownCritery_;
  work_.OptMethod = method;
  settings_ = work_;
  accept();
  return true;
}

}  // namespace vemo
