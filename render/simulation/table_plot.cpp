#include "simulation/table_plot.h"

#include <QFontMetrics>
#include <QPolygonF>
#include <QVector>
#include <algorithm>
#include <cmath>

#include "shell/numtext.h"
#include "simulation/plot_axes.h"

namespace vemo {

namespace {

constexpr double kRangeLimit = 1e300;

// The multiples of the axis step inside [from, to], starting just below
// from; at most 1000 of them, so that a degenerate range cannot loop long.
template <typename F>
void ForEachGridValue(double from, double to, F f) {
  const double step = NiceStep(to - from);
  const double first = std::floor(from / step);
  for (int k = 0; k < 1000; ++k) {
    double v = (first + k) * step;
    if (v > to + step * 1e-9) break;
    if (std::fabs(v) < step * 1e-9) v = 0.0;
    f(v);
  }
}

QString Label(double v) { return QString::fromStdString(FormatNumber(v)); }

void ArrowHead(QPainter& p, QPointF tip, QPointF dir, double size, const QColor& c) {
  const QPointF side(-dir.y(), dir.x());
  QPolygonF head;
  head << tip << tip - dir * size + side * (size / 2.5) << tip - dir * size - side * (size / 2.5);
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawPolygon(head);
  p.restore();
}

// Grid lines (when asked), number labels, the axes through zero with their
// arrow heads and the names of the axes beside the heads.
void DrawGrid(QPainter& p, const TPlotFrame& f, const TTablePicture& pic) {
  const QFont font = PlotFont();
  const QFontMetrics fm(font);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setFont(font);
  const QColor grey(192, 192, 192);
  const QColor axisColor = pic.Monochrome ? QColor(Qt::black) : QColor(0, 128, 0);
  const QRect& r = f.Plot;
  p.setPen(QPen(grey, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r.adjusted(0, 0, -1, -1));
  bool xAxis = false, yAxis = false;
  ForEachGridValue(f.X0, f.X1, [&](double v) {
    const int x = f.Column(v);
    if (x < r.left() || x > r.right()) return;
    if (v == 0.0) {
      xAxis = true;
    } else if (pic.Grid) {
      p.setPen(QPen(grey, 1));
      p.drawLine(x, r.top(), x, r.bottom());
    }
    const QString s = Label(v);
    p.setPen(Qt::black);
    p.drawText(x - fm.horizontalAdvance(s) / 2, r.bottom() + 3 + fm.ascent(), s);
  });
  ForEachGridValue(f.Y0, f.Y1, [&](double v) {
    const int y = f.Line(v);
    if (y < r.top() || y > r.bottom()) return;
    if (v == 0.0) {
      yAxis = true;
    } else if (pic.Grid) {
      p.setPen(QPen(grey, 1));
      p.drawLine(r.left(), y, r.right(), y);
    }
    const QString s = Label(v);
    p.setPen(Qt::black);
    p.drawText(r.left() - 4 - fm.horizontalAdvance(s), y + fm.ascent() / 2 - 1, s);
  });
  const int width = std::max(1, 2 * OneHeight(font) / 3);
  const double head = 3.0 * width + 4.0;
  const QPen axisPen(axisColor, width, Qt::SolidLine, Qt::FlatCap);
  const QString xName = pic.TimeAxis ? QStringLiteral("t") : QStringLiteral("x");
  // The ordinate axis (x = 0) with its name "y" right of the head.
  if (xAxis) {
    const int x = f.Column(0.0);
    p.setPen(axisPen);
    p.drawLine(QPointF(x, r.bottom()), QPointF(x, r.top() + head - 1));
    ArrowHead(p, QPointF(x, r.top()), QPointF(0, -1), head, axisColor);
    p.setPen(Qt::black);
    p.drawText(x + int(head), r.top() + fm.ascent(), QStringLiteral("y"));
  }
  // The abscissa axis (y = 0) with its name above the head.
  if (yAxis) {
    const int y = f.Line(0.0);
    p.setPen(axisPen);
    p.drawLine(QPointF(r.left(), y), QPointF(r.right() - head + 1, y));
    ArrowHead(p, QPointF(r.right(), y), QPointF(1, 0), head, axisColor);
    p.setPen(Qt::black);
    p.drawText(r.right() - fm.horizontalAdvance(xName) - 1, y - int(head / 2) - 2, xName);
  }
  p.restore();
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
  QImage img(size.expandedTo(QSize(16, 16)), QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  DrawTable(p, img.rect(), pic);
  p.end();
  return img;
}

}  // namespace vemo
