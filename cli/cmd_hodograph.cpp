// nyquist and margins: the hodograph command sequence, the describing-
// function curve of the contour's nonlinear part and the closed-loop report
// of the window with its possible self-oscillations.
#include <iostream>

#include "cli_common.h"
#include "contour_args.h"
#include "frequency/analysis_state.h"
#include "frequency/bode.h"
#include "frequency/contour.h"
#include "frequency/describing.h"
#include "frequency/hodograph.h"
#include "frequency/oscillation.h"
#include "frequency/popov.h"
#include "plot_output.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "shell/settings.h"

namespace vemo::cli {

namespace {

// What the commands want of the nonlinear part.
enum class TCurveNeed {
  None,      // only its pulse transformation of the hodograph, when it has one
  Wanted,    // the curve when the contour has a nonlinear part
  Required,  // the curve, or the command fails
};

struct TLoopAnalysis {
  THodograph H;
  bool HaveCurve = false;
  TDescribingCurve Curve;
  // The sector of the nonlinear part, asked for by the picture of Popov's
  // hodograph (Fits stays false without a nonlinear part).
  bool WantSector = false;
  TPopovVerdict Popov;
};

// Finds and classifies the nonlinear part of the contour and builds its
// curve. False (with the message printed) when the curve is required and
// cannot be built.
bool DescribeNonlinearPart(TField& field, int start, int end, TCurveNeed need, double step,
                           THodographOptions& options, TLoopAnalysis& out) {
  Prog.Err.ErrorCode = 0;
  const TNonlinearPart part = FindNonlinearPart(field, start, end);
  if (Prog.Err.ErrorCode) {
    if (need == TCurveNeed::Required) {
      PrintSchemeError();
      return false;
    }
    Prog.Err.ErrorCode = 0;
    return true;
  }
  Analysis.NonlinearEntry = part.Entry;
  Analysis.NonlinearLast = part.Last;
  const TChainClass cls = ClassifyNonlinearChain(part.Entry, part.Last);
  const std::string refusal = ChainRefusalText(cls.Code);
  if (!refusal.empty()) {
    if (need != TCurveNeed::None) std::cerr << refusal << "\n";
    return need != TCurveNeed::Required;
  }
  ApplyPulseTransformation(cls, options);
  if (out.WantSector) out.Popov.Sector = PopovSector(cls, part.Entry, part.Last);
  if (need != TCurveNeed::None) {
    BuildDescribingCurve(cls, part.Entry, part.Last, step, out.Curve);
    out.HaveCurve = true;
  }
  return true;
}

// Loads the project, runs the W(s) command with the zero-pole form, looks
// at the nonlinear part and traces the hodograph (Popov's modified one when
// asked) over the lg w range of the options. Returns kExitOk or the exit status after the message was printed.
int AnalyseLoop(const TArgs& a, TCurveNeed need, bool popov, TLoopAnalysis& out) {
  if (a.Positional.size() != 1) return UsageError(a.Command + ": expected one project file");
  double lgwMin = kDefaultLgwMin, lgwMax = kDefaultLgwMax, step = TSettings{}.GodoNeStep;
  if (!NumberOption(a, "--lgw-min", lgwMin) || !NumberOption(a, "--lgw-max", lgwMax) ||
      !NumberOption(a, "--ne-step", step))
    return kExitUsage;
  if (!(lgwMax > lgwMin)) return UsageError(std::string("--lgw-max: ") + kBadParameter);
  if (!(step > 1e-8)) return UsageError(std::string("--ne-step: ") + kBadParameter);
  TFileProjects projects;
  int start = 0, end = 1, status = kExitOk;
  auto field = RunContour(a, projects, true, start, end, status, true);
  if (!field) return status;
  THodographOptions options;
  options.Popov = popov;
  const bool ok = DescribeNonlinearPart(*field, start, end, need, step, options, out);
  ReleaseMacroBodies(*field);
  Analysis.NonlinearEntry = Analysis.NonlinearLast = nullptr;
  if (!ok) return kExitFailure;
  if (!BuildHodograph(Analysis.Form, Analysis.Delay, lgwMin, lgwMax, options, out.H)) {
    SetError(18);
    PrintSchemeError();
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int CmdNyquist(const TArgs& a) {
  TLoopAnalysis loop;
  const bool dfc = a.Has("--dfc"), popov = a.Has("--popov");
  int width = 0, height = 0;
  TPlaneRect plane;
  bool manual = false;
  if (!PlotOptions(a, width, height) || !PlaneOption(a, plane, manual)) return kExitUsage;
  loop.WantSector = popov && a.Has("--plot");
  const int status = AnalyseLoop(a, dfc ? TCurveNeed::Required : TCurveNeed::None, popov, loop);
  if (status != kExitOk) return status;
  if (a.Has("--plot")) {
    if (loop.Popov.Sector.Fits) loop.Popov.Line = FindPopovLine(loop.H.Points, loop.Popov.Sector.K);
    const TPlotOutputs* plots = PlotOutputs();
    if (!plots || !plots->WritePlane(loop.H.Points, loop.HaveCurve ? &loop.Curve : nullptr,
                                     loop.WantSector ? &loop.Popov : nullptr,
                                     manual ? &plane : nullptr, a.Options.at("--plot"), width,
                                     height))
      return kExitFailure;
    if (!a.Has("-o")) return kExitOk;
  }
  return PrintOrWrite(a, PointListText(dfc ? loop.Curve.Points : loop.H.Points));
}

int CmdMargins(const TArgs& a) {
  TLoopAnalysis loop;
  const int status = AnalyseLoop(a, TCurveNeed::Wanted, false, loop);
  if (status != kExitOk) return status;
  const TClosedLoopVerdict verdict = AnalyseClosedLoop(loop.H);
  std::string text = ClosedLoopText(verdict);
  if (loop.HaveCurve) text += OscillationsText(FindOscillations(loop.H.Points, loop.Curve));
  // The window's text ends here; the crossover frequencies follow it.
  text += CrossoverText(verdict);
  return PrintOrWrite(a, text);
}

}  // namespace vemo::cli
