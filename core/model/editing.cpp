#include "model/editing.h"

#include <cstdlib>

#include "model/field.h"
#include "model/wire.h"
#include "shell/encoding.h"

namespace vemo {

namespace {

constexpr size_t kCommentChars = 30;

// The cell k steps from (col, row) in direction side.
void StepCell(uint8_t side, int k, int& col, int& row) {
  switch (side) {
    case Top: row -= k; break;
    case Left: col -= k; break;
    case Bottom: row += k; break;
    default: col += k; break;
  }
}

TWire* WireIn(const TField& field, int col, int row) {
  if (!TField::InGrid(col, row)) return nullptr;
  TCellObject* obj = field.Cell(col, row);
  return obj && obj->TypeCode == kWireCode ? static_cast<TWire*>(obj) : nullptr;
}

bool HasBit(uint8_t set, uint8_t side) { return (set >> side) & 1u; }

}  // namespace

void SnapLineEnd(int pressCol, int pressRow, int& endCol, int& endRow) {
  if (std::abs(endCol - pressCol) <= std::abs(endRow - pressRow)) endCol = pressCol;
  else endRow = pressRow;
}

TLinePlan PlanLine(int pressCol, int pressRow, int endCol, int endRow) {
  SnapLineEnd(pressCol, pressRow, endCol, endRow);
  TLinePlan plan;
  plan.Col = pressCol;
  plan.Row = pressRow;
  int length = 0;
  if (endRow < pressRow) {
    plan.Side = Top;
    length = pressRow - endRow;
  } else if (endCol > pressCol) {
    plan.Side = Right;
    length = endCol - pressCol;
  } else if (endCol < pressCol) {
    plan.Side = Left;
    length = pressCol - endCol;
  } else if (endRow > pressRow) {
    plan.Side = Bottom;
    length = endRow - pressRow;
  }
  plan.Count = length > 0 ? length + 1 : 0;
  return plan;
}

bool LineAllowed(const TField& field, const TLinePlan& plan) {
  if (plan.Count < 2 || plan.Side > Right) return false;
  const uint8_t d = plan.Side;
  const uint8_t b = OppositeSide(d);
  const int last = plan.Count - 1;
  for (int k = 0; k <= last; ++k) {
    int col = plan.Col, row = plan.Row;
    StepCell(d, k, col, row);
    if (!TField::InGrid(col, row)) return false;
    const TWire* w = WireIn(field, col, row);
    if (!w) continue;
    const uint8_t lines = w->LineSides & 0x0F;
    const uint8_t inputs = w->InputSides();
    if (k == last) {
      // The line ends here: the cell may not already be fed from elsewhere.
      if (inputs & ~(1u << b) & 0x0F) return false;
    } else if (HasBit(lines, d) && HasBit(inputs, d)) {
      return false;  // the new line would run against an existing one
    }
    if (k > 0 && HasBit(w->OutSides & 0x0F, b)) return false;
  }
  return true;
}

void ApplyLine(TField& field, const TLinePlan& plan) {
  if (plan.Count < 2 || plan.Side > Right) return;
  const uint8_t d = plan.Side;
  const uint8_t b = OppositeSide(d);
  const int last = plan.Count - 1;
  for (int k = 0; k <= last; ++k) {
    int col = plan.Col, row = plan.Row;
    StepCell(d, k, col, row);
    if (!TField::InGrid(col, row)) return;
    if (!field.Cell(col, row)) field.SetCell(col, row, CreateCellObject(kWireCode));
    TWire* w = WireIn(field, col, row);
    if (!w) continue;  // the line passes under a block
    if (k < last) {
      w->LineSides |= static_cast<uint8_t>(1u << d);
      w->OutSides |= static_cast<uint8_t>(1u << d);
    }
    if (k > 0) w->LineSides |= static_cast<uint8_t>(1u << b);
    const int n = BitCount(w->LineSides & 0x0F);
    // Three sides are always a branch; four are a crossing in the middle of
    // the new line and a branch only where it starts or ends.
    if (n == 3 || (n == 4 && (k == 0 || k == last))) w->OutSides |= kJunctionBit;
  }
}

int PointAt(const TField& field, int col, int row) {
  for (int k = 0; k < kPointCount; ++k) {
    const TViewPoint& p = field.Points[k];
    if (p.Placed && p.Col == col && p.Row == row) return k;
  }
  return -1;
}

void UnplacePointsAt(TField& field, int col, int row) {
  for (TViewPoint& p : field.Points)
    if (p.Placed && p.Col == col && p.Row == row) p.Placed = 0;
}

bool PlaceObject(TField& field, int col, int row, uint16_t typeCode) {
  if (!TField::InGrid(col, row) || field.Cell(col, row)) return false;
  auto obj = CreateCellObject(typeCode);
  if (!obj) return false;
  field.SetCell(col, row, std::move(obj));
  return true;
}

void RemoveObject(TField& field, int col, int row) {
  if (!TField::InGrid(col, row)) return;
  field.FreeCell(col, row);
  UnplacePointsAt(field, col, row);
}

void PutComment(TField& field, int col, int row, const std::string& utf8Text) {
  if (utf8Text.empty() || !TField::InGrid(col, row)) return;
  auto obj = CreateCellObject(kCommentCode);
  auto* comment = dynamic_cast<TComment*>(obj.get());
  if (!comment) return;
  comment->Text = Utf8Left(utf8Text, kCommentChars);
  field.SetCell(col, row, std::move(obj));
}

}  // namespace vemo
