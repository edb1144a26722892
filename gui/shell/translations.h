// Qt's own texts (file dialogs, input boxes, standard buttons, the page
// setup dialog) in the language of the rest of the program.
#pragma once

class QCoreApplication;

namespace vemo {

// Loads Qt's Russian translations from Qt's translations directory (Debian
// qt6-translations-l10n) and makes every standard OK button read "Ok", as
// the program's own dialogs do. Without the translation files Qt's texts
// stay as they are. Returns whether Qt's translations were found.
bool InstallQtTranslations(QCoreApplication& app);

}  // namespace vemo
