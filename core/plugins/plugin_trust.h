// Consent before a project's plug-in library runs. Loading a library runs
// its code, so a project may name one that loads without asking only when
// it lies in a trusted folder: the program's own (where it runs from, and
// the program folder of its settings), the project's own, or one
// listed in the settings file ("Plugins": "Dir1", "Dir2", ...). For any
// other library the person is asked once per library and project.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vemo {

struct TPluginTrust {
  // Folders listed in the settings file.
  std::vector<std::string> Dirs;
  // The answers given so far: (project file, library) -> load it.
  std::map<std::pair<std::string, std::string>, bool> Answers;
};

// The folder of the running program.
std::string ExecutableDir();
// The question asked before loading a library from elsewhere.
std::string PluginQuestion(const std::string& library);
// Whether the library (an absolute path) may be loaded for the project
// (its file name; empty for a project never saved): true in a trusted
// folder, otherwise the answer of the person, asked once.
bool MayLoadLibrary(const std::string& library, const std::string& projectFile);

}  // namespace vemo
