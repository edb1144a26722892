#include "plugins/dll_link.h"

#include <dlfcn.h>

#include <filesystem>

#include "plugins/plugin_trust.h"
#include "shell/encoding.h"
#include "shell/program.h"

namespace vemo {

namespace {

template <class F>
bool Lookup(TDLLLink& link, const char* name, F& entry, bool required) {
  entry = reinterpret_cast<F>(dlsym(link.Handle, name));
  if (entry || !required) return true;
  ShowMessage(std::string("В заданной DLL не найдена процедура \"") + name + "\"!");
  dlclose(link.Handle);
  link.Handle = nullptr;
  return false;
}

}  // namespace

std::string ResolveLibraryPath(const std::string& name, const std::string& projectDir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (name.empty() || fs::path(name).is_absolute()) return name;
  for (const std::string& dir : {Prog.ProgramDir, projectDir, ExecutableDir()}) {
    if (dir.empty()) continue;
    fs::path p = fs::path(dir) / name;
    if (fs::exists(p, ec)) return fs::absolute(p, ec).string();
  }
  if (fs::exists(name, ec)) return fs::absolute(name, ec).string();
  return name;
}

void LoadDLLLink(TDLLLink& link, const std::string& path, const std::string& projectDir) {
  link.Handle = nullptr;
  link.Pending = false;
  if (path.empty()) return;
  link.FileName = Utf8Left(path, 128);
  // dlopen would look a bare name up in the system's library path, and a
  // device or folder is no library.
  const std::string file = ResolveLibraryPath(path, projectDir);
  std::error_code ec;
  if (std::filesystem::path(file).is_absolute() && std::filesystem::is_regular_file(file, ec))
    link.Handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!link.Handle) {
    ShowMessage(kDllError);
    return;
  }
  if (!Lookup(link, "About", link.About, true) || !Lookup(link, "OnInit", link.OnInit, false) ||
      !Lookup(link, "OnDone", link.OnDone, false) || !Lookup(link, "OnParam", link.OnParam, false) ||
      !Lookup(link, "OnCompile", link.OnCompile, false) ||
      !Lookup(link, "GetTickStep", link.GetTickStep, true) ||
      !Lookup(link, "OnRun", link.OnRun, false) || !Lookup(link, "OnTick", link.OnTick, true) ||
      !Lookup(link, "OnStop", link.OnStop, false))
    return;
  if (link.OnInit) link.OnInit();
}

void UnloadDLLLink(TDLLLink& link) {
  if (!link.Bound()) return;
  if (link.OnDone) link.OnDone();
  dlclose(link.Handle);
  link.Handle = nullptr;
}

bool BindNamedLibrary(TDLLLink& link, const std::string& projectFile) {
  if (!link.Pending || link.Bound()) return true;
  const std::string projectDir =
      projectFile.empty() ? std::string()
                          : std::filesystem::path(projectFile).parent_path().string();
  const std::string file = ResolveLibraryPath(link.FileName, projectDir);
  // A name found nowhere is not a question: binding it fails with its message.
  if (std::filesystem::path(file).is_absolute() && !MayLoadLibrary(file, projectFile)) return false;
  LoadDLLLink(link, link.FileName, projectDir);
  return true;
}

std::vector<std::string> DLLInspection(const TDLLLink& link) {
  std::vector<std::string> lines;
  lines.push_back("Файл:   " + link.FileName);
  std::error_code ec;
  const std::string path = ResolveLibraryPath(link.FileName);
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || link.FileName.empty()) {
    lines.push_back("Файл не найден!");
    return lines;
  }
  auto has = [](const void* p) { return std::string(p ? "Есть" : "Нет"); };
  lines.push_back("Размер: " + std::to_string(size) + " байт");
  lines.push_back("----------------------------------");
  lines.push_back("Функции:");
  lines.push_back("  void _export About():    Есть");
  lines.push_back("  void _export OnInit():   " + has(reinterpret_cast<const void*>(link.OnInit)));
  lines.push_back("  void _export OnDone():   " + has(reinterpret_cast<const void*>(link.OnDone)));
  lines.push_back("  void _export OnParam():   " + has(reinterpret_cast<const void*>(link.OnParam)));
  lines.push_back("  char _export OnCompile(char,char,char,char):   Есть");
  lines.push_back("  double _export GetTickStep():   Есть");
  lines.push_back("  void _export OnRun(double):   " + has(reinterpret_cast<const void*>(link.OnRun)));
  lines.push_back("  double _export OnTick(double,double,double,double):   Есть");
  lines.push_back("  void _export OnStop():   " + has(reinterpret_cast<const void*>(link.OnStop)));
  return lines;
}

}  // namespace vemo
