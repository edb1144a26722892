#include "blocks/pictures/picture_kit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vemo::pictures {

namespace {

// Unit coordinates beyond this are never meaningful; clamping keeps every
// conversion to pixels in range.
constexpr double kUnitLimit = 4.0;

int ToPixels(double unit, int half) {
  if (!std::isfinite(unit)) unit = 0.0;
  unit = std::clamp(unit, -kUnitLimit, kUnitLimit);
  return static_cast<int>(std::lround(unit * half));
}

// Bytes of the UTF-8 character that starts at s[i] (1 for a stray byte).
size_t CharLength(const std::string& s, size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n = 1;
  if (c >= 0xF0) n = 4;
  else if (c >= 0xE0) n = 3;
  else if (c >= 0xC0) n = 2;
  return std::min(n, s.size() - i);
}

bool IsBreakAfter(char c) { return c == ' ' || c == ',' || c == '-' || c == '.'; }

std::string TrimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string TrimLeft(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

}  // namespace

TPoint TPictureBox::At(double x, double y) const {
  return {Cx + ToPixels(x, Half), Cy - ToPixels(y, Half)};
}

std::vector<TPoint> TPictureBox::Map(std::initializer_list<TUnit> points) const {
  std::vector<TPoint> out;
  out.reserve(points.size());
  for (const TUnit& u : points) out.push_back(At(u));
  return out;
}

std::vector<TPoint> TPictureBox::Map(const std::vector<TUnit>& points) const {
  std::vector<TPoint> out;
  out.reserve(points.size());
  for (const TUnit& u : points) out.push_back(At(u));
  return out;
}

TPictureBox MakeBox(const TRect& cell) {
  TPictureBox b;
  b.Cell = cell;
  b.Frame = {cell.Left + 2, cell.Top + 2, cell.Right - 2, cell.Bottom - 2};
  b.Cx = (cell.Left + cell.Right) / 2;
  b.Cy = (cell.Top + cell.Bottom) / 2;
  b.Half = std::max(1, std::min(cell.Width(), cell.Height()) / 2 - 7);
  return b;
}

void DrawFrame(TCanvas& canvas, const TPictureBox& box) {
  canvas.SetPen(kBlack, 1);
  canvas.SetBrush(kWhite, true);
  canvas.Rectangle(box.Frame);
}

void DrawLabelledBox(TCanvas& canvas, const TPictureBox& box, TColor fill,
                     const std::string& label) {
  const bool mono = canvas.Monochrome;
  canvas.SetPen(kBlack, 1);
  canvas.SetBrush(mono ? kWhite : fill, true);
  canvas.Rectangle(box.Frame);
  canvas.SetFont(kSmallFont, kSmallSize, mono ? kBlack : kWhite);
  const TPoint e = canvas.TextExtent(label);
  canvas.Text(box.Cx - e.X / 2, box.Cy - e.Y / 2, label);
}

namespace {

// Axes are grey beside a navy curve; on a monochrome canvas, where both
// would be black, the axes are dashed instead.
void AxisLine(TCanvas& canvas, TPoint a, TPoint b) {
  if (!canvas.Monochrome) {
    canvas.SetPen(kAxisColor, 1);
    canvas.Line(a.X, a.Y, b.X + (a.Y == b.Y), b.Y + (a.X == b.X));
    return;
  }
  canvas.SetPen(kBlack, 1);
  const int n = std::max(std::abs(b.X - a.X), std::abs(b.Y - a.Y));
  if (n == 0) return;
  for (int i = 0; i <= n; i += 4) {
    const int j = std::min(i + 1, n);
    canvas.Line(a.X + (b.X - a.X) * i / n, a.Y + (b.Y - a.Y) * i / n, a.X + (b.X - a.X) * j / n,
                a.Y + (b.Y - a.Y) * j / n);
  }
}

}  // namespace

void DrawCharacteristicAxes(TCanvas& canvas, const TPictureBox& box) {
  AxisLine(canvas, box.At(-1.1, 0), box.At(1.1, 0));
  AxisLine(canvas, box.At(0, 1.1), box.At(0, -1.1));
}

void DrawTimeAxes(TCanvas& canvas, const TPictureBox& box, double y0) {
  AxisLine(canvas, box.At(-1.0, y0), box.At(1.1, y0));
  AxisLine(canvas, box.At(-1.0, 1.1), box.At(-1.0, -1.1));
}

void DrawCurve(TCanvas& canvas, const TPictureBox& box, const std::vector<TUnit>& points) {
  canvas.SetPen(kCurveColor, 1);
  canvas.Polyline(box.Map(points));
}

std::vector<TUnit> SampleCurve(double (*f)(double), double x0, double x1, int steps,
                               double xScale, double yScale) {
  std::vector<TUnit> out;
  if (steps < 1) return out;
  out.reserve(static_cast<size_t>(steps) + 1);
  for (int i = 0; i <= steps; ++i) {
    const double x = x0 + (x1 - x0) * i / steps;
    const double y = f(x) * yScale;
    if (!std::isfinite(y) || std::fabs(y) > 1.0) {
      // Leave the curve where it leaves the plot; a gap would need a second
      // polyline, and the functions drawn here only leave it at the ends.
      if (!out.empty()) break;
      continue;
    }
    out.push_back({x * xScale, y});
  }
  return out;
}

void CentredText(TCanvas& canvas, int x, int y, const std::string& utf8) {
  const TPoint e = canvas.TextExtent(utf8);
  canvas.Text(x - e.X / 2, y, utf8);
}

bool FrameText(TCanvas& canvas, const TPictureBox& box, const char* family, int size,
               const std::string& utf8) {
  for (int s = size; s >= std::min(size, kTinySize); --s) {
    canvas.SetFont(family, s, kBlack);
    const TPoint e = canvas.TextExtent(utf8);
    if (e.X > box.Frame.Width() - 4) continue;
    canvas.Text(box.Cx - e.X / 2, box.Cy - e.Y / 2, utf8);
    return true;
  }
  return false;
}

void DrawFraction(TCanvas& canvas, const TPictureBox& box, const std::string& numerator,
                  const std::string& denominator) {
  // The largest size at which both lines fit the frame.
  const int room = box.Frame.Width() - 6;
  TPoint n, d;
  for (int size = kSymbolSize - 1; size >= kTinySize; --size) {
    canvas.SetFont(kSymbolFont, size, kBlack);
    n = canvas.TextExtent(numerator);
    d = canvas.TextExtent(denominator);
    if (std::max(n.X, d.X) <= room && n.Y + d.Y + 1 <= box.Frame.Height() - 4) break;
  }
  const int bar = std::min(std::max(n.X, d.X) + 2, box.Frame.Width() - 4);
  canvas.Text(box.Cx - n.X / 2, box.Cy - n.Y, numerator);
  canvas.Text(box.Cx - d.X / 2, box.Cy + 1, denominator);
  canvas.SetPen(kBlack, 1);
  canvas.Line(box.Cx - bar / 2, box.Cy, box.Cx - bar / 2 + bar, box.Cy);
}

void CornerLabel(TCanvas& canvas, const TPictureBox& box, const std::string& utf8) {
  canvas.SetFont(kSmallFont, kSmallSize, kBlack);
  canvas.Text(box.Frame.Left + 2, box.Frame.Top + 1, utf8);
}

void ArrowHead(TCanvas& canvas, int x, int y, int side, int length, int half, TColor color) {
  const int back = length - 1;
  std::vector<TPoint> p;
  switch (side & 3) {
    case 0: p = {{x, y}, {x - half, y + back}, {x + half, y + back}}; break;
    case 1: p = {{x, y}, {x + back, y - half}, {x + back, y + half}}; break;
    case 2: p = {{x, y}, {x - half, y - back}, {x + half, y - back}}; break;
    default: p = {{x, y}, {x - back, y - half}, {x - back, y + half}}; break;
  }
  canvas.SetPen(color, 1);
  canvas.SetBrush(color, true);
  canvas.Polygon(p);
}

std::vector<std::string> WrapText(TCanvas& canvas, const std::string& utf8, int maxWidth) {
  auto fits = [&](const std::string& s) { return canvas.TextExtent(s).X < maxWidth; };
  // Pieces end after a break character or at the end of the text.
  std::vector<std::string> pieces;
  std::string piece;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = CharLength(utf8, i);
    piece.append(utf8, i, n);
    if (n == 1 && IsBreakAfter(utf8[i])) {
      pieces.push_back(piece);
      piece.clear();
    }
    i += n;
  }
  if (!piece.empty()) pieces.push_back(piece);

  std::vector<std::string> lines;
  std::string line;
  auto flush = [&] {
    std::string done = TrimRight(line);
    if (!done.empty()) lines.push_back(done);
    line.clear();
  };
  for (const std::string& p : pieces) {
    const std::string next = line.empty() ? TrimLeft(p) : line + p;
    if (next.empty()) continue;
    if (fits(TrimRight(next))) {
      line = next;
      continue;
    }
    flush();
    const std::string word = TrimLeft(p);
    if (fits(TrimRight(word))) {
      line = word;
      continue;
    }
    // No break point is close enough: cut the word between characters,
    // keeping at least one character on each line.
    for (size_t i = 0; i < word.size();) {
      const size_t n = CharLength(word, i);
      const std::string longer = line + word.substr(i, n);
      if (!line.empty() && !fits(TrimRight(longer))) flush();
      line += word.substr(i, n);
      i += n;
    }
  }
  flush();
  return lines;
}

}  // namespace vemo::pictures
