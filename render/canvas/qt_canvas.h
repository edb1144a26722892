// The drawing surface of cell objects, implemented on a QPainter.
#pragma once
#include <QPainter>

#include "blocks/canvas.h"

namespace vemo {

class TQtCanvas : public TCanvas {
 public:
  explicit TQtCanvas(QPainter& painter, bool monochrome = false);

  void SetPen(TColor color, int width = 1) override;
  void SetBrush(TColor color, bool filled = true) override;
  void SetFont(const std::string& family, int pixelSize, TColor color) override;
  void Line(int x1, int y1, int x2, int y2) override;
  void Polyline(const std::vector<TPoint>& points) override;
  void Rectangle(const TRect& r) override;
  void Ellipse(const TRect& r) override;
  void Polygon(const std::vector<TPoint>& points) override;
  void Text(int x, int y, const std::string& utf8) override;
  TPoint TextExtent(const std::string& utf8) override;

  QPainter& Painter() { return painter_; }

 private:
  QColor Color(TColor c) const;
  QPainter& painter_;
  QColor textColor_;
};

// 0x00BBGGRR to a Qt colour and back.
QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);
// The installed font that stands for a named font of the pictures ("MS Sans
// Serif", "Small Fonts", "Symbol") at a pixel size.
QFont MappedFont(const std::string& family, int pixelSize);

}  // namespace vemo
