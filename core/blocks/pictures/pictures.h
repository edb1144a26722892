// The pictures of the block kinds: one dispatch on the type code, used by
// the default Draw of every cell object.
#pragma once
#include <cstdint>

#include "blocks/canvas.h"

namespace vemo {

class TCellObject;

// Draws the picture of obj's kind into the cell rectangle. A code without
// a picture of its own gets an empty frame.
void DrawBlockPicture(TCanvas& canvas, const TRect& cell, const TCellObject& obj);

}  // namespace vemo
