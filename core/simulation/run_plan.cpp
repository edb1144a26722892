#include "simulation/run_plan.h"

#include <cfenv>
#include <unordered_map>

#include "blocks/linear.h"
#include "blocks/nonlinear.h"
#include "blocks/param_control.h"
#include "blocks/pulse.h"
#include "simulation/engine.h"

namespace vemo {

namespace {
// The input of a block with none.
const double kNoInput = 0.0;


// Lets the block choose its record's kind and constants for step dt. A
// constant whose computation faults (a division by zero, an overflow) is
// left to the block's own Step, which faults in the step that computes it,
// as a run without records would; the fault flags are as before the call.
void PlanRecord(TRunRecord& r, double dt) {
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, kRunFaults);
  std::feclearexcept(kRunFaults);
  r.Block->PlanStep(r, dt);
  if (std::fetestexcept(kRunFaults)) r.Op = TRunOp::Virtual;
  std::fesetexceptflag(&flags, kRunFaults);
}

// The kinds whose step ignores x: it need not be loaded for them.
bool ReadsInput(TRunOp op) {
  return op != TRunOp::Virtual && op != TRunOp::Hold && op != TRunOp::ParamControl &&
         op != TRunOp::End;
}

// The kinds whose output the loop may keep in the record: those whose
// constants leave C[kKeptSlot] free and whose step does not read their own
// Output back (the oscillatory element needs four constants; the backlash
// starts from the output before).
bool MayKeepOutput(TRunOp op) {
  switch (op) {
    case TRunOp::Proportional:
    case TRunOp::ProportionalUnit:
    case TRunOp::Integrating:
    case TRunOp::Differentiating:
    case TRunOp::Aperiodic:
    case TRunOp::AperiodicUnit:
    case TRunOp::DeadZone:
    case TRunOp::Saturation:
    case TRunOp::DeadZoneSaturation:
    case TRunOp::Relay2:
    case TRunOp::PulseAmplitude:  // its output is the state it holds in C[3]
      return true;
    default:
      return false;
  }
}

// Whether record r keeps its output, `next` being the record after it: only
// when nothing else reads the block's Output and the next record takes it in
// a register.
bool KeepsOutput(const TRunRecord& r, const TRunRecord& next) {
  return MayKeepOutput(r.Op) && !r.OutputRead && next.InIsPrevious && ReadsInput(next.Op);
}

// Record r stores its output from now on: its Output takes the last output
// the record kept.
void StopKeeping(TRunRecord& r) {
  if (r.OutputKept) r.Block->Output = r.C[kKeptSlot];
  r.OutputKept = false;
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
  // Who reads each Output from memory: every block but the next one (whose
  // step kind decides, when the loop threads the records), and the view
  // points.
  auto readBy = [&](const TBlock* source, size_t reader) {
    if (!source) return;
    if (auto it = index.find(source); it != index.end() && static_cast<size_t>(it->second) + 1 != reader)
      plan.Records[static_cast<size_t>(it->second)].OutputRead = true;
  };
  for (size_t i = 0; i < n; ++i) {
    const TBlock* b = field.RunArray[i];
    for (const TBlock* in : b->Inputs) readBy(in, i);
    readBy(b->RunInput, i);
  }
  for (const TViewPoint& p : field.Points) readBy(p.Source, n + 1);
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
  // The kinds may change: every Output is brought up to date first (the
  // loop threads the records again before the next step).
  SyncRunOutputs(plan);
  // All at once; only when some constant faulted, record by record.
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, kRunFaults);
  std::feclearexcept(kRunFaults);
  for (TRunRecord& r : plan.Records)
    if (r.Block) r.Block->PlanStep(r, dt);
  if (std::fetestexcept(kRunFaults))
    for (TRunRecord& r : plan.Records)
      if (r.Block) PlanRecord(r, dt);
  std::fesetexceptflag(&flags, kRunFaults);
  plan.Dt = dt;
  plan.Threaded = false;
  plan.Batches = -1;
}

void SyncRunOutputs(TRunPlan& plan) {
  for (TRunRecord& r : plan.Records) {
    if (r.OutputKept) r.Block->Output = r.C[kKeptSlot];
    if (r.Block && r.Op != TRunOp::Virtual) r.Block->UnplanStep(r);
  }
}

// The loop is threaded: the code of every kind ends in its own copy of the
// step to the next record (store the output, hand it over as the next
// input, jump to the next record's code), so each of these jumps is
// predicted from the kind that follows in this scheme and a chain costs one
// jump per block, with no test in between. A record whose input is not the
// output just computed starts at LoadInput, which reads it and jumps on to
// the kind. A record that keeps its output (OutputKept) has its own copy of
// its kind's code, which writes the output into the record, a line the
// loop reads anyway, instead of the block.
double StepRunPlan(TRunPlan& plan) {
  if (plan.Records.size() < 2) return 0.0;
  // In the order of TRunOp; the kinds that never keep their output have
  // the same code in both.
  static const void* const kKinds[] = {
      &&Virtual,        &&Hold,       &&Proportional,  &&ProportionalUnit,
      &&Integrating,    &&Differentiating, &&Aperiodic, &&AperiodicUnit,
      &&Oscillatory,    &&DeadZone,   &&Saturation,    &&DeadZoneSaturation,
      &&Relay2,         &&Backlash,   &&PulseAmplitude, &&ParamControl,
      &&End};
  static const void* const kKeptKinds[] = {
      &&Virtual,            &&Hold,            &&ProportionalKept,  &&ProportionalUnitKept,
      &&IntegratingKept,    &&DifferentiatingKept, &&AperiodicKept, &&AperiodicUnitKept,
      &&Oscillatory,        &&DeadZoneKept,    &&SaturationKept,    &&DeadZoneSaturationKept,
      &&Relay2Kept,         &&Backlash,        &&PulseAmplitudeKept, &&ParamControl,
      &&End};
  static_assert(sizeof kKinds / sizeof kKinds[0] == static_cast<size_t>(TRunOp::End) + 1);
  static_assert(sizeof kKeptKinds / sizeof kKeptKinds[0] == sizeof kKinds / sizeof kKinds[0]);
  // Where the code of a record starts.
#define VEMO_KIND_OF(rec) \
  ((rec).OutputKept ? kKeptKinds : kKinds)[static_cast<uint8_t>((rec).Op)]
#define VEMO_JUMP_OF(rec) \
  (ReadsInput((rec).Op) && !(rec).InIsPrevious ? &&LoadInput : VEMO_KIND_OF(rec))
  // Record i's choice to keep its output, and its jump. A record that stops
  // keeping stores the output it kept last.
#define VEMO_THREAD(i)                                                             \
  do {                                                                             \
    TRunRecord& rec_ = plan.Records[i];                                            \
    if ((i) + 1 < plan.Records.size() && KeepsOutput(rec_, plan.Records[(i) + 1])) \
      rec_.OutputKept = true;                                                      \
    else                                                                           \
      StopKeeping(rec_);                                                           \
    rec_.Jump = VEMO_JUMP_OF(rec_);                                                \
  } while (0)
  if (!plan.Threaded) {
    for (size_t i = 0; i < plan.Records.size(); ++i) VEMO_THREAD(i);
    plan.Threaded = true;
  }

  TRunRecord* r = plan.Records.data();
  const double dt = plan.Dt;  // the step the records were planned for
  // The signal: the input of record r when its code starts, its output when
  // the code goes on to the next record, whose input it is. One variable for
  // both, so the hand-over costs no move.
  double v = 0.0;
  // Goes on with the next record, v as its input.
#define VEMO_NEXT   \
  ++r;              \
  goto* r->Jump
  // Stores the output of r first.
#define VEMO_NEXT_RECORD   \
  r->Block->Output = v;    \
  VEMO_NEXT
  // A kind that may keep its output: its code (which turns v into the
  // output) twice, ending in the store to the block or in the record.
#define VEMO_KIND(name, ...)     \
  name : {__VA_ARGS__}           \
  VEMO_NEXT_RECORD;              \
  name##Kept : {__VA_ARGS__}     \
  r->C[kKeptSlot] = v;           \
  VEMO_NEXT

  goto* r->Jump;
LoadInput:
  v = *r->In;
  goto* VEMO_KIND_OF(*r);
Virtual:
  r->Block->Step();
  v = r->Block->Output;
  VEMO_NEXT;
Hold:
  // Nothing is written: the zero source serves the fields of every thread.
  v = r->Block->Output;
  VEMO_NEXT;
  VEMO_KIND(Proportional, r->Block->Stepped = r->Block->RunInput->Stepped; v = r->C[0] * v;);
  VEMO_KIND(ProportionalUnit, r->Block->Stepped = r->Block->RunInput->Stepped;);
  VEMO_KIND(Integrating, auto& k = static_cast<TIntegrating&>(*r->Block); k.Advance(v, r->C[0]);
            v = r->C[1] * k.S;);
  VEMO_KIND(Differentiating,
            v = static_cast<TDifferentiating&>(*r->Block).Advance(v, r->C[1], r->C[0]););
  VEMO_KIND(Aperiodic, v = r->C[1] * TAperiodic::Advance(r->C[2], v, r->C[0]););
  VEMO_KIND(AperiodicUnit, v = TAperiodic::Advance(r->C[2], v, r->C[0]););
Oscillatory:
  v = r->C[3] * static_cast<TOscillatory&>(*r->Block).Advance(v, r->C[0], r->C[1], r->C[2]);
  VEMO_NEXT_RECORD;
  VEMO_KIND(DeadZone, v = TDeadZone::Apply(v, r->C[0]););
  VEMO_KIND(Saturation, v = TSaturation::Apply(v, r->C[0], r->C[1]););
  VEMO_KIND(DeadZoneSaturation, v = TDeadZoneSaturation::Apply(v, r->C[0], r->C[1], r->C[2]););
  VEMO_KIND(Relay2, v = TRelay2::Apply(v, r->C[0], r->C[1], r->C[2]););
Backlash:
  v = TBacklash::Apply(v, r->C[0], r->Block->Output);
  VEMO_NEXT_RECORD;
  VEMO_KIND(PulseAmplitude, v = TPulseAmplitude::Advance(r->C[0], v, dt, r->C[1], r->C[2], r->C[3]);
            r->C[3] = v;);
ParamControl:
  r->Block->Step();
  v = r->Block->Output;
  if (r->Peer >= 0 && static_cast<TParamControl&>(*r->Block).Active) {
    // The target's constants follow the parameter just written; so do its
    // own and its predecessor's choice to keep their outputs.
    const size_t t = static_cast<size_t>(r->Peer);
    StopKeeping(plan.Records[t]);
    if (plan.Records[t].Op != TRunOp::Virtual) plan.Records[t].Block->UnplanStep(plan.Records[t]);
    PlanRecord(plan.Records[t], plan.Dt);
    VEMO_THREAD(t);
    if (t > 0) VEMO_THREAD(t - 1);
  }
  VEMO_NEXT;
End:
  return v;
#undef VEMO_KIND
#undef VEMO_NEXT_RECORD
#undef VEMO_NEXT
#undef VEMO_THREAD
#undef VEMO_JUMP_OF
#undef VEMO_KIND_OF
}

}  // namespace vemo
