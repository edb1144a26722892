// TGodoSetupDlg ("Настройка годографа", or "Настройка критерия Попова" in
// the Popov command): the contour, the curves shown, the scale of the plane,
// the frequency range and the phase step of a nonlinearity without a closed
// form.
#pragma once
#include <QDialog>

#include "frequency/contour_lists.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vemo {

class TRangeSlider;

class TGodoSetupDlg : public QDialog {
  Q_OBJECT
 public:
  TGodoSetupDlg(const TField& field, bool popov, QWidget* parent = nullptr);

  TContourLists Lists;
  QCheckBox* WsCheck = nullptr;  // "Wлч(S)"
  QCheckBox* NeCheck = nullptr;  // "ЭККУ -1/Wнч(jw) "
  QButtonGroup* AutoscaleGroup = nullptr;  // ids 0..3
  QLineEdit* ReMinEdit = nullptr;
  QLineEdit* ImMinEdit = nullptr;
  QLineEdit* ReMaxEdit = nullptr;
  QLineEdit* ImMaxEdit = nullptr;
  QPushButton* AutoBtn = nullptr;  // "авто"
  TRangeSlider* FrequencySlider = nullptr;  // "Диапозон частот:"
  QLabel* LgwMinLabel = nullptr;
  QLabel* LgwMaxLabel = nullptr;
  QLineEdit* StepEdit = nullptr;  // "Шаг интегрирования нелинейности:"
  QPushButton* OkBtn = nullptr;

  void FixPoints(int start, int end);
  // The checks of "Ok" in their order (points, then numbers as they stand
  // in the dialog, then their ranges); on success the settings and list
  // positions are stored and the dialog accepted.
  bool OkBtnClick();
  int StartPoint() const { return Lists.StartPoint(); }
  int EndPoint() const { return Lists.EndPoint(); }
  // The lg w range the slider shows.
  double LgwMin() const { return lgwMin_; }
  double LgwMax() const { return lgwMax_; }

 private:
  void UpdateEnabled();
  void ShowRange();
  bool popov_;
  double lgwMin_, lgwMax_;
  bool settingSlider_ = false;
};

}  // namespace vemo
