#include "simulation/plot_frame.h"

#include <QFontMetrics>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <string>

#include "canvas/qt_canvas.h"
#include "shell/numtext.h"
#include "simulation/plot_axes.h"

namespace vemo {

namespace {

constexpr double kPixelLimit = 30000.0;

double LimitPixel(double v) {
  if (!(v > -kPixelLimit)) return -kPixelLimit;  // also catches NaN
  if (v > kPixelLimit) return kPixelLimit;
  return v;
}

// The multiples of step inside [from, to], starting just below from.
template <typename F>
void ForEachGridValue(double from, double to, F f) {
  const double step = NiceStep(to - from);
  const double first = std::floor(from / step);
  // An extent of a few steps; the bound only guards against a degenerate
  // range producing an endless loop.
  for (int k = 0; k < 1000; ++k) {
    double v = (first + k) * step;
    if (v > to + step * 1e-9) break;
    if (std::fabs(v) < step * 1e-9) v = 0.0;
    f(v, step);
  }
}

QString Label(double v, bool percent) {
  QString s = QString::fromStdString(FormatNumber(v));
  if (percent) s += QLatin1Char('%');
  return s;
}

}  // namespace

QColor GridColor() { return QColor(192, 192, 192); }

static int AxisWidth() { return std::max(1, 2 * OneHeight(PlotFont()) / 3); }

QPen AxisPen(bool monochrome) {
  return QPen(monochrome ? QColor(Qt::black) : QColor(0, 128, 0), AxisWidth(), Qt::SolidLine,
              Qt::FlatCap);
}

double AxisArrowSize() { return 3.0 * AxisWidth() + 4.0; }

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

QFont PlotFont() { return MappedFont("Small Fonts", 9); }

int OneHeight(const QFont& font) {
  const int h = QFontMetrics(font).tightBoundingRect(QStringLiteral("1")).height();
  return h > 0 ? h : 1;
}

double TPlotFrame::X(double x) const {
  const double w = X1 - X0;
  if (!(w > 0)) return Plot.left();
  return LimitPixel(Plot.left() + (x - X0) / w * (Plot.width() - 1));
}

double TPlotFrame::Y(double y) const {
  const double h = Y1 - Y0;
  if (!(h > 0)) return Plot.bottom();
  return LimitPixel(Plot.bottom() - (y - Y0) / h * (Plot.height() - 1));
}

// Rounds half away from zero like lround, without the library call: the
// drawing of a long run converts two coordinates per sample. X and Y are
// limited to +-30000, so the conversion is always in range.
static int RoundPixel(double v) { return static_cast<int>(v >= 0 ? v + 0.5 : v - 0.5); }

int TPlotFrame::Column(double x) const { return RoundPixel(X(x)); }
int TPlotFrame::Line(double y) const { return RoundPixel(Y(y)); }

double TPlotFrame::ValueX(double px) const {
  const int w = std::max(1, Plot.width() - 1);
  return X0 + (px - Plot.left()) * (X1 - X0) / w;
}

double TPlotFrame::ValueY(double py) const {
  const int h = std::max(1, Plot.height() - 1);
  return Y0 + (Plot.bottom() - py) * (Y1 - Y0) / h;
}

TPlotFrame LayoutFrame(const QRect& area, double x0, double x1, double y0, double y1,
                       bool percent) {
  const QFontMetrics fm(PlotFont());
  int labelWidth = 0;
  ForEachGridValue(y0, y1, [&](double v, double) {
    labelWidth = std::max(labelWidth, fm.horizontalAdvance(Label(v, percent)));
  });
  const int halfLast = fm.horizontalAdvance(Label(x1, false)) / 2;
  TPlotFrame f;
  f.X0 = x0;
  f.X1 = x1;
  f.Y0 = y0;
  f.Y1 = y1;
  const int left = labelWidth + 6;
  const int right = std::max(8, halfLast + 2);
  const int top = fm.height() / 2 + 2;
  const int bottom = fm.height() + 4;
  f.Plot = area.adjusted(left, top, -right, -bottom);
  if (f.Plot.width() < 2 || f.Plot.height() < 2) f.Plot = area;
  return f;
}

void DrawPlotGrid(QPainter& p, const TPlotFrame& f, bool percent, bool monochrome,
                  const TGridStyle& style) {
  const QFont font = PlotFont();
  const QFontMetrics fm(font);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setFont(font);
  const QColor grey = GridColor();
  const QPen axisPen = AxisPen(monochrome);
  const QColor axisColor = axisPen.color();
  const QRect& r = f.Plot;
  bool xAxis = false, yAxis = false;
  ForEachGridValue(f.X0, f.X1, [&](double v, double) {
    const int x = f.Column(v);
    if (x < r.left() || x > r.right()) return;
    if (v == 0.0) {
      xAxis = true;
    } else if (style.Lines) {
      p.setPen(QPen(grey, 1));
      p.drawLine(x, r.top(), x, r.bottom());
    }
    const QString s = Label(v, false);
    const int w = fm.horizontalAdvance(s);
    p.setPen(Qt::black);
    p.drawText(x - w / 2, r.bottom() + 3 + fm.ascent(), s);
  });
  ForEachGridValue(f.Y0, f.Y1, [&](double v, double) {
    const int y = f.Line(v);
    if (y < r.top() || y > r.bottom()) return;
    if (v == 0.0) {
      yAxis = true;
    } else if (style.Lines) {
      p.setPen(QPen(grey, 1));
      p.drawLine(r.left(), y, r.right(), y);
    }
    const QString s = Label(v, percent);
    const int w = fm.horizontalAdvance(s);
    p.setPen(Qt::black);
    p.drawText(r.left() - 4 - w, y + fm.ascent() / 2 - 1, s);
  });
  // The axes go over the grid.
  const double head = AxisArrowSize();
  if (xAxis) {
    const int x = f.Column(0.0);
    p.setPen(axisPen);
    p.drawLine(QPointF(x, r.bottom()), QPointF(x, r.top() + head - 1));
    ArrowHead(p, QPointF(x, r.top()), QPointF(0, -1), head, axisColor);
    // The ordinate's name right of its head, or left of it when the axis
    // runs along the right edge.
    if (!style.YName.isEmpty()) {
      p.setPen(Qt::black);
      const int w = fm.horizontalAdvance(style.YName);
      const int nameX = x + int(head) + w <= r.right() + 2 ? x + int(head) : x - int(head) - w;
      p.drawText(nameX, r.top() + fm.ascent(), style.YName);
    }
  }
  if (yAxis) {
    const int y = f.Line(0.0);
    p.setPen(axisPen);
    p.drawLine(QPointF(r.left(), y), QPointF(r.right() - head + 1, y));
    ArrowHead(p, QPointF(r.right(), y), QPointF(1, 0), head, axisColor);
    // The abscissa's name above its head, or below it when the axis runs
    // along the top edge.
    if (!style.XName.isEmpty()) {
      p.setPen(Qt::black);
      const int above = y - int(head / 2) - 2;
      const int baseline = above - fm.ascent() >= r.top() ? above : y + int(head / 2) + 2 + fm.ascent();
      p.drawText(r.right() - fm.horizontalAdvance(style.XName) - 1, baseline, style.XName);
    }
  }
  p.restore();
}

QPen CurvePen(uint32_t color, bool bold, bool monochrome) {
  QPen pen(monochrome ? QColor(Qt::black) : ToQColor(color));
  pen.setWidth(bold ? OneHeight(PlotFont()) : 1);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

QImage PlotImage(QSize size, const std::function<void(QPainter& p, const QRect& area)>& draw) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  draw(p, img.rect());
  p.end();
  return img;
}

}  // namespace vemo
