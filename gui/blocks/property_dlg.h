// The parameter dialog of a block: its picture, one line per parameter
// taking an expression, and the "Оптимиз." marks.
#pragma once
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace vemo {

class TParamBlock;
class TExpressionEdit;

class TPropertyDlg : public QDialog {
  Q_OBJECT
 public:
  TPropertyDlg(TParamBlock& block, QWidget* parent = nullptr);
  ~TPropertyDlg() override;
  // Opens the dialog modally; true when the block was changed.
  static bool Edit(TParamBlock& block, QWidget* parent = nullptr);

  // After the dialog closed: whether OK changed a parameter or a mark.
  bool Changed() const { return changed_; }

  // Controls; rows beyond the block's ParamCount stay hidden.
  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Labels[4] = {};           // Label2..Label5
  TExpressionEdit* Edits[4] = {};   // Edit1..Edit4
  QCheckBox* CheckBoxes[4] = {};    // CheckBox1..CheckBox4
  QLabel* Label6 = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* HelpBtn = nullptr;

  // OK: every shown row must evaluate; the block is written only then.
  void OKBtnClick();

 private:
  struct TImpl;
  TImpl* impl_ = nullptr;
  bool changed_ = false;
};

}  // namespace vemo
