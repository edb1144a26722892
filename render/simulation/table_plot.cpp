#include "simulation/table_plot.h"

#include <QPolygonF>
#include <QVector>
#include <algorithm>
#include <cmath>

namespace vemo {

namespace {

constexpr double kRangeLimit = 1e300;

// The frame around the plot area, then the grid (its lines when asked),
// labels and the axes named "x"/"y" ("t"/"y" for time).
void DrawGrid(QPainter& p, const TPlotFrame& f, const TTablePicture& pic) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(QColor(192, 192, 192), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(f.Plot.adjusted(0, 0, -1, -1));
  p.restore();
  TGridStyle style;
  style.Lines = pic.Grid;
  style.XName = pic.TimeAxis ? QStringLiteral("t") : QStringLiteral("x");
  style.YName = QStringLiteral("y");
  DrawPlotGrid(p, f, false, pic.Monochrome, style);
}

}  // namespace

void SafeRange(double& lo, double& hi) {
  if (!std::isfinite(lo)) lo = -1.0;
  if (!std::isfinite(hi)) hi = 1.0;
  lo = std::clamp(lo, -kRangeLimit, kRangeLimit);
  hi = std::clamp(hi, -kRangeLimit, kRangeLimit);
  if (hi > lo) return;
  if (hi < lo) std::swap(lo, hi);
  if (hi > lo) return;
  // An empty range: a small one around the value, large enough to be
  // representable next to it.
  const double d = std::max(1.0, std::fabs(lo) * 1e-6);
  lo -= d;
  hi = lo + 2 * d;
}

TPlotFrame TableFrame(const QRect& area, const TTablePicture& pic) {
  double x0 = pic.XFrom, x1 = pic.XTo, y0 = pic.YFrom, y1 = pic.YTo;
  SafeRange(x0, x1);
  SafeRange(y0, y1);
  return LayoutFrame(area, x0, x1, y0, y1, false);
}

void DrawTable(QPainter& p, const QRect& area, const TTablePicture& pic) {
  p.save();
  p.fillRect(area, Qt::white);
  const TPlotFrame f = TableFrame(area, pic);
  DrawGrid(p, f, pic);
  if (pic.Table && !pic.Table->Points.empty()) {
    p.setClipRect(f.Plot);
    p.setRenderHint(QPainter::Antialiasing, false);
    // The line: consecutive finite points joined in table order; a point
    // that is not a number breaks the line there.
    p.setPen(CurvePen(0xFF0000, false, pic.Monochrome));  // blue
    QVector<QPointF> run;
    auto flush = [&] {
      if (run.size() > 1) p.drawPolyline(run.constData(), static_cast<int>(run.size()));
      run.clear();
    };
    for (const TablePoint& pt : pic.Table->Points) {
      if (!std::isfinite(pt.x) || !std::isfinite(pt.y)) {
        flush();
        continue;
      }
      run.append(QPointF(f.Column(pt.x), f.Line(pt.y)));
    }
    flush();
    // The markers.
    const QColor marker = pic.Monochrome ? QColor(Qt::black) : QColor(255, 0, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(marker);
    for (const TablePoint& pt : pic.Table->Points) {
      if (!std::isfinite(pt.x) || !std::isfinite(pt.y)) continue;
      const int x = f.Column(pt.x), y = f.Line(pt.y);
      if (x < f.Plot.left() - kTableMarker || x > f.Plot.right() + kTableMarker ||
          y < f.Plot.top() - kTableMarker || y > f.Plot.bottom() + kTableMarker)
        continue;
      p.drawRect(QRect(x - kTableMarker, y - kTableMarker, 2 * kTableMarker + 1,
                       2 * kTableMarker + 1));
    }
  }
  p.restore();
}

QImage TableImage(const TTablePicture& pic, QSize size) {
  return PlotImage(size.expandedTo(QSize(16, 16)),
                   [&](QPainter& p, const QRect& area) { DrawTable(p, area, pic); });
}

}  // namespace vemo
