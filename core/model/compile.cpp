#include "model/compile.h"

#include <new>

#include "model/errors.h"
#include "model/macro.h"
#include "model/wire.h"
#include "shell/program.h"

namespace vemo {
namespace {

// The field and macro inputs of the compile that is running (compiles of
// macro bodies nest and restore them).
struct TCompileContext {
  TField* Field = nullptr;
  TBlock** MacroInputs = nullptr;
  TField* Project = nullptr;
};
TCompileContext Current;

int NeighbourCol(int col, uint8_t side) {
  return side == Left ? col - 1 : side == Right ? col + 1 : col;
}
int NeighbourRow(int row, uint8_t side) {
  return side == Top ? row - 1 : side == Bottom ? row + 1 : row;
}

TBlock* FailAt(uint8_t code, int col, int row) {
  SetError(code, col, row);
  return nullptr;
}

void Append(TField& field, TBlock*& tail, TBlock* b) {
  if (!tail) {
    field.RunList = b;
    b->RunPrev = nullptr;
  } else {
    tail->RunNext = b;
    b->RunPrev = tail;
  }
  b->RunNext = nullptr;
  tail = b;
}

}  // namespace

TField* CompilingField() { return Current.Field; }
TField* CompilingProject() { return Current.Project; }

TBlock* TraceSource(bool strict, int col, int row, uint8_t entrySide) {
  TField& field = *Current.Field;
  bool traversed = false;
  if (strict) {
    const uint8_t away = OppositeSide(entrySide);
    col = NeighbourCol(col, away);
    row = NeighbourRow(row, away);
    if (!TField::InGrid(col, row)) return nullptr;
  }
  // Every step enters a new cell; a path longer than the grid has cells
  // can only be a loop of lines feeding themselves.
  for (long steps = 0; steps <= static_cast<long>(kGridSize) * kGridSize * 2; ++steps) {
    TCellObject* obj = field.Cell(col, row);
    if (!obj) return traversed ? ZeroBlock() : nullptr;
    const uint16_t code = obj->TypeCode;
    if (code == kWireCode) {
      auto* w = static_cast<TWire*>(obj);
      const uint8_t bit = static_cast<uint8_t>(1u << entrySide);
      if (strict && !(w->OutSides & bit)) {
        if (!(w->LineSides & bit) || !traversed) return nullptr;
        return ZeroBlock();
      }
      const uint8_t inputs = w->InputSides();
      const int n = BitCount(inputs);
      uint8_t leave;
      if (n == 0) return ZeroBlock();
      if (n > 2) return FailAt(5, col, row);
      if (n == 2) {
        if (!w->IsCrossing()) return FailAt(5, col, row);
        leave = OppositeSide(entrySide);  // straight through
      } else {
        leave = static_cast<uint8_t>(__builtin_ctz(inputs));
      }
      traversed = true;
      col = NeighbourCol(col, leave);
      row = NeighbourRow(row, leave);
      if (!TField::InGrid(col, row)) return nullptr;
      entrySide = OppositeSide(leave);
      continue;
    }
    if (code >= kMacroPortFirst && code < kMacroOutputCode) {
      // 0x4000 feeds the block below it, 0x4001 the one to its right,
      // 0x4002 the one above it.
      static const uint8_t expected[3] = {Bottom, Right, Top};
      if (entrySide != expected[code - kMacroPortFirst]) return FailAt(5, col, row);
      return Current.MacroInputs ? Current.MacroInputs[code - kMacroPortFirst] : nullptr;
    }
    if (code == kMacroOutputCode) {
      if (!traversed) return nullptr;
      return FailAt(5, col, row);
    }
    if (code == kCommentCode || code > kMacroOutputCode) {
      // A comment is no signal source: the trace ends without touching it.
      return traversed ? ZeroBlock() : nullptr;
    }
    TBlock* b = obj->AsBlock();
    if (!b) return nullptr;
    if (strict && !traversed) return nullptr;
    if (b->OutSide == kNoSide) b->OutSide = entrySide;
    else if (b->OutSide != entrySide) return FailAt(6, col, row);
    return b;
  }
  return FailAt(5, col, row);
}

namespace {

// The three passes over one field (the main scheme or a macro body).
void CompilePasses(TField& field, TBlock** macroInputs) {
  TErrorState& err = Prog.Err;
  bool nonlinear = false, pulse = false;
  const TCompileContext saved = Current;
  Current.Field = &field;
  Current.MacroInputs = macroInputs;
  if (!macroInputs) Current.Project = &field;
  struct Restore {
    TCompileContext s;
    ~Restore() { Current = s; }
  } restore{saved};

  err.ErrorField = field.Owner;
  err.ErrorCode = 0;
  err.ErrorCol = -1;
  field.RunList = nullptr;
  TBlock* tail = nullptr;

  // Pass 1: prepare every object, check the macro ports.
  bool portSeen[4] = {false, false, false, false};
  for (auto cell = field.Cells.begin(); cell != field.Cells.end(); ++cell) {
    const int col = cell.Col(), row = cell.Row();
    TCellObject* obj = cell->get();
    obj->Prepare(field.Owner);
    if (err.ErrorCode) {
      err.ErrorCol = col;
      err.ErrorRow = row;
      return;
    }
    const uint16_t code = obj->TypeCode;
    if (code >= kMacroPortFirst && code <= kMacroOutputCode) {
      if (!macroInputs) return (void)SetError(10, col, row);
      if (portSeen[code - kMacroPortFirst]) return (void)SetError(11, col, row);
      portSeen[code - kMacroPortFirst] = true;
    }
  }

  // Pass 2: trace every block's inputs and build the run list.
  for (auto cell = field.Cells.begin(); cell != field.Cells.end(); ++cell) {
    const int col = cell.Col(), row = cell.Row();
    TCellObject* obj = cell->get();
    const uint16_t code = obj->TypeCode;
    if (code == kMacroOutputCode) {
      if (col >= 1) {
        TBlock* src = TraceSource(false, col - 1, row, Right);
        if (macroInputs) macroInputs[3] = src;
        if (err.ErrorCode) return;
      }
      continue;
    }
    if (code >= kWireCode) continue;
    TBlock* b = obj->AsBlock();
    if (!b) continue;
    if (code == 13 || code == 100 || code == 101) pulse = true;
    else if (b->Kind == 2) nonlinear = true;
    b->RunInput = nullptr;
    for (uint8_t i = 0; i < 4; ++i) {
      b->Inputs[i] = TraceSource(true, col, row, OppositeSide(i));
      if (err.ErrorCode) return;
      if (b->Inputs[i] == ZeroBlock() && !Prog.Wiring.ZeroListed) {
        Prog.Wiring.ZeroListed = 1;
        Append(field, tail, ZeroBlock());
      }
    }
    Append(field, tail, b);
  }

  // View points observe the block that drives their cell.
  if (!macroInputs) {
    for (TViewPoint& p : field.Points) {
      p.Source = nullptr;
      if (!p.Placed) continue;
      if (!TField::InGrid(p.Col, p.Row)) continue;
      p.Source = TraceSource(false, p.Col, p.Row, Top);
      if (err.ErrorCode) return;
    }
  }

  // Pass 3: every block's own check; macro bodies join the run list.
  for (auto cell = field.Cells.begin(); cell != field.Cells.end(); ++cell) {
    TCellObject* obj = cell->get();
    if (obj->TypeCode >= kWireCode) continue;
    TBlock* b = obj->AsBlock();
    if (!b) continue;
    b->Check();
    if (err.ErrorCode) {
      // Errors inside a macro body carry their own cell and window.
      if (err.ErrorField == field.Owner || err.ErrorCol < 0) {
        err.ErrorCol = cell.Col();
        err.ErrorRow = cell.Row();
      }
      return;
    }
    if (obj->TypeCode == kMacroCode) {
      auto* m = static_cast<TMacroBlock*>(obj);
      if (m->Body && m->Body->RunList) {
        TBlock* head = m->Body->RunList;
        if (tail) {
          tail->RunNext = head;
          head->RunPrev = tail;
        } else {
          field.RunList = head;
          head->RunPrev = nullptr;
        }
        tail = head;
        while (tail->RunNext) tail = tail->RunNext;
      }
    }
  }

  if (!macroInputs) {
    field.HasNonlinear = nonlinear;
    field.HasPulseElement = pulse;
    bool anyPlaced = false;
    for (const TViewPoint& p : field.Points) anyPlaced |= p.Placed != 0;
    if (!anyPlaced) SetError(9);
  }
}

}  // namespace

void CompileScheme(TField& field, TBlock** macroInputs) {
  if (macroInputs) {
    if (++Prog.Wiring.MacroDepth > 10) {
      Prog.Err.ErrorCode = 35;
      return;
    }
    CompilePasses(field, macroInputs);
    return;
  }
  Prog.Wiring.MacroDepth = 0;
  Prog.Wiring.MacroBodyBytes = 0;
  try {
    CompilePasses(field, nullptr);
  } catch (const std::bad_alloc&) {
    // The bodies copied so far go first, so that the message finds memory.
    field.RunList = nullptr;
    ReleaseMacroBodies(field);
    Prog.Err.ErrorField = field.Owner;
    SetError(kNoMemoryCode);
  }
}

}  // namespace vemo
