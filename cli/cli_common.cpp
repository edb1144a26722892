#include "cli_common.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "model/errors.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "simulation/engine.h"

namespace vemo::cli {

void TStderrDialogs::Message(const std::string& text) { std::cerr << text << "\n"; }

bool TStderrDialogs::AskYesNo(const std::string& text) {
  std::cerr << text << " -> Нет\n";
  return false;
}

TAnswer TStderrDialogs::AskYesNoCancel(const std::string& text) {
  std::cerr << text << " -> Нет\n";
  return TAnswer::No;
}

bool TStderrDialogs::AllowLibrary(const std::string& question) {
  if (TrustPlugins) return true;
  std::cerr << question << " -> Нет: библиотеки вне папок программы и проекта и папок из Vemo.ini "
                           "загружаются только с --trust-plugins\n";
  return false;
}

int UsageError(const std::string& reason) {
  std::cerr << "vemo-cli: " << reason << "\n";
  return kExitUsage;
}

std::unique_ptr<TField> LoadProject(const std::string& path, TFileProjects& projects) {
  namespace fs = std::filesystem;
  std::string dir = fs::path(path).parent_path().string();
  if (dir.empty()) dir = ".";
  Prog.ProgramDir = dir + "/";
  projects.SearchDirs = {dir};
  Prog.Projects = &projects;
  auto field = CreateField();
  Prog.Err.ErrorCode = 0;
  if (LoadField(*field, path) != TLoadResult::Ok) return nullptr;
  return field;
}

void PrintSchemeError() {
  const TErrorState& e = Prog.Err;
  std::string line = "Ошибка " + std::to_string(e.ErrorCode) + ": " + ErrorMessage(e.ErrorCode);
  if (e.ErrorCol >= 0)
    line += " (столбец " + std::to_string(e.ErrorCol) + ", строка " + std::to_string(e.ErrorRow) + ")";
  std::cout << line << "\n";
}

std::unique_ptr<TField> LoadAndPrepareRun(const TArgs& a, TFileProjects& projects, double step) {
  auto field = LoadProject(a.Positional[0], projects);
  if (!field) return nullptr;
  if (a.Has("--step")) {
    field->Step = step;
    field->AutoStep = 0;
  }
  PrepareRun(*field);
  if (Prog.Err.ErrorCode) {
    ReleaseMacroBodies(*field);
    PrintSchemeError();
    return nullptr;
  }
  return field;
}

bool RequirePlaced(TField& field, int k) {
  if (field.Points[k].Placed) return true;
  ReleaseMacroBodies(field);
  std::cerr << "Точка " << PointLetter(k) << " не установлена на схеме\n";
  return false;
}

bool NumberOption(const TArgs& a, const std::string& key, double& out) {
  auto it = a.Options.find(key);
  if (it == a.Options.end()) return true;
  if (!ParseNumber(it->second, out)) {
    UsageError(key + ": " + kBadNumberFormat + " (" + it->second + ")");
    return false;
  }
  return true;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::string crlf;
  crlf.reserve(text.size() + text.size() / 40);
  for (char ch : text) {
    if (ch == '\n') crlf += '\r';
    crlf += ch;
  }
  const std::string temp = path + ".part";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  bool ok = f != nullptr;
  if (ok) {
    ok = std::fwrite(crlf.data(), 1, crlf.size(), f) == crlf.size();
    ok = (std::fclose(f) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
  }
  if (!ok) std::cerr << kWriteError << "\n";
  return ok;
}

}  // namespace vemo::cli
