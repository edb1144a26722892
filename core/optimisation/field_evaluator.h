// Evaluators of the criterion on a scheme: on the field itself, one run
// after another, or on copies of the field on worker threads, one copy per
// worker, while the calling thread keeps the progress display going.
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "optimisation/criterion.h"
#include "optimisation/methods.h"

namespace vemo {

struct TField;

// What the evaluators report to, on the calling thread only.
class TOptMonitor {
 public:
  TOptMonitor(std::atomic<uint8_t>& stop, double viewTime,
              std::function<void(double done)> display = {})
      : Stop(stop), ViewTime(viewTime), Display(std::move(display)) {}

  std::atomic<uint8_t>& Stop;
  double ViewTime;
  // The simulated time done: finished runs × view time + model time of the
  // runs under way.
  std::function<void(double done)> Display;
  long Finished = 0;  // runs ended, wanted or not

  // Calls Display at most every 20 ms (and always when forced).
  void Report(double running, bool force = false);

 private:
  int64_t last_ = -1000000;
};

// Runs the criterion on the field itself, each point when its result is asked.
class TSequentialEvaluator : public TEvaluator {
 public:
  TSequentialEvaluator(TField& field, std::vector<TOptParam> params, const TCriterionSetup& crit,
                       TOptMonitor& monitor);
  void Submit(std::vector<std::vector<double>> points) override { points_ = std::move(points); }
  TEvalResult Result(size_t i) override;

 private:
  TField& field_;
  std::vector<TOptParam> params_;
  TCriterionSetup spec_;
  TOptMonitor& monitor_;
  std::vector<std::vector<double>> points_;
};

// Whether runs of the field may go on copies of it on other threads: not
// with plug-in blocks (their libraries keep one state for every copy), nor
// with parameter-control blocks (they change parameters from one run to the
// next, which copies would not share). Fuzzy controllers keep to their own
// model and start every run from zero, so they run on copies.
bool CanRunOnCopies(const TField& field);

// Worker threads to use by default: the machine's cores.
unsigned DefaultWorkers();

// The evaluator for a prepared field: on `workers` copies when more than
// one is asked for and the field allows it (the calling thread is one of
// the workers), else on the field itself. Copies are made and prepared
// here, on the calling thread.
std::unique_ptr<TEvaluator> MakeFieldEvaluator(TField& field, const std::vector<TOptParam>& params,
                                               const TCriterionSetup& crit, TOptMonitor& monitor,
                                               unsigned workers, bool* parallel = nullptr);

}  // namespace vemo
