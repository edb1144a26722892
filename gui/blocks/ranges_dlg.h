// The dialog of the drawing range of the table editor ("Размеры поля").
#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace vemo {

// The full drawing range of the table editor (the range sliders select a
// part of it).
struct TPlotRange {
  double XMin = -1, XMax = 1, YMin = -1, YMax = 1;
  friend bool operator==(const TPlotRange&, const TPlotRange&) = default;
};

inline constexpr int kNonlinearityRangesHelp = 702;
inline constexpr int kGeneratorRangesHelp = 703;

// Edits the range it is given: every edit that parses during the OK checks
// is stored into that range at once. For the table-defined generator the
// abscissa is time starting at 0: the first edit shows "0" and is disabled.
class TRangesDlg : public QDialog {
  Q_OBJECT
 public:
  TRangesDlg(TPlotRange& range, bool generator, QWidget* parent = nullptr);

  // "X min:", "Y min:", "X max:", "Y max:" in this order.
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QLineEdit* Edit4 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QPushButton* OkBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* HelpBtn = nullptr;

  // Set by a successful OK; cleared by Cancel.
  bool Confirmed = false;
  int HelpContext() const { return helpContext_; }

  // The checks of OK, in order: X min, Y min and X max parse; X min below
  // X max; Y max parses; Y min below Y max. A failure shows its message and
  // keeps the dialog open.
  void OkBtnClick();

  // Runs the dialog modally; true when confirmed.
  static bool Execute(TPlotRange& range, bool generator, QWidget* parent);

 private:
  TPlotRange& range_;
  int helpContext_;
};

}  // namespace vemo
