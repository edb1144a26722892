// Multi-input arithmetic: summing circles with the negated sectors black,
// the multiplying circle, and framed symbols for the rest.
#include <cmath>
#include <numbers>

#include "blocks/cell_object.h"
#include "blocks/pictures/groups.h"

namespace vemo::pictures {

namespace {

// Bit s set: the input on side s is subtracted.
uint8_t NegatedSides(uint16_t code) {
  switch (code) {
    case 2: return 1 << Bottom;
    case 3: return 1 << Top;
    case 4: return (1 << Top) | (1 << Bottom);
    case 5: return (1 << Left) | (1 << Right);
    default: return 0;
  }
}

int CircleRadius(const TPictureBox& box) { return box.Frame.Width() / 2; }

void DrawCircle(TCanvas& canvas, const TPictureBox& box) {
  const int r = CircleRadius(box);
  canvas.SetPen(kBlack, 1);
  canvas.SetBrush(kWhite, true);
  canvas.Ellipse({box.Cx - r, box.Cy - r, box.Cx + r + 1, box.Cy + r + 1});
}

TPoint OnCircle(const TPictureBox& box, double radius, double degrees) {
  const double a = degrees * std::numbers::pi / 180.0;
  return {box.Cx + static_cast<int>(std::lround(radius * std::cos(a))),
          box.Cy - static_cast<int>(std::lround(radius * std::sin(a)))};
}

void DrawSummer(TCanvas& canvas, const TPictureBox& box, uint8_t negated) {
  DrawCircle(canvas, box);
  const double r = CircleRadius(box);
  // The sector facing side s spans 90 degrees around its direction.
  static constexpr double kDirection[4] = {90, 180, 270, 0};
  canvas.SetPen(kBlack, 1);
  canvas.SetBrush(kBlack, true);
  for (int s = 0; s < 4; ++s) {
    if (!(negated & (1 << s))) continue;
    std::vector<TPoint> sector = {{box.Cx, box.Cy}};
    for (int k = 0; k <= 8; ++k) sector.push_back(OnCircle(box, r - 1, kDirection[s] - 45 + 11.25 * k));
    canvas.Polygon(sector);
  }
  for (double a : {45.0, 135.0}) {
    const TPoint p = OnCircle(box, r, a), q = OnCircle(box, r, a + 180);
    canvas.Line(p.X, p.Y, q.X, q.Y);
  }
}

void DrawMultiplier(TCanvas& canvas, const TPictureBox& box) {
  DrawCircle(canvas, box);
  const int d = std::max(3, CircleRadius(box) / 3);
  canvas.SetPen(kBlack, 2);
  canvas.Line(box.Cx - d, box.Cy - d, box.Cx + d, box.Cy + d);
  canvas.Line(box.Cx - d, box.Cy + d, box.Cx + d, box.Cy - d);
}

void DrawFramedWord(TCanvas& canvas, const TPictureBox& box, const std::string& word) {
  DrawFrame(canvas, box);
  if (!FrameText(canvas, box, kSymbolFont, kSymbolSize, word))
    FrameText(canvas, box, kSmallFont, kSmallSize, word);
}

}  // namespace

bool DrawArithmeticPicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj) {
  switch (obj.TypeCode) {
    case 1: case 2: case 3: case 4: case 5:
      DrawSummer(canvas, box, NegatedSides(obj.TypeCode));
      return true;
    case 34:
      DrawMultiplier(canvas, box);
      return true;
    case 41: DrawFramedWord(canvas, box, "÷"); return true;
    case 52: DrawFramedWord(canvas, box, "max"); return true;
    case 53: DrawFramedWord(canvas, box, "min"); return true;
    case 55: DrawFramedWord(canvas, box, "atan2"); return true;
    default: return false;
  }
}

}  // namespace vemo::pictures
