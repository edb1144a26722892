// check and simulate: the transient-response command sequence.
#include <iostream>

#include "cli_common.h"
#include "plot_output.h"
#include "text_stream.h"
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
  const bool picture = a.Has("--plot"), text = !picture || a.Has("-o");
  TTextStream out(a.Has("-o") ? a.Options.at("-o") : std::string());
  if (text && !out.Ok()) {
    std::cerr << kWriteError << "\n";
    return kExitFailure;
  }
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

  // One line per step, written as the run goes: the time, then the sample
  // of each observed point. Without a picture nothing is kept in memory.
  TTransientRun run;
  run.Scale.AutoScale = true;
  run.KeepSamples = picture;
  run.Open(*field, viewTime, points);
  if (text)
    run.StepSink = [&out, n = points.size(), dt = run.Dt](int64_t step, const float* samples) {
      out.Real(StepTime(step, dt));
      for (size_t k = 0; k < n; ++k) {
        out.Blank();
        out.Real(samples[k]);
      }
      out.EndLine();
    };
  bool ok = Prog.Err.ErrorCode == 0;
  if (!ok) PrintSchemeError();
  if (ok) ok = run.RunSegment();
  run.Close();
  ReleaseMacroBodies(*field);
  if (text && !out.Finish()) return kExitFailure;
  if (picture) {
    const TPlotOutputs* plots = PlotOutputs();
    if (!plots || !plots->WriteTransient(run, a.Options.at("--plot"), width, height))
      return kExitFailure;
  }
  return ok ? kExitOk : kExitFailure;
}

}  // namespace vemo::cli
