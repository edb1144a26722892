#include "optimisation/optimise.h"

#include <vector>

#include "optimisation/field_evaluator.h"
#include "optimisation/methods.h"
#include "optimisation/opt_params.h"

namespace vemo {

TOptOutcome RunOptimisation(TField& field, const TSettings& settings, const TOptRunOptions& options,
                            TOptProgress& progress, const std::function<void()>& display) {
  TOptState& st = OptState();
  const int n = st.OptParamCount;
  std::vector<TOptParam> params(st.Params.begin(), st.Params.begin() + n);
  st.Stop = 0;
  st.RunsDone = 0;
  progress.Start(EstimateRuns(options.Method, settings, n), options.Setup.ViewTime);
  st.StartTicks = progress.StartTicks();

  TOptMonitor monitor(st.Stop, options.Setup.ViewTime, [&](double done) {
    progress.Update(done);
    if (display) display();
  });
  TOptOutcome out;
  {
    auto evaluator = MakeFieldEvaluator(field, params, options.Setup, monitor, options.Workers,
                                        &out.Parallel);
    TOptimiser opt(params, settings, options.Setup.TargetMode, *evaluator);
    opt.Run(options.Method);
    opt.Apply();
    out.Runs = opt.RunsDone();
    out.Stopped = opt.Stopped();
  }
  st.RunsDone = out.Runs;
  monitor.Report(0.0, true);
  return out;
}

}  // namespace vemo
