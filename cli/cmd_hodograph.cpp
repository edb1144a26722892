// nyquist and margins: the hodograph command sequence and the closed-loop
// report of its window.
#include <iostream>

#include "cli_common.h"
#include "contour_args.h"
#include "frequency/analysis_state.h"
#include "frequency/bode.h"
#include "frequency/contour.h"
#include "frequency/hodograph.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo::cli {

namespace {

// Loads the project, runs the W(s) command with the zero-pole form and
// traces the hodograph over the lg w range of the options. Returns kExitOk
// or the exit status after the message was printed.
int TraceHodograph(const TArgs& a, THodograph& h) {
  if (a.Positional.size() != 1) return UsageError(a.Command + ": expected one project file");
  double lgwMin = kDefaultLgwMin, lgwMax = kDefaultLgwMax;
  if (!NumberOption(a, "--lgw-min", lgwMin) || !NumberOption(a, "--lgw-max", lgwMax)) return kExitUsage;
  if (!(lgwMax > lgwMin)) return UsageError(std::string("--lgw-max: ") + kBadParameter);
  TFileProjects projects;
  int start = 0, end = 1, status = kExitOk;
  if (!RunContour(a, projects, true, start, end, status)) return status;
  if (!BuildHodograph(Analysis.Form, Analysis.Delay, lgwMin, lgwMax, THodographOptions{}, h)) {
    SetError(18);
    PrintSchemeError();
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace

int CmdNyquist(const TArgs& a) {
  THodograph h;
  const int status = TraceHodograph(a, h);
  if (status != kExitOk) return status;
  return PrintOrWrite(a, PointListText(h.Points));
}

int CmdMargins(const TArgs& a) {
  THodograph h;
  const int status = TraceHodograph(a, h);
  if (status != kExitOk) return status;
  return PrintOrWrite(a, ClosedLoopText(AnalyseClosedLoop(h)));
}

}  // namespace vemo::cli
