#include "frequency/contour.h"

#include <cfenv>
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

TFraction ContourTransferFunction(TField& field, int start, int end) {
  TBlock* startBlock = PointBlock(field, start);
  TBlock* endBlock = PointBlock(field, end);
  if (startBlock)
    for (TBlock*& in : startBlock->Inputs) in = nullptr;

  std::vector<TBlock*> list;
  std::unordered_map<const TBlock*, int32_t> index;
  for (TBlock* b = field.RunList; b; b = b->RunNext) {
    if (index.count(b)) break;  // a run list never holds a block twice
    index[b] = static_cast<int32_t>(list.size());
    list.push_back(b);
  }
  const int32_t n = static_cast<int32_t>(list.size());
  if (n == 0) {
    SetError(8);
    return {};
  }

  std::feclearexcept(kFaults);
  TFraction result;
  bool solved = false;
  {
    TFractionMatrix m(n);
    for (int32_t i = 0; i < n; ++i) {
      TBlock* b = list[i];
      for (int k = 0; k < 4; ++k) {
        TBlock* src = b->Inputs[k];
        if (!src) continue;
        auto it = index.find(src);
        if (it == index.end()) continue;  // a feeder outside the scheme adds nothing
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
    auto s = startBlock ? index.find(startBlock) : index.end();
    if (s != index.end()) m.Set(n, s->second, FracMinusOne());
    solved = MatrixSolve(m);
    if (solved && !std::fetestexcept(kFaults)) {
      auto e = endBlock ? index.find(endBlock) : index.end();
      result = e != index.end() ? FracCopy(m.Get(n, e->second)) : FracZero();
    }
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
