#include "fuzzy/membership_plot.h"

#include <QFontMetrics>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>

#include "shell/numtext.h"
#include "simulation/table_plot.h"

namespace vemo {

namespace {

// Colours of the terms in turn (0x00BBGGRR); the current one is red.
constexpr uint32_t kTermColors[] = {0xC00000, 0x008000, 0x800080, 0x808000,
                                    0x004080, 0x000080, 0x408000, 0x800000};
constexpr uint32_t kCurrentColor = 0x0000FF;

QPolygonF Polyline(const TPlotFrame& f, const std::vector<TShapePoint>& pts) {
  QPolygonF line;
  for (const TShapePoint& q : pts)
    if (std::isfinite(q.X) && std::isfinite(q.Y)) line << QPointF(f.Column(q.X), f.Line(q.Y));
  return line;
}

}  // namespace

void MembershipRange(const TFuzzyModel& m, size_t var, double& from, double& to) {
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  for (const TFuzzyTerm& t : m.Terms) {
    if (t.VarIndex != var) continue;
    for (const TShapePoint& q : t.Shape.Points)
      if (std::isfinite(q.X)) lo = std::min(lo, q.X), hi = std::max(hi, q.X);
  }
  if (!(lo <= hi)) {
    from = -1, to = 1;
    return;
  }
  const double margin = hi > lo ? (hi - lo) / 20 : std::max(1.0, std::fabs(lo) * 0.1);
  from = lo - margin;
  to = hi + margin;
  SafeRange(from, to);
}

TPlotFrame MembershipFrame(const QRect& area, const TMembershipPicture& pic) {
  double x0 = pic.XFrom, x1 = pic.XTo;
  SafeRange(x0, x1);
  const int title = QFontMetrics(PlotFont()).height() + 2;
  return LayoutFrame(area.adjusted(0, title, 0, 0), x0, x1, 0.0, kMembershipTop, false);
}

void DrawMembership(QPainter& p, const QRect& area, const TMembershipPicture& pic) {
  p.save();
  p.fillRect(area, Qt::white);
  const TPlotFrame f = MembershipFrame(area, pic);
  const QFont font = PlotFont();
  const QFontMetrics fm(font);
  p.setFont(font);
  p.setPen(QPen(QColor(192, 192, 192), 1));
  p.drawRect(f.Plot.adjusted(0, 0, -1, -1));
  TGridStyle style;
  style.Lines = pic.Grid;
  style.XName = QStringLiteral("x");
  style.YName = QStringLiteral("μ");
  DrawPlotGrid(p, f, false, pic.Monochrome, style);
  const TFuzzyModel* m = pic.Model;
  if (!m) {
    p.restore();
    return;
  }
  const bool known = pic.Var < m->Variables.size();
  p.setPen(Qt::black);
  p.drawText(area.left() + 2, area.top() + fm.ascent() + 1,
             known ? QString::fromStdString(m->Variables[pic.Var].Name) : QString());

  p.setClipRect(f.Plot);
  p.setRenderHint(QPainter::Antialiasing, false);
  if (pic.Aggregate && pic.Aggregate->size() > 1) {
    QPolygonF area = Polyline(f, *pic.Aggregate);
    if (area.size() > 1) {
      area << QPointF(area.back().x(), f.Line(0)) << QPointF(area.front().x(), f.Line(0));
      p.setPen(Qt::NoPen);
      p.setBrush(pic.Monochrome ? QColor(210, 210, 210) : QColor(255, 230, 150));
      p.drawPolygon(area);
      p.setBrush(Qt::NoBrush);
    }
  }
  // The current term last, so that it lies on top.
  size_t order = 0;
  int current = -1;
  auto drawTerm = [&](size_t i, uint32_t color) {
    const TFuzzyTerm& t = m->Terms[i];
    const QPolygonF line = Polyline(f, t.Shape.Points);
    p.setPen(CurvePen(color, pic.Bold, pic.Monochrome));
    if (line.size() > 1) p.drawPolyline(line);
    else if (line.size() == 1) p.drawPoint(line[0]);
    // The name over the highest point.
    const TShapePoint* top = nullptr;
    for (const TShapePoint& q : t.Shape.Points)
      if (std::isfinite(q.X) && std::isfinite(q.Y) && (!top || q.Y > top->Y)) top = &q;
    if (top) {
      const QString name = QString::fromStdString(t.Name);
      const int x = f.Column(top->X) - fm.horizontalAdvance(name) / 2;
      const int y = std::max(f.Plot.top() + fm.ascent(), f.Line(top->Y) - 3);
      p.drawText(x, y, name);
    }
  };
  for (size_t i = 0; i < m->Terms.size(); ++i) {
    if (m->Terms[i].VarIndex != pic.Var) continue;
    if (static_cast<int>(i) == pic.Current) {
      current = static_cast<int>(i);
      continue;
    }
    drawTerm(i, kTermColors[order++ % std::size(kTermColors)]);
  }
  if (current >= 0) {
    drawTerm(static_cast<size_t>(current), kCurrentColor);
    p.setPen(Qt::NoPen);
    p.setBrush(pic.Monochrome ? QColor(Qt::black) : QColor(255, 0, 0));
    for (const TShapePoint& q : m->Terms[static_cast<size_t>(current)].Shape.Points) {
      if (!std::isfinite(q.X) || !std::isfinite(q.Y)) continue;
      const int x = f.Column(q.X), y = f.Line(q.Y);
      p.drawRect(QRect(x - kMembershipMarker, y - kMembershipMarker, 2 * kMembershipMarker + 1,
                       2 * kMembershipMarker + 1));
    }
    p.setBrush(Qt::NoBrush);
  }
  if (pic.ShowValue && known) {
    const double v = m->Variables[pic.Var].Value;
    const int x = f.Column(v);
    QPen pen(pic.Monochrome ? QColor(Qt::black) : QColor(128, 0, 0), pic.Bold ? 2 : 1,
             Qt::DashLine);
    p.setPen(pen);
    p.drawLine(x, f.Plot.top(), x, f.Plot.bottom());
    p.setPen(Qt::black);
    const QString s = QString::fromStdString(FormatNumber(v));
    p.drawText(std::min(x + 3, f.Plot.right() - fm.horizontalAdvance(s)), f.Plot.top() + fm.ascent() + 1, s);
  }
  p.restore();
}

void DrawAllMemberships(QPainter& p, const QRect& area, const TMembershipPicture& pic) {
  if (!pic.Model) return;
  std::vector<size_t> vars;
  for (size_t v = 0; v < pic.Model->Variables.size(); ++v)
    if (!pic.Model->Variables[v].Name.empty()) vars.push_back(v);
  if (vars.empty()) return;
  const int h = area.height() / static_cast<int>(vars.size());
  for (size_t k = 0; k < vars.size(); ++k) {
    TMembershipPicture one = pic;
    one.Var = vars[k];
    MembershipRange(*pic.Model, vars[k], one.XFrom, one.XTo);
    if (pic.Current >= 0 && (static_cast<size_t>(pic.Current) >= pic.Model->Terms.size() ||
                             pic.Model->Terms[static_cast<size_t>(pic.Current)].VarIndex != vars[k]))
      one.Current = -1;
    DrawMembership(p, QRect(area.left(), area.top() + static_cast<int>(k) * h, area.width(), h), one);
  }
}

QImage MembershipImage(const TMembershipPicture& pic, QSize size) {
  return PlotImage(size.expandedTo(QSize(16, 16)),
                   [&](QPainter& p, const QRect& area) { DrawMembership(p, area, pic); });
}

}  // namespace vemo
