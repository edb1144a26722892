#include "simulation/run_plan.h"

#include <cfenv>
#include <unordered_map>

#include "blocks/linear.h"
#include "blocks/nonlinear.h"
#include "blocks/param_control.h"
#include "blocks/pulse.h"

namespace vemo {

namespace {
// The input of a block with none.
const double kNoInput = 0.0;

// The floating-point faults that end a run (simulation/transient.h).
constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

// Lets the block choose its record's kind and constants for step dt. A
// constant whose computation faults (a division by zero, an overflow) is
// left to the block's own Step, which faults in the step that computes it,
// as a run without records would; the fault flags are as before the call.
void PlanRecord(TRunRecord& r, double dt) {
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, kFaults);
  std::feclearexcept(kFaults);
  r.Block->PlanStep(r, dt);
  if (std::fetestexcept(kFaults)) r.Op = TRunOp::Virtual;
  std::fesetexceptflag(&flags, kFaults);
}

// The kinds whose step ignores x: it need not be loaded for them.
bool ReadsInput(TRunOp op) {
  return op != TRunOp::Virtual && op != TRunOp::Hold && op != TRunOp::ParamControl &&
         op != TRunOp::End;
}
}  // namespace

void BuildRunPlan(TField& field, double dt) {
  TRunPlan& plan = field.Plan;
  const size_t n = field.RunArray.size();
  plan.Records.assign(n + 1, TRunRecord{});
  plan.Records[n].Op = TRunOp::End;
  std::unordered_map<const TBlock*, int32_t> index;
  for (size_t i = 0; i < n; ++i) {
    TBlock* b = field.RunArray[i];
    TRunRecord& r = plan.Records[i];
    r.Block = b;
    r.In = b->RunInput ? &b->RunInput->Output : &kNoInput;
    r.InIsPrevious = i > 0 && r.In == &field.RunArray[i - 1]->Output;
    index[b] = static_cast<int32_t>(i);
  }
  // A parameter control names the record whose constants it changes.
  for (size_t i = 0; i < n; ++i) {
    TRunRecord& r = plan.Records[i];
    if (r.Block->TypeCode != 40) continue;
    if (const TBlock* target = static_cast<TParamControl*>(r.Block)->Target)
      if (auto it = index.find(target); it != index.end()) r.Peer = it->second;
  }
  RefreshRunPlan(field, dt);
}

void RefreshRunPlan(TField& field, double dt) {
  TRunPlan& plan = field.Plan;
  // All at once; only when some constant faulted, record by record.
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, kFaults);
  std::feclearexcept(kFaults);
  for (TRunRecord& r : plan.Records)
    if (r.Block) r.Block->PlanStep(r, dt);
  if (std::fetestexcept(kFaults))
    for (TRunRecord& r : plan.Records)
      if (r.Block) PlanRecord(r, dt);
  std::fesetexceptflag(&flags, kFaults);
  plan.Dt = dt;
  plan.Threaded = false;
}

// The loop is threaded: the code of every kind ends in its own copy of the
// step to the next record (store the output, hand it over as the next
// input, jump to the next record's code), so each of these jumps is
// predicted from the kind that follows in this scheme and a chain costs one
// jump per block, with no test in between. A record whose input is not the
// output just computed starts at LoadInput, which reads it and jumps on to
// the kind.
void StepRunPlan(TRunPlan& plan) {
  if (plan.Records.empty()) return;
  // In the order of TRunOp.
  static const void* const kKinds[] = {
      &&Virtual,        &&Hold,       &&Proportional,  &&ProportionalUnit,
      &&Integrating,    &&Differentiating, &&Aperiodic, &&AperiodicUnit,
      &&Oscillatory,    &&DeadZone,   &&Saturation,    &&DeadZoneSaturation,
      &&Relay2,         &&Backlash,   &&PulseAmplitude, &&ParamControl,
      &&End};
  static_assert(sizeof kKinds / sizeof kKinds[0] == static_cast<size_t>(TRunOp::End) + 1);
  // Where the code of a record starts.
#define VEMO_JUMP_OF(rec) \
  (ReadsInput((rec).Op) && !(rec).InIsPrevious ? &&LoadInput : kKinds[static_cast<uint8_t>((rec).Op)])
  if (!plan.Threaded) {
    for (TRunRecord& rec : plan.Records) rec.Jump = VEMO_JUMP_OF(rec);
    plan.Threaded = true;
  }

  TRunRecord* r = plan.Records.data();
  double x = 0.0;  // the input of the record r
  double y;        // the output it computes
  // Goes on with the next record, y as its input.
#define VEMO_NEXT   \
  ++r;              \
  x = y;            \
  goto* r->Jump
  // Stores the output of r first.
#define VEMO_NEXT_RECORD   \
  r->Block->Output = y;    \
  VEMO_NEXT

  goto* r->Jump;
LoadInput:
  x = *r->In;
  goto* kKinds[static_cast<uint8_t>(r->Op)];
Virtual:
  r->Block->Step();
  y = r->Block->Output;
  VEMO_NEXT;
Hold:
  // Nothing is written: the zero source serves the fields of every thread.
  y = r->Block->Output;
  VEMO_NEXT;
Proportional:
  r->Block->Stepped = r->Block->RunInput->Stepped;
  y = r->C[0] * x;
  VEMO_NEXT_RECORD;
ProportionalUnit:
  r->Block->Stepped = r->Block->RunInput->Stepped;
  y = x;
  VEMO_NEXT_RECORD;
Integrating: {
  auto& k = static_cast<TIntegrating&>(*r->Block);
  k.Advance(x, r->C[0]);
  y = r->C[1] * k.S;
  VEMO_NEXT_RECORD;
}
Differentiating:
  y = static_cast<TDifferentiating&>(*r->Block).Advance(x, r->C[1], r->C[0]);
  VEMO_NEXT_RECORD;
Aperiodic:
  y = r->C[1] * static_cast<TAperiodic&>(*r->Block).Advance(x, r->C[0]);
  VEMO_NEXT_RECORD;
AperiodicUnit:
  y = static_cast<TAperiodic&>(*r->Block).Advance(x, r->C[0]);
  VEMO_NEXT_RECORD;
Oscillatory:
  y = r->C[3] * static_cast<TOscillatory&>(*r->Block).Advance(x, r->C[0], r->C[1], r->C[2]);
  VEMO_NEXT_RECORD;
DeadZone:
  y = TDeadZone::Apply(x, r->C[0]);
  VEMO_NEXT_RECORD;
Saturation:
  y = TSaturation::Apply(x, r->C[0], r->C[1]);
  VEMO_NEXT_RECORD;
DeadZoneSaturation:
  y = TDeadZoneSaturation::Apply(x, r->C[0], r->C[1], r->C[2]);
  VEMO_NEXT_RECORD;
Relay2:
  y = TRelay2::Apply(x, r->C[0], r->C[1], r->C[2]);
  VEMO_NEXT_RECORD;
Backlash:
  y = TBacklash::Apply(x, r->C[0], r->Block->Output);
  VEMO_NEXT_RECORD;
PulseAmplitude:
  y = static_cast<TPulseAmplitude&>(*r->Block).Advance(x, r->C[0], r->C[1], r->C[2], r->Block->Output);
  VEMO_NEXT_RECORD;
ParamControl:
  r->Block->Step();
  y = r->Block->Output;
  if (r->Peer >= 0 && static_cast<TParamControl&>(*r->Block).Active) {
    // The target's constants follow the parameter just written.
    TRunRecord& target = plan.Records[static_cast<size_t>(r->Peer)];
    PlanRecord(target, plan.Dt);
    target.Jump = VEMO_JUMP_OF(target);
  }
  VEMO_NEXT;
End:
  return;
#undef VEMO_NEXT_RECORD
#undef VEMO_NEXT
#undef VEMO_JUMP_OF
}

}  // namespace vemo
