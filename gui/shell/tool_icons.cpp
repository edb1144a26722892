#include "shell/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>
#include <map>

namespace vemo {

namespace {

constexpr int kIconSize = 20;
const QColor kInk(40, 40, 40);
const QColor kBlue(30, 90, 190);
const QColor kRed(200, 40, 40);
const QColor kGreen(30, 140, 60);
const QColor kPaper(255, 255, 250);

using TPainterFn = std::function<void(QPainter&)>;

void Page(QPainter& p, int x, int y, int w, int h) {
  p.setPen(QPen(kInk, 1));
  p.setBrush(kPaper);
  QPolygon page;
  page << QPoint(x, y) << QPoint(x + w - 4, y) << QPoint(x + w, y + 4) << QPoint(x + w, y + h)
       << QPoint(x, y + h);
  p.drawPolygon(page);
  p.drawLine(x + w - 4, y, x + w - 4, y + 4);
  p.drawLine(x + w - 4, y + 4, x + w, y + 4);
}

void Axes(QPainter& p) {
  p.setPen(QPen(kInk, 1));
  p.drawLine(3, 2, 3, 17);
  p.drawLine(2, 17, 18, 17);
}

void Curve(QPainter& p, const QColor& c, const QPainterPath& path) {
  p.setPen(QPen(c, 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
}

void Arrow(QPainter& p, bool back) {
  p.setPen(QPen(kBlue, 2));
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  if (back) {
    path.moveTo(16, 15);
    path.cubicTo(17, 6, 9, 4, 5, 9);
  } else {
    path.moveTo(4, 15);
    path.cubicTo(3, 6, 11, 4, 15, 9);
  }
  p.drawPath(path);
  p.setBrush(kBlue);
  p.setPen(Qt::NoPen);
  QPolygon head;
  if (back)
    head << QPoint(2, 6) << QPoint(8, 12) << QPoint(2, 13);
  else
    head << QPoint(18, 6) << QPoint(12, 12) << QPoint(18, 13);
  p.drawPolygon(head);
}

const std::map<QString, TPainterFn>& Painters() {
  static const std::map<QString, TPainterFn> table = {
      {"SpeedButton1", [](QPainter& p) { Page(p, 4, 2, 12, 16); }},
      {"OpenBtn",
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1));
         p.setBrush(QColor(230, 190, 90));
         p.drawRect(2, 6, 15, 11);
         p.drawRect(2, 4, 6, 2);
         p.setBrush(QColor(250, 215, 120));
         QPolygon flap;
         flap << QPoint(5, 9) << QPoint(19, 9) << QPoint(16, 17) << QPoint(2, 17);
         p.drawPolygon(flap);
       }},
      {"SaveBtn",
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1));
         p.setBrush(kBlue);
         p.drawRect(2, 2, 16, 16);
         p.setBrush(Qt::white);
         p.drawRect(5, 2, 10, 6);
         p.setBrush(QColor(200, 200, 200));
         p.drawRect(5, 12, 10, 6);
       }},
      {"CutBtn",
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1.5));
         p.drawLine(6, 2, 12, 13);
         p.drawLine(14, 2, 8, 13);
         p.setBrush(Qt::NoBrush);
         p.setPen(QPen(kRed, 1.5));
         p.drawEllipse(QPointF(6.5, 15.5), 3, 3);
         p.drawEllipse(QPointF(13.5, 15.5), 3, 3);
       }},
      {"CopyBtn",
       [](QPainter& p) {
         Page(p, 2, 2, 10, 12);
         Page(p, 8, 6, 10, 12);
       }},
      {"PasteBtn",
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1));
         p.setBrush(QColor(190, 140, 80));
         p.drawRect(3, 3, 12, 15);
         p.setBrush(QColor(160, 160, 160));
         p.drawRect(6, 1, 6, 4);
         Page(p, 9, 8, 9, 11);
       }},
      {"DeleteBtn",
       [](QPainter& p) {
         p.setPen(QPen(kRed, 2.5, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(5, 5, 15, 15);
         p.drawLine(15, 5, 5, 15);
       }},
      {"UndoBtn", [](QPainter& p) { Arrow(p, true); }},
      {"RedoBtn", [](QPainter& p) { Arrow(p, false); }},
      {"htBtn",
       [](QPainter& p) {
         Axes(p);
         QPainterPath path;
         path.moveTo(3, 16);
         path.cubicTo(6, 1, 9, 3, 11, 8);
         path.cubicTo(13, 11, 15, 7, 18, 8);
         Curve(p, kRed, path);
       }},
      {"PhaseFaceBtn",
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1));
         p.drawLine(10, 1, 10, 19);
         p.drawLine(1, 10, 19, 10);
         QPainterPath path;
         path.moveTo(17, 10);
         path.cubicTo(17, 2, 3, 2, 3, 10);
         path.cubicTo(3, 16, 13, 16, 13, 10);
         path.cubicTo(13, 7, 8, 7, 8, 10);
         Curve(p, kBlue, path);
       }},
      {"LACHBtn",
       [](QPainter& p) {
         Axes(p);
         QPainterPath amp;
         amp.moveTo(3, 5);
         amp.lineTo(9, 5);
         amp.lineTo(18, 14);
         Curve(p, kRed, amp);
         QPainterPath phase;
         phase.moveTo(3, 11);
         phase.cubicTo(10, 11, 10, 16, 18, 16);
         Curve(p, kBlue, phase);
       }},
      {"GodoBtn",
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1));
         p.drawLine(7, 1, 7, 19);
         p.drawLine(1, 7, 19, 7);
         QPainterPath path;
         path.moveTo(17, 7);
         path.cubicTo(17, 18, 5, 19, 7, 7);
         Curve(p, kRed, path);
       }},
      {"WsBtn",
       [](QPainter& p) {
         QFont f = p.font();
         f.setPixelSize(9);
         f.setBold(true);
         p.setFont(f);
         p.setPen(kInk);
         p.drawText(QRect(-2, 0, kIconSize + 4, kIconSize), Qt::AlignCenter, QStringLiteral("W(s)"));
       }},
      // The program's own icon: a block with a signal in and out.
      {"Program",
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1.5));
         p.drawLine(1, 10, 6, 10);
         p.drawLine(14, 10, 19, 10);
         p.setBrush(kPaper);
         p.drawRect(6, 5, 8, 10);
         QPainterPath step;
         step.moveTo(7.5, 13);
         step.cubicTo(9, 6, 10, 7, 12.5, 8);
         Curve(p, kRed, step);
       }},
      {"PopovBtn",
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1));
         p.drawLine(7, 1, 7, 19);
         p.drawLine(1, 7, 19, 7);
         QPainterPath line;
         line.moveTo(2, 18);
         line.lineTo(16, 1);
         Curve(p, kGreen, line);
         QPainterPath path;
         path.moveTo(18, 7);
         path.cubicTo(18, 17, 9, 18, 8, 8);
         Curve(p, kRed, path);
       }},
  };
  return table;
}

}  // namespace

QIcon ToolIcon(const QString& buttonName) {
  QPixmap pix(kIconSize, kIconSize);
  pix.fill(Qt::transparent);
  auto it = Painters().find(buttonName);
  if (it != Painters().end()) {
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing, true);
    it->second(p);
  }
  return QIcon(pix);
}

}  // namespace vemo
