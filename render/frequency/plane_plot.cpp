#include "frequency/plane_plot.h"

#include <QFontMetrics>
#include <QVector>
#include <algorithm>
#include <cmath>

namespace vemo {

namespace {

// Joins the points [from, to) of a list, skipping those on the pixel of the
// point before.
void DrawRun(QPainter& p, const TPlotFrame& f, const TPointList& list, size_t from, size_t to) {
  if (from >= to) return;
  QVector<QPoint> line;
  line.reserve(static_cast<int>(std::min<size_t>(to - from, 1u << 16)));
  QPoint prev(f.Column(list.Re(from)), f.Line(list.Im(from)));
  line.append(prev);
  for (size_t i = from + 1; i < to; ++i) {
    const QPoint q(f.Column(list.Re(i)), f.Line(list.Im(i)));
    if (q != prev) {
      line.append(q);
      prev = q;
    }
  }
  if (line.size() == 1)
    p.drawPoint(line[0]);
  else
    p.drawPolyline(line.constData(), static_cast<int>(line.size()));
}

void Mark(QPainter& p, QPointF c, double r) { p.drawEllipse(c, r, r); }

void DrawDescribing(QPainter& p, const TPlotFrame& f, const TPlanePicture& pic) {
  const TPointList& list = *pic.Describing;
  const size_t n = list.Count();
  if (!pic.Ranks || pic.Ranks->size() < n) {
    DrawRun(p, f, list, 0, n);
    return;
  }
  const std::vector<uint8_t>& ranks = *pic.Ranks;
  for (size_t i = 0; i < n;) {
    size_t j = i + 1;
    while (j < n && ranks[j] == ranks[i]) ++j;
    if (j - i == 1)
      Mark(p, QPointF(f.Column(list.Re(i)), f.Line(list.Im(i))), 3);
    else
      DrawRun(p, f, list, i, j);
    i = j;
  }
}

void DrawPopov(QPainter& p, const TPlotFrame& f, const TPlanePicture& pic) {
  const QPointF c(f.X(pic.PopovPoint), f.Y(0.0));
  p.setPen(CurvePen(kPopovColor, pic.Bold, pic.Monochrome));
  if (pic.HasPopovLine) {
    // Through -1/K at the angle of the line in the plane's own units.
    const double sx = (f.Plot.width() - 1) / std::max(1e-300, f.X1 - f.X0);
    const double sy = (f.Plot.height() - 1) / std::max(1e-300, f.Y1 - f.Y0);
    QPointF d(std::cos(pic.PopovAngle) * sx, -std::sin(pic.PopovAngle) * sy);
    const double len = std::hypot(d.x(), d.y());
    if (len > 0 && std::isfinite(len)) {
      d /= len;
      const double reach = 4.0 * (f.Plot.width() + f.Plot.height());
      p.drawLine(c - d * reach, c + d * reach);
    }
  }
  p.setBrush(pic.Monochrome ? QColor(Qt::black) : QColor(128, 0, 128));
  Mark(p, c, 3);
  p.setBrush(Qt::NoBrush);
  if (!pic.PopovLabel.isEmpty()) {
    p.setPen(Qt::black);
    const QFontMetrics fm(p.font());
    p.drawText(QPointF(c.x() + 5, c.y() + fm.ascent() + 4), pic.PopovLabel);
  }
}

}  // namespace

TPlotFrame PlaneFrame(const QRect& area, const TPlanePicture& pic) {
  return LayoutFrame(area, pic.Rect.ReMin, pic.Rect.ReMax, pic.Rect.ImMin, pic.Rect.ImMax, false);
}

void DrawPlane(QPainter& p, const QRect& area, const TPlanePicture& pic) {
  p.save();
  p.fillRect(area, Qt::white);
  p.setRenderHint(QPainter::Antialiasing, false);
  const TPlotFrame f = PlaneFrame(area, pic);
  TGridStyle style;
  style.XName = QStringLiteral("Re");
  style.YName = QStringLiteral("jIm");
  DrawPlotGrid(p, f, false, pic.Monochrome, style);
  p.setClipRect(f.Plot);
  p.setFont(PlotFont());

  // The point -1, the critical point of the closed loop.
  const QPointF minusOne(f.X(-1.0), f.Y(0.0));
  p.setPen(QPen(Qt::black, 1));
  Mark(p, minusOne, 3);
  const QFontMetrics fm(p.font());
  const QString label = QStringLiteral("-1");
  p.drawText(QPointF(minusOne.x() - fm.horizontalAdvance(label) / 2.0,
                     minusOne.y() + AxisArrowSize() / 2 + fm.ascent() + 1),
             label);

  if (pic.Describing && pic.Describing->Count() > 0) {
    p.setPen(CurvePen(kDescribingColor, pic.Bold, pic.Monochrome));
    DrawDescribing(p, f, pic);
  }
  if (pic.Hodograph && pic.Hodograph->Count() > 0) {
    p.setPen(CurvePen(kHodographColor, pic.Bold, pic.Monochrome));
    DrawRun(p, f, *pic.Hodograph, 0, pic.Hodograph->Count());
  }
  if (pic.HasPopovPoint) DrawPopov(p, f, pic);
  p.restore();
}

QImage PlaneImage(const TPlanePicture& pic, QSize size) {
  return PlotImage(size, [&pic](QPainter& p, const QRect& area) { DrawPlane(p, area, pic); });
}

}  // namespace vemo
