// codegen: controller source for the contour between chosen points, as the
// program generation dialog writes it.
#include <algorithm>
#include <iostream>

#include "cli_common.h"
#include "codegen/generation.h"
#include "model/compile.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "simulation/engine.h"

namespace vemo::cli {

namespace {

// "A,C,D" -> point indexes in letter order (the order of the dialog's
// lists); false after a usage message.
bool PointList(const TArgs& a, const std::string& key, std::vector<int>& points) {
  auto it = a.Options.find(key);
  if (it == a.Options.end()) return true;
  for (char ch : it->second) {
    if (ch == ',' || ch == ' ') continue;
    const int k = PointOfLetter(ch);
    if (k < 0) {
      UsageError(key + ": no point " + std::string(1, ch) + " (A..L)");
      return false;
    }
    if (std::find(points.begin(), points.end(), k) == points.end()) points.push_back(k);
  }
  std::sort(points.begin(), points.end());
  return true;
}

}  // namespace

int CmdCodegen(const TArgs& a) {
  if (a.Positional.size() != 1) return UsageError("codegen: expected one project file");
  if (!a.Has("-o")) return UsageError("codegen: -o OUT is required");
  if (!a.Has("--lang")) return UsageError("codegen: --lang is required");
  TGenerationChoice choice;
  if (!TargetOfKey(a.Options.at("--lang"), choice.Target))
    return UsageError("codegen: --lang must be one of pascal, c, qbasic, x86, asm51, asm96, dec");
  if (!PointList(a, "--in", choice.Inputs) || !PointList(a, "--out", choice.Outputs)) return kExitUsage;
  const TCodegenSettings& remembered = CodegenSettings();
  choice.StepText = a.Has("--step") ? a.Options.at("--step") : FormatNumber(remembered.Step);
  choice.AddressText = a.Has("--address")
                           ? a.Options.at("--address")
                           : AddressText(choice.Target, remembered.Address[static_cast<int>(choice.Target)]);
  choice.Use386 = a.Has("--386");

  TFileProjects projects;
  auto field = LoadProject(a.Positional[0], projects);
  if (!field) return kExitFailure;
  // The dialog lists the placed points only.
  for (const std::vector<int>* list : {&choice.Inputs, &choice.Outputs})
    for (int k : *list)
      if (!RequirePlaced(*field, k)) return kExitFailure;
  // Compile -> CheckLoops, as the menu command runs it.
  Prog.Err.ErrorCode = 0;
  Prog.Wiring.ZeroListed = 0;
  CompileScheme(*field, nullptr);
  if (Prog.Err.ErrorCode == 0) CheckAlgebraicLoops(*field);
  if (Prog.Err.ErrorCode) {
    ReleaseMacroBodies(*field);
    PrintSchemeError();
    return kExitFailure;
  }
  double step = 0.0;
  TWriterOptions options;
  TChoiceFocus focus;
  if (!CheckGenerationChoice(choice, step, options, focus)) {
    ReleaseMacroBodies(*field);
    return kExitFailure;
  }
  const TGenerationOutcome outcome = GenerateFile(*field, choice, step, options, a.Options.at("-o"));
  ReleaseMacroBodies(*field);
  return outcome == TGenerationOutcome::Written ? kExitOk : kExitFailure;
}

}  // namespace vemo::cli
