#include "shell/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstring>

namespace vemo {

namespace {

// The few texts of Qt's dialogs that Qt's Russian catalogue lacks (the
// type column of the file chooser). Installed before the catalogue, so the
// catalogue answers first wherever it has a text.
class TQtGaps : public QTranslator {
 public:
  using QTranslator::QTranslator;
  QString translate(const char* context, const char* source, const char*, int) const override {
    struct TGap {
      const char *Context, *Source, *Text;
    };
    static constexpr TGap kGaps[] = {
        {"QAbstractFileIconProvider", "Folder", "Папка"},
        {"QAbstractFileIconProvider", "Drive", "Диск"},
        {"QAbstractFileIconProvider", "Shortcut", "Ярлык"},
        {"QAbstractFileIconProvider", "Unknown", "Неизвестный"},
    };
    if (!context || !source) return {};
    for (const TGap& g : kGaps)
      if (std::strcmp(context, g.Context) == 0 && std::strcmp(source, g.Source) == 0)
        return QString::fromUtf8(g.Text);
    return {};
  }
  bool isEmpty() const override { return false; }
};

}  // namespace

bool InstallQtTranslations(QCoreApplication& app) {
  QCoreApplication::installTranslator(new TQtGaps(&app));
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
