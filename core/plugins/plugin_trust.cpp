#include "plugins/plugin_trust.h"

#include <filesystem>

#include "shell/program.h"

namespace vemo {

namespace {

namespace fs = std::filesystem;

// The folder as the file system knows it, links resolved, so that two
// spellings of one folder compare equal.
fs::path RealDir(const fs::path& dir) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(fs::absolute(dir, ec), ec);
  return ec ? fs::path(dir).lexically_normal() : p;
}

bool SameDir(const fs::path& a, const std::string& b) {
  return !b.empty() && RealDir(a) == RealDir(b);
}

}  // namespace

std::string ExecutableDir() {
  std::error_code ec;
  const auto p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.parent_path().string();
}

std::string PluginQuestion(const std::string& library) {
  return "Проект использует библиотеку " + library + ". Загрузить?";
}

bool MayLoadLibrary(const std::string& library, const std::string& projectFile) {
  const fs::path dir = fs::path(library).parent_path();
  if (SameDir(dir, ExecutableDir()) || SameDir(dir, Prog.ProgramDir)) return true;
  if (!projectFile.empty() && SameDir(dir, fs::absolute(projectFile).parent_path().string()))
    return true;
  for (const std::string& trusted : Prog.Plugins.Dirs)
    if (SameDir(dir, trusted)) return true;
  const auto key = std::make_pair(projectFile, RealDir(dir).string() + "/" +
                                                   fs::path(library).filename().string());
  if (auto it = Prog.Plugins.Answers.find(key); it != Prog.Plugins.Answers.end()) return it->second;
  const bool yes = Prog.Dialogs && Prog.Dialogs->AllowLibrary(PluginQuestion(library));
  Prog.Plugins.Answers[key] = yes;
  return yes;
}

}  // namespace vemo
