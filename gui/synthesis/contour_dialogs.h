// The contour dialogs of the structure commands: TStructEasyDlg
// ("Упрощение структуры") and its descendants TInOutUnlDlg
// ("Входо-выходная хар-ка", with "X max:" and "Шаг:") and TSyntezDlg
// ("Синтез регулятора", with the time constant "t:").
#pragma once
#include <QDialog>

#include "frequency/contour_lists.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace vemo {

// What the dialogs keep between uses (program-wide).
struct TStructureChoices {
  int Start = 0, End = 1;  // the last contour
  double XMax = 2.0;       // "X max:"
  double Step = 0.01;      // "Шаг:"
  double T = 1.0;          // "t:"
};
TStructureChoices& StructureChoices();

class TStructEasyDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TStructEasyDlg(const TField& field, QWidget* parent = nullptr);

  QLabel* Label1 = nullptr;
  TContourLists Lists;
  QPushButton* OkBtn = nullptr;

  // "OK": equal points keep the dialog open with their message; then the
  // checks of a descendant; on success the contour (and the values) are
  // stored and the dialog accepted.
  bool OkBtnClick();
  int StartPoint() const { return Lists.StartPoint(); }
  int EndPoint() const { return Lists.EndPoint(); }

 protected:
  // Where a descendant puts its controls (between the lists and the buttons).
  QVBoxLayout* Extra = nullptr;
  // A descendant's own checks and storing; false keeps the dialog open.
  virtual bool TakeValues() { return true; }
};

class TInOutUnlDlg : public TStructEasyDlg {
  Q_OBJECT
 public:
  explicit TInOutUnlDlg(const TField& field, QWidget* parent = nullptr);
  QLineEdit* Edit1 = nullptr;  // "X max:"
  QLineEdit* Edit2 = nullptr;  // "Шаг:"

 protected:
  // Both numbers must read; values below 0.001 become 0.001.
  bool TakeValues() override;
};

class TSyntezDlg : public TStructEasyDlg {
  Q_OBJECT
 public:
  explicit TSyntezDlg(const TField& field, QWidget* parent = nullptr);
  QLineEdit* Edit1 = nullptr;  // "t:"

 protected:
  // t must read and exceed 0.0001.
  bool TakeValues() override;
};

}  // namespace vemo
