// Steps of a run taken block by block: for a scheme that is a chain (every
// block a kind the run records step, each reading only the block just
// before it, from constant sources), a few steps are computed a block at a
// time over all of them instead of a step at a time over all blocks. Each
// block goes through the same values in the same order with the same
// arithmetic, so every output of every step is the same to the bit; the
// loop's dispatch is paid once per block for the whole batch, and each
// block's code runs as a tight loop over its steps.
#pragma once
#include <cstdint>
#include <vector>

#include "blocks/run_record.h"

namespace vemo {

// Steps in one batch: a chain whose signal a pulse-amplitude element holds
// between its samples takes 8 (its blocks barely wait for each other, and
// with short batches the processor overlaps more of them), any other 16
// (each block waits for the one before: longer stretches of each block's
// own steps). Measured on the benchmark's chains.
inline constexpr int kHeldBatchSteps = 8;
inline constexpr int kBatchSteps = 16;

struct TRunBatch {
  // The record whose output each observed column takes (-1: none).
  std::vector<int32_t> Columns;
  // Step-major outputs of the observed columns: Values[k * columns + j].
  std::vector<double> Values;
  // The records' states at the batch's start, taken back after a fault.
  std::vector<double> Saved;
  std::vector<double> Signal;  // the chain's signal, one value per step
};

// Whether the plan can be stepped in batches (a chain, as above); the
// answer is kept in the plan until its kinds are chosen again.
bool PlanBatches(TRunPlan& plan);
// The steps of a whole batch of a plan that PlanBatches accepts.
int BatchSteps(const TRunPlan& plan);

// The record of `block` in the plan, or -1.
int32_t RecordOf(const TRunPlan& plan, const void* block);

// `count` (1 … BatchSteps) steps of a plan that PlanBatches accepts; the
// outputs of the observed columns of every step land in batch.Values. When a
// step raises a floating-point fault, the records go back to the state
// before the batch and false is returned: the caller steps them one at a
// time to find the step that faulted. The fault flags are clear when it
// starts, and left as the steps left them.
bool StepRunBatch(TRunPlan& plan, int count, TRunBatch& batch);

}  // namespace vemo
