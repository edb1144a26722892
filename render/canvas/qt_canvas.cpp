#include "canvas/qt_canvas.h"

#include <QPolygon>

namespace vemo {

QColor ToQColor(TColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

TColor FromQColor(const QColor& c) {
  return static_cast<TColor>(c.red()) | (static_cast<TColor>(c.green()) << 8) |
         (static_cast<TColor>(c.blue()) << 16);
}

QFont MappedFont(const std::string& family, int pixelSize) {
  // The pictures were designed for small bitmap fonts; a plain sans font at
  // the same pixel size keeps their proportions. "Symbol" is only used for
  // Greek letters, which every Unicode sans font has.
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  if (family == "Small Fonts") font.setStretch(QFont::SemiCondensed);
  font.setPixelSize(pixelSize > 0 ? pixelSize : 1);
  return font;
}

TQtCanvas::TQtCanvas(QPainter& painter, bool monochrome) : painter_(painter) {
  Monochrome = monochrome;
  painter_.setRenderHint(QPainter::Antialiasing, false);
  textColor_ = Qt::black;
}

QColor TQtCanvas::Color(TColor c) const {
  if (Monochrome) return c == kWhite ? QColor(Qt::white) : QColor(Qt::black);
  return ToQColor(c);
}

void TQtCanvas::SetPen(TColor color, int width) {
  QPen pen(Color(color));
  pen.setWidth(width);
  painter_.setPen(pen);
}

void TQtCanvas::SetBrush(TColor color, bool filled) {
  if (filled)
    painter_.setBrush(Color(color));
  else
    painter_.setBrush(Qt::NoBrush);
}

void TQtCanvas::SetFont(const std::string& family, int pixelSize, TColor color) {
  painter_.setFont(MappedFont(family, pixelSize));
  textColor_ = Color(color);
}

void TQtCanvas::Line(int x1, int y1, int x2, int y2) { painter_.drawLine(x1, y1, x2, y2); }

static QPolygon ToPolygon(const std::vector<TPoint>& points) {
  QPolygon poly;
  poly.reserve(static_cast<int>(points.size()));
  for (const TPoint& p : points) poly << QPoint(p.X, p.Y);
  return poly;
}

void TQtCanvas::Polyline(const std::vector<TPoint>& points) {
  painter_.drawPolyline(ToPolygon(points));
}

// Rectangles and ellipses cover Left..Right-1 and Top..Bottom-1, as the
// pictures expect.
void TQtCanvas::Rectangle(const TRect& r) {
  painter_.drawRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
}

void TQtCanvas::Ellipse(const TRect& r) {
  painter_.drawEllipse(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
}

void TQtCanvas::Polygon(const std::vector<TPoint>& points) {
  painter_.drawPolygon(ToPolygon(points));
}

void TQtCanvas::Text(int x, int y, const std::string& utf8) {
  const QPen old = painter_.pen();
  painter_.setPen(textColor_);
  const QFontMetrics fm(painter_.font());
  painter_.drawText(x, y + fm.ascent(), QString::fromStdString(utf8));
  painter_.setPen(old);
}

TPoint TQtCanvas::TextExtent(const std::string& utf8) {
  const QFontMetrics fm(painter_.font());
  return {fm.horizontalAdvance(QString::fromStdString(utf8)), fm.height()};
}

}  // namespace vemo
