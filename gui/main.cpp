// The desktop program: one main window; the first argument names a project
// to open.
#include <QApplication>
#include <clocale>

#include "shell/main_form.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Number texts are locale independent already; keep the C library's
  // conversions that way too.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QStringLiteral("Vemo 3.1"));
  vemo::TMainForm form;
  form.show();
  const QStringList args = QApplication::arguments();
  if (args.size() > 1)
    form.OpenProjectFile(args.at(1).left(255));
  else
    form.NewEditor();
  return app.exec();
}
