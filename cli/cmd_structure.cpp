// synth, simplify and controller: the structure synthesis commands. Each
// writes the synthesised field as a project file.
#include <iostream>

#include "cli_common.h"
#include "contour_args.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "synthesis/structure.h"

namespace vemo::cli {

namespace {

// The outcome of a synthesis: the field saved to -o, or the error printed.
int Finish(TSynthOutcome& o, const std::string& out) {
  switch (o.Status) {
    case TSynthStatus::Ok:
      break;
    case TSynthStatus::TextError:
      return kExitFailure;  // the message went to stderr
    case TSynthStatus::BadParameter:
      return UsageError(std::string("--t: ") + kBadParameter);
    case TSynthStatus::SchemeError:
      PrintSchemeError();
      return kExitFailure;
  }
  return SaveField(*o.Field, out) ? kExitOk : kExitFailure;
}

// The contour commands: the project and its contour; nullptr with the
// exit status set.
std::unique_ptr<TField> LoadContour(const TArgs& a, const char* name, TFileProjects& projects, int& start,
                                    int& end, int& status) {
  status = kExitOk;
  if (a.Positional.size() != 1) {
    status = UsageError(std::string(name) + ": expected one project file");
    return nullptr;
  }
  if (!a.Has("-o")) {
    status = UsageError(std::string(name) + ": -o OUT.vmo is required");
    return nullptr;
  }
  return LoadContourProject(a, projects, start, end, status);
}

}  // namespace

int CmdSynth(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError("synth: expected one W(s) text");
  if (!a.Has("-o")) return UsageError("synth: -o OUT.vmo is required");
  TSynthOutcome o = RunSynthesisCommand(a.Positional[0]);
  return Finish(o, a.Options.at("-o"));
}

int CmdSimplify(const TArgs& a) {
  TFileProjects projects;
  int start = 0, end = 1, status = kExitOk;
  auto field = LoadContour(a, "simplify", projects, start, end, status);
  if (!field) return status;
  TSynthOutcome o = RunSimplifyCommand(*field, start, end);
  ReleaseMacroBodies(*field);
  return Finish(o, a.Options.at("-o"));
}

int CmdController(const TArgs& a) {
  double t = 1.0;
  if (!a.Has("--t")) return UsageError("controller: --t T is required");
  if (!NumberOption(a, "--t", t)) return kExitUsage;
  TFileProjects projects;
  int start = 0, end = 1, status = kExitOk;
  auto field = LoadContour(a, "controller", projects, start, end, status);
  if (!field) return status;
  TSynthOutcome o = RunControllerCommand(*field, start, end, t);
  ReleaseMacroBodies(*field);
  return Finish(o, a.Options.at("-o"));
}

}  // namespace vemo::cli
