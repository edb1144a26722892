// phase and eval: the phase portrait and the parameter expression evaluator.
#include <iostream>

#include "blocks/expression.h"
#include "cli_common.h"
#include "plot_output.h"
#include "text_stream.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "simulation/engine.h"
#include "simulation/phase.h"

namespace vemo::cli {

namespace {
int PointIndex(const std::string& s) { return s.size() == 1 ? PointOfLetter(s[0]) : -1; }
}  // namespace

int CmdPhase(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError("phase: expected one project file");
  if (!a.Has("--x") || !a.Has("--y")) return UsageError("phase: --x and --y are required");
  const int x = PointIndex(a.Options.at("--x"));
  const std::string yText = a.Options.at("--y");
  const bool derivative = yText == "dx/dt";
  const int y = derivative ? kDerivativeOrdinate : PointIndex(yText);
  if (x < 0) return UsageError("--x: a point letter A..L");
  if (y < 0) return UsageError("--y: a point letter A..L or dx/dt");
  double pageTime = 0, step = 0;
  if (!NumberOption(a, "--time", pageTime) || !NumberOption(a, "--step", step)) return kExitUsage;
  if (a.Has("--time") && pageTime < 1e-9) return UsageError(std::string("--time: ") + kBadParameter);
  if (a.Has("--step") && step < 1e-9) return UsageError(std::string("--step: ") + kBadParameter);
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
  for (int k : {x, derivative ? x : y})
    if (!RequirePlaced(*field, k)) return kExitFailure;
  if (!a.Has("--time")) pageTime = Prog.Clock.ViewTime;

  // One line per recorded pair, written as the run goes: the ordinate, one
  // blank, the abscissa. Without a picture nothing is kept in memory.
  TPhaseRun run;
  run.KeepSamples = picture;
  if (text)
    run.PairSink = [&out](float x, float y) {
      out.Real(y);
      out.Blank();
      out.Real(x);
      out.EndLine();
    };
  run.Open(*field, x, static_cast<uint8_t>(y), pageTime);
  bool ok = Prog.Err.ErrorCode == 0;
  if (!ok) PrintSchemeError();
  if (ok) ok = run.RunPage();
  run.Close();
  ReleaseMacroBodies(*field);
  if (text && !out.Finish()) return kExitFailure;
  if (picture) {
    const TPlotOutputs* plots = PlotOutputs();
    if (!plots || !plots->WritePhase(run, a.Options.at("--plot"), width, height))
      return kExitFailure;
  }
  return ok ? kExitOk : kExitFailure;
}

int CmdEval(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError("eval: expected one expression");
  double v = 0;
  std::string message;
  if (!EvalExpression(a.Positional[0], v, &message)) {
    std::cout << message << "\n";
    return kExitFailure;
  }
  std::cout << FormatNumber(v) << "\n";
  return kExitOk;
}

}  // namespace vemo::cli
