// The main window: menus, tool bar, block palette, status bar and the
// document area holding structure editors and result windows.
#pragma once
#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace vemo {

class TMDIChild;
class TResultWindow;
class TCopyTarget;
class TBlockPalette;
class TEditorProjects;
struct TField;
struct TSettings;

// What the File commands ask the file dialog for; a test answers instead
// of the dialog through TMainForm::FileChooser.
struct TFileRequest {
  bool Save = false;
  QString Title;
  QString FileName;   // the name the dialog starts with
  QString Directory;  // where it starts
};

// The program's settings: the main window's, or program-wide defaults when
// there is no main window (tests of single windows).
TSettings& ProgramSettings();

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // The one main window of the running program (nullptr in tests without one).
  static TMainForm* Instance();

  QMdiArea* MdiArea() const { return mdiArea_; }
  // The type code of the palette button that is down.
  uint16_t SelectedType() const { return SelectedType_; }
  void SetSelectedType(uint16_t code);
  // The active document window when it is a structure editor, else nullptr.
  TMDIChild* ActiveEditor() const;
  std::vector<TMDIChild*> Editors() const;
  std::vector<TResultWindow*> ResultWindows() const;
  // The editor window whose field is this one, or nullptr.
  TMDIChild* EditorOf(const TField* field) const;
  // Adds a widget as a document window and shows it.
  QMdiSubWindow* AddDocument(QWidget* widget);
  // Makes the document window holding widget the active one.
  void BringForward(QWidget* widget);

  // Menus and buttons follow the active window, its selection and history.
  void UpdateMenuItems();
  void SetStatusText(const QString& text);
  // Help context of the main window: 0, or 7000 + a palette button's type code.
  void SetHelpContext(int context);
  int HelpContext() const { return helpContext_; }
  TSettings& Settings();
  // The program's directory with a trailing '/'.
  const QString& ProgramDir() const { return programDir_; }
  TBlockPalette* Palette() const { return palette_; }
  // A menu item by its name ("htItem", "F1", ...), or nullptr.
  QAction* Item(const char* name) const;

  // File commands on a given editor (the close query of an editor saves
  // through Save). False when nothing was saved.
  bool SaveEditor(TMDIChild* editor);
  bool SaveEditorAs(TMDIChild* editor);
  // Opens a project into an editor window (reusing an unmodified
  // "<без имени 1>" unless mayReuse is clear); returns the editor, or nullptr
  // when loading failed. A window made for the file then stays open, empty
  // and untitled, unless keepOnFailure is clear (it is closed again); a
  // reused window gets its name back.
  TMDIChild* OpenProjectFile(const QString& fileName, bool mayReuse = true,
                             bool keepOnFailure = true);
  // File > New: replaces an unmodified untitled active editor and names the
  // new one "<без имени N>", N one more than the document windows open.
  TMDIChild* NewEditor();
  // A new editor window with an empty field under the caption.
  TMDIChild* CreateEditor(const QString& caption);
  void AddRecentFile(const QString& name);

  // After an analysis failed: brings the faulty editor forward with its
  // current cell on the faulty cell and shows the modal error box.
  void ShowError();

  // Replaces the file dialogs (tests); an empty answer is a cancel.
  std::function<QString(const TFileRequest&)> FileChooser;

  // The command handlers of the menu items and tool buttons.
  void FileNewItemClick();
  void FileOpenItemClick();
  void FileSaveItemClick();
  void FileSaveAsItemClick();
  void RecentFileClick(int n);  // F1..F4, n = 0..3
  void N3Click();               // print the active editor
  void UndoItemClick();
  void RedoItemClick();
  void CutItemClick();
  void CopyItemClick();
  void PasteItemClick();
  void DeleteItemClick();
  void N6Click();   // empty the scheme clipboard
  void N25Click();  // select all
  void FlatBtnItemClick();
  void BlackWhiteItemClick();
  // Cascade: every window at the size it opens with (two thirds of the
  // area, or more when it needs more), stepped by a title bar.
  void WindowCascadeItemClick();
  // Tile: rows of windows filling the whole area, the last row's windows
  // wider when it has fewer.
  void WindowTileItemClick();
  void WindowArrangeItemClick();
  void WindowMinimizeItemClick();
  void N12Click();  // close every editor
  void N13Click();  // help
  void HelpAboutItemClick();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  bool WriteSettingsFile();
  void ShowRecentFiles();
  void ApplyFlatButtons();
  QString ChooseFile(const TFileRequest& request);
  QString CaptionOf(const QString& fileName) const;
  TCopyTarget* CurrentCopyTarget() const;
  // The size a document window opens with.
  QSize DocumentSize(QWidget* widget) const;

  struct TImpl;
  TImpl* impl_ = nullptr;
  QMdiArea* mdiArea_ = nullptr;
  TBlockPalette* palette_ = nullptr;
  QString programDir_;
  int helpContext_ = 0;
  uint16_t SelectedType_ = 0;
  // File > Open asks with the dialog; a recent-file item clears it.
  bool UseOpenDialog_ = true;
  QString recentName_;
};

}  // namespace vemo
