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

  bool Bound() const { return Handle != nullptr; }
};

inline constexpr const char* kDllError = "Ошибка в DLL!";

// Binds the library; on failure shows the message, leaves Handle empty and
// keeps FileName. Calls OnInit after a successful binding.
void LoadDLLLink(TDLLLink& link, const std::string& path);
// Calls OnDone and frees a bound library; FileName is kept.
void UnloadDLLLink(TDLLLink& link);
// Where a library name is looked for: absolute as it is; otherwise the
// program directory, the directory of the running program, then the
// current directory.
std::string ResolveLibraryPath(const std::string& name);
// The inspection listing of the setup dialog ("Подробно").
std::vector<std::string> DLLInspection(const TDLLLink& link);

}  // namespace vemo
