// ThtSetupDlg ("Настройка переход.процесса"): view time, step, scales and
// the points of the transient response.
#pragma once
#include <QDialog>
#include <cstdint>
#include <vector>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vemo {

struct TField;

class ThtSetupDlg : public QDialog {
  Q_OBJECT
 public:
  ThtSetupDlg(TField& field, QWidget* parent = nullptr);

  QLineEdit* ViewTimeEdit = nullptr;
  QLineEdit* StepEdit = nullptr;
  QPushButton* StepBtn = nullptr;  // the step the blocks recommend
  QCheckBox* AutoScaleCheck = nullptr;
  QCheckBox* SingleScaleCheck = nullptr;
  QLineEdit* MinEdit = nullptr;
  QLineEdit* MaxEdit = nullptr;
  struct TPointRow {
    int Point = 0;  // 0 = A
    QCheckBox* ShownCheck = nullptr;
    QPushButton* ColorBtn = nullptr;
    QLineEdit* LowEdit = nullptr;
    QLineEdit* HighEdit = nullptr;
    uint32_t Color = 0;
  };
  std::vector<TPointRow> Rows;  // one per placed point, in letter order
  QPushButton* OkBtn = nullptr;

  // The checks of OK in their order; a failing one shows its message,
  // focuses its edit and keeps the dialog open. On success the view time,
  // the field's step, the scale settings and the points are stored and the
  // dialog is accepted.
  bool OkBtnClick();

 private:
  void UpdateEnabled();
  void ChooseColor(TPointRow& row);
  TField& field_;
};

}  // namespace vemo
