// The run loop's compact form of a block's step. When a run starts, every
// block of the run list gets a record: how the loop steps it (a kind of
// step the loop computes itself, or the block's own virtual Step), where its
// input comes from, and the constants of its step derived from its
// parameters and the time step (dt / T and the like), so that they are not
// computed again every step. The arithmetic is the block's own (the same
// inline functions its Step uses), so the outputs are the same to the bit.
#pragma once
#include <cstdint>
#include <vector>

namespace vemo {

class TBlock;

// How the loop steps a block. Virtual: the block's own Step; the others
// name the kinds the loop steps itself (the kind's PlanStep chooses).
enum class TRunOp : uint8_t {
  Virtual,
  Hold,                 // no step: the output stays as Start left it
  Proportional,         // y = K x
  ProportionalUnit,     // K = 1
  Integrating,
  Differentiating,
  Aperiodic,
  AperiodicUnit,        // K = 1
  Oscillatory,
  DeadZone,
  Saturation,
  DeadZoneSaturation,
  Relay2,
  Backlash,
  PulseAmplitude,
  ParamControl,         // the block's Step, then the target's constants again
  End,                  // the loop's end mark after the last block (no block)
};

// The slot of C that holds a kept output: the kinds that may keep their
// output use at most three constants.
inline constexpr int kKeptSlot = 3;

struct alignas(64) TRunRecord {
  // Where the loop's code for this record starts (the loop sets it).
  const void* Jump = nullptr;
  TBlock* Block = nullptr;
  // The Output the block's step reads as its input x (its step input, or a
  // zero when it has none).
  const double* In = nullptr;
  // Constants of the step, and state the record carries while the run goes
  // (the kind's PlanStep says which; its UnplanStep takes the state back).
  // C[kKeptSlot] holds the output of a record whose output stays here
  // (OutputKept).
  double C[4] = {0.0, 0.0, 0.0, 0.0};
  TRunOp Op = TRunOp::Virtual;
  // In is the Output of the record just before: the loop hands it over in a
  // register instead of reading it back from memory.
  bool InIsPrevious = false;
  // Something reads the block's Output from memory other than the record
  // just after it: another block, or a view point.
  bool OutputRead = false;
  // The loop keeps the output in C[kKeptSlot] instead of the block's
  // Output: only the next record takes it, in a register. The block's
  // Output is brought up to date by SyncRunOutputs (run_plan.h).
  bool OutputKept = false;
  // The parameter control's target record, when the target has one.
  int32_t Peer = -1;
};

static_assert(sizeof(TRunRecord) == 64, "a record is one cache line");

// The records of a run in run-list order, then the end mark, and the step
// their constants were derived for.
struct TRunPlan {
  std::vector<TRunRecord> Records;
  double Dt = 0.0;
  bool Threaded = false;  // every record's Jump matches its Op
  // Whether the records can be stepped in batches (simulation/run_batch.h):
  // -1 until looked at for these kinds, 0 no, 1 yes, 2 yes and readied
  // for them.
  int8_t Batches = -1;
  int8_t BatchSteps = 0;  // the steps of a whole batch, when it has them
};

}  // namespace vemo
