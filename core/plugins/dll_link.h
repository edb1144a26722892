// Binding of a plug-in library: a shared library loaded at run time whose
// entries, with C linkage, compute a user block.
#pragma once
#include <string>
#include <vector>

namespace vemo {

extern "C" {
using TPluginProc = void (*)();
using TPluginCompile = unsigned char (*)(unsigned char up, unsigned char right, unsigned char down,
                                         unsigned char left);
using TPluginTickStep = double (*)();
using TPluginRun = void (*)(double dTime);
using TPluginTick = double (*)(double time, double dTime, double xUp, double xRight, double xDown,
                               double xLeft);
}

struct TDLLLink {
  void* Handle = nullptr;  // the library is bound while this is set
  std::string FileName;    // as chosen by the user, at most 128 characters
  TPluginProc About = nullptr;
  TPluginProc OnInit = nullptr;
  TPluginProc OnDone = nullptr;
  TPluginProc OnParam = nullptr;
  TPluginCompile OnCompile = nullptr;
  TPluginTickStep GetTickStep = nullptr;
  TPluginRun OnRun = nullptr;
  TPluginTick OnTick = nullptr;
  TPluginProc OnStop = nullptr;
  // Named by a project, the clipboard or the edit history and not bound
  // yet: reading a name never loads a library, the scheme's check does.
  bool Pending = false;

  bool Bound() const { return Handle != nullptr; }
};

inline constexpr const char* kDllError = "Ошибка в DLL!";

// Binds the library; on failure shows the message, leaves Handle empty and
// keeps FileName. Calls OnInit after a successful binding. A relative name
// is looked for as ResolveLibraryPath does; only an existing file is loaded
// (never a library of the system's search path).
void LoadDLLLink(TDLLLink& link, const std::string& path, const std::string& projectDir = {});
// Calls OnDone and frees a bound library; FileName is kept.
void UnloadDLLLink(TDLLLink& link);
// Where a library name is looked for: absolute as it is; otherwise the
// program directory, the project's directory, the directory of the running
// program, then the current directory. The name as given when none has it.
std::string ResolveLibraryPath(const std::string& name, const std::string& projectDir = {});
// Binds the library a project names (Pending), in the check of a scheme of
// the project: at once from a trusted folder, otherwise only with the
// person's consent (MayLoadLibrary). False when consent was refused.
bool BindNamedLibrary(TDLLLink& link, const std::string& projectFile);
// The inspection listing of the setup dialog ("Подробно").
std::vector<std::string> DLLInspection(const TDLLLink& link);

}  // namespace vemo
