#include "shell/cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>
#include <optional>

namespace vemo {
namespace {

constexpr int kSize = 32;

const char* const kNames[kCursorCount] = {"PEN",         "MOVE",       "FINGER",    "NIFE",
                                          "HANDUNPRESS", "HANDPRESS",  "UPARROW",   "RIGHTARROW",
                                          "DOWNARROW",   "LEFTARROW",  "LOCATOR"};

// Strokes `path` in black over a white outline two pixels wider.
void Outlined(QPainter& p, const QPainterPath& path, bool fill) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill ? QBrush(Qt::black) : QBrush(Qt::white));
  p.drawPath(path);
}

// An arrow from the centre outwards, pointing at angle (degrees, 0 = up,
// clockwise) with its tip at the hot spot.
QPainterPath Arrow(int angle) {
  QPainterPath a;
  a.moveTo(16, 2);
  a.lineTo(24, 12);
  a.lineTo(19, 12);
  a.lineTo(19, 28);
  a.lineTo(13, 28);
  a.lineTo(13, 12);
  a.lineTo(8, 12);
  a.closeSubpath();
  QTransform t;
  t.translate(16, 16).rotate(angle).translate(-16, -16);
  return t.map(a);
}

QPainterPath PenPath() {
  // A pencil lying from the upper right down to its point at (1, 30).
  QPainterPath p;
  p.moveTo(1, 30);
  p.lineTo(4, 21);
  p.lineTo(24, 1);
  p.lineTo(30, 7);
  p.lineTo(10, 27);
  p.closeSubpath();
  p.moveTo(4, 21);
  p.lineTo(10, 27);
  p.moveTo(20, 5);
  p.lineTo(26, 11);
  return p;
}

QPainterPath KnifePath() {
  // A blade with its point at (2, 29) and a handle at the upper right.
  QPainterPath p;
  p.moveTo(2, 29);
  p.cubicTo(8, 18, 14, 12, 19, 9);
  p.lineTo(23, 13);
  p.cubicTo(16, 20, 9, 25, 2, 29);
  p.closeSubpath();
  p.moveTo(21, 7);
  p.lineTo(28, 1);
  p.lineTo(31, 4);
  p.lineTo(25, 11);
  p.closeSubpath();
  return p;
}

QPainterPath MovePath() {
  QPainterPath p;
  for (int angle : {0, 90, 180, 270}) {
    QPainterPath a;
    a.moveTo(16, 1);
    a.lineTo(21, 7);
    a.lineTo(18, 7);
    a.lineTo(18, 14);
    a.lineTo(14, 14);
    a.lineTo(14, 7);
    a.lineTo(11, 7);
    a.closeSubpath();
    QTransform t;
    t.translate(16, 16).rotate(angle).translate(-16, -16);
    p.addPath(t.map(a));
  }
  return p;
}

QPainterPath LocatorPath() {
  QPainterPath p;
  p.addEllipse(QPointF(16, 16), 6, 6);
  p.moveTo(16, 1);
  p.lineTo(16, 12);
  p.moveTo(16, 20);
  p.lineTo(16, 31);
  p.moveTo(1, 16);
  p.lineTo(12, 16);
  p.moveTo(20, 16);
  p.lineTo(31, 16);
  return p;
}

QPainterPath Rounded(qreal x, qreal y, qreal w, qreal h, qreal r) {
  QPainterPath p;
  p.addRoundedRect(QRectF(x, y, w, h), r, r);
  return p;
}

// A hand seen from its back: the palm, four fingers of the given lengths
// (0 folds a finger into a knuckle) and the thumb.
QPainterPath HandPath(const std::array<qreal, 4>& lengths, bool thumbOut) {
  QPainterPath hand = Rounded(8, 14, 17, 15, 5);
  for (size_t i = 0; i < 4; ++i) {
    const qreal x = 8 + 4.25 * static_cast<qreal>(i);
    const qreal len = lengths[i];
    hand = hand.united(len > 0 ? Rounded(x, 16 - len, 4.25, len + 2, 2) : Rounded(x, 11.5, 4.25, 5, 2));
  }
  hand = hand.united(thumbOut ? Rounded(2, 15, 8, 4.5, 2.2) : Rounded(5, 17, 5, 6, 2.2));
  return hand;
}

QCursor Painted(const QPainterPath& path, bool fill, QPoint hot) {
  QPixmap pm(kSize, kSize);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  Outlined(p, path, fill);
  p.end();
  return QCursor(pm, hot.x(), hot.y());
}

QCursor Make(int id) {
  switch (id) {
    case crPen: return Painted(PenPath(), false, {1, 30});
    case crMove: return Painted(MovePath(), true, {16, 16});
    case crFinger: return Painted(HandPath({15, 0, 0, 0}, false), false, {10, 1});
    case crKnife: return Painted(KnifePath(), false, {2, 29});
    case crHandUnpress: return Painted(HandPath({9, 12, 11, 8}, true), false, {16, 16});
    case crHandPress: return Painted(HandPath({0, 0, 0, 0}, false), false, {16, 18});
    case crUpArrow: return Painted(Arrow(0), true, {16, 2});
    case crRightArrow: return Painted(Arrow(90), true, {30, 16});
    case crDownArrow: return Painted(Arrow(180), true, {16, 30});
    case crLeftArrow: return Painted(Arrow(270), true, {2, 16});
    case crLocator: return Painted(LocatorPath(), false, {16, 16});
    default: return QCursor(Qt::ArrowCursor);
  }
}

}  // namespace

const QCursor& ProgramCursor(int id) {
  // Drawn on first use: cursors need the application's screen.
  static std::array<std::optional<QCursor>, kCursorCount + 1> cursors;
  const size_t slot = id >= 1 && id <= kCursorCount ? static_cast<size_t>(id) : 0;
  if (!cursors[slot]) cursors[slot] = Make(static_cast<int>(slot));
  return *cursors[slot];
}

QString CursorName(int id) {
  return id >= 1 && id <= kCursorCount ? QString::fromLatin1(kNames[id - 1]) : QString();
}

}  // namespace vemo
