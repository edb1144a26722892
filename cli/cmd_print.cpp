// print: the picture of a scheme on a PDF page, placed as the print dialog
// places it by default: the whole printable width, the height in the
// picture's proportions.
#include <filesystem>

#include "cli_common.h"
#include "plot_output.h"

namespace vemo::cli {

int CmdPrint(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError("print: expected one project file");
  if (!a.Has("-o") || a.Options.at("-o").empty()) return UsageError("print: -o OUT.pdf is required");
  TSchemePrint job;
  const std::string range = a.Has("--range") ? a.Options.at("--range") : "all";
  if (range == "visible")
    job.Mode = 0;
  else if (range == "all")
    job.Mode = 1;
  else
    return UsageError("--range: visible or all (" + range + ")");
  job.Monochrome = a.Has("--mono");
  job.Landscape = a.Has("--landscape");
  if (!PlotsAvailable()) return UsageError("print: built without Qt");

  TFileProjects projects;
  std::unique_ptr<TField> field = LoadProject(a.Positional[0], projects);
  if (!field) return kExitFailure;
  job.Title = std::filesystem::path(a.Positional[0]).filename().string();
  const TPlotOutputs* out = PlotOutputs();
  if (!out) return kExitFailure;
  return out->WriteSchemePdf(*field, job, a.Options.at("-o")) ? kExitOk : kExitFailure;
}

}  // namespace vemo::cli
