#include "canvas/qt_canvas.h"

#include <QPolygon>
#include <algorithm>

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
  const QString text = QString::fromStdString(utf8);
  const QFontMetrics fm(painter_.font());
  if (!Monochrome) {
    const QPen old = painter_.pen();
    painter_.setPen(textColor_);
    painter_.drawText(x, y + fm.ascent(), text);
    painter_.setPen(old);
    return;
  }
  // Black-and-white pictures hold no grey. Small glyphs rendered without
  // smoothing lose strokes, so the smoothed glyphs are cut at a threshold.
  constexpr int kMargin = 2, kMaxSide = 4096, kThreshold = 80;
  const int w = std::min(fm.horizontalAdvance(text) + 2 * kMargin, kMaxSide);
  const int h = std::min(fm.height() + 2 * kMargin, kMaxSide);
  if (text.isEmpty() || w <= 0 || h <= 0) return;
  QImage glyphs(w, h, QImage::Format_ARGB32);
  glyphs.fill(Qt::transparent);
  {
    QPainter g(&glyphs);
    g.setFont(painter_.font());
    g.setPen(Qt::black);
    g.drawText(kMargin, kMargin + fm.ascent(), text);
  }
  const QRgb ink = textColor_.rgb() | 0xFF000000u;
  for (int j = 0; j < h; ++j) {
    QRgb* line = reinterpret_cast<QRgb*>(glyphs.scanLine(j));
    for (int i = 0; i < w; ++i) line[i] = qAlpha(line[i]) >= kThreshold ? ink : 0u;
  }
  painter_.drawImage(x - kMargin, y - kMargin, glyphs);
}

TPoint TQtCanvas::TextExtent(const std::string& utf8) {
  const QFontMetrics fm(painter_.font());
  return {fm.horizontalAdvance(QString::fromStdString(utf8)), fm.height()};
}

}  // namespace vemo
