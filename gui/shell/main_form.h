// The main window: menus, tool bar, block palette, status bar and the
// document area holding structure editors and result windows.
#pragma once
#include <QMainWindow>
#include <cstdint>
#include <vector>

class QMdiArea;
class QMdiSubWindow;

namespace vemo {

class TMDIChild;
class TResultWindow;
struct TField;
struct TSettings;

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

  // Menus and buttons follow the active window, its selection and history.
  void UpdateMenuItems();
  void SetStatusText(const QString& text);
  // Help context of the main window: 0, or 7000 + a palette button's type code.
  void SetHelpContext(int context);
  TSettings& Settings();

  // File commands on a given editor (the close query of an editor saves
  // through Save). False when nothing was saved.
  bool SaveEditor(TMDIChild* editor);
  bool SaveEditorAs(TMDIChild* editor);
  // Opens a project into an editor window (reusing an unmodified
  // "<без имени 1>"); returns the editor, or nullptr when loading failed.
  TMDIChild* OpenProjectFile(const QString& fileName);
  TMDIChild* NewEditor();
  void AddRecentFile(const QString& name);

  // After an analysis failed: brings the faulty editor forward with its
  // current cell on the faulty cell and shows the modal error box.
  void ShowError();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  struct TImpl;
  TImpl* impl_ = nullptr;
  QMdiArea* mdiArea_ = nullptr;
  uint16_t SelectedType_ = 0;
};

}  // namespace vemo
