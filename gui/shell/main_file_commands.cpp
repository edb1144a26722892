// The File commands of the main window: new, open, save, save as and the
// recent-file list.
#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "model/field.h"
#include "model/mdi_child.h"
#include "model/project_file.h"
#include "shell/main_form.h"
#include "shell/program.h"
#include "shell/recent_documents.h"
#include "shell/settings.h"

namespace vemo {

namespace {

const QString kUntitledPrefix = QStringLiteral("<");
const QString kFirstUntitled = QStringLiteral("<без имени 1>");

// A menu caption shows '&' only doubled.
QString MenuText(const QString& text) {
  QString t = text;
  return t.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

QString TMainForm::CaptionOf(const QString& fileName) const {
  return QString::fromStdString(RelativeName(fileName.toStdString(), programDir_.toStdString()));
}

TMDIChild* TMainForm::CreateEditor(const QString& caption) {
  auto* editor = new TMDIChild;
  editor->SetCaption(caption);
  AddDocument(editor);
  UpdateMenuItems();
  return editor;
}

TMDIChild* TMainForm::NewEditor() {
  TMDIChild* active = ActiveEditor();
  if (active && active->Caption().startsWith(kUntitledPrefix) && !active->Field().Modified)
    if (QMdiSubWindow* sub = mdiArea_->currentSubWindow()) sub->close();
  const int open = static_cast<int>(mdiArea_->subWindowList().size());
  return CreateEditor(QStringLiteral("<без имени %1>").arg(open + 1));
}

TMDIChild* TMainForm::OpenProjectFile(const QString& fileName, bool mayReuse, bool keepOnFailure) {
  if (fileName.isEmpty()) return nullptr;
  const QString path = QFileInfo(fileName).absoluteFilePath();
  TMDIChild* editor = ActiveEditor();
  QString oldCaption;
  const bool reuse = mayReuse && editor && editor->Caption() == kFirstUntitled &&
                     !editor->Field().Modified;
  if (reuse) {
    oldCaption = editor->Caption();
    editor->SetCaption(CaptionOf(path));
  } else {
    editor = CreateEditor(CaptionOf(path));
  }
  Prog.Err.ErrorCode = 0;
  const TLoadResult result = LoadField(editor->Field(), path.toStdString());
  editor->RefreshGrid();
  if (result != TLoadResult::Ok) {
    // The window stays, empty, but not under the file's name: saving it
    // would overwrite the unreadable file with an empty scheme. A window
    // made for a macro body that failed to load goes again.
    if (reuse) {
      editor->SetCaption(oldCaption);
    } else if (keepOnFailure) {
      editor->SetCaption(QStringLiteral("<без имени %1>").arg(mdiArea_->subWindowList().size()));
    } else {
      for (QMdiSubWindow* sub : mdiArea_->subWindowList())
        if (sub->widget() == editor) sub->close();
    }
    UpdateMenuItems();
    return nullptr;
  }
  UpdateMenuItems();
  return editor;
}

QString TMainForm::ChooseFile(const TFileRequest& request) {
  if (FileChooser) return FileChooser(request);
  QFileDialog dialog(this, request.Title, request.Directory);
  dialog.setNameFilters({QStringLiteral("Файлы Vemo (*.vmo)"), QStringLiteral("Все файлы (*.*)")});
  dialog.setDefaultSuffix(QStringLiteral("vmo"));
  if (request.Save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (!request.FileName.isEmpty()) dialog.selectFile(request.FileName);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles().value(0);
}

bool TMainForm::SaveEditor(TMDIChild* editor) {
  if (!editor) return false;
  const QString caption = editor->Caption();
  if (caption.startsWith(kUntitledPrefix)) return SaveEditorAs(editor);
  const QString name = caption.contains(QLatin1Char('/')) ? caption : programDir_ + caption;
  AddRecentFile(name);
  return SaveField(editor->Field(), name.toStdString());
}

bool TMainForm::SaveEditorAs(TMDIChild* editor) {
  if (!editor) return false;
  TFileRequest request;
  request.Save = true;
  request.Title = QStringLiteral("Сохранить проект как");
  request.Directory = programDir_;
  if (!editor->Caption().startsWith(kUntitledPrefix)) request.FileName = editor->Caption();
  const QString name = ChooseFile(request);
  if (name.isEmpty()) return false;
  // The window takes the new name only when the project is really there.
  if (!SaveField(editor->Field(), name.toStdString())) return false;
  AddRecentFile(name);
  editor->SetCaption(CaptionOf(name));
  return true;
}

void TMainForm::AddRecentFile(const QString& name) {
  // A name new to the menu's list is announced to the desktop's list too.
  if (vemo::AddRecentFile(Settings().RecentFiles, name.toStdString())) AnnounceRecentDocument(name);
  ShowRecentFiles();
}

void TMainForm::ShowRecentFiles() {
  static const char* const kItems[4] = {"F1", "F2", "F3", "F4"};
  const auto& files = Settings().RecentFiles;
  for (int n = 0; n < 4; ++n) {
    QAction* a = Item(kItems[n]);
    const std::string& entry = files[n];
    const QString caption = QString::fromStdString(RecentFileCaption(n, entry));
    // The "&n. " prefix keeps its mnemonic; the name shows '&' as it is.
    a->setText(caption.left(4) + MenuText(caption.mid(4)));
    a->setStatusTip(QString::fromStdString(entry));
    a->setVisible(!entry.empty());
  }
  if (auto* sep = findChild<QAction*>(QStringLiteral("RecentSeparator")))
    sep->setVisible(!files[0].empty());
}

void TMainForm::FileNewItemClick() { NewEditor(); }

void TMainForm::FileOpenItemClick() {
  QString name;
  if (UseOpenDialog_) {
    TFileRequest request;
    request.Title = QStringLiteral("Открыть проект с диска");
    request.FileName = QStringLiteral("default.vmo");
    request.Directory = programDir_;
    name = ChooseFile(request);
    if (name.isEmpty()) return;
    AddRecentFile(name);
  } else {
    name = recentName_;
    UseOpenDialog_ = true;
  }
  OpenProjectFile(name);
}

void TMainForm::FileSaveItemClick() { SaveEditor(ActiveEditor()); }
void TMainForm::FileSaveAsItemClick() { SaveEditorAs(ActiveEditor()); }

void TMainForm::RecentFileClick(int n) {
  if (n < 0 || n >= 4 || Settings().RecentFiles[n].empty()) return;
  recentName_ = QString::fromStdString(Settings().RecentFiles[n]);
  UseOpenDialog_ = false;
  FileOpenItemClick();
}

}  // namespace vemo
