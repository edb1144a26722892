#include "optimisation/opt_params.h"

#include <cmath>
#include <unordered_map>

#include "model/field.h"
#include "neural/neural_block.h"

namespace vemo {

double ToInternal(const TOptParam& p, double v) {
  if (!p.LogScale) return v;
  return std::log(v <= 0.0 ? 1e-30 : v);
}

double FromInternal(const TOptParam& p, double x) { return p.LogScale ? std::exp(x) : x; }

double* OptSlotAddress(TCellObject& obj, int32_t slot) {
  if (slot < 0) return nullptr;
  if (auto* n = dynamic_cast<TNeuralBlock*>(&obj)) {
    size_t k = static_cast<size_t>(slot);
    for (TNeuroLayer& l : n->Net.Layers) {
      if (k < l.Weights.size()) return &l.Weights[k];
      k -= l.Weights.size();
    }
    return nullptr;
  }
  if (auto* b = dynamic_cast<TParamBlock*>(&obj))
    return slot < 4 ? &b->Params[slot] : nullptr;
  return nullptr;
}

std::vector<TMarkedParam> MarkedParams(TField& field) {
  std::unordered_map<const TCellObject*, int32_t> cellOf;
  for (auto it = field.Cells.begin(); it != field.Cells.end(); ++it)
    cellOf[it->get()] = CellIndex(it.Col(), it.Row());
  std::vector<TMarkedParam> out;
  for (TBlock* b = field.RunList; b && out.size() < kMaxOptParams; b = b->RunNext) {
    const auto cell = cellOf.find(b);
    if (b->EditorKind() != 1 || cell == cellOf.end()) continue;
    auto* p = dynamic_cast<TParamBlock*>(b);
    if (!p) continue;
    for (int i = 0; i < p->ParamCount && i < 4 && out.size() < kMaxOptParams; ++i)
      if (p->OptMask & (1u << i)) out.push_back({p, i, cell->second});
  }
  return out;
}

TOptState& OptState() {
  static TOptState state;
  return state;
}

void ResetOptState() {
  TOptState& s = OptState();
  s.Params.fill(TOptParam{});
  s.OptParamCount = 0;
  s.ErrorPoint = 0;
  s.Stop = 0;
  s.RunsDone = 0;
  s.StartTicks = 0;
  s.TargetMode = 0;
  s.ReferencePoint = 0;
}

int BindMarkedParams(const std::vector<TMarkedParam>& marked) {
  TOptState& s = OptState();
  s.OptParamCount = 0;
  for (const TMarkedParam& m : marked) {
    if (s.OptParamCount >= kMaxOptParams) break;
    TOptParam& p = s.Params[s.OptParamCount++];
    p.Value = &m.Block->Params[m.Index];
    p.Cell = m.Cell;
    p.Slot = m.Index;
  }
  return s.OptParamCount;
}

}  // namespace vemo
