// Pictures of cell objects and of ranges of a scheme, on any QPainter.
#pragma once
#include <QImage>
#include <QPainter>
#include <QRect>
#include <cstdint>

namespace vemo {

struct TField;
class TCellObject;

// An inclusive range of cells; Right < Left means empty.
struct TCellRange {
  int Left = 0, Top = 0, Right = -1, Bottom = -1;
  bool Empty() const { return Right < Left || Bottom < Top; }
};

// The bounding box of the occupied cells (empty for an empty field).
TCellRange OccupiedRange(const TField& field);
// The range at 41 pixels per cell: (Left*41, Top*41, (Right+1)*41, (Bottom+1)*41).
QRect MeasureRange(const TCellRange& range);
// Draws every occupied cell of the range (with the letter of its first
// placed view point), mapping the range proportionally onto target.
// Monochrome draws every line black (black-and-white pictures).
void DrawSchemeRange(QPainter& painter, const TField& field, const TCellRange& range,
                     const QRect& target, bool monochrome);
// One object drawn into a cell rectangle as the editor shows it.
void DrawCellObject(QPainter& painter, TCellObject& obj, const QRect& cell, bool monochrome);
// The palette picture of a type code: the block drawn into (0, 0, 38, 38) of
// a white 41 x 41 image; a null image for a code that names no kind.
QImage BlockPicture(uint16_t typeCode);

}  // namespace vemo
