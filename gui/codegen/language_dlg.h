// The program generation dialog: language, sampling step, variable block
// address and the programmed contour's input and output points.
#pragma once
#include <QDialog>
#include <QString>
#include <functional>

#include "codegen/generation.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace vemo {

struct TField;

// Help contexts of the dialog and its controls.
inline constexpr int kLanguageDlgHelp = 30;
inline constexpr int kContourListsHelp = 31;
inline constexpr int kLanguageListHelp = 32;
inline constexpr int kStepHelp = 33;
inline constexpr int k386Help = 34;
inline constexpr int kAddressHelp = 35;
inline constexpr int kGenerateHelp = 36;

// What the save dialog is asked: title, Qt filter, proposed name, suffix.
struct TSaveRequest {
  QString Title, Filter, FileName, Suffix;
};

class TLanguageDlg : public QDialog {
  Q_OBJECT
 public:
  // field: compiled, its points resolved.
  TLanguageDlg(TField& field, QWidget* parent = nullptr);

  QListWidget* ListBox1 = nullptr;  // "Язык:"
  QLineEdit* Edit1 = nullptr;       // "Шаг времени (сек):"
  QCheckBox* CheckBox1 = nullptr;   // "80386 и выше"
  QLabel* Label2 = nullptr;         // "Адрес в IRAM блока переменных:"
  QLineEdit* MaskEdit1 = nullptr;
  QListWidget* ListBox2 = nullptr;  // "Входы:"
  QListWidget* ListBox3 = nullptr;  // "Выходы:"
  QPushButton* OKBtn = nullptr;     // "Генерация"
  QPushButton* CancelBtn = nullptr;
  QPushButton* HelpBtn = nullptr;

  // The save dialog; tests answer it. An empty answer cancels.
  static std::function<QString(const TSaveRequest&)> SaveChooser;

  void ListBox1Click();
  // "Генерация": the checks, the save dialog, the file. The dialog closes
  // once a file is written.
  void OKBtnClick();
  // The help context of the control that has the focus.
  int HelpContextOfFocus() const;
  // The point of each list item (A = 0).
  const std::vector<int>& ItemPoints() const { return points_; }

 private:
  TTarget Target() const;
  QString ChooseFile(TTarget t);

  TField& field_;
  std::vector<int> points_;
};

// The menu command: the dialog on the compiled field (modal).
void ShowLanguageDlg(TField& field, QWidget* parent);

}  // namespace vemo
