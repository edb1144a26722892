// The dialogs of the pulse-width and the pulse-frequency modulator. Each
// works on a copy of the modulator's settings; the caller copies them back
// when the dialog was confirmed.
#pragma once
#include <QDialog>
#include <cstdint>

class QButtonGroup;
class QLabel;
class QPushButton;

namespace vemo {

class TExpressionEdit;
class TPulseWidthModulator;
class TPulseFrequencyModulator;

struct TPWMSettings {
  uint8_t Polarity = 1, ModKind = 1, Signal = 1;
  double Period = 0.01, Saturation = 1, Amplitude = 1, ShaperClock = 0.01, ZeroPause = 0.001;

  static TPWMSettings From(const TPulseWidthModulator& b);
  void To(TPulseWidthModulator& b) const;
  bool operator==(const TPWMSettings&) const = default;
};

struct TPFMSettings {
  uint8_t ModKind = 1, Polarity = 1;
  double Quantum = 0.1, Height = 1, PulseLength = 0.1, ShaperClock = 1;

  static TPFMSettings From(const TPulseFrequencyModulator& b);
  void To(TPulseFrequencyModulator& b) const;
  bool operator==(const TPFMSettings&) const = default;
};

class TPWMDialogBox : public QDialog {
  Q_OBJECT
 public:
  TPWMDialogBox(const TPWMSettings& settings, QWidget* parent = nullptr);
  TPWMSettings Settings;  // the values confirmed by OK

  QButtonGroup* PolarityGroup = nullptr;
  QButtonGroup* KindGroup = nullptr;
  QButtonGroup* SignalGroup = nullptr;
  TExpressionEdit* PeriodEdit = nullptr;
  TExpressionEdit* SaturationEdit = nullptr;
  TExpressionEdit* AmplitudeEdit = nullptr;
  TExpressionEdit* ShaperEdit = nullptr;
  TExpressionEdit* PauseEdit = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

  void OKBtnClick();

 private:
  void UpdateEnabled();
};

class TFIMDialogBox : public QDialog {
  Q_OBJECT
 public:
  TFIMDialogBox(const TPFMSettings& settings, QWidget* parent = nullptr);
  TPFMSettings Settings;

  QButtonGroup* KindGroup = nullptr;
  QButtonGroup* PolarityGroup = nullptr;
  TExpressionEdit* QuantumEdit = nullptr;
  TExpressionEdit* HeightEdit = nullptr;
  TExpressionEdit* PulseEdit = nullptr;
  TExpressionEdit* ShaperEdit = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

  void OKBtnClick();

 private:
  void UpdateEnabled();
};

}  // namespace vemo
