// The program's eleven named cursors, registered under their numbers.
// Each is drawn once, on first use, as a 32 x 32 picture with a one-pixel
// white outline so that it stays visible on the black grid lines and on
// white plots.
#pragma once
#include <QCursor>
#include <QString>

namespace vemo {

enum TCursorId {
  crPen = 1,          // "PEN": drawing points
  crMove = 2,         // "MOVE": moving a point or a frame
  crFinger = 3,       // "FINGER": pointing at a segment
  crKnife = 4,        // "NIFE": cutting a point away
  crHandUnpress = 5,  // "HANDUNPRESS": over a selection that can be dragged
  crHandPress = 6,    // "HANDPRESS": dragging
  crUpArrow = 7,      // "UPARROW"
  crRightArrow = 8,   // "RIGHTARROW"
  crDownArrow = 9,    // "DOWNARROW"
  crLeftArrow = 10,   // "LEFTARROW"
  crLocator = 11,     // "LOCATOR": reading a value off a plot
};

inline constexpr int kCursorCount = 11;

// The cursor of a number 1..11; the arrow cursor for any other number.
const QCursor& ProgramCursor(int id);
// Its resource name ("PEN", ...); empty for a number outside 1..11.
QString CursorName(int id);

}  // namespace vemo
