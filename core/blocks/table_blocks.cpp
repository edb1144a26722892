#include "blocks/table_blocks.h"

namespace vemo {

void TTableBlock::Save(TMemCursor& c) {
  c.I32(static_cast<int32_t>(Table.size()));
  for (const TShapePoint& p : Table) {
    c.F64(p.X);
    c.F64(p.Y);
  }
}

bool TTableBlock::Load(TLoadCursor& c) {
  Table.clear();
  const int32_t n = c.I32();
  if (n < 0 || !c.CanRead(static_cast<uint64_t>(n), 16)) return c.Ok = false;
  Table.resize(static_cast<size_t>(n));
  for (TShapePoint& p : Table) {
    p.X = c.F64();
    p.Y = c.F64();
  }
  return c.Ok;
}

}  // namespace vemo
