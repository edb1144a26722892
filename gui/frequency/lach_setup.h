// TLACHSetupDlg ("Настройка ЛАЧХ/ФЧХ"): the contour and the scales of the
// Bode plots.
#pragma once
#include <QDialog>

#include "frequency/contour_lists.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vemo {

class TLACHSetupDlg : public QDialog {
  Q_OBJECT
 public:
  TLACHSetupDlg(const TField& field, QWidget* parent = nullptr);

  TContourLists Lists;
  QCheckBox* CheckBox1 = nullptr;  // "Вывод" of L
  QCheckBox* LAutoscaleCheck = nullptr;
  QLineEdit* Edit1 = nullptr;  // L min [dB]
  QLineEdit* Edit2 = nullptr;  // L max
  QCheckBox* CheckBox2 = nullptr;  // "Вывод" of phi
  QCheckBox* FAutoscaleCheck = nullptr;
  QLineEdit* Edit3 = nullptr;  // phi min [degrees]
  QLineEdit* Edit4 = nullptr;  // phi max
  QPushButton* OkBtn = nullptr;

  // Reopened from a window ("Св-ва"): its contour, locked.
  void FixPoints(int start, int end);
  // The checks of "Ok" in their order; a failing one shows its message,
  // focuses its control and keeps the dialog open. On success the flags,
  // the limits and the list positions are stored and the dialog accepted.
  bool OkBtnClick();
  // The contour chosen (valid after OK).
  int StartPoint() const { return Lists.StartPoint(); }
  int EndPoint() const { return Lists.EndPoint(); }

 private:
  void UpdateEnabled();
};

}  // namespace vemo
