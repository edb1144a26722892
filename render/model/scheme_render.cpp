#include "model/scheme_render.h"

#include <algorithm>
#include <cmath>

#include "canvas/qt_canvas.h"
#include "model/field.h"

namespace vemo {

namespace {

// The share of `length` pixels that belongs to part i of n (parts differ by
// at most one pixel and add up to length exactly).
int PartStart(int origin, int length, int i, int n) {
  return origin + static_cast<int>(static_cast<int64_t>(length) * i / n);
}

// How many times finer than 41 x 41 the bitmap of a cell is drawn: once on
// the screen and in pictures; on a printer or a PDF page, where a cell
// covers many more device pixels, as fine as it is shown (up to 8 times).
int CellImageFactor(const QPainter& painter, const QRect& target, int cols, int rows) {
  const QTransform t = painter.deviceTransform();
  const double scale = std::sqrt(std::fabs(t.determinant()));
  const double cell = scale * std::max(double(target.width()) / cols, double(target.height()) / rows);
  if (!std::isfinite(cell)) return 1;
  return std::clamp(static_cast<int>(std::ceil(cell / kPictureCell - 0.01)), 1, 8);
}

QFont LetterFont(bool monochrome) {
  QFont f = MappedFont("MS Sans Serif", 10);
  if (monochrome) f.setStyleStrategy(QFont::NoAntialias);
  return f;
}

}  // namespace

TCellRange OccupiedRange(const TField& field) {
  TCellRange r{kGridSize, kGridSize, -1, -1};
  for (int col = 0; col < kGridSize; ++col)
    for (int row = 0; row < kGridSize; ++row)
      if (field.Cell(col, row)) {
        r.Left = std::min(r.Left, col);
        r.Top = std::min(r.Top, row);
        r.Right = std::max(r.Right, col);
        r.Bottom = std::max(r.Bottom, row);
      }
  if (r.Right < 0) return {};
  return r;
}

TCellRange VisibleRange(int leftCol, int topRow, int visibleCols, int visibleRows) {
  const int left = std::clamp(leftCol, 0, kGridSize - 1);
  const int top = std::clamp(topRow, 0, kGridSize - 1);
  const int cols = std::clamp(visibleCols, 0, kGridSize);
  const int rows = std::clamp(visibleRows, 0, kGridSize);
  return {left, top, std::min(left + cols, kGridSize - 1), std::min(top + rows, kGridSize - 1)};
}

TCellRange ClampToGrid(const TCellRange& range) {
  if (range.Empty()) return {};
  const TCellRange r{std::max(range.Left, 0), std::max(range.Top, 0),
                     std::min(range.Right, kGridSize - 1), std::min(range.Bottom, kGridSize - 1)};
  return r.Empty() ? TCellRange{} : r;
}

QRect MeasureRange(const TCellRange& whole) {
  const TCellRange range = ClampToGrid(whole);
  if (range.Empty()) return {};
  return QRect(range.Left * kPictureCell, range.Top * kPictureCell, range.Cols() * kPictureCell,
               range.Rows() * kPictureCell);
}

int FirstPointAt(const TField& field, int col, int row) {
  for (int k = 0; k < kPointCount; ++k) {
    const TViewPoint& pt = field.Points[k];
    if (pt.Placed && pt.Col == col && pt.Row == row) return k;
  }
  return -1;
}

void DrawPointLetter(QPainter& painter, int x, int y, char letter, const QColor& background,
                     bool monochrome) {
  painter.save();
  const QFont font = LetterFont(monochrome);
  const QFontMetrics fm(font);
  const QString text(QChar::fromLatin1(letter));
  painter.fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), background);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(x, y + fm.ascent(), text);
  painter.restore();
}

void DrawCellObject(QPainter& painter, TCellObject& obj, const QRect& cell, bool monochrome) {
  painter.save();
  TQtCanvas canvas(painter, monochrome);
  obj.Draw(canvas, {cell.left(), cell.top(), cell.left() + cell.width(), cell.top() + cell.height()});
  painter.restore();
}

void DrawSchemeRange(QPainter& painter, const TField& field, const TCellRange& range,
                     const QRect& target, bool monochrome) {
  const TCellRange r = ClampToGrid(range);
  if (r.Empty() || target.isEmpty()) return;
  const int cols = r.Cols(), rows = r.Rows();
  const int k = CellImageFactor(painter, target, cols, rows);
  QImage cellImage(kPictureCell * k, kPictureCell * k, QImage::Format_RGB32);
  for (int row = r.Top; row <= r.Bottom; ++row)
    for (int col = r.Left; col <= r.Right; ++col) {
      TCellObject* obj = field.Cell(col, row);
      if (!obj) continue;
      cellImage.fill(Qt::white);
      {
        QPainter p(&cellImage);
        p.scale(k, k);
        p.setFont(MappedFont("MS Sans Serif", 10));
        DrawCellObject(p, *obj, QRect(0, 0, 40, 40), monochrome);
        const int k = FirstPointAt(field, col, row);
        if (k >= 0) DrawPointLetter(p, 25, 2, PointLetter(k), Qt::white, monochrome);
      }
      const int i = col - r.Left, j = row - r.Top;
      const int x0 = PartStart(target.left(), target.width(), i, cols);
      const int x1 = PartStart(target.left(), target.width(), i + 1, cols);
      const int y0 = PartStart(target.top(), target.height(), j, rows);
      const int y1 = PartStart(target.top(), target.height(), j + 1, rows);
      if (x1 > x0 && y1 > y0) painter.drawImage(QRect(x0, y0, x1 - x0, y1 - y0), cellImage);
    }
}

QRect RenderScheme(QPainter* painter, const TField& field, const TSchemeView& view, int mode,
                   const QRect& target, bool monochrome) {
  if (mode < 0 || mode > 5) return {};
  const int which = mode % 3;
  TCellRange range;
  if (which == 0)
    range = VisibleRange(view.LeftCol, view.TopRow, view.VisibleCols, view.VisibleRows);
  else if (which == 1)
    range = OccupiedRange(field);
  else
    range = view.Selection;
  if (mode >= 3) {
    const QRect m = MeasureRange(range);
    return which == 0 ? m.translated(-m.topLeft()) : m;
  }
  if (painter) DrawSchemeRange(*painter, field, range, target, monochrome);
  return target;
}

QImage BlockPicture(uint16_t typeCode, bool monochrome) {
  std::unique_ptr<TCellObject> obj = CreateCellObject(typeCode);
  if (!obj) return {};
  QImage img(kPictureCell, kPictureCell, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    p.setFont(MappedFont("MS Sans Serif", 10));
    DrawCellObject(p, *obj, QRect(0, 0, 38, 38), monochrome);
  }
  obj->Done();
  return img;
}

}  // namespace vemo
