// TEditWSDlg ("Синтез структуры"): the W(s) a structure is synthesised
// from, typed as text; the last text is kept for the next time.
#pragma once
#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace vemo {

// The last typed text (program-wide).
QString& LastTypedTransfer();

class TEditWSDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TEditWSDlg(QWidget* parent = nullptr);
  ~TEditWSDlg() override;

  QLineEdit* Edit1 = nullptr;
  QPushButton* SynthBtn = nullptr;  // "Синтез"

  // "Синтез": a text that reads as W(s) closes the dialog as accepted;
  // otherwise "Ошибка в выражении!" and the dialog stays.
  bool SynthBtnClick();
  QString Text() const;
};

}  // namespace vemo
