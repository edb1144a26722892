// TOptParamDlg ("Параметры оптимизации"): the criterion with its weights and
// the method with its settings. It works on a copy of the settings, which
// goes back to the program only on OK.
#pragma once
#include <QDialog>
#include <array>

#include "shell/settings.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QTabWidget;

namespace vemo {

class TOptParamDlg : public QDialog {
  Q_OBJECT
 public:
  TOptParamDlg(TSettings& settings, QWidget* parent = nullptr);

  QTabWidget* PageControl1 = nullptr;
  // "Критерий"
  QListWidget* ListBox1 = nullptr;
  std::array<QSlider*, 3> TrackBars{};   // error, derivative, second derivative
  std::array<QLabel*, 3> WeightLabels{};  // the captions
  std::array<QLabel*, 3> WeightValues{};  // the values beside the bars
  // "Метод"
  QListWidget* ListBox2 = nullptr;
  QStackedWidget* Notebook1 = nullptr;
  QSpinBox* ZondCountEdit = nullptr;
  QSpinBox* ZondIterEdit = nullptr;
  QSpinBox* SpeedDownEdit = nullptr;
  QSpinBox* SpeedDownItersEdit = nullptr;
  QSpinBox* SpeedDownSingleEdit = nullptr;
  QLineEdit* SpeedDownEpsEdit = nullptr;
  QLineEdit* GradDownVolumEdit = nullptr;  // "5%"
  QSpinBox* GradDownItersEdit = nullptr;
  QLineEdit* GradDownEpsEdit = nullptr;
  std::array<QPushButton*, 3> DefaultBtns{};  // "По умолчанию" of each method
  QPushButton* OKBtn = nullptr;

  // Stores the criterion, the method and the settings of the selected
  // method; a bad value shows its message, focuses its field and keeps the
  // dialog open.
  bool OKBtnClick();

 private:
  void ShowCriterion(int critery);
  void StoreWeights();
  void ShowMethodSettings();
  void RestoreDefaults(int method);
  TSettings& settings_;
  TSettings work_;
  int shownCritery_ = 1;
};

}  // namespace vemo
