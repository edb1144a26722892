#include "frequency/contour.h"

#include <cfenv>
#include <new>
#include <unordered_map>
#include <vector>

#include "frequency/analysis_state.h"
#include "frequency/fraction_matrix.h"
#include "frequency/zero_pole.h"
#include "model/compile.h"
#include "model/field.h"
#include "shell/program.h"

namespace vemo {

namespace {

constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

TBlock* PointBlock(const TField& field, int k) {
  if (k < 0 || k >= kPointCount) return nullptr;
  return field.Points[k].Source;
}

// Records the error with the cell that holds the block (scanned row by row);
// a block of a macro body has no cell in this field: no cell is recorded.
void FailAtBlock(TField& field, uint8_t code, const TBlock* b) {
  SetError(code);
  Prog.Err.ErrorField = field.Owner;
  for (int row = 0; row < kGridSize; ++row)
    for (int col = 0; col < kGridSize; ++col)
      if (field.Cell(col, row) == b) {
        Prog.Err.ErrorCol = col;
        Prog.Err.ErrorRow = row;
        return;
      }
}

// One step of a walk backwards through the inputs: the block and the next
// input side to look at.
struct TFrame {
  TBlock* Block;
  int Side;
  int Mode;
};

// Advances the frame to its next connected input; nullptr when none is left.
TBlock* NextInput(TFrame& f) {
  while (f.Side < 4) {
    TBlock* in = f.Block->Inputs[f.Side++];
    if (in) return in;
  }
  return nullptr;
}

}  // namespace

void CheckContour(TField& field, int start, int end) {
  TBlock* endBlock = PointBlock(field, end);
  if (!endBlock) {
    SetError(17);
    return;
  }
  TBlock* startBlock = PointBlock(field, start);
  Analysis.Delay = 0.0L;
  std::unordered_map<const TBlock*, uint8_t> visits;
  std::unordered_map<const TBlock*, uint8_t> counted;
  std::vector<TFrame> stack;

  // Enters block b; false when the walk must stop on an error.
  auto enter = [&](TBlock* b) -> bool {
    if (b == startBlock) return true;
    if (b->Kind == 5) {
      FailAtBlock(field, 39, b);
      return false;
    }
    uint8_t& v = visits[b];
    if (b->TypeCode == kDelayCode) {
      if (v != 0) {
        FailAtBlock(field, 38, b);
        return false;
      }
      uint8_t& c = counted[b];
      if (!c) {
        Analysis.Delay += static_cast<const TParamBlock*>(b)->Params[0];
        c = 1;
      }
    }
    if (v >= 2) return true;
    ++v;
    stack.push_back({b, 0, 0});
    return true;
  };

  if (!enter(endBlock)) return;
  while (!stack.empty()) {
    TFrame& top = stack.back();
    if (TBlock* in = NextInput(top)) {
      if (!enter(in)) return;
    } else {
      --visits[top.Block];
      stack.pop_back();
    }
  }
}

namespace {

// The blocks of the run list whose output can reach the end block through
// the inputs (the end block among them), in run-list order: the output of
// the end block depends on these alone, so the equations of the other
// blocks of the field need not be set up at all.
std::vector<TBlock*> BlocksFeedingEnd(const TField& field, TBlock* endBlock) {
  std::vector<TBlock*> order;
  std::unordered_map<const TBlock*, bool> feeds;  // every block of the run list
  for (TBlock* b = field.RunList; b; b = b->RunNext) {
    if (!feeds.emplace(b, false).second) break;  // a run list never holds a block twice
    order.push_back(b);
  }
  auto end = endBlock ? feeds.find(endBlock) : feeds.end();
  if (end == feeds.end()) return {};
  end->second = true;
  std::vector<TBlock*> stack{endBlock};
  while (!stack.empty()) {
    TBlock* b = stack.back();
    stack.pop_back();
    for (TBlock* in : b->Inputs) {
      auto it = in ? feeds.find(in) : feeds.end();
      if (it == feeds.end() || it->second) continue;  // a feeder outside the scheme adds nothing
      it->second = true;
      stack.push_back(in);
    }
  }
  std::vector<TBlock*> list;
  for (TBlock* b : order)
    if (feeds[b]) list.push_back(b);
  return list;
}

}  // namespace

TFraction ContourTransferFunction(TField& field, int start, int end) {
  TBlock* startBlock = PointBlock(field, start);
  TBlock* endBlock = PointBlock(field, end);
  if (startBlock)
    for (TBlock*& in : startBlock->Inputs) in = nullptr;
  if (!field.RunList) {
    SetError(8);
    return {};
  }

  std::feclearexcept(kFaults);
  TFraction result;
  bool solved = false;
  try {
    const std::vector<TBlock*> list = BlocksFeedingEnd(field, endBlock);
    std::unordered_map<const TBlock*, int32_t> index;
    for (size_t i = 0; i < list.size(); ++i) index[list[i]] = static_cast<int32_t>(i);
    const int32_t n = static_cast<int32_t>(list.size());
    // Without a path from the start block to the end block no signal gets
    // through: W(s) = 0.
    if (!startBlock || !index.count(startBlock)) return FracZero();

    TFractionMatrix m(n);
    for (int32_t i = 0; i < n; ++i) {
      TBlock* b = list[static_cast<size_t>(i)];
      for (int k = 0; k < 4; ++k) {
        TBlock* src = b->Inputs[k];
        if (!src) continue;
        auto it = index.find(src);
        if (it == index.end()) continue;
        TFraction w;
        if (b->Kind == 1 || b->Kind == 3 || b->Kind == 4) {
          TPolynomial num, den;
          b->GetTransferFunction(k, num, den);
          w = FracMake(std::move(num), std::move(den));
        } else {
          w = FracOne();
        }
        m.Set(it->second, i, std::move(w));
      }
    }
    m.Set(n, index.at(startBlock), FracMinusOne());
    solved = MatrixSolve(m);
    if (solved && !std::fetestexcept(kFaults)) result = FracCopy(m.Get(n, index.at(endBlock)));
  } catch (const std::bad_alloc&) {
    // A system too large for the memory left is reported like any other
    // failure of the computation.
    solved = false;
  }
  if (!solved || std::fetestexcept(kFaults)) {
    FracFree(result);
    SetError(18);
    return {};
  }
  return result;
}

TNonlinearPart FindNonlinearPart(TField& field, int start, int end) {
  TNonlinearPart part;
  TBlock* startBlock = PointBlock(field, start);
  TBlock* endBlock = PointBlock(field, end);
  bool justPassed = false;
  std::unordered_map<const TBlock*, uint8_t> visits;
  std::vector<TFrame> stack;

  auto enter = [&](TBlock* b, int mode) -> bool {
    if (justPassed) {
      part.Entry = b;
      justPassed = false;
    }
    if (b == startBlock) {
      if (mode == 0) {
        SetError(16);
        return false;
      }
      return true;
    }
    uint8_t& v = visits[b];
    if (b->Kind == 2) {
      if (mode == 2) {
        SetError(16);
        return false;
      }
      mode = 1;
      if (v != 0) {
        SetError(16);
        return false;
      }
      if (!part.Last) part.Last = b;
      justPassed = true;
    } else if (mode == 1) {
      mode = 2;
    }
    if (v < 2) {
      ++v;
      stack.push_back({b, 0, mode});
    }
    return true;
  };

  if (endBlock && enter(endBlock, 0)) {
    while (!stack.empty()) {
      TFrame& top = stack.back();
      if (TBlock* in = NextInput(top)) {
        if (!enter(in, top.Mode)) break;
      } else {
        --visits[top.Block];
        stack.pop_back();
      }
    }
  }
  if (Prog.Err.ErrorCode) return part;
  if (!part.Entry || !part.Last) SetError(19);
  return part;
}

bool RunContourCommand(TField& field, int start, int end, bool zeroPoles) {
  Prog.Err.ErrorCode = 0;
  Prog.Err.ErrorCol = Prog.Err.ErrorRow = -1;
  ClearTransferResults();
  Analysis.StartPoint = static_cast<uint8_t>(start);
  Analysis.EndPoint = static_cast<uint8_t>(end);

  Prog.Wiring.ZeroListed = 0;
  CompileScheme(field, nullptr);
  if (Prog.Err.ErrorCode) return false;
  CheckContour(field, start, end);
  if (Prog.Err.ErrorCode) return false;
  Analysis.W = ContourTransferFunction(field, start, end);
  if (Prog.Err.ErrorCode) return false;
  if (zeroPoles) {
    std::feclearexcept(kFaults);
    bool ok = true;
    Analysis.Form = BuildZeroPoleForm(Analysis.W, &ok);
    if (!ok || std::fetestexcept(kFaults)) {
      Analysis.Form.Release();
      SetError(18);
      return false;
    }
  }
  return true;
}

}  // namespace vemo
