// The picture of a drawn characteristic (the table of the user nonlinearity
// and of the table-defined generator): grid, axes named "x"/"y" (or "t"/"y"),
// the polyline through the table's points in table order and a marker on
// every point. The table editor window and its picture copy draw the same.
#pragma once
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QSize>

#include "blocks/point_table.h"
#include "simulation/plot_frame.h"

namespace vemo {

struct TTablePicture {
  const PointTable* Table = nullptr;
  double XFrom = -1, XTo = 1, YFrom = -1, YTo = 1;  // visible ranges
  bool Grid = true;        // the grey grid lines (labels and axes always)
  bool TimeAxis = false;   // the abscissa is time: named "t"
  bool Monochrome = false;
};

// The half size in pixels of the square drawn on every point.
inline constexpr int kTableMarker = 2;

// A range that can be drawn: finite, within +-1e300 (so that its extent is
// finite) and of positive extent; anything else is widened or replaced.
void SafeRange(double& lo, double& hi);

// The frame of the picture inside area (ranges made safe first).
TPlotFrame TableFrame(const QRect& area, const TTablePicture& pic);
void DrawTable(QPainter& p, const QRect& area, const TTablePicture& pic);
QImage TableImage(const TTablePicture& pic, QSize size);

}  // namespace vemo
