// popov: the Popov criterion command sequence and the verdict of its
// report window.
#include <iostream>

#include "cli_common.h"
#include "contour_args.h"
#include "frequency/analysis_state.h"
#include "frequency/bode.h"
#include "frequency/contour.h"
#include "frequency/hodograph.h"
#include "frequency/popov.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo::cli {

namespace {

// Prints the scheme error, releases the macro bodies and gives the status.
int SchemeFailure(TField& field) {
  ReleaseMacroBodies(field);
  PrintSchemeError();
  return kExitFailure;
}

}  // namespace

int CmdPopov(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError(a.Command + ": expected one project file");
  double lgwMin = kDefaultLgwMin, lgwMax = kDefaultLgwMax;
  if (!NumberOption(a, "--lgw-min", lgwMin) || !NumberOption(a, "--lgw-max", lgwMax)) return kExitUsage;
  if (!(lgwMax > lgwMin)) return UsageError(std::string("--lgw-max: ") + kBadParameter);
  TFileProjects projects;
  int start = 0, end = 1, status = kExitOk;
  auto field = LoadContourProject(a, projects, start, end, status);
  if (!field) return status;

  // W(s) with its zero-pole form, then the nonlinear part of the contour.
  Prog.Err.ErrorCode = 0;
  if (!RunContourCommand(*field, start, end, true)) return SchemeFailure(*field);
  const TNonlinearPart part = FindNonlinearPart(*field, start, end);
  if (Prog.Err.ErrorCode) return SchemeFailure(*field);
  Analysis.NonlinearEntry = part.Entry;
  Analysis.NonlinearLast = part.Last;

  const TChainClass cls = ClassifyNonlinearChain(part.Entry, part.Last);
  const std::string refusal = ChainRefusalText(cls.Code);
  if (!refusal.empty()) {
    ReleaseMacroBodies(*field);
    std::cout << refusal << "\n";
    return kExitFailure;
  }
  TPopovVerdict verdict;
  verdict.Sector = PopovSector(cls, part.Entry, part.Last);
  ReleaseMacroBodies(*field);
  Analysis.NonlinearEntry = Analysis.NonlinearLast = nullptr;

  if (verdict.Sector.Fits) {
    THodographOptions options;
    options.Popov = true;
    THodograph h;
    if (!BuildHodograph(Analysis.Form, Analysis.Delay, lgwMin, lgwMax, options, h)) {
      SetError(18);
      PrintSchemeError();
      return kExitFailure;
    }
    verdict.Line = FindPopovLine(h.Points, verdict.Sector.K);
  }
  return PrintOrWrite(a, PopovReportText(verdict));
}

}  // namespace vemo::cli
