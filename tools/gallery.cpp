// Screenshots of the desktop program's windows and dialogs, to look at them
// (also at a larger scale: QT_SCALE_FACTOR=2) and for the documentation:
//   gallery OUTDIR [EXAMPLESDIR]
// Every window is opened the way a person opens it; modal dialogs are
// pictured as soon as they show and then closed (the setup dialogs of the
// result windows confirmed, so that the windows open). Editors of kinds this
// version lacks answer with a message, pictured instead.
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
#include <memory>

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "blocks/cell_object.h"
#include "blocks/nl_editor.h"
#include "blocks/registry.h"
#include "frequency/edit_ws_dlg.h"
#include "frequency/godo_form.h"
#include "frequency/godo_setup.h"
#include "frequency/lach_setup.h"
#include "frequency/ws_form.h"
#include "fuzzy/fuzzy_dlg.h"
#include "neural/neuro_box.h"
#include "optimisation/optimize_dlg.h"
#include "shell/print_dlg.h"
#include "simulation/transient_setup.h"
#include "synthesis/contour_dialogs.h"
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

// While open() runs, the first modal dialog that shows is pictured as
// names[0] and answered by answer (rejected when there is none, or when it
// is still open afterwards); any further modal window (one the answer
// opens, a message after it) is pictured under the next name (else
// names[0]-2, -3, ...) and closed.
void Modal(const QStringList& names, const std::function<void()>& open,
           const std::function<void(QWidget*)>& answer = {}) {
  auto* timer = new QTimer;
  auto seen = std::make_shared<QList<QPointer<QWidget>>>();
  QObject::connect(timer, &QTimer::timeout, [seen, names, answer] {
    QWidget* w = QApplication::activeModalWidget();
    if (!w || seen->contains(w)) return;
    seen->append(w);
    const qsizetype n = seen->size();
    Save(w, n <= names.size() ? names[n - 1] : QStringLiteral("%1-%2").arg(names[0]).arg(n));
    const QPointer<QWidget> shown(w);
    const auto close = [shown] {
      if (!shown || !shown->isVisible()) return;
      if (auto* d = qobject_cast<QDialog*>(shown.data()))
        d->reject();
      else
        shown->close();
    };
    if (n != 1 || !answer) return close();
    // Answered outside this timer's slot, so that the timer keeps watching
    // for the windows the answer opens.
    QTimer::singleShot(0, shown, [shown, answer, close] {
      answer(shown);
      close();
    });
  });
  timer->start(50);
  open();
  timer->stop();
  timer->deleteLater();
}

// Answers a dialog with a contour (from point B to point A) and its OK.
template <typename TDialog>
std::function<void(QWidget*)> ContourBA() {
  return [](QWidget* w) {
    if (auto* d = qobject_cast<TDialog*>(w)) {
      d->Lists.SelectPoints(1, 0);
      d->OkBtnClick();
    }
  };
}

// Pictures every page of a dialog's tab widget after the first.
void SavePages(QWidget* dialog, QTabWidget* tabs, const QStringList& names) {
  for (int i = 1; i < tabs->count() && i <= names.size(); ++i) {
    tabs->setCurrentIndex(i);
    Save(dialog, names[i - 1]);
  }
  tabs->setCurrentIndex(0);
}

void Accept(QWidget* w) {
  if (auto* d = qobject_cast<QDialog*>(w)) d->accept();
}

QWidget* Current(TMainForm& form) {
  QMdiSubWindow* sub = form.MdiArea()->currentSubWindow();
  return sub;
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
    for (uint8_t kind : {4, 5, 7, 9, 11, 12, 13, 6}) {
      col += 2;
      if (const uint16_t code = CodeOfEditor(kind)) b.Block(col, kind == 7 ? 3 : 2, code);
    }
    b.Block(7, 2, 6);  // the block the parameter control at (8, 3) drives
    scratch->RefreshGrid();
  }
  Modal({QStringLiteral("property-dialog")}, [&] { EditCell(scratch, 2, 2); });
  Modal({QStringLiteral("macro-dialog")}, [&] { EditCell(scratch, 4, 2); });
  Modal({QStringLiteral("table-editor"), QStringLiteral("table-ranges")},
        [&] { EditCell(scratch, 6, 2); },
        [](QWidget* w) {
          if (auto* d = qobject_cast<TnlEditorForm*>(w)) d->ZoomBtnClick();
        });
  Modal({QStringLiteral("param-control-dialog")}, [&] { EditCell(scratch, 8, 3); });
  Modal({QStringLiteral("plugin-dialog")}, [&] { EditCell(scratch, 10, 2); });
  Modal({QStringLiteral("pwm-dialog")}, [&] { EditCell(scratch, 12, 2); });
  Modal({QStringLiteral("pfm-dialog")}, [&] { EditCell(scratch, 14, 2); });
  // The training page checks the scratch scheme, whose macro has no body:
  // its error box comes before the layer dialog.
  Modal({QStringLiteral("neural-dialog"), QStringLiteral("neural-scheme-error"),
         QStringLiteral("neural-layer")},
        [&] { EditCell(scratch, 16, 2); },
        [](QWidget* w) {
          if (auto* d = qobject_cast<TNeuroBox*>(w)) {
            SavePages(d, d->Tab, {QStringLiteral("neural-training")});
            d->AddLayerClick();
          }
        });
  Modal({QStringLiteral("fuzzy-dialog"), QStringLiteral("fuzzy-new-function"),
         QStringLiteral("fuzzy-field-size"), QStringLiteral("fuzzy-checked")},
        [&] { EditCell(scratch, 18, 2); },
        [](QWidget* w) {
          if (auto* d = qobject_cast<TFuzzyDlg*>(w)) {
            SavePages(d, d->Tab, {QStringLiteral("fuzzy-functions"), QStringLiteral("fuzzy-rules"),
                                  QStringLiteral("fuzzy-debugger")});
            d->NewFuncClick();
            d->FieldSizeClick();
            d->CheckBtnClick();
          }
        });
  Modal({QStringLiteral("comment-prompt")}, [&] { scratch->N9Click(); });
  scratch->Field().Modified = 0;
  if (QMdiSubWindow* sub = form.MdiArea()->currentSubWindow()) sub->close();
  QApplication::processEvents();

  // The shell's dialogs and messages.
  form.BringForward(loop);
  Modal({QStringLiteral("print-dialog"), QStringLiteral("printer-setup")}, [&] { form.N3Click(); },
        [](QWidget* w) {
          if (auto* d = qobject_cast<TForm5*>(w)) d->PrintersetupClick();
        });
  Modal({QStringLiteral("file-open")}, [&] { form.FileOpenItemClick(); });
  Modal({QStringLiteral("file-save")}, [&] { form.FileSaveAsItemClick(); });
  Modal({QStringLiteral("about")}, [&] { form.HelpAboutItemClick(); });
  Modal({QStringLiteral("error-box")}, [&] { ShowErrorBox(7, &form); });
  Modal({QStringLiteral("message")}, [] { ShowMessage(kReadError); });
  Modal({QStringLiteral("question")}, [&] {
    Prog.Dialogs->AskYesNoCancel("Проект feedback_loop.vmo не сохранен! Сохранить?");
  });
  form.N13Click();
  Save(THelpWindow::Instance(), QStringLiteral("help"));
  if (THelpWindow* help = THelpWindow::Instance()) help->close();

  // The result windows, each after its setup dialog.
  Save(&form, QStringLiteral("main"));
  form.BringForward(loop);
  Modal({QStringLiteral("transient-setup"), QStringLiteral("colour-dialog")},
        [&] { RunTransientCommand(form); },
        [](QWidget* w) {
          if (auto* d = qobject_cast<ThtSetupDlg*>(w); d && !d->Rows.empty())
            d->Rows.front().ColorBtn->click();
          Accept(w);
        });
  Save(&form, QStringLiteral("main-transient"));
  Save(Current(form), QStringLiteral("transient"));
  form.BringForward(loop);
  Modal({QStringLiteral("phase-setup")}, [&] { RunPhaseCommand(form); }, Accept);
  Save(Current(form), QStringLiteral("phase"));
  form.BringForward(loop);
  Modal({QStringLiteral("bode-setup")}, [&] { form.Item("LACHItem")->trigger(); },
        ContourBA<TLACHSetupDlg>());
  Save(Current(form), QStringLiteral("bode"));
  form.BringForward(loop);
  Modal({QStringLiteral("hodograph-setup")}, [&] { form.Item("GodoItem")->trigger(); },
        ContourBA<TGodoSetupDlg>());
  Save(Current(form), QStringLiteral("hodograph"));
  if (auto* godo = Current(form) ? Current(form)->findChild<TGodoForm*>() : nullptr)
    Modal({QStringLiteral("hodograph-report")}, [godo] { godo->AboutBtnClick(); });
  form.BringForward(loop);
  form.Item("WsItem")->trigger();
  if (auto* ws = qobject_cast<TWSForm*>(Current(form) ? Current(form)->findChild<TWSForm*>()
                                                      : nullptr)) {
    ws->Lists.SelectPoints(1, 0);
    ws->BitBtn2Click();
  }
  Save(Current(form), QStringLiteral("transfer-function"));
  form.WindowTileItemClick();
  Save(&form, QStringLiteral("main-tiled"));

  // The commands that end in dialogs or new projects.
  form.BringForward(loop);
  // Popov's line on a loop with a nonlinear part.
  form.OpenProjectFile(examples + QStringLiteral("/relay_loop.vmo"));
  Modal({QStringLiteral("popov-setup")}, [&] { form.Item("N8")->trigger(); },
        ContourBA<TGodoSetupDlg>());
  if (auto* popov = Current(form) ? Current(form)->findChild<TGodoForm*>() : nullptr) {
    Save(Current(form), QStringLiteral("popov"));
    Modal({QStringLiteral("popov-report")}, [popov] { popov->AboutBtnClick(); });
  }
  form.BringForward(loop);
  Modal({QStringLiteral("inout-setup")}, [&] { form.Item("InOutItem")->trigger(); },
        [](QWidget* w) {
          if (auto* d = qobject_cast<TStructEasyDlg*>(w)) d->OkBtnClick();
        });
  Save(Current(form), QStringLiteral("inout"));
  form.BringForward(loop);
  Modal({QStringLiteral("simplify-setup")}, [&] { form.Item("N4")->trigger(); });
  Modal({QStringLiteral("controller-setup")}, [&] { form.Item("N100")->trigger(); });
  Modal({QStringLiteral("synthesis-dialog")}, [&] { form.Item("N23")->trigger(); },
        [](QWidget* w) {
          if (auto* d = qobject_cast<TEditWSDlg*>(w)) {
            d->Edit1->setText(QStringLiteral("(2*s+1)/(s^2+3*s+1)"));
            d->SynthBtnClick();
          }
        });
  Save(Current(form), QStringLiteral("synthesis-result"));
  form.BringForward(loop);
  Modal({QStringLiteral("codegen-dialog")}, [&] { form.Item("N27")->trigger(); });
  Modal({QStringLiteral("no-optimisation")}, [&] { form.Item("N30")->trigger(); });
  // A parameter marked for optimisation: the optimisation dialog with its
  // settings and the range of the parameter.
  for (int row = 0; row < 40; ++row)
    for (int col = 0; col < 40; ++col)
      if (auto* b = dynamic_cast<TParamBlock*>(loop->Field().Cell(col, row));
          b && b->ParamCount > 0 && !b->OptMask)
        b->OptMask = 1;
  Modal({QStringLiteral("optimisation-dialog"), QStringLiteral("optimisation-settings"),
         QStringLiteral("optimisation-range")},
        [&] { form.Item("N30")->trigger(); },
        [](QWidget* w) {
          if (auto* d = qobject_cast<TOptimizeDlg*>(w)) {
            d->Button2->click();
            d->EditRange(0);
          }
        });

  for (TMDIChild* e : form.Editors()) e->Field().Modified = 0;
  std::printf("%d pictures\n", g_saved);
  return 0;
}
