#include "blocks/modulator_dlgs.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "blocks/dialog_support.h"
#include "blocks/pulse.h"
#include "help/help_window.h"
#include "model/scheme_render.h"

namespace vemo {

TPWMSettings TPWMSettings::From(const TPulseWidthModulator& b) {
  return {b.Polarity, b.ModKind,   b.Signal,      b.Period,
          b.Saturation, b.Amplitude, b.ShaperClock, b.ZeroPause};
}

void TPWMSettings::To(TPulseWidthModulator& b) const {
  b.Polarity = Polarity;
  b.ModKind = ModKind;
  b.Signal = Signal;
  b.Period = Period;
  b.Saturation = Saturation;
  b.Amplitude = Amplitude;
  b.ShaperClock = ShaperClock;
  b.ZeroPause = ZeroPause;
}

TPFMSettings TPFMSettings::From(const TPulseFrequencyModulator& b) {
  return {b.ModKind, b.Polarity, b.Quantum, b.Height, b.PulseLength, b.ShaperClock};
}

void TPFMSettings::To(TPulseFrequencyModulator& b) const {
  b.ModKind = ModKind;
  b.Polarity = Polarity;
  b.Quantum = Quantum;
  b.Height = Height;
  b.PulseLength = PulseLength;
  b.ShaperClock = ShaperClock;
}

namespace {

// Two periods of a comparison signal, as the modulator computes it: 0 the
// falling ramp, 1 the rising ramp, 2 and 3 the alternating triangles.
QPixmap SignalPicture(int signal) {
  const int w = 48, h = 18;
  QPixmap pm(w, h);
  pm.fill(Qt::white);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::darkBlue, 1.5));
  QPolygonF line;
  const int periods = 4, samples = 24;
  for (int k = 0; k <= periods * samples; ++k) {
    const int n = k / samples;
    double f = double(k % samples) / samples;
    if (k % samples == 0 && k > 0 && signal < 2) {  // the ramps jump back
      const double end = signal == 0 ? 0.0 : 1.0;
      line << QPointF(2 + (w - 4) * double(k) / (periods * samples), h - 2 - (h - 4) * end);
    }
    double s = signal == 0 ? 1 - f : f;
    if ((signal == 2 && n % 2 == 1) || (signal == 3 && n % 2 == 0)) s = 1 - f;
    line << QPointF(2 + (w - 4) * double(k) / (periods * samples), h - 2 - (h - 4) * s);
  }
  p.drawPolyline(line);
  return pm;
}

QLabel* KindPicture(uint16_t code, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setPixmap(QPixmap::fromImage(BlockPicture(code)));
  label->setFrameShape(QFrame::Box);
  return label;
}

// The picture of the block with its name beside it.
void AddHeading(QVBoxLayout* top, uint16_t code, const QString& name, QWidget* parent) {
  auto* head = new QHBoxLayout;
  head->addWidget(KindPicture(code, parent));
  auto* title = new QLabel(name, parent);
  QFont bold = title->font();
  bold.setBold(true);
  title->setFont(bold);
  head->addWidget(title, 1);
  top->addLayout(head);
}

TExpressionEdit* AddRow(QFormLayout* form, const QString& caption, double value, QWidget* parent) {
  auto* edit = new TExpressionEdit(value, parent);
  edit->setMinimumWidth(120);
  form->addRow(caption, edit);
  return edit;
}

}  // namespace

TPWMDialogBox::TPWMDialogBox(const TPWMSettings& settings, QWidget* parent)
    : QDialog(parent), Settings(settings) {
  setWindowTitle(QStringLiteral("Широтно-импульсный модулятор"));
  auto* top = new QVBoxLayout(this);
  AddHeading(top, 100, windowTitle(), this);

  auto* groups = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  PolarityGroup = AddRadioGroup(left, QStringLiteral("Полярность"),
                                {QStringLiteral("Однополярный"), QStringLiteral("Двухполярный"),
                                 QStringLiteral("Однополярный со сдвигом"),
                                 QStringLiteral("——//—— с  паузой на нуле")},
                                settings.Polarity, this);
  KindGroup = AddRadioGroup(left, QStringLiteral("Род модуляции"),
                            {QStringLiteral("I рода"), QStringLiteral("II рода")}, settings.ModKind,
                            this);
  groups->addLayout(left);
  auto* right = new QVBoxLayout;
  SignalGroup = AddRadioGroup(right, QStringLiteral("Сигнал сравнения"),
                              {QString(), QString(), QString(), QString()}, settings.Signal, this);
  const QString hints[4] = {QStringLiteral("Импульсы формируются в конце периода"),
                            QStringLiteral("Импульсы формируются в начале периода"),
                            QStringLiteral("Импульсы чередуются"),
                            QStringLiteral("Импульсы чередуются")};
  for (int i = 0; i < 4; ++i) {
    QAbstractButton* b = SignalGroup->button(i);
    const QPixmap pm = SignalPicture(i);
    b->setIcon(pm);
    b->setIconSize(pm.size());
    b->setToolTip(hints[i]);
  }
  right->addStretch(1);
  groups->addLayout(right);
  top->addLayout(groups);

  auto* form = new QFormLayout;
  PeriodEdit = AddRow(form, QStringLiteral("Период T:"), settings.Period, this);
  SaturationEdit = AddRow(form, QStringLiteral("Амплитуда насыщения входа Uн:"), settings.Saturation, this);
  AmplitudeEdit = AddRow(form, QStringLiteral("Амплитуда выхода A:"), settings.Amplitude, this);
  ShaperEdit = AddRow(form, QStringLiteral("Такт формирователя Tф:"), settings.ShaperClock, this);
  PauseEdit = AddRow(form, QStringLiteral("Пауза на нуле:"), settings.ZeroPause, this);
  top->addLayout(form);
  top->addWidget(new QLabel(QString::fromUtf8(kExpressionHint), this));

  OKBtn = AddDialogButtons(top, this, kBlockHelpBase + 100, &CancelBtn);
  connect(OKBtn, &QPushButton::clicked, this, &TPWMDialogBox::OKBtnClick);
  connect(PolarityGroup, &QButtonGroup::idClicked, this, &TPWMDialogBox::UpdateEnabled);
  UpdateEnabled();
}

void TPWMDialogBox::UpdateEnabled() {
  // The zero pause acts only in the polarity with a pause at zero.
  PauseEdit->setEnabled(PolarityGroup->checkedId() == 3);
}

void TPWMDialogBox::OKBtnClick() {
  TPWMSettings s = Settings;
  if (!EvaluateAll({{PeriodEdit, &s.Period},
                    {SaturationEdit, &s.Saturation},
                    {AmplitudeEdit, &s.Amplitude},
                    {ShaperEdit, &s.ShaperClock},
                    {PauseEdit, &s.ZeroPause}}))
    return;
  s.Polarity = CheckedIndex(PolarityGroup, s.Polarity);
  s.ModKind = CheckedIndex(KindGroup, s.ModKind);
  s.Signal = CheckedIndex(SignalGroup, s.Signal);
  Settings = s;
  accept();
}

TFIMDialogBox::TFIMDialogBox(const TPFMSettings& settings, QWidget* parent)
    : QDialog(parent), Settings(settings) {
  setWindowTitle(QStringLiteral("Частотно-импульсный модулятор"));
  auto* top = new QVBoxLayout(this);
  AddHeading(top, 101, windowTitle(), this);

  auto* groups = new QHBoxLayout;
  KindGroup = AddRadioGroup(groups, QStringLiteral("Род модуляции"),
                            {QStringLiteral("I род"), QStringLiteral("II род")}, settings.ModKind,
                            this);
  PolarityGroup = AddRadioGroup(groups, QStringLiteral("Полярность"),
                                {QStringLiteral("Однополярный"), QStringLiteral("Двуполярный")},
                                settings.Polarity, this);
  top->addLayout(groups);

  auto* form = new QFormLayout;
  QuantumEdit = AddRow(form, QStringLiteral("Ширина кванта d:"), settings.Quantum, this);
  HeightEdit = AddRow(form, QStringLiteral("Высота кванта h:"), settings.Height, this);
  PulseEdit = AddRow(form, QStringLiteral("Длительность импульса Tи:"), settings.PulseLength, this);
  ShaperEdit = AddRow(form, QStringLiteral("Такт формирователя Tф:"), settings.ShaperClock, this);
  top->addLayout(form);
  top->addWidget(new QLabel(QString::fromUtf8(kExpressionHint), this));

  OKBtn = AddDialogButtons(top, this, kBlockHelpBase + 101, &CancelBtn);
  connect(OKBtn, &QPushButton::clicked, this, &TFIMDialogBox::OKBtnClick);
  connect(KindGroup, &QButtonGroup::idClicked, this, &TFIMDialogBox::UpdateEnabled);
  UpdateEnabled();
}

void TFIMDialogBox::UpdateEnabled() {
  // Only the modulator of the first kind samples its input with the shaper clock.
  ShaperEdit->setEnabled(KindGroup->checkedId() == 0);
}

void TFIMDialogBox::OKBtnClick() {
  TPFMSettings s = Settings;
  if (!EvaluateAll({{QuantumEdit, &s.Quantum},
                    {HeightEdit, &s.Height},
                    {PulseEdit, &s.PulseLength},
                    {ShaperEdit, &s.ShaperClock}}))
    return;
  s.ModKind = CheckedIndex(KindGroup, s.ModKind);
  s.Polarity = CheckedIndex(PolarityGroup, s.Polarity);
  Settings = s;
  accept();
}

}  // namespace vemo
