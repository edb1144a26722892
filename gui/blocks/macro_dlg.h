// The dialog of a macro block: the name written into its cell and the
// project file of its body.
#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace vemo {

class TMacroBlock;

class TMacroDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TMacroDlg(TMacroBlock& block, QWidget* parent = nullptr);

  QLineEdit* Edit1 = nullptr;  // "Имя:"
  QLineEdit* Edit2 = nullptr;  // "Имя файла (*.vmo):"
  QPushButton* Button1 = nullptr;  // "Открыть тело"
  QPushButton* Button2 = nullptr;  // "Обзор"
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

  // Opens the body in its own editor window, or brings that window forward.
  void Button1Click();
  // Chooses the body file with the program's project open dialog.
  void Button2Click();
  // Stores the name and the file; the dialog closes.
  void OKBtnClick();
  // Whether OK changed the block.
  bool Changed() const { return changed_; }

 private:
  TMacroBlock& block_;
  bool changed_ = false;
};

}  // namespace vemo
