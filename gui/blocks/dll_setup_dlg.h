// The setup dialog of a user block: the plug-in library it is bound to,
// the library's own about and settings entries, and an inspection listing.
#pragma once
#include <QDialog>

class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace vemo {

class TUserBlock;

class TDLLSetupDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TDLLSetupDlg(TUserBlock& block, QWidget* parent = nullptr);

  QLineEdit* Edit1 = nullptr;  // the bound library's file name (read-only)
  QPushButton* BrowseBtn = nullptr;    // "Обзор"
  QPushButton* AboutBtn = nullptr;     // "О DLL"
  QPushButton* PropertyBtn = nullptr;  // "Свойства"
  QPushButton* Button2 = nullptr;      // "Подробно"
  QPushButton* OkBtn = nullptr;
  QPushButton* HelpBtn = nullptr;
  QPlainTextEdit* Memo1 = nullptr;     // the inspection listing, hidden at first
  QPushButton* Button1 = nullptr;      // "Сгенерировать скелет DLL-файла"
  QMenu* PopupMenu1 = nullptr;         // "Delphi32", "C++"

  void BrowseBtnClick();
  // Releases the current library and binds the one at path (what "Обзор"
  // does after its file dialog); calls the new library's About when bound.
  void BindLibrary(const QString& path);
  void AboutBtnClick();
  void PropertyBtnClick();
  void Button2Click();
  void Button1Click();
  // Ask for a file and write the Delphi or the C skeleton there.
  void Delphi321Click();
  void C1Click();
  // Writes the skeleton to a chosen path (the C one with its .def file
  // beside it); shows "Ошибка в записи файла!" when writing fails.
  bool WriteSkeleton(bool cSource, const QString& path);

 private:
  void RefreshView();
  TUserBlock& block_;
};

}  // namespace vemo
