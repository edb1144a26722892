#include "model/history.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "model/editing.h"
#include "model/field.h"
#include "model/project_file.h"
#include "model/wire.h"

namespace vemo {

namespace {

constexpr uint8_t kNoPoint = 255;

// The storage form of one cell: its object's type code and own record, as
// written by Save (measured first, then written into a buffer of that size).
struct TStoredCell {
  bool Present = false;
  uint16_t Code = 0;
  std::vector<uint8_t> Record;
};

TStoredCell StoreCell(const TField& field, int col, int row) {
  TStoredCell s;
  TCellObject* obj = TField::InGrid(col, row) ? field.Cell(col, row) : nullptr;
  if (!obj) return s;
  s.Present = true;
  s.Code = obj->TypeCode;
  TMemCursor measure = TMemCursor::Measuring();
  obj->Save(measure);
  s.Record.resize(measure.Pos);
  TMemCursor write = TMemCursor::Writing(s.Record);
  obj->Save(write);
  return s;
}

// A new object made from a stored cell; a record that does not load leaves
// the object with its default parameters rather than half-read ones.
std::unique_ptr<TCellObject> MakeFromStorage(const TStoredCell& s) {
  if (!s.Present) return nullptr;
  auto obj = CreateCellObject(s.Code);
  if (!obj) return nullptr;
  TLoadCursor c(s.Record);
  if (!obj->Load(c)) {
    obj->Done();
    obj = CreateCellObject(s.Code);
  }
  return obj;
}

void PlacePoint(TField& field, int index, int col, int row) {
  if (index < 0 || index >= kPointCount || !TField::InGrid(col, row)) return;
  TViewPoint& p = field.Points[index];
  p.Col = static_cast<uint16_t>(col);
  p.Row = static_cast<uint16_t>(row);
  p.Placed = 1;
}

uint8_t PointIndexAt(const TField& field, int col, int row) {
  const int k = PointAt(field, col, row);
  return k < 0 ? kNoPoint : static_cast<uint8_t>(k);
}

class TCellStep : public THistoryStep {
 protected:
  TCellStep(int col, int row) : Col(col), Row(row) {}
  bool InGrid() const { return TField::InGrid(Col, Row); }
  int Col, Row;
};

class TPlaceStep : public TCellStep {
 public:
  TPlaceStep(int col, int row, uint16_t code) : TCellStep(col, row), Code(code) {}
  std::string GetName() const override { return "Поставить деталь"; }
  void Undo(TField& field) override {
    if (!InGrid()) return;
    if (TCellObject* obj = field.Cell(Col, Row)) Code = obj->TypeCode;
    field.FreeCell(Col, Row);
  }
  void Redo(TField& field) override {
    if (!InGrid()) return;
    field.SetCell(Col, Row, CreateCellObject(Code));
  }

 private:
  uint16_t Code;
};

class TRemoveStep : public TCellStep {
 public:
  TRemoveStep(const TField& field, int col, int row)
      : TCellStep(col, row), Stored(StoreCell(field, col, row)),
        Point(InGrid() ? PointIndexAt(field, col, row) : kNoPoint) {}
  std::string GetName() const override { return "Удалить деталь"; }
  void Undo(TField& field) override {
    if (!InGrid()) return;
    field.SetCell(Col, Row, MakeFromStorage(Stored));
    Stored.Record.clear();
    Stored.Record.shrink_to_fit();
    if (Point != kNoPoint) PlacePoint(field, Point, Col, Row);
  }
  void Redo(TField& field) override {
    if (!InGrid()) return;
    Stored = StoreCell(field, Col, Row);
    Point = PointIndexAt(field, Col, Row);
    RemoveObject(field, Col, Row);
  }
  void Done() override { Stored = TStoredCell{}; }

 private:
  TStoredCell Stored;
  uint8_t Point;
};

// The object of the cell swaps its state with the stored one. The restored
// state is loaded into a fresh object of the stored kind, exactly as a file
// or a clone would load it, so nothing of the replaced state lingers.
class TPropertiesStep : public TCellStep {
 public:
  TPropertiesStep(const TField& field, int col, int row)
      : TCellStep(col, row), Stored(StoreCell(field, col, row)) {}
  std::string GetName() const override { return "Свойства детали"; }
  void Undo(TField& field) override { Swap(field); }
  void Redo(TField& field) override { Swap(field); }
  void Done() override { Stored = TStoredCell{}; }

 private:
  void Swap(TField& field) {
    if (!InGrid()) return;
    TStoredCell current = StoreCell(field, Col, Row);
    field.SetCell(Col, Row, MakeFromStorage(Stored));
    Stored = std::move(current);
  }
  TStoredCell Stored;
};

class TLineStep : public THistoryStep {
 public:
  TLineStep(const TField& field, int col, int row, uint8_t side, int count)
      : Col(col), Row(row), Side(static_cast<uint8_t>(side & 3)),
        Count(std::clamp(count, 0, kGridSize)) {
    Record(field, Cells);
  }
  std::string GetName() const override { return "Соединительная линия"; }
  void Undo(TField& field) override { Swap(field); }
  void Redo(TField& field) override { Swap(field); }
  void Done() override { Cells.clear(); }

 private:
  enum : uint8_t { kEmpty = 0, kOther = 1, kWire = 2 };
  struct TCellState {
    uint8_t Kind = kOther;
    uint8_t LineSides = 0;
    uint8_t OutSides = 0;
  };

  bool CellOf(int k, int& col, int& row) const {
    col = Col;
    row = Row;
    switch (Side) {
      case Top: row -= k; break;
      case Left: col -= k; break;
      case Bottom: row += k; break;
      default: col += k; break;
    }
    return TField::InGrid(col, row);
  }

  void Record(const TField& field, std::vector<TCellState>& out) const {
    out.assign(static_cast<size_t>(Count), TCellState{});
    for (int k = 0; k < Count; ++k) {
      int col, row;
      if (!CellOf(k, col, row)) continue;  // outside the grid: left alone
      TCellObject* obj = field.Cell(col, row);
      TCellState& s = out[static_cast<size_t>(k)];
      if (!obj) {
        s.Kind = kEmpty;
      } else if (obj->TypeCode == kWireCode) {
        const auto* w = static_cast<const TWire*>(obj);
        s.Kind = kWire;
        s.LineSides = w->LineSides;
        s.OutSides = w->OutSides;
      }
    }
  }

  void Swap(TField& field) {
    std::vector<TCellState> current;
    Record(field, current);
    for (int k = 0; k < Count; ++k) {
      int col, row;
      if (!CellOf(k, col, row)) continue;
      const TCellState& s = Cells[static_cast<size_t>(k)];
      TCellObject* obj = field.Cell(col, row);
      if (!obj && s.Kind == kWire) {
        auto w = CreateCellObject(kWireCode);
        obj = w.get();
        field.SetCell(col, row, std::move(w));
      } else if (obj && s.Kind == kEmpty) {
        field.FreeCell(col, row);
        continue;
      }
      if (obj && obj->TypeCode == kWireCode && s.Kind == kWire) {
        auto* w = static_cast<TWire*>(obj);
        w->LineSides = s.LineSides;
        w->OutSides = s.OutSides;
      }
    }
    Cells = std::move(current);
  }

  int Col, Row;
  uint8_t Side;
  int Count;
  std::vector<TCellState> Cells;
};

class TMarkStep : public TCellStep {
 public:
  TMarkStep(int col, int row) : TCellStep(col, row) {}
  std::string GetName() const override { return "Пометить точку"; }
  void Undo(TField& field) override {
    Point = PointIndexAt(field, Col, Row);
    if (Point != kNoPoint) field.Points[Point].Placed = 0;
  }
  void Redo(TField& field) override {
    if (Point != kNoPoint) PlacePoint(field, Point, Col, Row);
  }

 private:
  uint8_t Point = kNoPoint;
};

class TUnmarkStep : public TCellStep {
 public:
  TUnmarkStep(const TField& field, int col, int row)
      : TCellStep(col, row), Point(PointIndexAt(field, col, row)) {}
  std::string GetName() const override { return "Снять пометку"; }
  void Undo(TField& field) override {
    if (Point != kNoPoint) PlacePoint(field, Point, Col, Row);
  }
  void Redo(TField& field) override {
    if (Point != kNoPoint) field.Points[Point].Placed = 0;
  }

 private:
  uint8_t Point;
};

// A rectangle of cells with the view points inside it. The swap also
// un-places the points that stand inside the rectangle now but did not in
// the restored state, so that redoing a paste removes the points the paste
// removed.
class TBlockStep : public THistoryStep {
 public:
  TBlockStep(const TField& field, int left, int top, int right, int bottom)
      : Left_(std::max(std::min(left, right), 0)), Top_(std::max(std::min(top, bottom), 0)),
        Right_(std::min(std::max(left, right), kGridSize - 1)),
        Bottom_(std::min(std::max(top, bottom), kGridSize - 1)) {
    Record(field, State);
  }
  std::string GetName() const override { return "Блоковая операция"; }
  void Undo(TField& field) override { Swap(field); }
  void Redo(TField& field) override { Swap(field); }
  void Done() override { State = TRectState{}; }

 private:
  struct TRectState {
    std::array<int, kPointCount> PointCol{};
    std::array<int, kPointCount> PointRow{};
    std::vector<uint8_t> Stream;
  };

  bool Empty() const { return Left_ > Right_ || Top_ > Bottom_; }
  bool Inside(int col, int row) const {
    return col >= Left_ && col <= Right_ && row >= Top_ && row <= Bottom_;
  }

  void Record(const TField& field, TRectState& s) const {
    for (int k = 0; k < kPointCount; ++k) {
      const TViewPoint& p = field.Points[k];
      const bool in = p.Placed && Inside(p.Col, p.Row);
      s.PointCol[k] = in ? p.Col : -1;
      s.PointRow[k] = in ? p.Row : -1;
    }
    s.Stream.clear();
    if (Empty()) return;
    TMemCursor measure = TMemCursor::Measuring();
    for (int row = Top_; row <= Bottom_; ++row)
      for (int col = Left_; col <= Right_; ++col) SaveCellObject(measure, field.Cell(col, row));
    s.Stream.resize(measure.Pos);
    TMemCursor write = TMemCursor::Writing(s.Stream);
    for (int row = Top_; row <= Bottom_; ++row)
      for (int col = Left_; col <= Right_; ++col) SaveCellObject(write, field.Cell(col, row));
  }

  void Swap(TField& field) {
    TRectState current;
    Record(field, current);
    for (int k = 0; k < kPointCount; ++k) {
      TViewPoint& p = field.Points[k];
      if (State.PointCol[k] >= 0) PlacePoint(field, k, State.PointCol[k], State.PointRow[k]);
      else if (p.Placed && Inside(p.Col, p.Row)) p.Placed = 0;
    }
    if (!Empty()) {
      TLoadCursor c(State.Stream);
      bool ok = true;
      for (int row = Top_; row <= Bottom_; ++row) {
        for (int col = Left_; col <= Right_; ++col) {
          std::unique_ptr<TCellObject> obj;
          if (ok) obj = LoadCellObject(c, ok);
          field.SetCell(col, row, std::move(obj));
        }
      }
    }
    State = std::move(current);
  }

  int Left_, Top_, Right_, Bottom_;
  TRectState State;
};

int Next(int slot) { return (slot + 1) % kHistorySlots; }
int Prev(int slot) { return (slot + kHistorySlots - 1) % kHistorySlots; }

void Release(std::unique_ptr<THistoryStep>& step) {
  if (step) {
    step->Done();
    step.reset();
  }
}

}  // namespace

std::unique_ptr<THistoryStep> MakePlaceStep(int col, int row, uint16_t typeCode) {
  return std::make_unique<TPlaceStep>(col, row, typeCode);
}

std::unique_ptr<THistoryStep> MakeRemoveStep(const TField& field, int col, int row) {
  return std::make_unique<TRemoveStep>(field, col, row);
}

std::unique_ptr<THistoryStep> MakePropertiesStep(const TField& field, int col, int row) {
  return std::make_unique<TPropertiesStep>(field, col, row);
}

std::unique_ptr<THistoryStep> MakeLineStep(const TField& field, int col, int row, uint8_t side,
                                           int count) {
  return std::make_unique<TLineStep>(field, col, row, side, count);
}

std::unique_ptr<THistoryStep> MakeMarkStep(int col, int row) {
  return std::make_unique<TMarkStep>(col, row);
}

std::unique_ptr<THistoryStep> MakeUnmarkStep(const TField& field, int col, int row) {
  return std::make_unique<TUnmarkStep>(field, col, row);
}

std::unique_ptr<THistoryStep> MakeBlockStep(const TField& field, int left, int top, int right,
                                            int bottom) {
  return std::make_unique<TBlockStep>(field, left, top, right, bottom);
}

void THistory::Push(std::unique_ptr<THistoryStep> step) {
  if (!step) return;
  for (int s = Cur; s != Head; s = Next(s)) Release(Slots[s]);
  Head = Cur;
  Slots[Head] = std::move(step);
  Head = Next(Head);
  if (Head == Tail) {
    Release(Slots[Tail]);
    Tail = Next(Tail);
  }
  Cur = Head;
}

bool THistory::Undo(TField& field) {
  if (!CanUndo()) return false;
  Cur = Prev(Cur);
  if (Slots[Cur]) Slots[Cur]->Undo(field);
  return true;
}

bool THistory::Redo(TField& field) {
  if (!CanRedo()) return false;
  if (Slots[Cur]) Slots[Cur]->Redo(field);
  Cur = Next(Cur);
  return true;
}

std::string THistory::UndoName() const {
  if (!CanUndo() || !Slots[Prev(Cur)]) return {};
  return Slots[Prev(Cur)]->GetName();
}

std::string THistory::RedoName() const {
  if (!CanRedo() || !Slots[Cur]) return {};
  return Slots[Cur]->GetName();
}

int THistory::UndoCount() const { return (Cur - Tail + kHistorySlots) % kHistorySlots; }

void THistory::Clear() {
  for (auto& s : Slots) Release(s);
  Head = Tail = Cur = 0;
}

}  // namespace vemo
