// Blocks driven by a drawn table of points: the user nonlinearity here and
// the table-defined (function) generator among the sources.
#pragma once
#include "blocks/linear.h"
#include "blocks/point_table.h"

namespace vemo {

class TTableBlock : public TKindBlock {
 public:
  PointTable Table;

  explicit TTableBlock(uint16_t code) : TKindBlock(code) {}
  // Record: 32-bit signed count, then x and y of every point.
  void Save(TMemCursor& c) override { SavePointTable(Table, c); }
  bool Load(TLoadCursor& c) override { return LoadPointTable(c, Table); }
  void Done() override { Table.Clear(); }
};

// The input mapped through the table; 0 without an input.
class TUserNonlinearity : public TTableBlock {
 public:
  TUserNonlinearity() : TTableBlock(37) {}
  uint8_t EditorKind() const override { return 5; }
  void Check() override { CheckSingleInput(); }
  void Step() override {
    const TBlock* in = FirstInput();
    Output = in ? Interpolate(Table, in->Output) : 0.0;
  }
};

}  // namespace vemo
