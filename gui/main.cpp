// The desktop program: one main window; the first argument names a project
// to open, otherwise an empty project window is made.
#include <clocale>

#include "shell/about_box.h"
#include "shell/main_form.h"
#include "shell/qt_dialogs.h"
#include "shell/vemo_application.h"
#include "shell/translations.h"

// Plug-in libraries look this function up in the program by name to show
// their messages (see sample-plugin/tiklo.c).
extern "C" __attribute__((visibility("default"))) void vemo_plugin_message_box(
    const char* text, const char* caption, int icon) {
  vemo::PluginMessageBox(text, caption, icon);
}

int main(int argc, char** argv) {
  vemo::TVemoApplication app(argc, argv);
  // Number texts are locale independent already; keep the C library's
  // conversions that way too.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QString::fromUtf8(vemo::kProgramTitle));
  vemo::InstallQtTranslations(app);
  vemo::InstallQtDialogs();
  vemo::TMainForm form;
  form.show();
  const QStringList args = QApplication::arguments();
  if (args.size() > 1)
    form.OpenProjectFile(args.at(1).left(255));
  else
    form.NewEditor();
  return app.exec();
}
