// Event blocks, the boxes of the fuzzy, neural and plug-in blocks, and the
// macro block.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "blocks/cell_object.h"
#include "blocks/pictures/groups.h"
#include "model/macro.h"

namespace vemo::pictures {

namespace {

void DrawDot(TCanvas& canvas, TPoint p, int radius) {
  canvas.SetPen(kBlack, 1);
  canvas.SetBrush(kBlack, true);
  canvas.Ellipse({p.X - radius, p.Y - radius, p.X + radius + 1, p.Y + radius + 1});
}

// The structure switches: a contact between the left input and the right
// output, worked from below. The switch-on contact stands open until the
// control passes the threshold, the switch-off contact stands closed.
void DrawSwitch(TCanvas& canvas, const TPictureBox& box, bool closesOnControl) {
  DrawFrame(canvas, box);
  const TPoint pivot = box.At(-0.45, -0.1), contact = box.At(0.5, -0.1);
  const TPoint in = box.At(-1.3, -0.1), out = box.At(1.3, -0.1);
  canvas.SetPen(kBlack, 1);
  canvas.Line(in.X, in.Y, pivot.X, pivot.Y);
  canvas.Line(contact.X, contact.Y, out.X, out.Y);
  const TPoint tip = closesOnControl ? box.At(0.45, 0.45) : box.At(0.6, 0.05);
  canvas.SetPen(kCurveColor, 2);
  canvas.Line(pivot.X, pivot.Y, tip.X, tip.Y);
  DrawDot(canvas, pivot, 1);
  DrawDot(canvas, contact, 1);
  // The control acts from the bottom side: a dashed push rod.
  canvas.SetPen(kBlack, 1);
  const TPoint rod = box.At(0.05, 0);
  for (int y = box.Frame.Bottom - 2; y > rod.Y + 3; y -= 4) canvas.Line(rod.X, y, rod.X, y - 2);
  CornerLabel(canvas, box, closesOnControl ? "вкл" : "выкл");
}

void DrawSpeedSensor(TCanvas& canvas, const TPictureBox& box) {
  // An incremental encoder disc: marks round a wheel.
  DrawFrame(canvas, box);
  const int r = std::max(3, box.Half * 2 / 3);
  canvas.SetPen(kBlack, 1);
  canvas.SetBrush(kWhite, false);
  canvas.Ellipse({box.Cx - r, box.Cy - r, box.Cx + r + 1, box.Cy + r + 1});
  canvas.SetPen(kCurveColor, 2);
  for (int k = 0; k < 12; ++k) {
    const double a = k * std::numbers::pi / 6;
    const double c = std::cos(a), s = std::sin(a);
    const int x0 = box.Cx + static_cast<int>(std::lround((r + 1.5) * c));
    const int y0 = box.Cy - static_cast<int>(std::lround((r + 1.5) * s));
    const int x1 = box.Cx + static_cast<int>(std::lround((r + 4.5) * c));
    const int y1 = box.Cy - static_cast<int>(std::lround((r + 4.5) * s));
    canvas.Line(x0, y0, x1, y1);
  }
  DrawDot(canvas, {box.Cx, box.Cy}, 1);
}

void DrawParamControl(TCanvas& canvas, const TPictureBox& box) {
  // An arrow towards the controlled block, one cell left and one cell up.
  DrawFrame(canvas, box);
  const TPoint from = box.At(0.2, -0.2);
  const TPoint tip = {box.Frame.Left + 2, box.Frame.Top + 2};
  canvas.SetPen(kCurveColor, 2);
  canvas.Line(from.X, from.Y, tip.X + 3, tip.Y + 3);
  canvas.SetPen(kCurveColor, 1);
  canvas.SetBrush(kCurveColor, true);
  canvas.Polygon({tip, {tip.X + 9, tip.Y + 3}, {tip.X + 3, tip.Y + 9}});
  canvas.SetFont(kSymbolFont, kSymbolSize, kBlack);
  const TPoint e = canvas.TextExtent("k");
  canvas.Text(box.Frame.Right - e.X - 5, box.Frame.Bottom - e.Y - 2, "k");
}

void DrawMultivibrator(TCanvas& canvas, const TPictureBox& box) {
  // A short trigger and the one pulse of fixed length it starts.
  DrawFrame(canvas, box);
  DrawTimeAxes(canvas, box, -0.7);
  canvas.SetPen(kBlack, 1);
  const TPoint t0 = box.At(-0.7, -0.7), t1 = box.At(-0.7, 0.0);
  canvas.Line(t0.X, t0.Y, t1.X, t1.Y);
  DrawCurve(canvas, box, {{-1, -0.7}, {-0.4, -0.7}, {-0.4, 0.6}, {0.6, 0.6}, {0.6, -0.7}, {1.05, -0.7}});
}

void DrawNeural(TCanvas& canvas, const TPictureBox& box) {
  DrawLabelledBox(canvas, box, kAccentColor, "НС");
  // The output leaves on the right: a small arrow head at that edge.
  const TColor c = canvas.Monochrome ? kBlack : kWhite;
  ArrowHead(canvas, box.Frame.Right - 3, box.Cy, Right, 7, 3, c);
}

void DrawMacroPicture(TCanvas& canvas, const TPictureBox& box, const std::string& caption) {
  // A sub-scheme: the frame with a second line inside each side edge.
  DrawFrame(canvas, box);
  canvas.SetPen(kBlack, 1);
  const int l = box.Frame.Left + 4, r = box.Frame.Right - 5;
  canvas.Line(l, box.Frame.Top, l, box.Frame.Bottom);
  canvas.Line(r, box.Frame.Top, r, box.Frame.Bottom);
  if (!FrameText(canvas, box, kSymbolFont, kSymbolSize, caption))
    FrameText(canvas, box, kSmallFont, kSmallSize, caption);
}

}  // namespace

bool DrawEventAndBoxPicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj) {
  switch (obj.TypeCode) {
    case 35: DrawSwitch(canvas, box, true); return true;
    case 36: DrawSwitch(canvas, box, false); return true;
    case 38: DrawLabelledBox(canvas, box, kAccentColor, "fuzzy"); return true;
    case 39: DrawSpeedSensor(canvas, box); return true;
    case 40: DrawParamControl(canvas, box); return true;
    case 54: DrawLabelledBox(canvas, box, kAccentColor, "DLL"); return true;
    case 81: DrawMultivibrator(canvas, box); return true;
    case 102: DrawNeural(canvas, box); return true;
    case kMacroCode: {
      const auto* m = dynamic_cast<const TMacroBlock*>(&obj);
      DrawMacroPicture(canvas, box, m ? m->Caption : std::string());
      return true;
    }
    default: return false;
  }
}

}  // namespace vemo::pictures
