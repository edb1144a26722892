#include "model/wire.h"

#include "shell/program.h"

namespace vemo {

int BitCount(uint8_t v) {
  int n = 0;
  for (; v; v &= static_cast<uint8_t>(v - 1)) ++n;
  return n;
}

bool TWire::IsCrossing() const {
  const uint8_t out = OutSides & 0x0F;
  return (LineSides & 0x0F) == 0x0F && ((out >> Top) & 1) != ((out >> Bottom) & 1) &&
         ((out >> Left) & 1) != ((out >> Right) & 1);
}

void TWire::Prepare(TField* owner) {
  (void)owner;
  const uint8_t lines = LineSides & 0x0F;
  const uint8_t out = OutSides & 0x0F;
  const bool junction = (OutSides & kJunctionBit) != 0;
  const int nLines = BitCount(lines);
  const int nOut = BitCount(out);
  bool ok = (out & ~lines) == 0 && nLines > 0;
  if (ok && junction && nLines < 3) ok = false;
  if (ok && nLines == 3 && !junction) ok = false;
  const bool crossing = nLines == 4 && !junction && IsCrossing();
  if (ok && nLines == 4 && !junction && !crossing) ok = false;
  if (ok && nLines != 1 && !crossing && nLines - nOut != 1) ok = false;
  if (!ok) Prog.Err.ErrorCode = 5;
}

void TWire::Save(TMemCursor& c) {
  c.U8(LineSides);
  c.U8(OutSides);
}

bool TWire::Load(TLoadCursor& c) {
  LineSides = c.U8();
  OutSides = c.U8();
  return c.Ok;
}

void TComment::Save(TMemCursor& c) { c.ShortString(Text, 30); }

bool TComment::Load(TLoadCursor& c) {
  Text = c.ShortString(30);
  return c.Ok;
}

}  // namespace vemo
