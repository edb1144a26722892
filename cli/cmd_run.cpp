// check and simulate: the transient-response command sequence.
#include <iostream>

#include "cli_common.h"
#include "plot_output.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "simulation/engine.h"
#include "simulation/transient.h"

namespace vemo::cli {

int CmdCheck(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError("check: expected one project file");
  TFileProjects projects;
  auto field = LoadAndPrepareRun(a, projects, 0.0);
  if (!field) return kExitFailure;
  ReleaseMacroBodies(*field);
  std::cout << "OK\n";
  return kExitOk;
}

int CmdSimulate(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError("simulate: expected one project file");
  double viewTime = 0, step = 0;
  if (!NumberOption(a, "--time", viewTime) || !NumberOption(a, "--step", step)) return kExitUsage;
  if (a.Has("--time") && viewTime < 1e-5) return UsageError(std::string("--time: ") + kBadParameter);
  if (a.Has("--step") && step < 1e-8) return UsageError(std::string("--step: ") + kBadParameter);
  int width = 0, height = 0;
  if (!PlotOptions(a, width, height)) return kExitUsage;
  TFileProjects projects;
  auto field = LoadAndPrepareRun(a, projects, step);
  if (!field) return kExitFailure;
  if (!a.Has("--time")) viewTime = Prog.Clock.ViewTime;

  std::vector<int> points;
  if (a.Has("--points")) {
    for (char ch : a.Options.at("--points")) {
      const int k = PointOfLetter(ch);
      if (k < 0) {
        ReleaseMacroBodies(*field);
        return UsageError(std::string("--points: no point ") + ch + " (A..L)");
      }
      if (!RequirePlaced(*field, k)) return kExitFailure;
      points.push_back(k);
    }
  } else {
    points = ShownPoints(*field);
  }

  TTransientRun run;
  run.Scale.AutoScale = true;
  run.Open(*field, viewTime, points);
  bool ok = Prog.Err.ErrorCode == 0;
  if (!ok) PrintSchemeError();
  if (ok) ok = run.RunSegment();
  run.Close();
  ReleaseMacroBodies(*field);
  if (a.Has("--plot")) {
    const TPlotOutputs* plots = PlotOutputs();
    if (!plots || !plots->WriteTransient(run, a.Options.at("--plot"), width, height))
      return kExitFailure;
    if (!a.Has("-o")) return ok ? kExitOk : kExitFailure;
  }

  // One line per step: the time, then the sample of each observed point.
  std::string text;
  const size_t n = run.Observed.size();
  const size_t steps = run.StepCount();
  text.reserve(steps * (24 * (n + 1) + 1));
  for (size_t i = 0; i < steps; ++i) {
    text += FormatReal23(run.SampleTime(i));
    for (size_t k = 0; k < n; ++k) {
      text += ' ';
      text += FormatReal23(run.Samples.At(i * n + k));
    }
    text += '\n';
  }
  if (a.Has("-o")) {
    if (!WriteTextFile(a.Options.at("-o"), text)) return kExitFailure;
  } else {
    std::cout << text;
  }
  return ok ? kExitOk : kExitFailure;
}

}  // namespace vemo::cli
