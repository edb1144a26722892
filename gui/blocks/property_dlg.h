// The parameter dialog of a block: its picture, one line per parameter
// taking an expression, and the "Оптимиз." marks.
#pragma once
#include <QDialog>

namespace vemo {

class TParamBlock;

class TPropertyDlg : public QDialog {
  Q_OBJECT
 public:
  TPropertyDlg(TParamBlock& block, QWidget* parent = nullptr);
  ~TPropertyDlg() override;
  // Opens the dialog modally; true when the block was changed.
  static bool Edit(TParamBlock& block, QWidget* parent = nullptr);

 private:
  struct TImpl;
  TImpl* impl_ = nullptr;
};

}  // namespace vemo
