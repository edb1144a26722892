// The main window: settings at start and exit, the block palette, the File
// commands with the recent-file list, and the enabling of menus and buttons.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTabBar>
#include <QToolButton>

#include "blocks/registry.h"
#include "main_support.h"
#include "model/scheme_render.h"
#include "model/history.h"
#include "model/project_file.h"
#include "shell/palette.h"
#include "shell/recent_documents.h"
#include "shell/settings.h"

using namespace vemo;
using namespace vemo::testing;

namespace {

std::vector<uint8_t> ImageOf(TMDIChild* e) { return FieldImage(e->Field(), Prog.Clock.ViewTime); }

QToolButton* Button(TMainForm& f, const char* name) {
  return f.findChild<QToolButton*>(QString::fromLatin1(name));
}

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT
 private slots:
  void FirstStartGivesDefaultsAndWritesTheFileAtClose() {
    const QByteArray none;
    TMainRig rig(&none);
    QVERIFY(!QFile::exists(rig.IniPath()));
    TSettings& s = rig.Form->Settings();
    QCOMPARE(s.GodoImMax, 2.0);
    QCOMPARE(s.HtMax, 1.0);
    QCOMPARE(s.LafcMin, -60.0);
    QVERIFY(s.FlatButtons && !s.BlackWhiteClipboard && s.BlackWhitePrint);
    QCOMPARE(rig.Form->ProgramDir(), QDir::currentPath() + QLatin1Char('/'));
    QCOMPARE(QString::fromStdString(Prog.ProgramDir), rig.Form->ProgramDir());
    QVERIFY(rig.Form->Item("FlatBtnItem")->isChecked());
    QVERIFY(Button(*rig.Form, "OpenBtn")->autoRaise());
    QVERIFY(rig.Dialogs.Messages.empty());

    QVERIFY(rig.Form->close());
    const QByteArray text = rig.IniText();
    QVERIFY(text.contains("[Godograph]\r\n"));
    QVERIFY(text.contains("Im max=2\r\n"));
    QVERIFY(text.contains("[LAFC/PFC]"));
    QVERIFY(text.contains("Color Printer=0"));
    QVERIFY(!text.contains("[Paths]"));  // the program directory is never written
  }

  void SettingsOfTheFileAreShownAtStart() {
    const QByteArray ini =
        "[Paths]\r\nEXE=/opt/vemo\r\n[Options]\r\nFlat Buttons=0\r\nBlackWhiteClipboard=1\r\n"
        "[Last Files]\r\nFile1=/data/a.vmo\r\n[h(t)]\r\nMax=abc\r\n";
    TMainRig rig(&ini);
    QCOMPARE(rig.Form->ProgramDir(), QStringLiteral("/opt/vemo/"));
    QVERIFY(!rig.Form->Item("FlatBtnItem")->isChecked());
    QVERIFY(rig.Form->Item("BlackWhiteItem")->isChecked());
    QVERIFY(!Button(*rig.Form, "htBtn")->autoRaise());
    QVERIFY(!rig.Form->Palette()->Buttons().front()->autoRaise());
    QCOMPARE(rig.Form->Settings().HtMax, 1.0);  // the malformed real keeps its default
    QCOMPARE(rig.Dialogs.Messages, std::vector<std::string>{"Неверный числовой формат!"});
    QVERIFY(rig.Form->Item("F1")->isVisible());
    QCOMPARE(rig.Form->Item("F1")->text(), QStringLiteral("&1. /data/a.vmo"));
    QVERIFY(!rig.Form->Item("F2")->isVisible());

    // The check marks go back to the file; the program directory stays as it was.
    rig.Form->Item("FlatBtnItem")->trigger();
    QVERIFY(Button(*rig.Form, "htBtn")->autoRaise());
    QVERIFY(rig.Form->Palette()->SpeedButton6->autoRaise());
    rig.Form->Item("BlackWhiteItem")->trigger();
    QVERIFY(rig.Form->close());
    const QByteArray text = rig.IniText();
    QVERIFY(text.contains("Flat Buttons=1"));
    QVERIFY(text.contains("BlackWhiteClipboard=0"));
    QVERIFY(text.contains("EXE=/opt/vemo"));
    QVERIFY(text.contains("File1=/data/a.vmo"));
  }

  void UnwritableSettingsFileIsReported() {
    TMainRig rig;
    // A plain file where the configuration directory should be.
    const QString blocker = rig.Work.path() + QStringLiteral("/config");
    QFile f(blocker);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    qputenv("XDG_CONFIG_HOME", (blocker + QStringLiteral("/sub")).toUtf8());
    QVERIFY(rig.Form->close());  // the program still ends
    QCOMPARE(rig.Dialogs.Messages, std::vector<std::string>{"Не могу записать INI-файл!"});
  }

  void PalettePagesHoldTheirBlockKinds() {
    TMainRig rig;
    TBlockPalette* p = rig.Form->Palette();
    QCOMPARE(p->objectName(), QStringLiteral("TabControl1"));
    QCOMPARE(p->Tabs()->count(), 8);
    QCOMPARE(p->Tabs()->tabText(0), QStringLiteral("Генераторы"));
    QCOMPARE(p->Tabs()->tabText(5), QStringLiteral("Математические"));
    QCOMPARE(p->Tabs()->tabText(7), QStringLiteral("Прочие"));
    const std::vector<std::vector<uint16_t>> rows = {
        {0, 29, 30, 115, 32, 33, 51},
        {1, 2, 3, 4, 5, 34},
        {6, 7, 8, 9, 10, 11, 12, 95},
        {20, 21, 22, 23, 24, 25, 26, 27, 28, 37},
        {13, 100, 101},
        {41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 52, 53, 55, 56, 80},
        {8192, 16384, 16385, 16386, 16387},
        {38, 54, 102, 39, 40, 35, 36, 81}};
    for (int tab = 0; tab < 8; ++tab) {
      p->Tabs()->setCurrentIndex(tab);
      QCOMPARE(p->PaletteCodes, rows[tab]);
      QCOMPARE(p->PaletteCount, static_cast<int>(rows[tab].size()));
      QCOMPARE(static_cast<int>(p->Buttons().size()), p->PaletteCount);
      // The first button is down and its type is the one a double click places.
      QVERIFY(p->Buttons().front()->isChecked());
      QCOMPARE(rig.Form->SelectedType(), rows[tab].front());
      for (QToolButton* b : p->Buttons()) QVERIFY(!b->icon().isNull());
    }
    p->Tabs()->setCurrentIndex(2);
    p->Buttons()[3]->click();
    QCOMPARE(rig.Form->SelectedType(), uint16_t(9));
    QVERIFY(!p->Buttons()[0]->isChecked());
    // The hint is the block's name; moving over the button sets its help context.
    QCOMPARE(p->Buttons()[3]->toolTip(), QString::fromUtf8(FindKind(9)->Name));
    QCOMPARE(p->Buttons()[3]->statusTip(), p->Buttons()[3]->toolTip());
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(p->Buttons()[3], &enter);
    QCOMPARE(rig.Form->HelpContext(), 7009);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(p->Buttons()[3], &leave);
    QCOMPARE(rig.Form->HelpContext(), 0);
  }

  void NarrowWindowScrollsThePalettePageWise() {
    TMainRig rig;
    rig.Form->resize(600, 500);
    QCOMPARE(rig.Form->width(), 600);
    TBlockPalette* p = rig.Form->Palette();
    p->Tabs()->setCurrentIndex(5);  // 15 buttons do not fit
    const int width = p->width();
    QCOMPARE(width, Button(*rig.Form, "SpeedButton1")->parentWidget()->width() - p->x() - 5);
    QVERIFY(width < 44 * 15 + 46);
    const int visible = (width - 46) / 44;
    QCOMPARE(p->PaletteVisible, visible);
    QCOMPARE(p->SpeedButton6->x(), 44 * visible + 24);
    QCOMPARE(p->SpeedButton6->size(), QSize(16, 44));
    QVERIFY(p->SpeedButton6->isEnabled());
    QVERIFY(!p->SpeedButton5->isEnabled());
    QCOMPARE(p->SpeedButton5->toolTip(), QStringLiteral("Пролистать назад"));
    QCOMPARE(p->SpeedButton6->toolTip(), QStringLiteral("Пролистать вперед"));
    QVERIFY(p->Buttons()[visible - 1]->isVisible());
    QVERIFY(!p->Buttons()[visible]->isVisible());
    QCOMPARE(p->Buttons()[0]->x(), 23);

    p->SpeedButton6->click();
    QCOMPARE(p->PaletteFirst, 1);
    QVERIFY(p->SpeedButton5->isEnabled());
    QVERIFY(!p->Buttons()[0]->isVisible());
    QVERIFY(p->Buttons()[visible]->isVisible());
    QCOMPARE(p->Buttons()[1]->x(), 23);
    for (int i = 0; i < 20; ++i) p->SpeedButton6Click();
    QCOMPARE(p->PaletteFirst, 15 - visible);
    QVERIFY(!p->SpeedButton6->isEnabled());
    QVERIFY(p->Buttons()[14]->isVisible());
    p->SpeedButton5->click();
    QCOMPARE(p->PaletteFirst, 14 - visible);
    QVERIFY(p->SpeedButton6->isEnabled());

    // A page that fits: every button shown, the forward button at the right end, off.
    p->Tabs()->setCurrentIndex(4);
    QCOMPARE(p->PaletteVisible, 3);
    QCOMPARE(p->PaletteFirst, 0);
    QVERIFY(!p->SpeedButton6->isEnabled());
    QCOMPARE(p->SpeedButton6->x(), width - 23);
    // Widening the window rebuilds the page, keeping the block chosen on it.
    p->Tabs()->setCurrentIndex(5);
    p->Buttons()[2]->click();
    rig.Form->resize(1100, 500);
    QVERIFY(p->Buttons()[2]->isChecked());
    QCOMPARE(rig.Form->SelectedType(), uint16_t(43));
    QCOMPARE(p->PaletteVisible, std::min(15, (p->width() - 46) / 44));
    QVERIFY(p->PaletteVisible > visible);
    rig.Form->resize(300, 500);
    QCOMPARE(rig.Form->width(), 600);  // never narrower
  }

  void NewNamesAndReplacesUntitledWindows() {
    TMainRig rig;
    QCOMPARE(rig.WindowCount(), 0);
    TMDIChild* first = rig.Form->NewEditor();
    QCOMPARE(first->Caption(), QStringLiteral("<без имени 1>"));
    QPointer<TMDIChild> replaced = first;
    rig.Form->Item("FileNewItem")->trigger();  // replaces the unmodified untitled one
    QCOMPARE(rig.WindowCount(), 1);
    QCOMPARE(rig.Form->ActiveEditor()->Caption(), QStringLiteral("<без имени 1>"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(replaced.isNull());

    rig.Form->ActiveEditor()->Field().Modified = 1;
    TMDIChild* second = rig.Form->NewEditor();
    QCOMPARE(second->Caption(), QStringLiteral("<без имени 2>"));
    QCOMPARE(rig.WindowCount(), 2);
    TMDIChild* again = rig.Form->NewEditor();  // "<без имени 2>" is replaced
    QCOMPARE(again->Caption(), QStringLiteral("<без имени 2>"));
    QCOMPARE(rig.WindowCount(), 2);
    QCOMPARE(rig.Form->ActiveEditor(), again);
  }

  void NewWindowsAreLargeAndInsideTheArea() {
    TMainRig rig;
    const QSize area = rig.Form->MdiArea()->viewport()->size();
    for (int k = 0; k < 6; ++k) {
      TMDIChild* e = rig.Form->NewEditor();
      e->Field().Modified = 1;  // keeps each window
      const QRect g = rig.Form->MdiArea()->activeSubWindow()->geometry();
      QVERIFY2(QRect(QPoint(0, 0), area).contains(g), qPrintable(QStringLiteral("window %1").arg(k)));
      QVERIFY(g.width() >= area.width() * 2 / 3 - 1 && g.height() >= area.height() * 2 / 3 - 1);
    }
  }

  void OpenFillsAReusedUntitledWindow() {
    TMainRig rig;
    rig.Form->NewEditor();
    const QString path = ExamplePath("feedback_loop.vmo");
    rig.FileAnswers << path;
    rig.Form->Item("FileOpenItem")->trigger();
    QCOMPARE(rig.FileRequests.size(), size_t(1));
    QCOMPARE(rig.FileRequests[0].Title, QStringLiteral("Открыть проект с диска"));
    QCOMPARE(rig.FileRequests[0].FileName, QStringLiteral("default.vmo"));
    QVERIFY(!rig.FileRequests[0].Save);
    QCOMPARE(rig.WindowCount(), 1);
    TMDIChild* e = rig.Form->ActiveEditor();
    QCOMPARE(e->Caption(), QString::fromStdString(RelativeName(
                               path.toStdString(), rig.Form->ProgramDir().toStdString())));
    QCOMPARE(e->Caption(), path);  // not in the program directory: the full name
    QVERIFY(OccupiedCells(e) > 0);
    QCOMPARE(e->Field().Modified, uint8_t(0));
    QCOMPARE(rig.Form->Settings().RecentFiles[0], path.toStdString());

    // The project window is no untitled one: the next project gets its own.
    rig.FileAnswers << ExamplePath("relay_loop.vmo");
    rig.Form->FileOpenItemClick();
    QCOMPARE(rig.WindowCount(), 2);
    QCOMPARE(rig.Form->ActiveEditor()->Caption(), ExamplePath("relay_loop.vmo"));
    // Cancelling the dialog opens nothing.
    rig.Form->FileOpenItemClick();
    QCOMPARE(rig.WindowCount(), 2);
  }

  void ProjectInTheProgramDirectoryIsCaptionedByItsName() {
    const QByteArray ini = "[Paths]\r\nEXE=" VEMO_SOURCE_DIR "/examples\r\n";
    TMainRig rig(&ini);
    TMDIChild* e = rig.Form->OpenProjectFile(ExamplePath("pwm_loop.vmo"));
    QVERIFY(e);
    QCOMPARE(e->Caption(), QStringLiteral("pwm_loop.vmo"));
  }

  void FileThatIsNoProjectLeavesAnEmptyUntitledWindow() {
    TMainRig rig;
    const QString bad = rig.Work.path() + QStringLiteral("/bad.vmo");
    QFile f(bad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a project at all, just some text of more than thirty bytes");
    f.close();
    QVERIFY(!rig.Form->OpenProjectFile(bad));
    QCOMPARE(rig.Dialogs.Messages,
             std::vector<std::string>{"Данный файл не является файлом Vemo 3.0"});
    // The window made for the file stays, empty, without the file's name
    // (Save must not overwrite the file with an empty scheme).
    QCOMPARE(rig.WindowCount(), 1);
    TMDIChild* kept = rig.Form->ActiveEditor();
    QVERIFY(kept);
    QCOMPARE(kept->Caption(), QStringLiteral("<без имени 1>"));
    QVERIFY(OccupiedRange(kept->Field()).Empty());
    QCOMPARE(kept->Field().Modified, uint8_t(0));
    // That unmodified untitled window is reused by the next Open and gets
    // its name back when this one fails too.
    QVERIFY(!rig.Form->OpenProjectFile(bad));
    QCOMPARE(rig.WindowCount(), 1);
    QCOMPARE(rig.Form->ActiveEditor()->Caption(), QStringLiteral("<без имени 1>"));
    // A missing file from the command line or a recent entry: the same.
    rig.Form->NewEditor();  // "<без имени 1>" is replaced
    rig.Form->ActiveEditor()->Field().Modified = 1;
    QVERIFY(!rig.Form->OpenProjectFile(rig.Work.path() + QStringLiteral("/gone.vmo")));
    QCOMPARE(rig.WindowCount(), 2);
    QCOMPARE(rig.Form->ActiveEditor()->Caption(), QStringLiteral("<без имени 2>"));
    QCOMPARE(rig.Form->ActiveEditor()->Field().Modified, uint8_t(0));
  }

  void SaveAsWritesTheSameProjectThatOpensAgain() {
    TMainRig rig;
    TMDIChild* e = rig.Form->OpenProjectFile(ExamplePath("feedback_loop.vmo"));
    QVERIFY(e);
    const std::vector<uint8_t> image = ImageOf(e);
    e->Field().Modified = 1;
    const QString copy = rig.Work.path() + QStringLiteral("/copy.vmo");
    rig.FileAnswers << copy;
    rig.Form->Item("FileSaveAsItem")->trigger();
    QCOMPARE(rig.FileRequests.back().FileName, ExamplePath("feedback_loop.vmo"));
    QVERIFY(rig.FileRequests.back().Save);
    QCOMPARE(e->Caption(), QStringLiteral("copy.vmo"));  // lies in the program directory
    QCOMPARE(e->Field().Modified, uint8_t(0));
    QCOMPARE(rig.Form->Settings().RecentFiles[0], copy.toStdString());

    TMDIChild* reopened = rig.Form->OpenProjectFile(copy);
    QVERIFY(reopened && reopened != e);
    QVERIFY(ImageOf(reopened) == image);

    // Save of a named window writes the program directory's file without asking.
    QVERIFY(QFile::remove(copy));
    e->Field().Modified = 1;
    rig.Form->BringForward(e);
    rig.Form->Item("FileSaveItem")->trigger();
    QCOMPARE(rig.FileRequests.size(), size_t(1));
    QVERIFY(QFile::exists(copy));
    QCOMPARE(e->Field().Modified, uint8_t(0));
  }

  void SaveOfAnUntitledProjectAsksForTheName() {
    TMainRig rig;
    TMDIChild* e = rig.Form->NewEditor();
    e->Field().Modified = 1;
    rig.Form->FileSaveItemClick();  // the dialog is cancelled
    QCOMPARE(rig.FileRequests.size(), size_t(1));
    QVERIFY(rig.FileRequests[0].FileName.isEmpty());
    QCOMPARE(e->Caption(), QStringLiteral("<без имени 1>"));
    QCOMPARE(e->Field().Modified, uint8_t(1));
    QVERIFY(QDir(rig.Work.path()).entryList(QDir::Files).isEmpty());
    // A failed save keeps the window's name and adds nothing to the list.
    rig.FileAnswers << rig.Work.path() + QStringLiteral("/missing/dir/x.vmo");
    QVERIFY(!rig.Form->SaveEditor(e));
    QCOMPARE(e->Caption(), QStringLiteral("<без имени 1>"));
    QCOMPARE(rig.Form->Settings().RecentFiles[0], std::string());
    QCOMPARE(rig.Dialogs.Messages, std::vector<std::string>{"Ошибка в записи файла!"});
  }

  void RecentFilesMenuShowsAndOpensTheList() {
    TMainRig rig;
    const QString longName = QStringLiteral("/home/user/projects/abc.vmo");  // 27 characters
    const QString longer = QStringLiteral("/home/user/projects/abcde.vmo");  // 29
    QCOMPARE(longName.size(), 27);
    rig.Form->AddRecentFile(longName);
    rig.Form->AddRecentFile(longer);
    QCOMPARE(rig.Form->Item("F1")->text(), QStringLiteral("&1. ") + longName);
    QCOMPARE(rig.Form->Item("F2")->text(), QStringLiteral("&2. ...") + longer.right(25));
    QVERIFY(rig.Form->Item("F2")->isVisible());
    QVERIFY(!rig.Form->Item("F3")->isVisible());
    rig.Form->AddRecentFile(longName);  // already listed: nothing moves
    QCOMPARE(rig.Form->Settings().RecentFiles[0], longName.toStdString());
    // Both new names went to the desktop's list, each once.
    QFile xbel(RecentDocumentsFile());
    QVERIFY(xbel.open(QIODevice::ReadOnly));
    const QByteArray bookmarks = xbel.readAll();
    QCOMPARE(bookmarks.count("<bookmark href="), 2);
    QVERIFY(bookmarks.contains("file:///home/user/projects/abcde.vmo"));

    // A recent-file item opens its entry without the dialog.
    const QString path = ExamplePath("relay_loop.vmo");
    rig.Form->AddRecentFile(path);
    rig.Form->Item("F3")->trigger();
    QVERIFY(rig.FileRequests.empty());
    QCOMPARE(rig.WindowCount(), 1);
    QCOMPARE(rig.Form->ActiveEditor()->Caption(), path);
    // The next Open asks again.
    rig.Form->FileOpenItemClick();
    QCOMPARE(rig.FileRequests.size(), size_t(1));
  }

  void MenusFollowTheActiveWindow() {
    TMainRig rig;
    TMainForm& f = *rig.Form;
    auto enabled = [&f](const char* name) { return f.Item(name)->isEnabled(); };
    QVERIFY(!enabled("FileSaveItem") && !enabled("htItem") && !enabled("N3"));
    QVERIFY(!enabled("WindowCascadeItem") && !enabled("N12"));
    QCOMPARE(f.Item("UndoItem")->text(), QStringLiteral("Отменить"));
    QVERIFY(!enabled("UndoItem"));
    QCOMPARE(f.Item("RedoItem")->text(), QStringLiteral("Повторить"));
    QVERIFY(enabled("FileNewItem") && enabled("FileOpenItem"));

    TMDIChild* e = f.NewEditor();
    QVERIFY(enabled("FileSaveItem") && enabled("htItem") && enabled("N8"));
    QVERIFY(Button(f, "htBtn")->isEnabled() && Button(f, "PopovBtn")->isEnabled());
    QVERIFY(enabled("WindowTileItem") && enabled("N12"));
    QCOMPARE(f.Item("UndoItem")->text(), QStringLiteral("Нечего отменить"));
    QCOMPARE(f.Item("RedoItem")->text(), QStringLiteral("Нечего повторить"));
    QVERIFY(!enabled("UndoItem") && !Button(f, "UndoBtn")->isEnabled());
    QVERIFY(!enabled("PasteItem") && !enabled("N6") && !Button(f, "PasteBtn")->isEnabled());
    QVERIFY(!enabled("CutItem") && !enabled("CopyItem") && !enabled("DeleteItem"));

    // A step in the history names the undo item and the button's hint.
    e->History.Push(MakePlaceStep(3, 3, 6));
    e->Field().SetCell(3, 3, CreateCellObject(6));
    f.UpdateMenuItems();
    QCOMPARE(f.Item("UndoItem")->text(), QStringLiteral("Отменить Поставить деталь"));
    QVERIFY(enabled("UndoItem") && Button(f, "UndoBtn")->isEnabled());
    QCOMPARE(Button(f, "UndoBtn")->toolTip(), QStringLiteral("Отменить Поставить деталь"));
    f.Item("UndoItem")->trigger();
    QVERIFY(!e->Field().Cell(3, 3));
    QCOMPARE(f.Item("RedoItem")->text(), QStringLiteral("Повторить Поставить деталь"));
    QCOMPARE(f.Item("UndoItem")->text(), QStringLiteral("Нечего отменить"));
    f.Item("RedoItem")->trigger();
    QVERIFY(e->Field().Cell(3, 3));

    // A multi-cell selection enables cut, copy and delete; copying fills the
    // clipboard, which enables paste until it is emptied.
    f.Item("N25")->trigger();
    QVERIFY(e->HasSelection());
    QVERIFY(enabled("CutItem") && enabled("CopyItem") && enabled("DeleteItem"));
    QVERIFY(Button(f, "CutBtn")->isEnabled());
    f.Item("CopyItem")->trigger();
    QVERIFY(SchemeClipboard().HasData());
    QVERIFY(enabled("PasteItem") && enabled("N6") && Button(f, "PasteBtn")->isEnabled());
    f.Item("N6")->trigger();
    QVERIFY(!SchemeClipboard().HasData());
    QVERIFY(!enabled("PasteItem") && !enabled("N6"));

    // Without a document window everything falls back.
    e->Field().Modified = 0;
    f.Item("N12")->trigger();
    QCOMPARE(rig.WindowCount(), 0);
    QVERIFY(!enabled("FileSaveItem") && !enabled("UndoItem") && !enabled("WindowMinimizeItem"));
    QCOMPARE(f.Item("UndoItem")->text(), QStringLiteral("Отменить"));
  }

  void CommandTableKeepsItsShortcutsAndButtons() {
    TMainRig rig;
    TMainForm& f = *rig.Form;
    const std::pair<const char*, const char*> keys[] = {
        {"FileOpenItem", "F3"},          {"FileSaveItem", "F2"},
        {"FileSaveAsItem", "F12"},       {"FileExitItem", "Alt+X"},
        {"UndoItem", "Alt+Backspace"},   {"RedoItem", "Shift+Alt+Backspace"},
        {"DeleteItem", "Ctrl+D"},        {"N25", "Ctrl+A"},
        {"htItem", "F9"},                {"PhaseItem", "Shift+F9"},
        {"WsItem", "Ctrl+W"},            {"N8", "Ctrl+P"},
        {"N13", "F1"}};
    for (const auto& [item, key] : keys) QCOMPARE(f.Item(item)->shortcut(), QKeySequence(key));
    QCOMPARE(f.Item("N8")->text(), QStringLiteral("Прямая П&опова"));
    QCOMPARE(f.Item("N6")->text(), QStringLiteral("&Очистить карман"));
    for (const char* name : {"SpeedButton1", "OpenBtn", "SaveBtn", "CutBtn", "CopyBtn", "PasteBtn",
                             "DeleteBtn", "UndoBtn", "RedoBtn", "htBtn", "PhaseFaceBtn", "LACHBtn",
                             "GodoBtn", "WsBtn", "PopovBtn"}) {
      QToolButton* b = Button(f, name);
      QVERIFY2(b, name);
      QVERIFY(!b->icon().isNull());
    }
    QCOMPARE(Button(f, "PhaseFaceBtn")->defaultAction(), f.Item("PhaseItem"));
    QCOMPARE(Button(f, "SpeedButton1")->defaultAction(), f.Item("FileNewItem"));
    // Inside a document window Ctrl+W still means the transfer function.
    f.NewEditor();
    QMdiSubWindow* sub = f.MdiArea()->currentSubWindow();
    QVERIFY(sub && sub->systemMenu());
    for (QAction* a : sub->systemMenu()->actions())
      QVERIFY(!a->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+W"))));
  }

  void ClosingAsksTheEditorsFirst() {
    TMainRig rig;
    TMDIChild* e = rig.Form->NewEditor();
    e->Field().Modified = 1;
    QFile::remove(rig.IniPath());
    rig.Dialogs.ThreeWayAnswer = TAnswer::Cancel;
    QVERIFY(!rig.Form->close());
    QCOMPARE(rig.WindowCount(), 1);
    QCOMPARE(rig.Dialogs.Questions.size(), size_t(1));
    QVERIFY(!QFile::exists(rig.IniPath()));  // nothing written while the program goes on
    rig.Dialogs.ThreeWayAnswer = TAnswer::No;
    QVERIFY(rig.Form->close());
    QCOMPARE(rig.WindowCount(), 0);
    QVERIFY(QFile::exists(rig.IniPath()));
  }

 private:
  static int OccupiedCells(TMDIChild* e) {
    int n = 0;
    for (int c = 0; c < kGridSize; ++c)
      for (int r = 0; r < kGridSize; ++r) n += e->Field().Cell(c, r) != nullptr;
    return n;
  }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
