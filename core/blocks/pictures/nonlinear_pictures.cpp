// Static nonlinearities: their characteristic y(x) on small axes.
#include <cmath>

#include "blocks/cell_object.h"
#include "blocks/pictures/groups.h"
#include "blocks/table_blocks.h"

namespace vemo::pictures {

namespace {

void DrawCharacteristic(TCanvas& canvas, const TPictureBox& box,
                        std::initializer_list<std::vector<TUnit>> branches) {
  DrawFrame(canvas, box);
  DrawCharacteristicAxes(canvas, box);
  for (const std::vector<TUnit>& b : branches) DrawCurve(canvas, box, b);
}

// Rounding to the nearest level: flat steps centred on the levels.
std::vector<TUnit> Staircase() {
  std::vector<TUnit> c;
  constexpr double kStep = 0.3;
  for (int k = -3; k <= 3; ++k) {
    const double y = k * kStep * 0.8;
    c.push_back({(k - 0.5) * kStep, y});
    c.push_back({(k + 0.5) * kStep, y});
  }
  return c;
}

void DrawUserNonlinearity(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj) {
  std::vector<TUnit> c;
  if (const auto* t = dynamic_cast<const TTableBlock*>(&obj)) c = TableCurve(t->Table, true);
  const bool drawn = !c.empty();
  if (!drawn) c = {{-1, -0.5}, {-0.55, -0.65}, {-0.15, 0.1}, {0.3, 0.25}, {0.65, 0.75}, {1, 0.55}};
  DrawCharacteristic(canvas, box, {c});
  if (drawn) return;
  // An empty table: the points of a drawn line, marked.
  canvas.SetPen(kCurveColor, 1);
  canvas.SetBrush(kCurveColor, true);
  for (const TUnit& u : c) {
    const TPoint p = box.At(u);
    canvas.Rectangle({p.X - 1, p.Y - 1, p.X + 2, p.Y + 2});
  }
}

}  // namespace

bool DrawNonlinearPicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj) {
  switch (obj.TypeCode) {
    case 20:  // dead zone
      DrawCharacteristic(canvas, box, {{{-1, -0.7}, {-0.35, 0}, {0.35, 0}, {1, 0.7}}});
      return true;
    case 21:  // saturation
      DrawCharacteristic(canvas, box, {{{-1, -0.6}, {-0.5, -0.6}, {0.5, 0.6}, {1, 0.6}}});
      return true;
    case 22:  // dead zone and saturation
      DrawCharacteristic(canvas, box,
                         {{{-1, -0.6}, {-0.7, -0.6}, {-0.25, 0}, {0.25, 0}, {0.7, 0.6}, {1, 0.6}}});
      return true;
    case 23:  // two-position relay
      DrawCharacteristic(canvas, box, {{{-1, -0.6}, {0, -0.6}, {0, 0.6}, {1, 0.6}}});
      return true;
    case 24:  // two-position relay with hysteresis: one loop round the origin
      DrawCharacteristic(canvas, box,
                         {{{-1, -0.6}, {0.35, -0.6}, {0.35, 0.6}, {1, 0.6}},
                          {{1, 0.6}, {-0.35, 0.6}, {-0.35, -0.6}}});
      return true;
    case 25:  // three-position relay
      DrawCharacteristic(canvas, box,
                         {{{-1, -0.6}, {-0.4, -0.6}, {-0.4, 0}, {0.4, 0}, {0.4, 0.6}, {1, 0.6}}});
      return true;
    case 26:  // three-position relay with hysteresis: a loop at each threshold
      DrawCharacteristic(canvas, box,
                         {{{-1, -0.6}, {-0.3, -0.6}, {-0.3, 0}, {0.6, 0}, {0.6, 0.6}, {1, 0.6}},
                          {{1, 0.6}, {0.3, 0.6}, {0.3, 0}, {-0.6, 0}, {-0.6, -0.6}, {-1, -0.6}}});
      return true;
    case 27:  // quantiser
      DrawCharacteristic(canvas, box, {Staircase()});
      return true;
    case 28:  // backlash: a parallelogram
      DrawCharacteristic(canvas, box,
                         {{{-0.9, -0.6}, {-0.3, -0.6}, {0.9, 0.6}, {0.3, 0.6}, {-0.9, -0.6}}});
      return true;
    case 37:
      DrawUserNonlinearity(canvas, box, obj);
      return true;
    default:
      return false;
  }
}

}  // namespace vemo::pictures
