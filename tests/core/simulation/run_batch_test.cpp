// Chains stepped in batches of steps give the run of stepping them a step
// at a time, to the bit: every sample, the step a fault stops the run at,
// and the state the blocks are left in.
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "core/model/test_support.h"
#include "model/scheme_builder.h"
#include "blocks/linear.h"
#include "simulation/engine.h"
#include "simulation/run_batch.h"
#include "simulation/transient.h"

namespace vemo {
namespace {

struct TRunResult {
  std::vector<uint32_t> Samples;
  std::vector<uint64_t> Outputs;  // every block's output, then the states
  int64_t Steps = 0;
  bool MathError = false, Batched = false;
  bool operator==(const TRunResult&) const = default;
};

// A constant source and a chain of the kinds a batch steps, with random
// parameters; `overflow` begins it with two aperiodic elements of huge
// gains, so that the signal overflows some way into the run. Points on the last block and on two
// others.
std::unique_ptr<TField> RandomChain(uint32_t seed, bool overflow) {
  std::mt19937 rng(seed);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  // Every other chain without a pulse-amplitude element (such chains take
  // longer batches).
  const uint16_t kinds[] = {6, 10, 20, 21, 22, 23, 13};
  const size_t kindCount = seed % 2 ? std::size(kinds) : std::size(kinds) - 1;
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(0, 0, 0, {overflow ? 3.0 : uniform(-3.0, 3.0)});
  const int n = 20 + static_cast<int>(rng() % 40);
  for (int i = 1; i <= n; ++i) {
    const bool huge = overflow && i <= 2;
    const uint16_t code = huge ? 10 : kinds[rng() % kindCount];
    auto* p = static_cast<TParamBlock*>(b.Block(2 * i, 0, code)->AsBlock());
    const double factor = rng() % 3 == 0 ? 1.0 : uniform(0.5, 2.0);
    for (int k = 0; k < p->ParamCount; ++k) p->Params[k] *= factor;
    if (code == 13) p->Params[1] = 1.0 + rng() % 3;                   // duty ratio ≥ 1
    if (code == 6 && rng() % 2) p->Params[0] = 1.0;                  // a unit gain
    if (code == 10) p->Params[1] = rng() % 2 ? 1.0 : uniform(-2, 2);  // and a unit K
    if (huge) p->Params[1] = 1e154;  // 3·1e308 at the end: an overflow after a while
    if (!b.Line({{2 * i - 2, 0}, {2 * i - 1, 0}, {2 * i, 0}})) return nullptr;
  }
  b.Point(0, 2 * n, 0);
  // On the lines out of two blocks before it.
  b.Point(1, 2 * (1 + static_cast<int>(rng() % (n - 1))) + 1, 0);
  b.Point(2, 2 * (1 + static_cast<int>(rng() % (n - 1))) + 1, 0);
  f->Step = rng() % 2 ? 0.01 : 1.0 / 1024;
  f->AutoStep = 0;
  return f;
}

TRunResult RunChain(TField& f, bool batches, bool progress) {
  ResetProgramState();
  PrepareRun(f);
  TRunResult result;
  if (Prog.Err.ErrorCode) {
    ADD_FAILURE() << "error " << int(Prog.Err.ErrorCode) << " at " << Prog.Err.ErrorCol << ","
                  << Prog.Err.ErrorRow;
    return result;
  }
  TTransientRun run;
  run.Batches = batches;
  if (progress) run.Progress = [](double) { return true; };
  run.Open(f, 20.03, ShownPoints(f));
  result.Batched = PlanBatches(f.Plan);
  run.RunSegment();
  for (size_t i = 0; i < run.Samples.Count(); ++i)
    result.Samples.push_back(std::bit_cast<uint32_t>(run.Samples.At(i)));
  result.Steps = run.Steps;
  result.MathError = run.MathError;
  run.Close();
  for (TBlock* blk : f.RunArray) result.Outputs.push_back(std::bit_cast<uint64_t>(blk->Output));
  for (TBlock* blk : f.RunArray)
    if (auto* a = dynamic_cast<TAperiodic*>(blk)) result.Outputs.push_back(std::bit_cast<uint64_t>(a->S));
  std::feclearexcept(FE_ALL_EXCEPT);
  return result;
}

TEST(RunBatchTest, ChainsInBatchesRunAsStepByStep) {
  int faulted = 0;
  for (uint32_t seed = 1; seed <= 24; ++seed) {
    const bool overflow = seed % 3 == 0, progress = seed % 2 == 0;
    auto a = RandomChain(seed, overflow), b = RandomChain(seed, overflow);
    ASSERT_TRUE(a && b);
    const TRunResult batched = RunChain(*a, true, progress), stepped = RunChain(*b, false, progress);
    ASSERT_TRUE(batched.Batched) << "seed " << seed << ": the chain was not stepped in batches";
    EXPECT_GT(batched.Steps, 0) << "seed " << seed;
    EXPECT_TRUE(batched == stepped) << "seed " << seed << ": steps " << batched.Steps << " / "
                                    << stepped.Steps << ", math error " << batched.MathError << " / "
                                    << stepped.MathError;
    faulted += stepped.MathError;
  }
  EXPECT_GT(faulted, 0);  // the overflowing chains did stop the run
}

TEST(RunBatchTest, OnlyChainsFromConstantsAreSteppedInBatches) {
  ResetProgramState();
  // A loop: the summator reads the aperiodic element after it.
  auto loop = CreateField();
  TSchemeBuilder b(*loop);
  b.Block(0, 0, 0, {1.0});
  b.Block(2, 0, 2);
  b.Block(4, 0, 10);
  ASSERT_TRUE(b.Line({{0, 0}, {1, 0}, {2, 0}}));
  ASSERT_TRUE(b.Line({{2, 0}, {3, 0}, {4, 0}}));
  ASSERT_TRUE(b.Line({{4, 0}, {5, 0}, {5, 1}, {2, 1}, {2, 0}}));
  b.Point(0, 5, 1);
  PrepareRun(*loop);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  SimInit(*loop);
  EXPECT_FALSE(PlanBatches(loop->Plan));
  SimDone(*loop);
}

}  // namespace
}  // namespace vemo
