// Pictures of the non-block cell objects: wire cells, macro ports and
// comments.
#include "blocks/pictures/picture_kit.h"
#include "model/wire.h"

namespace vemo {

namespace {

using namespace pictures;

// The strands of a line, from the light one to the dark one: silver, grey
// on the centre line, black.
constexpr TColor kStrands[3] = {kSilver, kGrey, kBlack};
constexpr int kArrowLength = 8;
constexpr int kArrowHalf = 4;
constexpr int kJunctionRadius = 4;

// One strand of the line from the centre of the cell to 2 pixels beyond its
// side; offset moves it across the line. Every run also covers the centre
// pixels so that bends and branches join without gaps.
void DrawStrand(TCanvas& canvas, const TRect& r, int cx, int cy, int side, int offset) {
  switch (side) {
    case Top: canvas.Line(cx + offset, cy + 1, cx + offset, r.Top - 2); break;
    case Bottom: canvas.Line(cx + offset, cy - 1, cx + offset, r.Bottom + 1); break;
    case Left: canvas.Line(cx + 1, cy + offset, r.Left - 2, cy + offset); break;
    default: canvas.Line(cx - 1, cy + offset, r.Right + 1, cy + offset); break;
  }
}

// Three-pixel lines for the sides in `sides`; all strands black on a
// monochrome canvas (which turns every colour black anyway).
void DrawLines(TCanvas& canvas, const TRect& r, int cx, int cy, uint8_t sides) {
  for (int k = 0; k < 3; ++k) {
    canvas.SetPen(kStrands[k], 1);
    for (int s = 0; s < 4; ++s)
      if (sides & (1 << s)) DrawStrand(canvas, r, cx, cy, s, k - 1);
  }
}

// The arrow head of a line leaving the cell through `side`, its tip where
// the line ends.
void DrawOutArrow(TCanvas& canvas, const TRect& r, int cx, int cy, int side) {
  switch (side) {
    case Top: ArrowHead(canvas, cx, r.Top - 2, Top, kArrowLength, kArrowHalf); break;
    case Bottom: ArrowHead(canvas, cx, r.Bottom + 1, Bottom, kArrowLength, kArrowHalf); break;
    case Left: ArrowHead(canvas, r.Left - 2, cy, Left, kArrowLength, kArrowHalf); break;
    default: ArrowHead(canvas, r.Right + 1, cy, Right, kArrowLength, kArrowHalf); break;
  }
}

// A port's caption in a small tag on the half of the cell its line leaves
// free.
void DrawTag(TCanvas& canvas, const TRect& half, const std::string& text) {
  canvas.SetFont(kSmallFont, kSmallSize, kBlack);
  const TPoint e = canvas.TextExtent(text);
  const int cx = (half.Left + half.Right) / 2, cy = (half.Top + half.Bottom) / 2;
  const TRect tag{cx - e.X / 2 - 2, cy - e.Y / 2 - 1, cx - e.X / 2 + e.X + 2, cy - e.Y / 2 + e.Y + 1};
  canvas.SetPen(kBlack, 1);
  canvas.SetBrush(kWhite, true);
  canvas.Rectangle(tag);
  canvas.Text(tag.Left + 2, tag.Top + 1, text);
}

}  // namespace

void TWire::Draw(TCanvas& canvas, const TRect& r) {
  const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  DrawLines(canvas, r, cx, cy, LineSides & 0x0F);
  for (int s = 0; s < 4; ++s)
    if (OutSides & LineSides & (1 << s)) DrawOutArrow(canvas, r, cx, cy, s);
  if (OutSides & kJunctionBit) {
    // A crossing has no dot: the two lines pass each other unjoined.
    canvas.SetPen(kBlack, 1);
    canvas.SetBrush(kBlack, true);
    canvas.Ellipse({cx - kJunctionRadius, cy - kJunctionRadius, cx + kJunctionRadius + 1,
                    cy + kJunctionRadius + 1});
  }
}

void TMacroPort::Draw(TCanvas& canvas, const TRect& r) {
  const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  const TRect top{r.Left, r.Top, r.Right, cy - 3}, bottom{r.Left, cy + 4, r.Right, r.Bottom};
  const TRect left{r.Left, r.Top, cx - 1, r.Bottom}, right{cx + 2, r.Top, r.Right, r.Bottom};
  switch (TypeCode) {
    case kMacroPortFirst:  // feeds the block below
      DrawLines(canvas, r, cx, cy, 1 << Bottom);
      DrawOutArrow(canvas, r, cx, cy, Bottom);
      DrawTag(canvas, top, "Вх");
      break;
    case kMacroPortFirst + 1:  // feeds the block to the right
      DrawLines(canvas, r, cx, cy, 1 << Right);
      DrawOutArrow(canvas, r, cx, cy, Right);
      DrawTag(canvas, left, "Вх");
      break;
    case kMacroPortFirst + 2:  // feeds the block above
      DrawLines(canvas, r, cx, cy, 1 << Top);
      DrawOutArrow(canvas, r, cx, cy, Top);
      DrawTag(canvas, bottom, "Вх");
      break;
    default:  // the output: takes its signal from the left
      DrawLines(canvas, r, cx, cy, 1 << Left);
      ArrowHead(canvas, cx + 1, cy, Right, kArrowLength, kArrowHalf);
      DrawTag(canvas, right, "Вых");
      break;
  }
}

void TComment::Draw(TCanvas& canvas, const TRect& r) {
  canvas.SetFont(kSmallFont, kCommentSize, kBlack);
  int y = r.Top + 1;
  for (const std::string& line : WrapText(canvas, Text, 38)) {
    canvas.Text(r.Left + 1, y, line);
    y += canvas.TextExtent(line).Y;
  }
}

}  // namespace vemo
