#include "model/scheme_builder.h"

#include "model/wire.h"

namespace vemo {

namespace {
// The side of cell a that faces the adjacent cell b.
uint8_t SideToward(std::pair<int, int> a, std::pair<int, int> b) {
  if (b.first < a.first) return Left;
  if (b.first > a.first) return Right;
  return b.second < a.second ? Top : Bottom;
}

TWire* WireAt(TField& f, std::pair<int, int> c) {
  TCellObject* obj = f.Cell(c.first, c.second);
  if (!obj) {
    f.SetCell(c.first, c.second, CreateCellObject(kWireCode));
    obj = f.Cell(c.first, c.second);
  }
  return obj->TypeCode == kWireCode ? static_cast<TWire*>(obj) : nullptr;
}

void MarkJunction(TWire& w) {
  if (BitCount(w.LineSides & 0x0F) >= 3 && !w.IsCrossing()) w.OutSides |= kJunctionBit;
  else if (w.IsCrossing()) w.OutSides &= static_cast<uint8_t>(~kJunctionBit);
}
}  // namespace

TCellObject* TSchemeBuilder::Block(int col, int row, uint16_t code,
                                   std::initializer_list<double> params) {
  auto obj = CreateCellObject(code);
  if (!obj) return nullptr;
  if (auto* pb = dynamic_cast<TParamBlock*>(obj.get())) {
    int i = 0;
    for (double v : params)
      if (i < 4) pb->Params[i++] = v;
  }
  TCellObject* raw = obj.get();
  F.SetCell(col, row, std::move(obj));
  F.Modified = 1;
  return raw;
}

bool TSchemeBuilder::Line(std::initializer_list<std::pair<int, int>> corners) {
  std::vector<std::pair<int, int>> cells;
  for (auto c : corners) {
    if (cells.empty()) {
      cells.push_back(c);
      continue;
    }
    auto p = cells.back();
    if (p.first != c.first && p.second != c.second) return false;
    while (p != c) {
      if (p.first != c.first) p.first += c.first > p.first ? 1 : -1;
      else p.second += c.second > p.second ? 1 : -1;
      cells.push_back(p);
    }
  }
  if (cells.size() < 2) return false;
  // A branch from an existing wire cell gains an output side.
  if (TCellObject* s = F.Cell(cells[0].first, cells[0].second); s && s->TypeCode == kWireCode) {
    auto* w = static_cast<TWire*>(s);
    const uint8_t out = static_cast<uint8_t>(1u << SideToward(cells[0], cells[1]));
    w->LineSides |= out;
    w->OutSides |= out;
    MarkJunction(*w);
  }
  for (size_t i = 1; i < cells.size(); ++i) {
    const bool last = i + 1 == cells.size();
    TCellObject* obj = F.Cell(cells[i].first, cells[i].second);
    if (last && obj && obj->TypeCode != kWireCode) break;  // the consumer block
    TWire* w = WireAt(F, cells[i]);
    if (!w) return false;
    w->LineSides |= static_cast<uint8_t>(1u << SideToward(cells[i], cells[i - 1]));
    if (!last) {
      const uint8_t out = static_cast<uint8_t>(1u << SideToward(cells[i], cells[i + 1]));
      w->LineSides |= out;
      w->OutSides |= out;
    }
    MarkJunction(*w);
  }
  F.Modified = 1;
  return true;
}

void TSchemeBuilder::Point(int k, int col, int row) {
  TViewPoint& p = F.Points[k];
  p.Col = static_cast<uint16_t>(col);
  p.Row = static_cast<uint16_t>(row);
  p.Placed = 1;
  F.Modified = 1;
}

}  // namespace vemo
