// The three small dialogs of the fuzzy editor: the name and variable of a
// membership function, the abscissa range of a variable's graph, and the
// note that the rules have no errors.
#pragma once
#include <QDialog>
#include <utility>
#include <vector>

#include "fuzzy/fuzzy_model.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vemo {

inline constexpr int kFuncNameHelp = 701;
inline constexpr int kFieldSizeHelp = 700;

// The abscissa range of each variable's graph, by variable index.
using TVarRanges = std::vector<std::pair<double, double>>;

// The characters a name may hold: digits, Latin letters, "_" and Cyrillic
// letters (Windows-1251 codes 192..255).
bool ValidFuzzyName(const QString& name);
inline constexpr const char* kBadFuzzyName = "Неверное имя! В имени не должно быть специальных символов.";

// "Новая функция" (or "Переименовать"): the name (at most 12 characters) and
// the variable of a membership function.
class TFuncNameDlg : public QDialog {
  Q_OBJECT
 public:
  // renaming: the index of the term being renamed (its own name does not
  // count as taken), -1 for a new function.
  TFuncNameDlg(const TFuzzyModel& m, int renaming, QWidget* parent = nullptr);
  QLineEdit* Edit1 = nullptr;
  QComboBox* ComboBox1 = nullptr;  // the named variables
  QPushButton* OkBtn = nullptr;

  QString Name() const;
  // The chosen variable's index in the model, -1 when there is none.
  int VarIndex() const;
  void SetVar(int varIndex);
  // Refuses a name another function has (letters compared in either case,
  // as the rules compare them) or one the rules could not name; accepts
  // otherwise.
  void OkBtnClick();

 private:
  const TFuzzyModel& model_;
  int renaming_;
};

// "Размер поля": the range of one variable's graph.
class TFieldSizeDlg : public QDialog {
  Q_OBJECT
 public:
  TFieldSizeDlg(const TFuzzyModel& m, TVarRanges& ranges, int var, QWidget* parent = nullptr);
  QComboBox* ComboBox1 = nullptr;
  QLineEdit* Edit1 = nullptr;  // min:
  QLineEdit* Edit3 = nullptr;  // max:
  QPushButton* OkBtn = nullptr;
  void ComboBox1Change();
  // Both numbers must read and min stay below max; then the range is
  // stored and the dialog accepted.
  void OkBtnClick();

 private:
  TVarRanges& ranges_;
  std::vector<size_t> vars_;
};

// "Проверено": "Ошибок нет!".
class TNoErrorDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TNoErrorDlg(QWidget* parent = nullptr);
};

}  // namespace vemo
