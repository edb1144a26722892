// Screenshots of the desktop program's windows and dialogs, to look at them
// (also at a larger scale: QT_SCALE_FACTOR=2) and for the documentation:
//   gallery OUTDIR [EXAMPLESDIR]
// Every window is opened the way a person opens it; modal dialogs are
// pictured as soon as they show and then closed (the setup dialogs of the
// result windows confirmed, so that the windows open).
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <functional>

#include "blocks/cell_object.h"
#include "blocks/registry.h"
#include "help/help_window.h"
#include "model/field.h"
#include "model/mdi_child.h"
#include "model/scheme_builder.h"
#include "shell/about_box.h"
#include "shell/analysis_bridge.h"
#include "shell/main_form.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "shell/qt_dialogs.h"
#include "shell/translations.h"

using namespace vemo;

namespace {

QDir g_out;
int g_saved = 0;

void Save(QWidget* w, const QString& name) {
  QApplication::processEvents();
  const QString file = g_out.filePath(QStringLiteral("gallery-%1.png").arg(name));
  if (w && w->grab().save(file)) {
    ++g_saved;
    std::printf("%s\n", qPrintable(file));
  } else {
    std::fprintf(stderr, "gallery: %s not pictured\n", qPrintable(name));
  }
}

// Pictures the next modal dialog as it shows and closes it (accepting it
// when accept is set); then runs open, which shows the dialog.
void Modal(const QString& name, const std::function<void()>& open, bool accept = false) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, name, accept] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w) return;
    timer->stop();
    timer->deleteLater();
    Save(w, name);
    if (auto* d = qobject_cast<QDialog*>(w)) accept ? d->accept() : d->reject();
  });
  timer->start(50);
  open();
}

// The first type code whose objects open the editor of a kind.
uint16_t CodeOfEditor(uint8_t kind) {
  for (uint32_t code = 0; code < 0x5000; ++code)
    if (auto obj = CreateCellObject(static_cast<uint16_t>(code))) {
      const bool found = obj->EditorKind() == kind;
      obj->Done();
      if (found) return static_cast<uint16_t>(code);
    }
  return 0;
}

void EditCell(TMDIChild* e, int col, int row) {
  e->PressCol = col;
  e->PressRow = row;
  e->ShowProperties();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  if (argc < 2) {
    std::fprintf(stderr, "usage: gallery OUTDIR [EXAMPLESDIR]\n");
    return 2;
  }
  QApplication::setApplicationName(QString::fromUtf8(kProgramTitle));
  InstallQtTranslations(app);
  InstallQtDialogs();
  g_out = QDir(QString::fromLocal8Bit(argv[1]));
  g_out.mkpath(QStringLiteral("."));
  const QString examples =
      argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(VEMO_SOURCE_DIR "/examples");

  TMainForm form;
  form.resize(1280, 800);
  form.show();
  TMDIChild* loop = form.OpenProjectFile(examples + QStringLiteral("/feedback_loop.vmo"));
  if (!loop) return 1;

  // The editor's own dialogs, on a scratch scheme with one block of each
  // kind of editor.
  TMDIChild* scratch = form.NewEditor();
  {
    TSchemeBuilder b(scratch->Field());
    b.Block(2, 2, 6, {2.0});  // a parameter block
    int col = 2;
    for (uint8_t kind : {4, 5, 7, 9, 11, 12}) {
      col += 2;
      if (const uint16_t code = CodeOfEditor(kind)) b.Block(col, kind == 7 ? 3 : 2, code);
    }
    b.Block(7, 2, 6);  // the block the parameter control at (8, 3) drives
    scratch->RefreshGrid();
  }
  Modal(QStringLiteral("property-dialog"), [&] { EditCell(scratch, 2, 2); });
  Modal(QStringLiteral("macro-dialog"), [&] { EditCell(scratch, 4, 2); });
  Modal(QStringLiteral("table-editor"), [&] { EditCell(scratch, 6, 2); });
  Modal(QStringLiteral("param-control-dialog"), [&] { EditCell(scratch, 8, 3); });
  Modal(QStringLiteral("plugin-dialog"), [&] { EditCell(scratch, 10, 2); });
  Modal(QStringLiteral("pwm-dialog"), [&] { EditCell(scratch, 12, 2); });
  Modal(QStringLiteral("pfm-dialog"), [&] { EditCell(scratch, 14, 2); });
  Modal(QStringLiteral("comment-prompt"), [&] { scratch->N9Click(); });
  scratch->Field().Modified = 0;
  if (QMdiSubWindow* sub = form.MdiArea()->currentSubWindow()) sub->close();
  QApplication::processEvents();

  // The shell's dialogs and messages.
  form.BringForward(loop);
  Modal(QStringLiteral("print-dialog"), [&] { form.N3Click(); });
  Modal(QStringLiteral("file-open"), [&] { form.FileOpenItemClick(); });
  Modal(QStringLiteral("about"), [&] { form.HelpAboutItemClick(); });
  Modal(QStringLiteral("error-box"), [&] { ShowErrorBox(7, &form); });
  Modal(QStringLiteral("message"), [] { ShowMessage(kReadError); });
  Modal(QStringLiteral("question"), [&] {
    Prog.Dialogs->AskYesNoCancel("Проект feedback_loop.vmo не сохранен! Сохранить?");
  });
  form.N13Click();
  Save(THelpWindow::Instance(), QStringLiteral("help"));
  if (THelpWindow* help = THelpWindow::Instance()) help->close();

  // The result windows, each after its setup dialog.
  Save(&form, QStringLiteral("main"));
  form.BringForward(loop);
  Modal(QStringLiteral("transient-setup"), [&] { RunTransientCommand(form); }, true);
  Save(&form, QStringLiteral("main-transient"));
  if (QMdiSubWindow* sub = form.MdiArea()->currentSubWindow()) Save(sub, QStringLiteral("transient"));
  form.BringForward(loop);
  Modal(QStringLiteral("phase-setup"), [&] { RunPhaseCommand(form); }, true);
  if (QMdiSubWindow* sub = form.MdiArea()->currentSubWindow()) Save(sub, QStringLiteral("phase"));
  form.WindowTileItemClick();
  Save(&form, QStringLiteral("main-tiled"));

  for (TMDIChild* e : form.Editors()) e->Field().Modified = 0;
  std::printf("%d pictures\n", g_saved);
  return 0;
}
