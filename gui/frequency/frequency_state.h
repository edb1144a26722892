// What the frequency-domain dialogs remember between uses besides the
// settings file: the list positions of their contours and which Bode plots
// are shown. Program-wide, like the settings.
#pragma once
#include <QString>
#include <string>

class QWidget;

namespace vemo {

// Help pages of the frequency-domain windows and dialogs.
inline constexpr int kBodeHelpContext = 400;
inline constexpr int kHodographHelpContext = 401;
inline constexpr int kTransferHelpContext = 402;
inline constexpr int kSynthesisHelpContext = 403;

// "Мат.ошибка! Попробуйте изменить структуру или параметры."
inline constexpr int kMathErrorCode = 18;

struct TFrequencyChoices {
  // TLACHSetupDlg: list positions, "Вывод" of L and of phi.
  int BodeStartRow = 0, BodeEndRow = 1;
  bool LShown = true, PhiShown = true;
  // TGodoSetupDlg: list positions.
  int GodoStartRow = 0, GodoEndRow = 1;
};
TFrequencyChoices& FrequencyChoices();

// Writes a curve's text (lines ended by "\n") as a text file of the
// program, lines ended by CR LF; "Ошибка в записи файла!" and false when it
// cannot be written (the old file then stays as it was).
bool SaveCurveText(const QString& fileName, const std::string& text);
// The save dialog of a curve file; "" when cancelled.
QString AskCurveFile(QWidget* parent, const QString& title);

}  // namespace vemo
