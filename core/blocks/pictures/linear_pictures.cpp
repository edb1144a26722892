// Linear elements: the frame with the element's transfer function written
// small, the proportional element with its gain.
#include <cmath>

#include "blocks/cell_object.h"
#include "blocks/pictures/groups.h"
#include "shell/numtext.h"

namespace vemo::pictures {

namespace {

double DampedStep(double x) {
  // Step response of a lightly damped second-order element, x in 0..1.
  const double t = 14.0 * x;
  return 1.0 - std::exp(-0.25 * t) * std::cos(t);
}

void DrawProportional(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj) {
  DrawFrame(canvas, box);
  // The gain itself when it is short enough to read, else its letter.
  const std::string gain = FormatNumber(ParamOf(obj, 0, 1.0));
  if (gain.empty() || gain.size() > 6 || !FrameText(canvas, box, kSymbolFont, kSymbolSize, gain))
    FrameText(canvas, box, kSymbolFont, kSymbolSize, "k");
}

void DrawOscillatory(TCanvas& canvas, const TPictureBox& box) {
  // The denominator T²s²+2ξTs+1 does not fit a cell; its step response does.
  DrawFrame(canvas, box);
  DrawTimeAxes(canvas, box, -0.7);
  std::vector<TUnit> c;
  for (int i = 0; i <= 28; ++i) {
    const double x = i / 28.0;
    c.push_back({-1.0 + 2.05 * x, -0.7 + 0.75 * DampedStep(x)});
  }
  DrawCurve(canvas, box, c);
}

void DrawDelay(TCanvas& canvas, const TPictureBox& box) {
  DrawFrame(canvas, box);
  canvas.SetFont(kSymbolFont, kSymbolSize, kBlack);
  const TPoint e = canvas.TextExtent("e");
  canvas.SetFont(kSmallFont, kSmallSize, kBlack);
  const TPoint p = canvas.TextExtent("-Ts");
  const int x = box.Cx - (e.X + p.X) / 2, y = box.Cy - e.Y / 2 + 2;
  canvas.SetFont(kSymbolFont, kSymbolSize, kBlack);
  canvas.Text(x, y, "e");
  canvas.SetFont(kSmallFont, kSmallSize, kBlack);
  canvas.Text(x + e.X, y - p.Y / 2, "-Ts");
}

}  // namespace

bool DrawLinearPicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj) {
  switch (obj.TypeCode) {
    case 6: DrawProportional(canvas, box, obj); return true;
    case 7: DrawFrame(canvas, box); DrawFraction(canvas, box, "k", "s"); return true;
    case 8: DrawFrame(canvas, box); FrameText(canvas, box, kSymbolFont, kSymbolSize, "ks"); return true;
    case 9:
      DrawFrame(canvas, box);
      if (!FrameText(canvas, box, kSmallFont, kSmallSize, "k(Ts+1)"))
        FrameText(canvas, box, kSmallFont, kSmallSize, "Ts+1");
      return true;
    case 10: DrawFrame(canvas, box); DrawFraction(canvas, box, "k", "Ts+1"); return true;
    case 11: DrawOscillatory(canvas, box); return true;
    case 12: DrawDelay(canvas, box); return true;
    case 95: DrawFrame(canvas, box); DrawFraction(canvas, box, "ks", "Ts+1"); return true;
    default: return false;
  }
}

}  // namespace vemo::pictures
