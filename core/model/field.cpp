#include "model/field.h"

#include <algorithm>

#include "model/macro.h"

namespace vemo {

uint32_t DefaultPointColor(int k) {
  static const uint32_t colors[kPointCount] = {0x000000, 0x0000FF, 0x008000, 0xFF0000,
                                               0x008000, 0x808080, 0xFF00FF, 0x000000,
                                               0x000000, 0x000000, 0x000000, 0x000000};
  return (k >= 0 && k < kPointCount) ? colors[k] : 0;
}

TField::TField() {
  Owner = this;
  for (int k = 0; k < kPointCount; ++k) Points[k].Color = DefaultPointColor(k);
}

TField::~TField() { Clear(*this); }

void TField::SetCell(int col, int row, std::unique_ptr<TCellObject> obj) {
  FreeCell(col, row);
  Cells.Put(col, row, std::move(obj));
}

std::unique_ptr<TCellObject> TField::TakeCell(int col, int row) { return Cells.Take(col, row); }

void TField::FreeCell(int col, int row) {
  if (auto obj = Cells.Take(col, row)) obj->Done();
}

std::unique_ptr<TField> CreateField() { return std::make_unique<TField>(); }

std::unique_ptr<TCellObject> CloneObject(TCellObject& obj) {
  TMemCursor measure = TMemCursor::Measuring();
  obj.Save(measure);
  std::vector<uint8_t> buf(measure.Pos);
  TMemCursor write = TMemCursor::Writing(buf);
  obj.Save(write);
  auto copy = CreateCellObject(obj.TypeCode);
  if (!copy) return nullptr;
  TLoadCursor read(buf);
  if (!copy->Load(read)) return nullptr;
  return copy;
}

std::unique_ptr<TField> Clone(const TField& source) {
  auto f = CreateField();
  f->Points = source.Points;
  f->Owner = source.Owner;
  f->Modified = 0;
  f->AutoStep = 1;
  f->Step = source.Step;
  f->FileName = source.FileName;
  for (auto it = source.Cells.begin(); it != source.Cells.end(); ++it)
    f->Cells.Put(it.Col(), it.Row(), CloneObject(**it));
  return f;
}

void Clear(TField& field) {
  for (auto& slot : field.Cells) {
    slot->Done();
    slot.reset();
  }
  field.Cells.Clear();
  field.RunList = nullptr;
  for (TViewPoint& p : field.Points) {
    p = TViewPoint{};
    p.Shown = 0;
    p.Color = 0;
    p.High = 0.0;
  }
}

void ReleaseMacroBodies(TField& field) {
  for (auto& slot : field.Cells) {
    if (slot && slot->TypeCode == kMacroCode) {
      auto* m = static_cast<TMacroBlock*>(slot.get());
      if (m->Body) {
        ReleaseMacroBodies(*m->Body);
        Clear(*m->Body);
        m->Body.reset();
      }
    }
  }
}

void DeleteRect(TField& field, int left, int top, int bottom, int right) {
  for (TViewPoint& p : field.Points)
    if (p.Placed && p.Col >= left && p.Col <= right && p.Row >= top && p.Row <= bottom)
      p.Placed = 0;
  for (int c = std::max(left, 0); c <= std::min(right, kGridSize - 1); ++c)
    for (int r = std::max(top, 0); r <= std::min(bottom, kGridSize - 1); ++r) field.FreeCell(c, r);
}

}  // namespace vemo
