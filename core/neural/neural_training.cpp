#include "neural/neural_training.h"

#include "model/field.h"
#include "neural/neural_block.h"
#include "optimisation/opt_params.h"
#include "shell/settings.h"

namespace vemo {

bool BindNetWeights(TField& field, TNeuralBlock& block, double minWeight, double maxWeight) {
  int32_t cell = -1;
  for (auto it = field.Cells.begin(); it != field.Cells.end() && cell < 0; ++it)
    if (it->get() == &block) cell = CellIndex(it.Col(), it.Row());
  if (cell < 0 || block.Net.WeightTotal() > kMaxOptParams) return false;
  TOptState& st = OptState();
  int n = 0;
  for (TNeuroLayer& l : block.Net.Layers)
    for (double& w : l.Weights) {
      TOptParam& p = st.Params[n];
      p = TOptParam{};
      p.Value = &w;
      p.Lower = minWeight;
      p.Upper = maxWeight;
      p.Cell = cell;
      p.Slot = n++;
    }
  st.OptParamCount = n;
  return true;
}

bool TrainNetwork(TField& field, TNeuralBlock& block, const TSettings& settings,
                  const TTrainRequest& request, TOptProgress& progress, TOptOutcome& outcome,
                  const std::function<void()>& display) {
  if (!BindNetWeights(field, block, request.MinWeight, request.MaxWeight)) return false;
  TOptState& st = OptState();
  TOptRunOptions options;
  options.Method = settings.OptMethod;
  options.Setup = CriterionSettings(settings);
  options.Setup.ViewTime = request.Time;
  options.Setup.ErrorPoint = request.OutputPoint;
  options.Setup.TargetMode = true;
  options.Setup.ReferencePoint = request.ReferencePoint;
  options.Workers = request.Workers;
  st.TargetMode = 1;
  st.ReferencePoint = request.ReferencePoint;
  outcome = RunOptimisation(field, settings, options, progress, display);
  st.TargetMode = 0;
  return true;
}

}  // namespace vemo
