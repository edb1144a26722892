// Mamdani inference over a fuzzy model: fuzzification, the truth of each
// rule's premises, the conclusions merged into one shape per output
// variable ("MAX_DOT" scales, "MAX_MIN" clips), and the centroid.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzzy/fuzzy_model.h"

namespace vemo {

// Conclusions below this truth are skipped.
inline constexpr double kFiringLevel = 0.001;

// The shape built for one output variable during an inference.
struct TFuzzyAccumulator {
  uint32_t Var = 0;
  std::vector<TShapePoint> Points;
};

// One inference's working storage. Accumulators and scratch buffers keep
// their memory from one inference to the next, so that a warm engine does
// not allocate.
class TFuzzyInference {
 public:
  // The whole inference: fuzzify, every rule, centroids into the output
  // variables. Variables that no rule fired for keep their values.
  void Infer(TFuzzyModel& m);

  // The pieces, for stepping rule by rule (the editor's debugger):
  // drop the accumulators;
  void Reset() { used_ = 0; }
  // every term's Degree at its variable's Value;
  static void Fuzzify(TFuzzyModel& m);
  // the truth of the rule at pos and its conclusions merged into the
  // accumulators; pos moves past the rule. False when there is no rule at
  // pos or the rule has no conclusions (the walk ends there).
  bool ApplyRule(const TFuzzyModel& m, size_t& pos, double& truth);
  // each accumulator's centroid into its variable.
  void Defuzzify(TFuzzyModel& m) const;

  // The truth of the premises [first, end) of a rule ("И" = min, "ИЛИ" =
  // max, "НЕ" = 1 - x; grouping as described in fuzzy_infer.cpp); 0 for no
  // premises.
  double Truth(const TFuzzyModel& m, size_t first, size_t end);
  // Merges the shape of term `term` with weight w into the accumulator of
  // variable var (created if missing).
  void Conclude(const TFuzzyModel& m, uint32_t var, size_t term, double w);

  size_t AccumulatorCount() const { return used_; }
  const TFuzzyAccumulator& Accumulator(size_t i) const { return acc_[i]; }

 private:
  struct TOperand {
    double Value;
    size_t First;        // the first premise of the run it stands for
    int64_t DepthFirst;  // depth bookkeeping before that premise
    int64_t DepthLast;   // ... before the last premise of the run
  };
  struct TConnective {
    int64_t Rank;
    bool And;
  };
  void Reduce(const TFuzzyModel& m);
  void Transform(const TFuzzyShape& shape, double w, uint8_t method);
  void Unite(std::vector<TShapePoint>& acc);

  std::vector<TFuzzyAccumulator> acc_;
  size_t used_ = 0;
  std::vector<TShapePoint> shape_, merged_;
  std::vector<double> xs_;
  std::vector<TOperand> operands_;
  std::vector<TConnective> connectives_;
};

// One inference with a working storage of the calling thread.
void Infer(TFuzzyModel& m);

}  // namespace vemo
