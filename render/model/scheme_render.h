// Pictures of cell objects and of ranges of a scheme, on any QPainter.
#pragma once
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <cstdint>

namespace vemo {

struct TField;
class TCellObject;

// Pixels per cell in scheme pictures: the 40-pixel cell and its grid line.
inline constexpr int kPictureCell = 41;

// An inclusive range of cells; Right < Left means empty.
struct TCellRange {
  int Left = 0, Top = 0, Right = -1, Bottom = -1;
  bool Empty() const { return Right < Left || Bottom < Top; }
  int Cols() const { return Empty() ? 0 : Span(Left, Right); }
  int Rows() const { return Empty() ? 0 : Span(Top, Bottom); }

 private:
  static int Span(int a, int b) {
    const int64_t n = static_cast<int64_t>(b) - a + 1;
    return n > INT32_MAX ? INT32_MAX : static_cast<int>(n);
  }
};

// The bounding box of the occupied cells (empty for an empty field).
TCellRange OccupiedRange(const TField& field);
// The cells the editor shows: from its top-left cell, one partly visible
// column and row more than the fully visible counts, cut at the grid's end.
TCellRange VisibleRange(int leftCol, int topRow, int visibleCols, int visibleRows);
// The part of a range that lies on the grid (empty when none does).
TCellRange ClampToGrid(const TCellRange& range);
// The range at 41 pixels per cell: (Left*41, Top*41, (Right+1)*41, (Bottom+1)*41)
// of its part on the grid; a null rectangle for an empty range.
QRect MeasureRange(const TCellRange& range);

// Draws every occupied cell of the range, row by row: a white 41 x 41
// bitmap, the object drawn into (0, 0, 40, 40), the letter of the first
// placed view point of the cell at (25, 2) in black on white, the bitmap
// stretched onto the cell's share of target (the range is mapped
// proportionally onto target). Empty cells are left as they are. A range
// reaching past the grid is cut to it first.
// Monochrome draws everything black on white.
void DrawSchemeRange(QPainter& painter, const TField& field, const TCellRange& range,
                     const QRect& target, bool monochrome);

// What the editor's picture and print commands hand over: the grid's
// visible part and its selection.
struct TSchemeView {
  int LeftCol = 0, TopRow = 0;
  int VisibleCols = 0, VisibleRows = 0;  // fully visible counts
  TCellRange Selection;
};
// The editor's RenderScheme: modes 0, 1, 2 draw the visible cells, all
// occupied cells or the selection into target and return target; modes 3,
// 4, 5 draw nothing and return the pixel rectangle of the same range (the
// visible part measured from the origin). Any other mode returns a null
// rectangle. painter may be null for the measuring modes.
QRect RenderScheme(QPainter* painter, const TField& field, const TSchemeView& view, int mode,
                   const QRect& target, bool monochrome);

// One object drawn into a cell rectangle as the editor shows it. The
// painter's state is restored afterwards. Wire ends and arrow tips reach 2
// pixels beyond the cell, so an editor paints the backgrounds of all
// visible cells before their objects.
void DrawCellObject(QPainter& painter, TCellObject& obj, const QRect& cell, bool monochrome);
// Index (0 = A) of the first placed view point on the cell, -1 when none.
int FirstPointAt(const TField& field, int col, int row);
// The letter of a view point with its top left corner at (x, y) on an
// opaque background ("MS Sans Serif", 10 pixels); the editor puts it 15
// pixels left of the cell's right edge and 2 pixels below its top.
void DrawPointLetter(QPainter& painter, int x, int y, char letter, const QColor& background,
                     bool monochrome);

// The palette picture of a type code: the block drawn into (0, 0, 38, 38) of
// a white 41 x 41 image; a null image for a code that names no kind.
QImage BlockPicture(uint16_t typeCode, bool monochrome = false);

}  // namespace vemo
