// Pictures of the non-block cell objects.
#include "model/wire.h"

namespace vemo {

void TWire::Draw(TCanvas& canvas, const TRect& r) {
  const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  canvas.SetPen(kBlack, 1);
  if (LineSides & (1 << Top)) canvas.Line(cx, r.Top, cx, cy);
  if (LineSides & (1 << Bottom)) canvas.Line(cx, cy, cx, r.Bottom);
  if (LineSides & (1 << Left)) canvas.Line(r.Left, cy, cx, cy);
  if (LineSides & (1 << Right)) canvas.Line(cx, cy, r.Right, cy);
  if (IsCrossing() && !(OutSides & kJunctionBit)) {
    // The vertical line jumps over the horizontal one.
    canvas.SetBrush(kWhite, true);
    canvas.SetPen(kWhite, 1);
    canvas.Rectangle({cx - 3, cy - 1, cx + 4, cy + 2});
    canvas.SetPen(kBlack, 1);
    canvas.Line(r.Left, cy, r.Right, cy);
    canvas.Line(cx, r.Top, cx, cy - 3);
    canvas.Line(cx, cy + 3, cx, r.Bottom);
  }
  if (OutSides & kJunctionBit) {
    canvas.SetBrush(kBlack, true);
    canvas.Ellipse({cx - 2, cy - 2, cx + 3, cy + 3});
  }
}

void TMacroPort::Draw(TCanvas& canvas, const TRect& r) {
  const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  canvas.SetPen(kBlack, 1);
  canvas.SetBrush(kBlack, true);
  canvas.SetFont("Small Fonts", 7, kBlack);
  const bool output = TypeCode == kMacroOutputCode;
  switch (TypeCode - kMacroPortFirst) {
    case 0:  // feeds the block below
      canvas.Line(cx, cy, cx, r.Bottom);
      canvas.Polygon({{cx - 3, r.Bottom - 5}, {cx + 3, r.Bottom - 5}, {cx, r.Bottom}});
      break;
    case 1:  // feeds the block to the right
      canvas.Line(cx, cy, r.Right, cy);
      canvas.Polygon({{r.Right - 5, cy - 3}, {r.Right - 5, cy + 3}, {r.Right, cy}});
      break;
    case 2:  // feeds the block above
      canvas.Line(cx, r.Top, cx, cy);
      canvas.Polygon({{cx - 3, r.Top + 5}, {cx + 3, r.Top + 5}, {cx, r.Top}});
      break;
    default:  // takes its signal from the left
      canvas.Line(r.Left, cy, cx, cy);
      canvas.Polygon({{cx - 5, cy - 3}, {cx - 5, cy + 3}, {cx, cy}});
      break;
  }
  canvas.Text(r.Left + 2, r.Top + 1, output ? "Вых" : "Вх");
}

void TComment::Draw(TCanvas& canvas, const TRect& r) {
  canvas.SetFont("Small Fonts", 7, kBlack);
  canvas.Text(r.Left + 1, r.Top + 1, Text);
}

}  // namespace vemo
