// Pieces the block dialogs share: messages, the block picture, and edits
// that take a parameter as an arithmetic expression.
#pragma once
#include <QLineEdit>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

class QBoxLayout;
class QButtonGroup;
class QDialog;
class QLabel;
class QPushButton;

namespace vemo {

class TCellObject;
class TExpressionEdit;

// The hint under the expression edits of every block dialog.
inline constexpr const char* kExpressionHint = "Возможно использовать + — * / ( )";

// Shows a message through the program's dialogs (core's Prog.Dialogs), or a
// plain message box when none are installed.
void ShowBlockMessage(QWidget* parent, const std::string& text);

// The object drawn into a white size x size picture as the editor shows it.
QPixmap CellPicture(TCellObject& obj, int size = 40);
// A framed label holding that picture.
QLabel* MakePictureLabel(TCellObject& obj, QWidget* parent, int size = 40);

// A titled group of radio buttons added to layout; button i has id i and
// item checked is down.
QButtonGroup* AddRadioGroup(QBoxLayout* layout, const QString& title, const QStringList& items,
                            int checked, QWidget* parent);
// The id of the checked button, or fallback when none is checked.
uint8_t CheckedIndex(const QButtonGroup* group, uint8_t fallback);
// The button row "OK", "Отмена", "Помощь" at the bottom of a dialog; Cancel
// rejects, Help (and F1) open the help context. Returns the OK button.
QPushButton* AddDialogButtons(QBoxLayout* layout, QDialog* dialog, int helpContext,
                              QPushButton** cancel = nullptr, QPushButton** help = nullptr);
// Evaluates edits in order into values; false (after the message) at the
// first that fails.
bool EvaluateAll(std::initializer_list<std::pair<TExpressionEdit*, double*>> rows);

// An edit holding a real value as an expression. The value shown at the
// start is remembered: while the text is untouched, Evaluate gives back the
// exact starting value, so confirming a dialog never rounds a parameter
// through its text form.
class TExpressionEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TExpressionEdit(double value, QWidget* parent = nullptr);
  void SetValue(double value);
  // Evaluates the text; on failure shows the evaluator's message, puts the
  // focus here and returns false.
  bool Evaluate(double& value);

 private:
  double initial_ = 0.0;
  QString initialText_;
};

}  // namespace vemo
