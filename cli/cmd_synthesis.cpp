// inout: the input-output characteristic of a contour as the table
// nonlinearity's text file.
#include <iostream>

#include "blocks/point_table.h"
#include "cli_common.h"
#include "contour_args.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "synthesis/inout.h"

namespace vemo::cli {

int CmdInOut(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError("inout: expected one project file");
  double xMax = kDefaultInOutXMax, step = kDefaultInOutStep;
  if (!NumberOption(a, "--xmax", xMax) || !NumberOption(a, "--step", step)) return kExitUsage;
  TFileProjects projects;
  int start = 0, end = 1, status = kExitOk;
  auto field = LoadContourProject(a, projects, start, end, status);
  if (!field) return status;

  TInOutResult r = RunInOutCommand(*field, start, end, xMax, step);
  ReleaseMacroBodies(*field);
  switch (r.Status) {
    case TInOutStatus::Ok:
      break;
    case TInOutStatus::SchemeError:
      PrintSchemeError();
      return kExitFailure;
    case TInOutStatus::MathError:
      return kExitFailure;  // the message went to stderr
    case TInOutStatus::TooManyPoints:
      return UsageError(std::string("--xmax/--step: ") + kBadParameter);
  }
  // The file's text has CR LF line ends; PrintOrWrite adds them back for -o.
  const std::string crlf = FormatPointTableText(r.Table);
  std::string text;
  text.reserve(crlf.size());
  for (char ch : crlf)
    if (ch != '\r') text += ch;
  return PrintOrWrite(a, text);
}

}  // namespace vemo::cli
