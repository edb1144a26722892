// The three search methods over an evaluator of the criterion. A method
// hands the evaluator batches of points that do not depend on each other and
// takes the results back one by one in the described order, so that an
// evaluator may run a batch on several threads while the points chosen and
// the runs counted stay those of the sequential order.
#pragma once
#include <cstddef>
#include <vector>

#include "optimisation/opt_params.h"

namespace vemo {

struct TSettings;

struct TEvalResult {
  double J = 0.0;
  // The cancel flag was set when the run ended (its value is then partial).
  bool Stopped = false;
};

class TEvaluator {
 public:
  virtual ~TEvaluator() = default;
  // A new batch: the criterion at each point, a point giving the value of
  // every optimised parameter as its block stores it. What is left of the
  // previous batch is given up.
  virtual void Submit(std::vector<std::vector<double>> points) = 0;
  // The result of point i of the batch (a sequential evaluator runs it now).
  virtual TEvalResult Result(size_t i) = 0;
};

inline constexpr int kProbeSearch = 0;
inline constexpr int kCoordinateDescent = 1;
inline constexpr int kGradientDescent = 2;

// Simulations the method will need for n parameters (an upper bound for the
// descents, which may end early).
double EstimateRuns(int method, const TSettings& s, int n);

class TOptimiser {
 public:
  // params: the optimised parameters with their bounds; their current values
  // are read through Value now, and written back by Apply.
  TOptimiser(std::vector<TOptParam> params, const TSettings& settings, bool targetMode,
             TEvaluator& evaluator);

  void ProbeSearch();
  void CoordinateDescent();
  void GradientDescent();
  // Runs method 0, 1 or 2.
  void Run(int method);

  // The values the method has set (as the blocks store them).
  const std::vector<double>& Values() const { return values_; }
  // Writes them into the blocks.
  void Apply() const;
  // Results the method used, in order (the simulations of its sequential run).
  long RunsDone() const { return runs_; }
  // The method ended on the cancel flag.
  bool Stopped() const { return stopped_; }
  // Points handed to one batch of the probing grid at most.
  size_t ProbeBatch = 256;

 private:
  double Get(size_t i) const { return ToInternal(params_[i], values_[i]); }
  void Set(size_t i, double x) { values_[i] = FromInternal(params_[i], x); }
  // The next result of the current batch, counted; sets stopped_.
  TEvalResult Take(size_t i);

  std::vector<TOptParam> params_;
  const TSettings& s_;
  bool targetMode_;
  TEvaluator& eval_;
  std::vector<double> values_;
  long runs_ = 0;
  bool stopped_ = false;
};

}  // namespace vemo
