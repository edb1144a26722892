#include "simulation/run_batch.h"

#include <algorithm>
#include <cfenv>

#include "blocks/linear.h"
#include "blocks/nonlinear.h"
#include "blocks/pulse.h"
#include "simulation/engine.h"

namespace vemo {

namespace {
// The kinds a batch steps: their whole state is in the record, and they
// read nothing but their input and their constants.
bool Batched(TRunOp op) {
  switch (op) {
    case TRunOp::Hold:
    case TRunOp::Proportional:
    case TRunOp::ProportionalUnit:
    case TRunOp::Aperiodic:
    case TRunOp::AperiodicUnit:
    case TRunOp::DeadZone:
    case TRunOp::Saturation:
    case TRunOp::DeadZoneSaturation:
    case TRunOp::Relay2:
    case TRunOp::PulseAmplitude:
      return true;
    default:
      return false;
  }
}

// Columns of the observed records: where the outputs of record `i` go.
struct TObserved {
  const std::vector<int32_t>& Columns;
  std::vector<double>& Values;
  void Take(int32_t i, const double* v, int count) const {
    const size_t columns = Columns.size();
    for (size_t j = 0; j < columns; ++j)
      if (Columns[j] == i)
        for (int k = 0; k < count; ++k) Values[static_cast<size_t>(k) * columns + j] = v[k];
  }
};

// Every record over `steps` steps (Fixed of them when Fixed is not 0, so
// the compiler unrolls each kind's steps): the signal v holds a record's
// input of every step and takes its output. The loop is threaded like the
// step loop's: each kind's code ends in its own jump to the next record's
// kind. The states the records start from go to `saved` in run order.
template <int Fixed>
void StepRecords(TRunPlan& plan, int steps, double* v, double* saved, const TObserved& observed) {
  static const void* const kKinds[] = {
      &&Other,       &&Hold,     &&Proportional,       &&ProportionalUnit,
      &&Other,       &&Other,    &&Aperiodic,          &&AperiodicUnit,
      &&Other,       &&DeadZone, &&Saturation,         &&DeadZoneSaturation,
      &&Relay2,      &&Other,    &&PulseAmplitude,     &&Other,
      &&End};
  static_assert(sizeof kKinds / sizeof kKinds[0] == static_cast<size_t>(TRunOp::End) + 1);
  const int count = Fixed ? Fixed : steps;
  const double dt = plan.Dt;
  TRunRecord* r = plan.Records.data();
  const TRunRecord* const first = r;
  // v[k] = f(v[k]) over the steps, in step order.
#define VEMO_EACH(...)                  \
  for (int k = 0; k < count; ++k) {     \
    const double x = v[k];              \
    v[k] = (__VA_ARGS__);               \
  }
  // What the last step leaves, then the next record.
#define VEMO_DONE                                                                 \
  if (r->OutputKept)                                                              \
    r->C[kKeptSlot] = v[count - 1];                                               \
  else                                                                            \
    r->Block->Output = v[count - 1];                                              \
  if (r->OutputRead) observed.Take(static_cast<int32_t>(r - first), v, count);     \
  ++r;                                                                            \
  goto* kKinds[static_cast<uint8_t>(r->Op)]

  goto* kKinds[static_cast<uint8_t>(r->Op)];
Hold:
  std::fill(v, v + count, r->Block->Output);
  if (r->OutputRead) observed.Take(static_cast<int32_t>(r - first), v, count);
  ++r;
  goto* kKinds[static_cast<uint8_t>(r->Op)];
Proportional: {
  const double gain = r->C[0];
  VEMO_EACH(gain * x);
  VEMO_DONE;
}
ProportionalUnit:
  VEMO_DONE;
Aperiodic: {
  // The state stays in a register through the steps.
  double s = *saved++ = r->C[2];
  const double a = r->C[0], gain = r->C[1];
  VEMO_EACH(gain * TAperiodic::Advance(s, x, a));
  r->C[2] = s;
  VEMO_DONE;
}
AperiodicUnit: {
  double s = *saved++ = r->C[2];
  const double a = r->C[0];
  VEMO_EACH(TAperiodic::Advance(s, x, a));
  r->C[2] = s;
  VEMO_DONE;
}
DeadZone: {
  const double d = r->C[0];
  VEMO_EACH(TDeadZone::Apply(x, d));
  VEMO_DONE;
}
Saturation: {
  const double hi = r->C[0], lo = r->C[1];
  VEMO_EACH(TSaturation::Apply(x, hi, lo));
  VEMO_DONE;
}
DeadZoneSaturation: {
  const double d = r->C[0], hi = r->C[1], lo = r->C[2];
  VEMO_EACH(TDeadZoneSaturation::Apply(x, d, hi, lo));
  VEMO_DONE;
}
Relay2: {
  const double y1 = r->C[0], y2 = r->C[1], threshold = r->C[2];
  VEMO_EACH(TRelay2::Apply(x, y1, y2, threshold));
  VEMO_DONE;
}
PulseAmplitude: {
  double phase = *saved++ = r->C[0];
  double y = *saved++ = r->C[3];
  const double period = r->C[1], pulse = r->C[2];
  VEMO_EACH(y = TPulseAmplitude::Advance(phase, x, dt, period, pulse, y));
  r->C[0] = phase;
  r->C[3] = y;
  VEMO_DONE;
}
Other:  // not in a plan that PlanBatches accepts
End:
  return;
#undef VEMO_DONE
#undef VEMO_EACH
}

// Readies a plan for its first batch: every output that only the next
// record reads stays in its record (no block object is touched while the
// batches run), and the proportional elements take their input's mark of a
// stepped input once (nothing in such a chain changes the marks; a step
// loop copies them every step).
void ReadyForBatches(TRunPlan& plan) {
  for (TRunRecord& r : plan.Records) {
    if (!r.Block || r.Op == TRunOp::Hold) continue;
    if (r.Op == TRunOp::Proportional || r.Op == TRunOp::ProportionalUnit)
      r.Block->Stepped = r.Block->RunInput->Stepped;
    if (!r.OutputRead && !r.OutputKept) {
      r.C[kKeptSlot] = r.Block->Output;
      r.OutputKept = true;
    }
  }
  // The step loop chooses its own kept outputs again before its next step.
  plan.Threaded = false;
  plan.Batches = 2;
}

// The states StepRecords saved, taken back in the same order.
void Restore(TRunPlan& plan, const double* saved) {
  for (TRunRecord& r : plan.Records) {
    if (r.Op == TRunOp::Aperiodic || r.Op == TRunOp::AperiodicUnit) {
      r.C[2] = *saved++;
    } else if (r.Op == TRunOp::PulseAmplitude) {
      r.C[0] = *saved++;
      r.C[3] = *saved++;
    }
  }
}
}  // namespace

bool PlanBatches(TRunPlan& plan) {
  if (plan.Batches < 0) {
    const size_t n = plan.Records.empty() ? 0 : plan.Records.size() - 1;
    bool chain = n > 0;
    for (size_t i = 0; i < n && chain; ++i) {
      const TRunRecord& r = plan.Records[i];
      chain = Batched(r.Op) && (r.Op == TRunOp::Hold || r.InIsPrevious);
    }
    plan.Batches = chain ? 1 : 0;
    bool held = false;
    for (size_t i = 0; i < n && chain; ++i) held |= plan.Records[i].Op == TRunOp::PulseAmplitude;
    plan.BatchSteps = static_cast<int8_t>(held ? kHeldBatchSteps : kBatchSteps);
  }
  return plan.Batches > 0;
}

int BatchSteps(const TRunPlan& plan) { return plan.BatchSteps; }

int32_t RecordOf(const TRunPlan& plan, const void* block) {
  if (!block) return -1;
  for (size_t i = 0; i + 1 < plan.Records.size(); ++i)
    if (plan.Records[i].Block == block) return static_cast<int32_t>(i);
  return -1;
}

bool StepRunBatch(TRunPlan& plan, int count, TRunBatch& batch) {
  if (plan.Batches != 2) ReadyForBatches(plan);
  batch.Values.resize(static_cast<size_t>(count) * batch.Columns.size());
  batch.Signal.resize(kBatchSteps);
  batch.Saved.resize(2 * plan.Records.size());
  const TObserved observed{batch.Columns, batch.Values};
  if (count == kBatchSteps)
    StepRecords<kBatchSteps>(plan, count, batch.Signal.data(), batch.Saved.data(), observed);
  else if (count == kHeldBatchSteps)
    StepRecords<kHeldBatchSteps>(plan, count, batch.Signal.data(), batch.Saved.data(), observed);
  else
    StepRecords<0>(plan, count, batch.Signal.data(), batch.Saved.data(), observed);
  if (!std::fetestexcept(kRunFaults)) return true;
  Restore(plan, batch.Saved.data());
  return false;
}

}  // namespace vemo
