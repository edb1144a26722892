// The drawing vocabulary shared by every cell picture: the block frame, a
// small plot area with unit coordinates, curves, small texts, fractions,
// arrow heads and the word wrapping of comments. Pictures are designed for
// a 40 x 40 cell and must stay legible in black and white.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

#include "blocks/canvas.h"

namespace vemo::pictures {

// Colours of the pictures (0x00BBGGRR). A monochrome canvas turns every
// colour but white into black.
inline constexpr TColor kCurveColor = 0x800000;   // navy: characteristics and signals
inline constexpr TColor kAxisColor = 0x909090;    // grey: axes of the small plots
inline constexpr TColor kAccentColor = 0x008000;  // green: fuzzy, neural and plug-in boxes
inline constexpr TColor kSilver = 0xC0C0C0;
inline constexpr TColor kGrey = 0x808080;

// Font names and pixel sizes of the pictures.
inline constexpr const char* kSmallFont = "Small Fonts";
inline constexpr int kSmallSize = 9;    // parameters and labels
inline constexpr int kTinySize = 8;     // labels that do not fit otherwise
inline constexpr int kCommentSize = 7;  // comments: thirty characters in four lines
inline constexpr const char* kSymbolFont = "MS Sans Serif";
inline constexpr int kSymbolSize = 12;  // the one symbol of a block ("k", "max")

struct TUnit {
  double X = 0.0, Y = 0.0;  // -1..1, y up
};

// Where the parts of a block picture go inside a cell rectangle.
struct TPictureBox {
  TRect Cell;
  TRect Frame;     // the block's outline, 2 pixels inside the cell
  int Cx = 0, Cy = 0;  // the cell's centre pixel, where the wires meet
  int Half = 1;    // half the side of the symbol area, in pixels

  // A unit coordinate (-1..1 across the symbol area, y up) as a pixel.
  TPoint At(double x, double y) const;
  TPoint At(TUnit u) const { return At(u.X, u.Y); }
  std::vector<TPoint> Map(std::initializer_list<TUnit> points) const;
  std::vector<TPoint> Map(const std::vector<TUnit>& points) const;
};

TPictureBox MakeBox(const TRect& cell);

// White block with a black outline.
void DrawFrame(TCanvas& canvas, const TPictureBox& box);
// Filled box with a black outline and a centred label: the fuzzy, neural
// and plug-in blocks. Monochrome: white fill and black text.
void DrawLabelledBox(TCanvas& canvas, const TPictureBox& box, TColor fill,
                     const std::string& label);
// Axes through the centre of the symbol area (a static characteristic).
void DrawCharacteristicAxes(TCanvas& canvas, const TPictureBox& box);
// Axes of a signal in time: the time axis at height y0, the value axis at
// the left of the symbol area.
void DrawTimeAxes(TCanvas& canvas, const TPictureBox& box, double y0);
// A polyline in unit coordinates with the curve pen.
void DrawCurve(TCanvas& canvas, const TPictureBox& box, const std::vector<TUnit>& points);
// Samples f over [x0, x1] into a curve, clipped to |y| <= 1.
std::vector<TUnit> SampleCurve(double (*f)(double), double x0, double x1, int steps,
                               double xScale, double yScale);

// Text centred on x with its top at y.
void CentredText(TCanvas& canvas, int x, int y, const std::string& utf8);
// Text centred in the frame in the given font, or in smaller sizes of it
// down to kTinySize; returns false (drawing nothing) when even that is wider
// than the frame allows.
bool FrameText(TCanvas& canvas, const TPictureBox& box, const char* family, int size,
               const std::string& utf8);
// A fraction centred in the frame: numerator, bar, denominator.
void DrawFraction(TCanvas& canvas, const TPictureBox& box, const std::string& numerator,
                  const std::string& denominator);
// A small label in the top left corner inside the frame.
void CornerLabel(TCanvas& canvas, const TPictureBox& box, const std::string& utf8);

// A filled arrow head whose tip is at (x, y), pointing towards side
// (0 top, 1 left, 2 bottom, 3 right), `length` long and 2 * half + 1 wide.
void ArrowHead(TCanvas& canvas, int x, int y, int side, int length, int half,
               TColor color = kBlack);

// Splits text into lines narrower than maxWidth pixels in the canvas's
// current font, breaking after spaces (which are dropped), commas, hyphens
// and full stops; a word with no such break that is still too wide is cut
// between characters. Never splits a UTF-8 character.
std::vector<std::string> WrapText(TCanvas& canvas, const std::string& utf8, int maxWidth);

}  // namespace vemo::pictures
