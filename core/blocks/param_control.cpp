#include "blocks/param_control.h"

namespace vemo {

void TParamControl::Save(TMemCursor& c) {
  c.I32(TargetCol);
  c.I32(TargetRow);
  c.U8(ParamIndex);
}

bool TParamControl::Load(TLoadCursor& c) {
  TargetCol = c.I32();
  TargetRow = c.I32();
  ParamIndex = c.U8();
  return c.Ok && ParamIndex < 4;
}

}  // namespace vemo
