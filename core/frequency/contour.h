// The transfer function of a contour: the part of a compiled scheme between
// a start and an end view point, reduced to one W(s) by a system of
// fraction equations, with the pure delay of the contour counted apart.
#pragma once
#include <cstdint>

#include "frequency/fraction.h"

namespace vemo {

struct TField;
class TBlock;

// Type code of the delay element.
inline constexpr uint16_t kDelayCode = 12;

// Run before every W(s) computation on a compiled field. Sets ErrorCode 17
// when the end point has no block, 39 (with the block's cell) when a block
// of Kind 5 lies on the contour, 38 when a delay block lies on a loop of the
// contour. Sets Analysis.Delay to the sum of the delay times of the delay
// blocks met on the way back from the end block (each counted once).
void CheckContour(TField& field, int start, int end);

// W(s) from the start point's block output to the end point's block output.
// Disconnects the inputs of the start block (the next compile restores
// them). Only the blocks whose output reaches the end block take part in
// the system of equations, one sparse equation each. ErrorCode 8 on an empty
// run list, 18 on a floating-point fault or when the memory runs out; the
// result is then empty (both polynomials nil). A start or end block outside
// the run list, or a start block from which no path leads to the end block,
// gives 0/1: no signal reaches the end.
TFraction ContourTransferFunction(TField& field, int start, int end);

// The chain of nonlinear blocks (Kind 2) of a contour. Entry is the block
// whose output enters the chain, Last its last (output) block. ErrorCode 16
// when the nonlinear part cannot be separated (a second nonlinear group, a
// nonlinear block on a loop, a path without one), 19 when none was found.
struct TNonlinearPart {
  TBlock* Entry = nullptr;
  TBlock* Last = nullptr;
};
TNonlinearPart FindNonlinearPart(TField& field, int start, int end);

// The W(s) command on a field: clear ErrorCode and Delay, compile, check the
// contour, compute W(s) into Analysis.W (the contour into Analysis too) and,
// when asked, its zero-pole form into Analysis.Form (a fault there is
// ErrorCode 18). Macro bodies stay loaded: the caller releases them.
// Returns true when ErrorCode is 0 at the end.
bool RunContourCommand(TField& field, int start, int end, bool zeroPoles);

}  // namespace vemo
