#include "model/scheme_render.h"

#include "canvas/qt_canvas.h"
#include "model/field.h"

namespace vemo {

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

QRect MeasureRange(const TCellRange& range) {
  if (range.Empty()) return {};
  return QRect(QPoint(range.Left * 41, range.Top * 41),
               QPoint((range.Right + 1) * 41 - 1, (range.Bottom + 1) * 41 - 1));
}

void DrawCellObject(QPainter& painter, TCellObject& obj, const QRect& cell, bool monochrome) {
  TQtCanvas canvas(painter, monochrome);
  obj.Draw(canvas, {cell.left(), cell.top(), cell.left() + cell.width(), cell.top() + cell.height()});
}

void DrawSchemeRange(QPainter& painter, const TField& field, const TCellRange& range,
                     const QRect& target, bool monochrome) {
  if (range.Empty()) return;
  const int cols = range.Right - range.Left + 1, rows = range.Bottom - range.Top + 1;
  QImage cellImage(41, 41, QImage::Format_RGB32);
  for (int row = range.Top; row <= range.Bottom; ++row)
    for (int col = range.Left; col <= range.Right; ++col) {
      TCellObject* obj = field.Cell(col, row);
      if (!obj) continue;
      cellImage.fill(Qt::white);
      {
        QPainter p(&cellImage);
        DrawCellObject(p, *obj, QRect(0, 0, 40, 40), monochrome);
        for (int k = 0; k < kPointCount; ++k) {
          const TViewPoint& pt = field.Points[k];
          if (pt.Placed && pt.Col == col && pt.Row == row) {
            p.setPen(Qt::black);
            p.setFont(MappedFont("MS Sans Serif", 10));
            p.drawText(25, 2 + p.fontMetrics().ascent(), QString(QChar(PointLetter(k))));
            break;
          }
        }
      }
      const int x0 = target.left() + (col - range.Left) * target.width() / cols;
      const int x1 = target.left() + (col - range.Left + 1) * target.width() / cols;
      const int y0 = target.top() + (row - range.Top) * target.height() / rows;
      const int y1 = target.top() + (row - range.Top + 1) * target.height() / rows;
      painter.drawImage(QRect(x0, y0, x1 - x0, y1 - y0), cellImage);
    }
}

QImage BlockPicture(uint16_t typeCode) {
  std::unique_ptr<TCellObject> obj = CreateCellObject(typeCode);
  if (!obj) return {};
  QImage img(41, 41, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    DrawCellObject(p, *obj, QRect(0, 0, 38, 38), false);
  }
  obj->Done();
  return img;
}

}  // namespace vemo
