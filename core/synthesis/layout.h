// Lays an element list out on a new field: a chain of blocks joined by
// wire cells along row 1 from column 2, wrapping four rows down before
// column 195, with the compound elements expanded into parallel branches
// joined by a summing block.
#pragma once
#include <memory>
#include <vector>

#include "model/field.h"
#include "synthesis/elements.h"

namespace vemo {

enum class TSynthMode : int {
  Structure = 0,   // the chain alone, between point A and point B
  Controller = 1,  // a summing block first, the loop closed from the end of the chain
};

// Cells of the layout.
inline constexpr int kChainRow = 1;
inline constexpr int kChainFirstCol = 2;
// An element whose cells would reach this column goes to the next band.
inline constexpr int kWrapColumn = 195;
// Rows between the chain rows of two bands.
inline constexpr int kBandRows = 4;
// Column of the vertical run of the controller loop's feedback when the
// chain has wrapped: right of everything the chain occupies.
inline constexpr int kFeedbackColumn = 198;

// Columns an element takes (its trailing wire not counted).
int ElementWidth(uint16_t code);

// The field of the chain: point A on the input wire at column 1, point B
// on the wire after the last element. In the controller mode the chain
// starts with a summing block of type 2 whose lower (negated) input is fed
// back from the end of the chain. nullptr when the chain does not fit on
// the field.
std::unique_ptr<TField> LayoutStructure(const std::vector<TSynthElement>& chain, TSynthMode mode);

}  // namespace vemo
