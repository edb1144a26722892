// optimize: tuning of marked block parameters.
#include <iostream>

#include "opt_options.h"
#include "optimisation/opt_params.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "simulation/engine.h"

namespace vemo::cli {

namespace {

// One --param: COL,ROW:I=LO..HI[:log].
struct TParamOption {
  int Col = 0, Row = 0, Index = 0;
  double Lower = 0, Upper = 0;
  bool Log = false;
};

bool ParseParam(const std::string& text, TParamOption& p) {
  const size_t colon = text.find(':'), eq = text.find('='), dots = text.find("..");
  if (colon == std::string::npos || eq == std::string::npos || dots == std::string::npos ||
      !(colon < eq && eq < dots))
    return UsageError("--param " + text + ": COL,ROW:I=LO..HI[:log]") == 0;
  if (!ParseCell(text.substr(0, colon), p.Col, p.Row))
    return UsageError("--param " + text + ": no cell of the grid") == 0;
  double index = 0;
  if (!ParseNumber(text.substr(colon + 1, eq - colon - 1), index) || index < 0 || index > 3 ||
      index != static_cast<int>(index))
    return UsageError("--param " + text + ": parameter index 0..3") == 0;
  p.Index = static_cast<int>(index);
  std::string upper = text.substr(dots + 2);
  if (upper.size() > 4 && upper.substr(upper.size() - 4) == ":log") {
    p.Log = true;
    upper.resize(upper.size() - 4);
  }
  if (!ParseNumber(text.substr(eq + 1, dots - eq - 1), p.Lower) || !ParseNumber(upper, p.Upper))
    return UsageError("--param " + text + ": " + kBadNumberFormat) == 0;
  if (!(p.Lower < p.Upper)) return UsageError("--param " + text + ": " + kBadParameter) == 0;
  return true;
}

}  // namespace

int CmdOptimize(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError("optimize: expected one project file");
  if (!a.Has("--error")) return UsageError("optimize: --error is required");
  const std::string& errorText = a.Options.at("--error");
  const int errorPoint = errorText.size() == 1 ? PointOfLetter(errorText[0]) : -1;
  if (errorPoint < 0) return UsageError("--error: a point letter A..L");
  std::vector<TParamOption> params;
  for (const auto& [key, value] : a.All) {
    if (key != "--param") continue;
    params.emplace_back();
    if (!ParseParam(value, params.back())) return kExitUsage;
  }
  if (params.empty()) return UsageError("optimize: at least one --param is required");
  if (params.size() > static_cast<size_t>(kMaxOptParams))
    return UsageError("optimize: at most 1000 parameters");
  TSettings s;
  unsigned workers = 1;
  if (!MethodOptions(a, s, workers)) return kExitUsage;
  double viewTime = 0, step = 0;
  if (!NumberOption(a, "--time", viewTime) || !NumberOption(a, "--step", step)) return kExitUsage;
  if (a.Has("--time") && viewTime < 1e-10) return UsageError(std::string("--time: ") + kBadParameter);
  if (a.Has("--step") && step < 1e-10) return UsageError(std::string("--step: ") + kBadParameter);

  TFileProjects projects;
  auto field = LoadAndPrepareRun(a, projects, step);
  if (!field) return kExitFailure;
  if (a.Has("--time")) Prog.Clock.ViewTime = viewTime;
  int64_t steps = 0;
  if (field->Step > Prog.Clock.ViewTime || !CountRunSteps(0, field->Step, Prog.Clock.ViewTime, steps)) {
    ReleaseMacroBodies(*field);
    return UsageError(std::string("--step: ") + kBadParameter);
  }
  if (!RequirePlaced(*field, errorPoint)) return kExitFailure;

  // The table in the order of the command line; the marks as the dialog sets them.
  TOptState& st = OptState();
  st.OptParamCount = 0;
  for (const TParamOption& p : params) {
    auto* b = dynamic_cast<TParamBlock*>(field->Cell(p.Col, p.Row));
    if (!b || b->EditorKind() != 1 || p.Index >= b->ParamCount) {
      ReleaseMacroBodies(*field);
      std::cerr << "В клетке " << p.Col << "," << p.Row << " нет блока с параметром " << p.Index
                << "\n";
      return kExitFailure;
    }
    for (int k = 0; k < st.OptParamCount; ++k)
      if (st.Params[k].Value == &b->Params[p.Index]) {
        ReleaseMacroBodies(*field);
        return UsageError("--param: the same parameter twice");
      }
    b->OptMask |= static_cast<uint8_t>(1u << p.Index);
    TOptParam& o = st.Params[st.OptParamCount++];
    o = TOptParam{p.Log ? uint8_t{1} : uint8_t{0}, &b->Params[p.Index], p.Lower, p.Upper,
                  p.Col * kGridSize + p.Row, p.Index};
  }
  st.ErrorPoint = errorPoint;
  st.TargetMode = 0;

  TOptRunOptions options;
  options.Method = s.OptMethod;
  options.Setup = CriterionSettings(s);
  options.Setup.ViewTime = Prog.Clock.ViewTime;
  options.Setup.ErrorPoint = errorPoint;
  options.Workers = workers;
  TOptOutcome out;
  WithProgress([&](TOptProgress& progress, const std::function<void()>& display) {
    out = RunOptimisation(*field, s, options, progress, display);
  });
  for (size_t k = 0; k < params.size(); ++k)
    std::cout << params[k].Col << "," << params[k].Row << ":" << params[k].Index << " = "
              << FormatNumber(*st.Params[k].Value) << "\n";
  std::cout << CriterionLine(*field, options.Setup, out.Stopped) << "\n";
  std::cout << "runs = " << out.Runs << "\n";
  ReleaseMacroBodies(*field);
  field->Modified = 1;
  return SaveOutput(a, *field) ? kExitOk : kExitFailure;
}

}  // namespace vemo::cli
