// The frame shared by the time-domain plots: the plot rectangle inside the
// label margins, the mapping of values to pixels, the grey grid with its
// number labels and the green axes through zero.
#pragma once
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <functional>

namespace vemo {

// "Small Fonts" at 7 points on a 96-dpi screen.
QFont PlotFont();
// The height of the text "1" in the plot font: the unit of the axis and
// bold-graph pen widths.
int OneHeight(const QFont& font);

struct TPlotFrame {
  QRect Plot;                 // the data area in device pixels
  double X0 = 0, X1 = 1;      // abscissa range shown
  double Y0 = 0, Y1 = 1;      // ordinate range shown
  // Pixel coordinates, limited to a band far outside any device so that an
  // extreme value (1e20) still converts to int without overflow.
  double X(double x) const;
  double Y(double y) const;
  int Column(double x) const;
  int Line(double y) const;
  // Back from pixels (the cursor read-out).
  double ValueX(double px) const;
  double ValueY(double py) const;
};

// Lays out the frame inside area: room on the left for the ordinate labels
// (with "%" appended when percent is set) and below for the abscissa labels.
TPlotFrame LayoutFrame(const QRect& area, double x0, double x1, double y0, double y1,
                       bool percent);

// What DrawPlotGrid draws besides labels and axes.
struct TGridStyle {
  bool Lines = true;     // the grey grid lines
  QString XName, YName;  // axis names beside the arrow heads (none when empty)
};

// Grid lines at every multiple of the NiceStep of each extent, labels, and
// the axes at zero (green, black in black-and-white pictures) with arrow
// heads.
void DrawPlotGrid(QPainter& p, const TPlotFrame& f, bool percent, bool monochrome,
                  const TGridStyle& style = {});

// The pieces of the grids: the grey of grid lines, the pen of an axis
// (green, black in black-and-white pictures; two thirds of the height of
// "1" wide), the length of its arrow head, and the head itself.
QColor GridColor();
QPen AxisPen(bool monochrome);
double AxisArrowSize();
void ArrowHead(QPainter& p, QPointF tip, QPointF dir, double size, const QColor& c);

// The pen of a curve: colour 0x00BBGGRR (black in black-and-white pictures),
// width = height of "1" when bold.
QPen CurvePen(uint32_t color, bool bold, bool monochrome);

// Called every 201 samples while curves are drawn; false stops drawing.
using TDrawProgress = std::function<bool()>;

// A picture of the given size for a file or the clipboard: white, with
// `draw` painting over the whole of it.
QImage PlotImage(QSize size, const std::function<void(QPainter& p, const QRect& area)>& draw);

}  // namespace vemo
