// The dialog of a parameter control block: which parameter of the block
// one cell left and one cell up the control block drives.
#pragma once
#include <QDialog>

class QButtonGroup;
class QPushButton;

namespace vemo {

class TParamControl;
class TParamBlock;

class TParamCtrlDlg : public QDialog {
  Q_OBJECT
 public:
  TParamCtrlDlg(TParamControl& control, TParamBlock& target, QWidget* parent = nullptr);

  QButtonGroup* RadioGroup1 = nullptr;  // "Каким параметром управлять?"
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

  // Stores the chosen parameter index in the control block.
  void OKBtnClick();

 private:
  TParamControl& control_;
};

}  // namespace vemo
