// The non-block cell objects: wire cells, macro ports and comments.
#pragma once
#include <string>

#include "blocks/cell_object.h"

namespace vemo {

inline constexpr uint8_t kJunctionBit = 16;

class TWire : public TCellObject {
 public:
  uint8_t LineSides = 0;  // sides where a line reaches the edge
  uint8_t OutSides = 0;   // bits 0-3 output sides, bit 4 the junction dot

  uint8_t EditorKind() const override { return 2; }
  void Prepare(TField* owner) override;
  void Save(TMemCursor& c) override;
  bool Load(TLoadCursor& c) override;
  void Draw(TCanvas& canvas, const TRect& r) override;

  uint8_t InputSides() const { return LineSides & ~OutSides & 0x0F; }
  bool IsCrossing() const;
};

// The inputs (0x4000..0x4002) and the output (0x4003) of a macro body.
class TMacroPort : public TCellObject {
 public:
  uint8_t EditorKind() const override { return 3; }
  std::string GetName() const override { return "Вход/выход макроса"; }
  void Draw(TCanvas& canvas, const TRect& r) override;
};

class TComment : public TCellObject {
 public:
  std::string Text;  // at most 30 characters

  uint8_t EditorKind() const override { return 10; }
  void Save(TMemCursor& c) override;
  bool Load(TLoadCursor& c) override;
  void Draw(TCanvas& canvas, const TRect& r) override;
};

int BitCount(uint8_t v);

}  // namespace vemo
