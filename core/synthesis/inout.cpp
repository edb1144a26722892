#include "synthesis/inout.h"

#include <cfenv>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "frequency/analysis_state.h"
#include "model/compile.h"
#include "shell/program.h"
#include "simulation/engine.h"
#include "simulation/transient.h"

namespace vemo {

namespace {

constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

// Error of a contour whose end cannot be reached from its start.
constexpr uint8_t kNoPathError = 17;

TBlock* PointBlock(const TField& field, int k) {
  if (k < 0 || k >= kPointCount) return nullptr;
  TBlock* b = field.Points[k].Source;
  return b == ZeroBlock() ? nullptr : b;
}

// One sweep of n points from x0 in steps of dx (negative for the backward
// sweep), appended to the table. False after a floating-point fault.
bool Sweep(TField& field, TBlock* start, TBlock* end, const std::vector<uint8_t>& marked,
           int64_t n, double x0, double dx, double step, PointTable& table) {
  const double savedStep = field.Step;
  field.Step = step;
  SimInit(field);
  field.Step = savedStep;
  Prog.Clock.TimeStep = step;
  Prog.Clock.SimTime = 0.0;
  for (TBlock* b : field.RunArray) b->Output = 0.0;
  start->Output = 0.0;

  std::feclearexcept(kFaults);
  bool fault = false;
  double t = 0.0;
  for (int64_t i = 0; i < n; ++i) {
    const double x = x0 + static_cast<double>(i) * dx;
    Prog.Clock.SimTime = t;
    Prog.Clock.TimeStep = step;
    start->Output = x;
    const size_t count = field.RunArray.size();
    for (size_t k = 0; k < count; ++k) {
      TBlock* b = field.RunArray[k];
      if (b == start) {
        // The input of the contour is held at x whatever feeds it.
        b->Output = x;
      } else if (marked[k]) {
        b->Step();
      } else {
        b->Output = 0.0;
      }
    }
    if (std::fetestexcept(kFaults)) {
      fault = true;
      break;
    }
    table.Add(x, end->Output);
    t += step;
  }
  std::feclearexcept(kFaults);
  SimDone(field);
  return !fault;
}

}  // namespace

double ClampInOutValue(double v) { return v >= kMinInOutValue ? v : kMinInOutValue; }

int64_t InOutSweepPoints(double xMax, double step) {
  const double v = std::nearbyint(2.0 * ClampInOutValue(xMax) / ClampInOutValue(step) + 0.99);
  if (!(v < 4.0e18)) return INT64_MAX;
  return static_cast<int64_t>(v);
}

std::vector<TBlock*> BlocksOnPath(const TField& field, const TBlock* start, const TBlock* end) {
  std::vector<TBlock*> result;
  if (!start || !end) return result;
  // Everything the backward walk from the end reaches, the start ending it;
  // for each reached block the reached blocks it feeds.
  std::unordered_set<const TBlock*> reached{end};
  std::unordered_map<const TBlock*, std::vector<const TBlock*>> consumers;
  std::vector<const TBlock*> stack{end};
  while (!stack.empty()) {
    const TBlock* b = stack.back();
    stack.pop_back();
    if (b == start) continue;
    for (const TBlock* in : b->Inputs) {
      if (!in) continue;
      consumers[in].push_back(b);
      if (reached.insert(in).second) stack.push_back(in);
    }
  }
  if (!reached.count(start)) return result;
  // Forward from the start along those links: the blocks that lead to it.
  std::unordered_set<const TBlock*> marked{start};
  stack.assign(1, start);
  while (!stack.empty()) {
    const TBlock* b = stack.back();
    stack.pop_back();
    auto it = consumers.find(b);
    if (it == consumers.end()) continue;
    for (const TBlock* c : it->second)
      if (marked.insert(c).second) stack.push_back(c);
  }
  bool startListed = false;
  for (TBlock* b = field.RunList; b; b = b->RunNext) {
    if (!marked.count(b)) continue;
    if (b == start) startListed = true;
    result.push_back(b);
  }
  if (!startListed) result.insert(result.begin(), const_cast<TBlock*>(start));
  return result;
}

bool SweepsAgree(const PointTable& both, int64_t n) {
  if (n <= 0 || both.Points.size() < static_cast<size_t>(2 * n)) return true;
  for (int64_t i = 0; i < n; ++i) {
    const double back = both.Points[static_cast<size_t>(n + i)].y;
    const double fwd = both.Points[static_cast<size_t>(n - 1 - i)].y;
    if (!(std::fabs(back - fwd) <= kHysteresisTolerance)) return false;
  }
  return true;
}

TInOutResult InOutCharacteristic(TField& field, int start, int end, double xMax, double step) {
  TInOutResult r;
  TBlock* startBlock = PointBlock(field, start);
  TBlock* endBlock = PointBlock(field, end);
  if (!startBlock || !endBlock) {
    SetError(kNoPathError);
    r.Status = TInOutStatus::SchemeError;
    return r;
  }
  const int64_t n = InOutSweepPoints(xMax, step);
  if (n > static_cast<int64_t>(kMaxTablePoints / 2)) {
    r.Status = TInOutStatus::TooManyPoints;
    return r;
  }
  xMax = ClampInOutValue(xMax);
  step = ClampInOutValue(step);
  r.SweepPoints = n;

  const std::vector<TBlock*> onPath = BlocksOnPath(field, startBlock, endBlock);
  const std::unordered_set<const TBlock*> onPathSet(onPath.begin(), onPath.end());
  // SimInit rebuilds the run array from the run list in the same order.
  std::vector<uint8_t> marked;
  for (TBlock* b = field.RunList; b; b = b->RunNext) marked.push_back(onPathSet.count(b) ? 1 : 0);

  r.Table.Points.reserve(static_cast<size_t>(2 * n));
  const bool ok = Sweep(field, startBlock, endBlock, marked, n, -xMax, step, step, r.Table) &&
                  Sweep(field, startBlock, endBlock, marked, n, xMax, -step, step, r.Table);
  if (!ok) {
    ShowMessage(kRunMathError);
    r.Table.Clear();
    r.Status = TInOutStatus::MathError;
    return r;
  }
  r.Hysteresis = !SweepsAgree(r.Table, n);
  if (!r.Hysteresis) r.Table.Points.resize(static_cast<size_t>(n));
  return r;
}

TInOutResult RunInOutCommand(TField& field, int start, int end, double xMax, double step) {
  Prog.Err.ErrorCode = 0;
  Prog.Err.ErrorCol = Prog.Err.ErrorRow = -1;
  Analysis.StartPoint = static_cast<uint8_t>(start);
  Analysis.EndPoint = static_cast<uint8_t>(end);
  TInOutResult r;
  Prog.Wiring.ZeroListed = 0;
  CompileScheme(field, nullptr);
  if (!Prog.Err.ErrorCode) SortRunList(field);
  if (!Prog.Err.ErrorCode) CheckAlgebraicLoops(field);
  if (Prog.Err.ErrorCode) {
    r.Status = TInOutStatus::SchemeError;
    return r;
  }
  return InOutCharacteristic(field, start, end, xMax, step);
}

}  // namespace vemo
