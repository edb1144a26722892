// Shared pieces of the batch program's commands.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/field.h"
#include "model/project_file.h"
#include "shell/dialogs.h"

namespace vemo::cli {

// Messages go to stderr; questions are answered No (the run goes on).
// A plug-in library from outside the trusted folders is loaded only with
// --trust-plugins.
class TStderrDialogs : public TUserDialogs {
 public:
  bool TrustPlugins = false;

  void Message(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  TAnswer AskYesNoCancel(const std::string& text) override;
  bool AllowLibrary(const std::string& question) override;
};

// Parsed command line: the command, positional arguments and options.
struct TArgs {
  std::string Command;
  std::vector<std::string> Positional;
  std::map<std::string, std::string> Options;  // "--time" -> "5"; flags -> ""
  std::vector<std::pair<std::string, std::string>> All;  // every option in order, repeats too
  bool Has(const std::string& k) const { return Options.count(k) != 0; }
};

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints "vemo-cli: <reason>" to stderr and returns kExitUsage.
int UsageError(const std::string& reason);

// Loads a project for a command; nullptr after the message was printed.
std::unique_ptr<TField> LoadProject(const std::string& path, TFileProjects& projects);
// The time-domain preparation of a command: loads the project, applies a
// --step option, compiles, orders, checks loops and chooses the step.
// nullptr after the error was printed.
std::unique_ptr<TField> LoadAndPrepareRun(const TArgs& a, TFileProjects& projects, double step);
// The point of a letter A..L, in either case; -1 for any other character.
inline int PointOfLetter(char ch) {
  if (ch >= 'A' && ch <= 'L') return ch - 'A';
  if (ch >= 'a' && ch <= 'l') return ch - 'a';
  return -1;
}
// The observed point k must be placed; prints why not and returns false.
bool RequirePlaced(TField& field, int k);
// Prints the scheme error line "Ошибка N: ..." for the current ErrorCode.
void PrintSchemeError();
// A number option; false (with the message printed) when it does not parse.
bool NumberOption(const TArgs& a, const std::string& key, double& out);
// Writes text to a file with CR LF line ends (the text uses "\n").
bool WriteTextFile(const std::string& path, const std::string& text);

int CmdCheck(const TArgs& a);
int CmdSimulate(const TArgs& a);
int CmdInfo(const TArgs& a);
int CmdConvert(const TArgs& a);
int CmdPhase(const TArgs& a);
int CmdEval(const TArgs& a);
int CmdTransferFunction(const TArgs& a);
int CmdBode(const TArgs& a);
int CmdNyquist(const TArgs& a);
int CmdMargins(const TArgs& a);
int CmdPopov(const TArgs& a);
int CmdInOut(const TArgs& a);
int CmdSynth(const TArgs& a);
int CmdSimplify(const TArgs& a);
int CmdController(const TArgs& a);
int CmdOptimize(const TArgs& a);
int CmdNeuro(const TArgs& a);
int CmdPrint(const TArgs& a);
int CmdCodegen(const TArgs& a);
int CmdFuzzy(const TArgs& a);

}  // namespace vemo::cli
