#include "blocks/drawing_tools.h"

#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "simulation/plot_axes.h"

namespace vemo {

// Small pictures of the buttons, drawn with a few strokes.
QIcon ButtonIcon(TIcon kind) {
  QPixmap pm(20, 20);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QPen ink(Qt::black, 1.5);
  const QPen blue(QColor(0, 0, 200), 1.5);
  p.setPen(ink);
  auto dot = [&](QPointF c) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 0, 0));
    p.drawRect(QRectF(c.x() - 2, c.y() - 2, 4, 4));
    p.restore();
  };
  auto page = [&] {
    p.setPen(ink);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 2.5, 10, 14));
  };
  switch (kind) {
    case TIcon::Pen:
      p.drawLine(QPointF(4, 16), QPointF(15, 5));
      p.drawLine(QPointF(4, 16), QPointF(7, 15));
      dot(QPointF(15, 5));
      break;
    case TIcon::Move:
      p.drawLine(QPointF(10, 2), QPointF(10, 18));
      p.drawLine(QPointF(2, 10), QPointF(18, 10));
      p.drawLine(QPointF(10, 2), QPointF(8, 5));
      p.drawLine(QPointF(10, 2), QPointF(12, 5));
      p.drawLine(QPointF(18, 10), QPointF(15, 8));
      p.drawLine(QPointF(18, 10), QPointF(15, 12));
      dot(QPointF(10, 10));
      break;
    case TIcon::Break:
      p.setPen(blue);
      p.drawPolyline(QPolygonF({QPointF(2, 16), QPointF(10, 6), QPointF(18, 16)}));
      dot(QPointF(2, 16));
      dot(QPointF(10, 6));
      dot(QPointF(18, 16));
      break;
    case TIcon::Cut:
      dot(QPointF(10, 10));
      p.drawLine(QPointF(4, 4), QPointF(16, 16));
      p.drawLine(QPointF(16, 4), QPointF(4, 16));
      break;
    case TIcon::New: page(); break;
    case TIcon::Copy:
      page();
      p.drawRect(QRectF(7.5, 5.5, 10, 13));
      break;
    case TIcon::Paste:
      p.drawRect(QRectF(3.5, 4.5, 12, 14));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(8.5, 8.5, 9, 10));
      break;
    case TIcon::Zoom:
      p.drawEllipse(QRectF(3, 3, 10, 10));
      p.drawLine(QPointF(12, 12), QPointF(18, 18));
      break;
    case TIcon::Odd:
    case TIcon::Even: {
      p.setPen(QPen(Qt::gray, 1));
      p.drawLine(QPointF(10, 2), QPointF(10, 18));
      p.drawLine(QPointF(2, 10), QPointF(18, 10));
      p.setPen(blue);
      if (kind == TIcon::Odd)
        p.drawPolyline(QPolygonF({QPointF(2, 16), QPointF(6, 15), QPointF(14, 5), QPointF(18, 4)}));
      else
        p.drawPolyline(QPolygonF({QPointF(2, 4), QPointF(10, 15), QPointF(18, 4)}));
      break;
    }
    case TIcon::Save:
      p.drawRect(QRectF(3.5, 3.5, 13, 13));
      p.drawRect(QRectF(6.5, 3.5, 7, 5));
      break;
    case TIcon::Load:
      p.drawRect(QRectF(2.5, 7.5, 15, 9));
      p.drawLine(QPointF(10, 2), QPointF(10, 12));
      p.drawLine(QPointF(10, 12), QPointF(7, 9));
      p.drawLine(QPointF(10, 12), QPointF(13, 9));
      break;
    case TIcon::Clear:
      p.setPen(blue);
      p.drawPolyline(QPolygonF({QPointF(2, 16), QPointF(7, 6), QPointF(12, 16)}));
      p.setPen(QPen(QColor(200, 0, 0), 2));
      p.drawLine(QPointF(3, 3), QPointF(17, 17));
      p.drawLine(QPointF(17, 3), QPointF(3, 17));
      break;
    case TIcon::Rename:
      page();
      p.drawLine(QPointF(7, 7), QPointF(12, 7));
      p.drawLine(QPointF(7, 10), QPointF(12, 10));
      p.drawLine(QPointF(9.5, 7), QPointF(9.5, 14));
      break;
    case TIcon::Delete:
      page();
      p.setPen(QPen(QColor(200, 0, 0), 2));
      p.drawLine(QPointF(6, 6), QPointF(13, 13));
      p.drawLine(QPointF(13, 6), QPointF(6, 13));
      break;
  }
  p.end();
  return QIcon(pm);
}

QToolButton* MakeButton(QWidget* parent, const char* name, const QString& hint, TIcon icon,
                        bool checkable) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setToolTip(hint);
  b->setIcon(ButtonIcon(icon));
  b->setIconSize(QSize(20, 20));
  b->setCheckable(checkable);
  b->setAutoRaise(true);
  return b;
}

// A coordinate picked with the mouse, rounded to a hundredth of the grid
// step of the visible extent: finer than a pixel at any window size the
// editor is used at, and it keeps the numbers of drawn points short (0.35
// rather than 0.3512962). There is no snapping to the grid lines
// themselves: a characteristic often needs points between them.
double PickRound(double v, double extent) {
  const double q = NiceStep(extent) / 100.0;
  if (!(q > 0) || !std::isfinite(v)) return v;
  const double r = std::round(v / q) * q;
  return std::isfinite(r) ? r : v;
}

// The distance in pixels from c to the segment a-b, and the fraction of the
// way from a to b of the nearest point.
double SegmentDistance(QPointF c, QPointF a, QPointF b, double& t) {
  const QPointF d = b - a;
  const double len2 = d.x() * d.x() + d.y() * d.y();
  t = len2 > 0 ? ((c.x() - a.x()) * d.x() + (c.y() - a.y()) * d.y()) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const QPointF n = a + d * t - c;
  return std::sqrt(n.x() * n.x() + n.y() * n.y());
}

}  // namespace vemo
