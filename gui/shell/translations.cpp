#include "shell/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

namespace vemo {

namespace {

// Consulted before Qt's catalogue: the one spelling of the OK button.
class TOkSpelling : public QTranslator {
 public:
  using QTranslator::QTranslator;
  QString translate(const char*, const char* source, const char*, int) const override {
    if (source && (std::strcmp(source, "OK") == 0 || std::strcmp(source, "&OK") == 0))
      return QStringLiteral("Ok");
    return {};
  }
  bool isEmpty() const override { return false; }
};

}  // namespace

bool InstallQtTranslations(QCoreApplication& app) {
  auto* qt = new QTranslator(&app);
  const bool found = qt->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                              QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (found)
    QCoreApplication::installTranslator(qt);
  else
    delete qt;
  QCoreApplication::installTranslator(new TOkSpelling(&app));
  return found;
}

}  // namespace vemo
