// The contour options of the frequency-domain commands.
#include "contour_args.h"

#include <iostream>

#include "frequency/contour.h"
#include "shell/program.h"

namespace vemo::cli {

namespace {
constexpr const char* kSamePoints = "Начало и конец контура не должны совпадать.";
}  // namespace


// A point option "--from A": the point index, or -1 after a usage message.
int PointOption(const TArgs& a, const std::string& key, int fallback) {
  auto it = a.Options.find(key);
  if (it == a.Options.end()) return fallback;
  const std::string& v = it->second;
  const int k = v.size() == 1 ? PointOfLetter(v[0]) : -1;
  if (k < 0) {
    UsageError(key + ": no point " + v + " (A..L)");
    return -1;
  }
  return k;
}

// The contour of the command: the points given, or like the window's lists
// the first and the second placed point (the first when only one is placed).
// Returns kExitOk or the exit status after the message was printed.
int ChooseContour(const TArgs& a, const TField& field, int& start, int& end) {
  std::vector<int> placed;
  for (int k = 0; k < kPointCount; ++k)
    if (field.Points[k].Placed) placed.push_back(k);
  const int defStart = placed.empty() ? 0 : placed[0];
  const int defEnd = placed.size() > 1 ? placed[1] : defStart;
  start = PointOption(a, "--from", defStart);
  if (start < 0) return kExitUsage;
  end = PointOption(a, "--to", defEnd);
  if (end < 0) return kExitUsage;
  for (int k : {start, end}) {
    if (!field.Points[k].Placed) {
      std::cerr << "Точка " << PointLetter(k) << " не установлена на схеме\n";
      return kExitFailure;
    }
  }
  if (start == end) {
    std::cerr << kSamePoints << "\n";
    return kExitUsage;
  }
  return kExitOk;
}

std::unique_ptr<TField> LoadContourProject(const TArgs& a, TFileProjects& projects, int& start, int& end,
                                           int& status) {
  auto field = LoadProject(a.Positional[0], projects);
  if (!field) {
    status = kExitFailure;
    return nullptr;
  }
  status = ChooseContour(a, *field, start, end);
  if (status != kExitOk) return nullptr;
  return field;
}

// Loads the project and runs the W(s) command (with the zero-pole form when
// asked); prints the scheme error. nullptr with status set on failure.
std::unique_ptr<TField> RunContour(const TArgs& a, TFileProjects& projects, bool zeroPoles, int& start,
                                   int& end, int& status, bool keepBodies) {
  auto field = LoadContourProject(a, projects, start, end, status);
  if (!field) return nullptr;
  Prog.Err.ErrorCode = 0;
  const bool ok = RunContourCommand(*field, start, end, zeroPoles);
  if (!ok || !keepBodies) ReleaseMacroBodies(*field);
  if (!ok) {
    PrintSchemeError();
    status = kExitFailure;
    return nullptr;
  }
  return field;
}

int PrintOrWrite(const TArgs& a, const std::string& text) {
  if (a.Has("-o")) return WriteTextFile(a.Options.at("-o"), text) ? kExitOk : kExitFailure;
  std::cout << text;
  return kExitOk;
}


}  // namespace vemo::cli
