// TpfSetupDlg ("Настройка фазового портрета"): the abscissa and ordinate
// points, their ranges, the page time and the step of the phase portrait.
#pragma once
#include <QDialog>
#include <cstdint>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vemo {

struct TField;

// The points of the last portrait (program-wide, like the other settings):
// abscissa 0..11, ordinate 0..11 or 255 for dx/dt.
struct TPhaseChoice {
  int Abscissa = 0;
  uint8_t Ordinate = 1;
};
TPhaseChoice& PhaseChoice();

class TpfSetupDlg : public QDialog {
  Q_OBJECT
 public:
  TpfSetupDlg(TField& field, QWidget* parent = nullptr);

  QListWidget* ListBox1 = nullptr;  // abscissa: the placed points
  QListWidget* ListBox2 = nullptr;  // ordinate: the placed points and "dx/dt"
  QLineEdit* XMinEdit = nullptr;
  QLineEdit* XMaxEdit = nullptr;
  QLineEdit* YMinEdit = nullptr;
  QLineEdit* YMaxEdit = nullptr;
  QLineEdit* ViewTimeEdit = nullptr;
  QLineEdit* StepEdit = nullptr;
  QPushButton* AutoBtn = nullptr;
  QCheckBox* AutoscaleCheck = nullptr;
  QPushButton* OkBtn = nullptr;

  // Reopened from a running portrait: its points stay as they are.
  void FixPoints();
  // Selects the list rows of the points (tests, reopening).
  void SelectPoints(int abscissa, uint8_t ordinate);
  // The checks of OK in their order (see ThtSetupDlg::OkBtnClick).
  bool OkBtnClick();

 private:
  void AutoscaleChanged();
  TField& field_;
};

}  // namespace vemo
