// The number checks of the time-domain setup dialogs.
#pragma once
#include <QString>
#include <functional>

class QBoxLayout;
class QDialog;
class QLineEdit;
class QPushButton;

namespace vemo {

// The number in an edit: false after "Неверный числовой формат!" with the
// edit focused.
bool EditNumber(QLineEdit* edit, double& out);
// Shows "Недопустимое значение параметра!" and focuses the edit; false.
bool RejectEdit(QLineEdit* edit);
// A number of at least min (both messages as above).
bool EditAtLeast(QLineEdit* edit, double min, double& out);
// A run of viewTime at step takes at most kMaxRunSteps steps; otherwise
// "Недопустимое значение параметра!" with the view time edit focused.
bool RunLengthAllowed(QLineEdit* viewTimeEdit, double viewTime, double step);
// Two edits of a range: both parse, then high must exceed low (the high
// edit is focused otherwise).
bool EditRange(QLineEdit* lowEdit, QLineEdit* highEdit, double& low, double& high);
// The program's text form of a number.
QString NumberText(double v);
// The button row of a setup dialog at the bottom of layout: the default
// button okCaption ("OkBtn") running ok, and "Отмена" rejecting the dialog.
QPushButton* AddOkCancel(QDialog* dialog, QBoxLayout* layout, const QString& okCaption,
                         const std::function<void()>& ok);

}  // namespace vemo
