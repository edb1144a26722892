// neuro train / neuro show: the neural block's training and its network.
#include <iostream>

#include "neural/net_file.h"
#include "neural/neural_block.h"
#include "neural/neural_training.h"
#include "opt_options.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "simulation/engine.h"

namespace vemo::cli {

namespace {

// The neural block named by --block; nullptr after the message.
TNeuralBlock* NeuralBlockOption(const TArgs& a, TField& field) {
  int col = 0, row = 0;
  if (!a.Has("--block") || !ParseCell(a.Options.at("--block"), col, row)) {
    UsageError("neuro: --block COL,ROW is required");
    return nullptr;
  }
  auto* n = dynamic_cast<TNeuralBlock*>(field.Cell(col, row));
  if (!n) std::cerr << "В клетке " << col << "," << row << " нет нейросети\n";
  return n;
}

int PointOption(const TArgs& a, const char* key) {
  if (!a.Has(key)) return -1;
  const std::string& v = a.Options.at(key);
  return v.size() == 1 ? PointOfLetter(v[0]) : -1;
}

int Show(const TArgs& a, TArgs file) {
  TFileProjects projects;
  auto field = LoadProject(file.Positional[0], projects);
  if (!field) return kExitFailure;
  TNeuralBlock* n = NeuralBlockOption(a, *field);
  if (!n) return a.Has("--block") ? kExitFailure : kExitUsage;
  for (char ch : NetFileText(n->Net))
    if (ch != '\r') std::cout << ch;
  return kExitOk;
}

int Train(const TArgs& a, TArgs file) {
  const int reference = PointOption(a, "--reference"), output = PointOption(a, "--output");
  if (reference < 0 || output < 0) return UsageError("neuro train: --reference and --output: point letters A..L");
  if (reference == output) return UsageError(kSamePoints);
  TSettings s;
  unsigned workers = 1;
  if (!MethodOptions(a, s, workers)) return kExitUsage;
  double lo = s.NetMinWeight, hi = s.NetMaxWeight, time = 0, step = 0;
  if (!NumberOption(a, "--min", lo) || !NumberOption(a, "--max", hi) ||
      !NumberOption(a, "--time", time) || !NumberOption(a, "--step", step))
    return kExitUsage;
  if (!(hi > lo)) return UsageError(std::string("--max: ") + kBadParameter);
  if (a.Has("--time") && !(time > 1e-8)) return UsageError(std::string("--time: ") + kBadParameter);
  if (a.Has("--step") && step < 1e-8) return UsageError(std::string("--step: ") + kBadParameter);

  TFileProjects projects;
  auto field = LoadAndPrepareRun(file, projects, step);
  if (!field) return kExitFailure;
  if (!a.Has("--time")) time = Prog.Clock.ViewTime;
  int64_t steps = 0;
  if (!CountRunSteps(0, field->Step, time, steps)) {
    ReleaseMacroBodies(*field);
    return UsageError(std::string("--step: ") + kBadParameter);
  }
  TNeuralBlock* n = NeuralBlockOption(a, *field);
  if (!n || !RequirePlaced(*field, reference) || !RequirePlaced(*field, output)) {
    ReleaseMacroBodies(*field);
    return n ? kExitFailure : (a.Has("--block") ? kExitFailure : kExitUsage);
  }
  Prog.Clock.ViewTime = time;
  TTrainRequest r;
  r.ReferencePoint = reference;
  r.OutputPoint = output;
  r.MinWeight = lo;
  r.MaxWeight = hi;
  r.Time = time;
  r.Workers = workers;
  TOptOutcome out;
  bool bound = true;
  WithProgress([&](TOptProgress& progress, const std::function<void()>& display) {
    bound = TrainNetwork(*field, *n, s, r, progress, out, display);
  });
  if (!bound) {
    ReleaseMacroBodies(*field);
    std::cerr << kTooManyWeights << "\n";
    return kExitFailure;
  }
  TCriterionSetup crit = CriterionSettings(s);
  crit.ViewTime = time;
  crit.ErrorPoint = output;
  crit.TargetMode = true;
  crit.ReferencePoint = reference;
  std::cout << CriterionLine(*field, crit, out.Stopped) << "\n";
  std::cout << "runs = " << out.Runs << "\n";
  ReleaseMacroBodies(*field);
  field->Modified = 1;
  if (a.Has("--net") && !SaveNetFile(n->Net, a.Options.at("--net"))) {
    std::cerr << kNetSaveError << "\n";
    return kExitFailure;
  }
  return SaveOutput(a, *field) ? kExitOk : kExitFailure;
}

}  // namespace

int CmdNeuro(const TArgs& a) {
  if (a.Positional.size() != 2 || (a.Positional[0] != "train" && a.Positional[0] != "show"))
    return UsageError("neuro: expected train FILE or show FILE");
  TArgs file = a;
  file.Positional = {a.Positional[1]};
  return a.Positional[0] == "show" ? Show(a, file) : Train(a, file);
}

}  // namespace vemo::cli
