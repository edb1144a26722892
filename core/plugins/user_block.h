// The user block, computed by a plug-in library.
#pragma once
#include <string>

#include "blocks/linear.h"

namespace vemo {

class TUserBlock : public TKindBlock {
 public:
  std::string FileName;  // the library, at most 127 characters

  TUserBlock() : TKindBlock(54) {}
  uint8_t EditorKind() const override { return 9; }
  // Record: 128 bytes, the name's length byte, its characters, zero filler.
  void Save(TMemCursor& c) override { c.ShortString(FileName, 127); }
  bool Load(TLoadCursor& c) override {
    FileName = c.ShortString(127);
    return c.Ok;
  }
  double GetStepHint() override { return 100.0; }
};

}  // namespace vemo
