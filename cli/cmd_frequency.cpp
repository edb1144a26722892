// tf and bode: the transfer-function and Bode-plot command sequences.
#include <cmath>
#include <iostream>
#include <string>

#include "cli_common.h"
#include "contour_args.h"
#include "frequency/analysis_state.h"
#include "frequency/bode.h"
#include "frequency/contour.h"
#include "frequency/transfer_text.h"
#include "plot_output.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo::cli {


int CmdTransferFunction(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError("tf: expected one project file");
  const bool factored = a.Has("--factored");
  // --digits N: the coefficients with N significant digits instead of the
  // window's number text.
  double digits = 0;
  if (!NumberOption(a, "--digits", digits)) return kExitUsage;
  if (a.Has("--digits") && !(digits >= 1 && digits <= kMaxTextDigits && digits == std::floor(digits)))
    return UsageError("--digits: a whole number from 1 to " + std::to_string(kMaxTextDigits));
  TFileProjects projects;
  int start = 0, end = 1, status = kExitOk;
  auto field = RunContour(a, projects, factored, start, end, status);
  if (!field) return status;
  const int n = static_cast<int>(digits);
  const std::string text = factored ? FormatFactoredText(start, end, Analysis.Form, Analysis.Delay, n)
                                    : FormatPolynomialText(start, end, Analysis.W, Analysis.Delay, n);
  return PrintOrWrite(a, text + "\n");
}

int CmdBode(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError("bode: expected one project file");
  double lgwMin = kDefaultLgwMin, lgwMax = kDefaultLgwMax;
  if (!NumberOption(a, "--lgw-min", lgwMin) || !NumberOption(a, "--lgw-max", lgwMax)) return kExitUsage;
  if (!(lgwMax > lgwMin)) return UsageError(std::string("--lgw-max: ") + kBadParameter);
  int width = 0, height = 0;
  if (!PlotOptions(a, width, height)) return kExitUsage;
  TFileProjects projects;
  int start = 0, end = 1, status = kExitOk;
  auto field = RunContour(a, projects, true, start, end, status);
  if (!field) return status;
  if (a.Has("--plot")) {
    const TPlotOutputs* plots = PlotOutputs();
    if (!plots || !plots->WriteBode(Analysis.Form, Analysis.Delay, lgwMin, lgwMax,
                                    a.Options.at("--plot"), width, height))
      return kExitFailure;
    if (!a.Has("-o")) return kExitOk;
  }
  std::string text;
  if (!BodeCurveText(Analysis.Form, Analysis.Delay, lgwMin, lgwMax, a.Has("--phase"), text)) {
    SetError(18);
    PrintSchemeError();
    return kExitFailure;
  }
  return PrintOrWrite(a, text);
}

}  // namespace vemo::cli
