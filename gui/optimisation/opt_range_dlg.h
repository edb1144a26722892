// TOptRangeDlg ("Диапазон"): the bounds and the scale of one optimised
// parameter.
#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vemo {

struct TOptParam;

class TOptRangeDlg : public QDialog {
  Q_OBJECT
 public:
  // name: the parameter's caption, shown as the dialog's title line.
  TOptRangeDlg(TOptParam& param, const QString& name, QWidget* parent = nullptr);

  QLabel* TitleLabel = nullptr;
  QLineEdit* Edit1 = nullptr;  // "Нижняя граница:"
  QLineEdit* Edit2 = nullptr;  // "Верхняя граница:"
  QRadioButton* LinearBtn = nullptr;  // [-∞; +∞]
  QRadioButton* LogBtn = nullptr;     // [0; +∞]
  QLabel* ValueLabel = nullptr;       // the current value
  QPushButton* OKBtn = nullptr;

  // Both bounds must read and the lower be below the upper; then the scale
  // and the bounds are stored and the dialog closes.
  bool OKBtnClick();

 private:
  TOptParam& param_;
};

}  // namespace vemo
