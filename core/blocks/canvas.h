// The drawing surface a block draws its picture on. The render library
// implements it on a real painter; core only describes what to draw.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vemo {

// 0x00BBGGRR: red in the low byte, then green, then blue.
using TColor = uint32_t;
inline constexpr TColor kBlack = 0x000000;
inline constexpr TColor kWhite = 0xFFFFFF;

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
};

struct TPoint {
  int X = 0, Y = 0;
};

class TCanvas {
 public:
  virtual ~TCanvas() = default;
  virtual void SetPen(TColor color, int width = 1) = 0;
  // Brush for filled shapes; filled = false draws outlines only.
  virtual void SetBrush(TColor color, bool filled = true) = 0;
  virtual void SetFont(const std::string& family, int pixelSize, TColor color) = 0;
  virtual void Line(int x1, int y1, int x2, int y2) = 0;
  virtual void Polyline(const std::vector<TPoint>& points) = 0;
  virtual void Rectangle(const TRect& r) = 0;
  virtual void Ellipse(const TRect& r) = 0;
  virtual void Polygon(const std::vector<TPoint>& points) = 0;
  virtual void Text(int x, int y, const std::string& utf8) = 0;
  virtual TPoint TextExtent(const std::string& utf8) = 0;
  // Everything black on white: pictures for black-and-white output.
  bool Monochrome = false;
};

}  // namespace vemo
