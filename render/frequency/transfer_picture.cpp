#include "frequency/transfer_picture.h"

#include <QFontMetrics>
#include <algorithm>

#include "canvas/qt_canvas.h"

namespace vemo {

namespace {

constexpr int kLeft = 8;
constexpr int kTop = 20;
constexpr int kBarGap = 4;  // between the bar and the lines above and below

QFont TextFont() { return MappedFont("MS Sans Serif", 15); }
QFont PowerFont() { return MappedFont("MS Sans Serif", 11); }

// The parts of one line: plain runs and raised powers ("s^12": the "12").
struct TRun {
  QString Text;
  bool Power = false;
};

std::vector<TRun> Runs(const QString& line) {
  std::vector<TRun> runs;
  QString plain;
  for (qsizetype i = 0; i < line.size(); ++i) {
    const QChar c = line[i];
    if (c == QLatin1Char('^') && i + 1 < line.size() && line[i + 1].isDigit()) {
      if (!plain.isEmpty()) runs.push_back({plain, false});
      plain.clear();
      QString power;
      while (i + 1 < line.size() && line[i + 1].isDigit()) power += line[++i];
      runs.push_back({power, true});
      continue;
    }
    plain += c == QLatin1Char('*') ? QChar(0x00B7) : c;
  }
  if (!plain.isEmpty()) runs.push_back({plain, false});
  return runs;
}

int LineWidth(const QString& line) {
  const QFontMetrics fm(TextFont()), pm(PowerFont());
  int w = 0;
  for (const TRun& r : Runs(line)) w += (r.Power ? pm : fm).horizontalAdvance(r.Text);
  return w;
}

// How far powers rise above the text's ascent.
int PowerRise() { return QFontMetrics(TextFont()).ascent() / 3; }

void DrawLine(QPainter& p, int x, int baseline, const QString& line) {
  const QFont font = TextFont(), power = PowerFont();
  const QFontMetrics fm(font), pm(power);
  for (const TRun& r : Runs(line)) {
    p.setFont(r.Power ? power : font);
    const int y = r.Power ? baseline - fm.ascent() / 2 - PowerRise() / 2 : baseline;
    p.drawText(x, y, r.Text);
    x += (r.Power ? pm : fm).horizontalAdvance(r.Text);
  }
}

// Drops one pair of parentheses around the whole of s.
QString Unwrapped(const QString& s) {
  if (s.size() < 2 || s.front() != QLatin1Char('(') || s.back() != QLatin1Char(')')) return s;
  int depth = 0;
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == QLatin1Char('(')) ++depth;
    if (s[i] == QLatin1Char(')')) --depth;
    if (depth == 0 && i + 1 < s.size()) return s;  // the first "(" closes early
  }
  return s.mid(1, s.size() - 2);
}

// The text split as name, numerator and denominator (the last "/" outside
// parentheses); without one the whole right side is the numerator.
struct TLayout {
  QString Name, Num, Den;
  bool Fraction = false;
};

TLayout Split(const QString& text) {
  TLayout l;
  const qsizetype eq = text.indexOf(QLatin1Char('='));
  l.Name = eq < 0 ? QString() : text.left(eq + 1);
  const QString rest = eq < 0 ? text : text.mid(eq + 1);
  int depth = 0;
  qsizetype slash = -1;
  for (qsizetype i = 0; i < rest.size(); ++i) {
    if (rest[i] == QLatin1Char('(')) ++depth;
    if (rest[i] == QLatin1Char(')')) --depth;
    if (depth == 0 && rest[i] == QLatin1Char('/')) slash = i;
  }
  if (slash < 0) {
    l.Num = rest;
    return l;
  }
  l.Fraction = true;
  l.Num = Unwrapped(rest.left(slash));
  l.Den = Unwrapped(rest.mid(slash + 1));
  return l;
}

int LineHeight() { return QFontMetrics(TextFont()).height() + PowerRise(); }

}  // namespace

QSize TransferPictureSize(const QString& text) {
  const TLayout l = Split(text);
  const int body = std::max(LineWidth(l.Num), LineWidth(l.Den));
  const int width = kLeft + LineWidth(l.Name) + body + 8;
  const int least = QFontMetrics(TextFont()).height() + 45;
  const int needed = l.Fraction ? 4 + 2 * LineHeight() + 2 * kBarGap + 8 : kTop + LineHeight() + 8;
  return QSize(std::max(16, width), std::max(least, needed));
}

void DrawTransferText(QPainter& p, QPoint origin, const QString& text) {
  const TLayout l = Split(text);
  const QFontMetrics fm(TextFont());
  p.save();
  p.setPen(Qt::black);
  const int nameWidth = LineWidth(l.Name);
  const int x = origin.x() + kLeft;
  if (!l.Fraction) {
    const int baseline = origin.y() + kTop + PowerRise() + fm.ascent() / 2;
    DrawLine(p, x, baseline, l.Name + l.Num);
    p.restore();
    return;
  }
  const QSize size = TransferPictureSize(text);
  const int bar = origin.y() + size.height() / 2;
  const int body = std::max(LineWidth(l.Num), LineWidth(l.Den));
  const int bodyX = x + nameWidth;
  DrawLine(p, x, bar + fm.ascent() / 2 - 1, l.Name);
  DrawLine(p, bodyX + (body - LineWidth(l.Num)) / 2, bar - kBarGap - fm.descent(), l.Num);
  DrawLine(p, bodyX + (body - LineWidth(l.Den)) / 2, bar + kBarGap + PowerRise() + fm.ascent(),
           l.Den);
  p.drawLine(bodyX, bar, bodyX + body, bar);
  p.restore();
}

QImage TransferPicture(const QString& text) {
  QImage img(TransferPictureSize(text), QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  DrawTransferText(p, QPoint(0, 0), text);
  p.end();
  return img;
}

}  // namespace vemo
