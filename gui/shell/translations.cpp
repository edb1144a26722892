#include "shell/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vemo {

bool InstallQtTranslations(QCoreApplication& app) {
  auto* qt = new QTranslator(&app);
  const bool found = qt->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                              QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (found)
    QCoreApplication::installTranslator(qt);
  else
    delete qt;
  return found;
}

}  // namespace vemo
