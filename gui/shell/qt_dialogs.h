// Qt faces of core's interfaces to the person and to project files: message
// boxes for TUserDialogs, editor windows for the macro bodies' projects.
#pragma once
#include <QString>
#include <string>

#include "shell/dialogs.h"

class QWidget;

namespace vemo {

class TMainForm;

// Message boxes parented to the active window: faults with the error icon,
// information with the information icon, questions with the question icon.
// Messages carry the program's title unless they bring a caption; questions
// the captions of the editor's warnings.
class TQtDialogs : public TUserDialogs {
 public:
  void Message(const std::string& text) override;
  void Notify(TNotice kind, const std::string& text, const std::string& caption) override;
  bool AskYesNo(const std::string& text) override;
  TAnswer AskYesNoCancel(const std::string& text) override;
};

// Installs one TQtDialogs into Prog.Dialogs (the program does this at start).
void InstallQtDialogs();

// The projects of macro bodies: an editor window already showing the file,
// or a new one loading it. A relative name is looked up beside the project
// being compiled, then in the program directory, then in the current one.
class TEditorProjects : public TProjectSource {
 public:
  explicit TEditorProjects(TMainForm& form) : form_(form) {}
  TField* OpenProject(const std::string& fileName) override;
  // The file a macro body name stands for ("" when none of the places has it).
  std::string Resolve(const std::string& fileName) const;

 private:
  TMainForm& form_;
};

// The modal error box of a scheme or analysis error: caption "Ошибка", the
// message, "Ok" and "Помощь" (help context 10000 + code, the box stays).
void ShowErrorBox(int errorCode, QWidget* parent);

// The message box plug-in libraries ask the program for (icon 1: an error,
// else information); texts are UTF-8. Without a running application the text
// goes to stderr.
void PluginMessageBox(const char* text, const char* caption, int icon);

}  // namespace vemo
