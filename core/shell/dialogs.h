// How core talks to the person: the desktop program answers with real
// message boxes, the batch program with stderr and default answers, tests
// with scripted answers.
#pragma once
#include <string>
#include <vector>

namespace vemo {

struct TField;

enum class TAnswer { Yes, No, Cancel };

// What a message box tells: a fault (the error icon) or plain information.
enum class TNotice { Error, Information };

class TUserDialogs {
 public:
  virtual ~TUserDialogs() = default;
  // A message box about a fault with an Ok button.
  virtual void Message(const std::string& text) = 0;
  // A message box of a kind, under its own caption (the program's title
  // when empty). By default the same as Message.
  virtual void Notify(TNotice kind, const std::string& text, const std::string& caption) {
    (void)kind;
    (void)caption;
    Message(text);
  }
  // A question with Yes and No.
  virtual bool AskYesNo(const std::string& text) = 0;
  // A question with Yes, No and Cancel.
  virtual TAnswer AskYesNoCancel(const std::string& text) = 0;
  // Whether a plug-in library from outside the trusted folders may be
  // loaded: a Yes/No question unless the program has a standing answer.
  virtual bool AllowLibrary(const std::string& question) { return AskYesNo(question); }
};

// Collects messages and answers every question with a preset answer.
class TScriptedDialogs : public TUserDialogs {
 public:
  std::vector<std::string> Messages;
  std::vector<std::string> Questions;
  bool YesNoAnswer = false;
  TAnswer ThreeWayAnswer = TAnswer::No;

  void Message(const std::string& text) override { Messages.push_back(text); }
  bool AskYesNo(const std::string& text) override {
    Questions.push_back(text);
    return YesNoAnswer;
  }
  TAnswer AskYesNoCancel(const std::string& text) override {
    Questions.push_back(text);
    return ThreeWayAnswer;
  }
};

// Where project files are opened for macro bodies: the desktop program
// opens or finds an editor window, the batch program loads each file once.
class TProjectSource {
 public:
  virtual ~TProjectSource() = default;
  // The field of the named project, or nullptr (ErrorCode then tells why).
  virtual TField* OpenProject(const std::string& fileName) = 0;
};

}  // namespace vemo
