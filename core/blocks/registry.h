// The table of all block kinds: display name, code-generation name, class,
// stepped flag, parameter captions and defaults.
#pragma once
#include <cstdint>

namespace vemo {

struct TKindInfo {
  uint16_t Code;
  const char* Name;      // display name (GetName)
  const char* CodeName;  // routine name used by code generation; "" = none
  uint8_t Kind;          // 0 source .. 5 special
  uint8_t Stepped;
  uint8_t ParamCount;
  const char* ParamNames[4];
  double Defaults[4];
};

// The row of a block type code, or nullptr for codes that name no block.
const TKindInfo* FindKind(uint16_t code);
// Every row in table order.
const TKindInfo* KindTable(int& count);

}  // namespace vemo
