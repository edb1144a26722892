#include "simulation/engine.h"

#include <cmath>
#include <utility>
#include <vector>

#include "model/compile.h"
#include "simulation/run_plan.h"
#include "shell/program.h"

namespace vemo {

void SortRunList(TField& field) {
  for (TBlock* b = field.RunList; b; b = b->RunNext) b->CodeVisited = 0;
  std::vector<TBlock*> order;
  // Explicit stack: a chain through every cell of the grid is far deeper
  // than the call stack allows.
  std::vector<std::pair<TBlock*, int>> stack;
  for (TBlock* start = field.RunList; start; start = start->RunNext) {
    if (start->CodeVisited) continue;
    start->CodeVisited = 1;
    stack.push_back({start, 0});
    while (!stack.empty()) {
      auto& [b, side] = stack.back();
      if (side < 4) {
        TBlock* in = b->Inputs[side++];
        if (in && !in->CodeVisited) {
          in->CodeVisited = 1;
          stack.push_back({in, 0});
        }
        continue;
      }
      order.push_back(b);
      stack.pop_back();
    }
  }
  TBlock* prev = nullptr;
  for (TBlock* b : order) {
    b->RunPrev = prev;
    b->RunNext = nullptr;
    if (prev) prev->RunNext = b;
    prev = b;
    b->CodeVisited = 0;
  }
  field.RunList = order.empty() ? nullptr : order.front();
}

void CheckAlgebraicLoops(TField& field) {
  std::vector<TBlock*> stack, seen;
  for (TBlock* b = field.RunList; b; b = b->RunNext) {
    if (b->Kind != 3) continue;
    bool loop = false;
    stack.clear();
    seen.clear();
    stack.push_back(b);
    while (!stack.empty() && !loop) {
      TBlock* x = stack.back();
      stack.pop_back();
      for (TBlock* in : x->Inputs) {
        if (!in) continue;
        if (in == b) {
          loop = true;
          break;
        }
        if (in->Kind == 4 || in->CodeVisited) continue;
        in->CodeVisited = 1;
        seen.push_back(in);
        stack.push_back(in);
      }
    }
    for (TBlock* s : seen) s->CodeVisited = 0;
    if (loop) SetError(7);
  }
}

double MinStepHint(TField& field) {
  double h = 100.0;
  for (auto& slot : field.Cells) {
    if (slot->TypeCode >= 0x1FFF) continue;
    if (TBlock* b = slot->AsBlock()) {
      const double s = b->GetStepHint();
      if (s < h) h = s;
    }
  }
  return h;
}

void ChooseStep(TField& field) {
  const double h = MinStepHint(field);
  if (field.AutoStep) {
    field.Step = h;
    field.AutoStep = 0;
  } else if (!(field.Step > 0.0)) {
    // A non-positive step cannot drive a run: the recommended step is used
    // for this run and the field keeps what the user typed.
    Prog.Clock.TimeStep = h;
    return;
  }
  Prog.Clock.TimeStep = field.Step;
}

void PrepareRun(TField& field) {
  Prog.Err.ErrorCode = 0;
  Prog.Wiring.ZeroListed = 0;
  CompileScheme(field, nullptr);
  if (Prog.Err.ErrorCode) return;
  SortRunList(field);
  CheckAlgebraicLoops(field);
  if (Prog.Err.ErrorCode) return;
  ChooseStep(field);
}

bool CountRunSteps(int64_t first, double dt, double end, int64_t& count) {
  count = 0;
  if (!(dt > 0.0) || !std::isfinite(dt) || std::isnan(end) || end == HUGE_VAL) return false;
  const double firstTime = StepTime(first, dt);
  if (!(firstTime < end)) return true;
  // Estimate the first step at or past the end, refuse far too many, then
  // settle the estimate on the exact products (k·dt grows with k).
  const double q = std::ceil(end / dt);
  if (!(q - static_cast<double>(first) <= static_cast<double>(kMaxRunSteps) + 2.0)) return false;
  int64_t last = static_cast<int64_t>(q);
  while (last > first && !(StepTime(last - 1, dt) < end)) --last;
  while (StepTime(last, dt) < end) ++last;
  count = last - first;
  return count <= kMaxRunSteps;
}

void SimInit(TField& field) {
  Prog.Clock.SimTime = 0.0;
  if (field.Step > 0.0) Prog.Clock.TimeStep = field.Step;
  field.RunArray.clear();
  for (TBlock* b = field.RunList; b; b = b->RunNext) field.RunArray.push_back(b);
  for (TBlock* b : field.RunArray) b->RunInput = b->FirstInput();
  for (TBlock* b : field.RunArray) b->Start();
  BuildRunPlan(field, Prog.Clock.TimeStep);
}

double SimStepAll(TField& field) {
  // The constants of the records follow the step.
  if (field.Plan.Dt != Prog.Clock.TimeStep) RefreshRunPlan(field, Prog.Clock.TimeStep);
  return StepRunPlan(field.Plan);
}

void SimDone(TField& field) {
  SyncRunOutputs(field.Plan);
  for (TBlock* b : field.RunArray) b->Stop();
}

}  // namespace vemo
