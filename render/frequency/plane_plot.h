// The complex plane of the hodograph window: the grid with the axes Re and
// jIm, the point -1, the hodograph W(jw) of the linear part, the
// describing-function curve -1/N(A) (ЭККУ) and, for the Popov criterion,
// the point -1/K with the Popov line through it.
#pragma once
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

#include "frequency/hodograph.h"
#include "simulation/plot_frame.h"

namespace vemo {

struct TPlanePicture {
  const TPointList* Hodograph = nullptr;   // (Re, Im, w); nullptr: not shown
  const TPointList* Describing = nullptr;  // (Re, Im, A); nullptr: not shown
  // The ranks of a table curve (the pulse-frequency modulator): successive
  // points of one rank are joined, a rank of one point is a mark.
  const std::vector<uint8_t>* Ranks = nullptr;
  TPlaneRect Rect;  // the visible rectangle
  bool HasPopovPoint = false;
  double PopovPoint = 0.0;  // -1/K on the real axis
  bool HasPopovLine = false;
  double PopovAngle = 0.0;  // direction of the line, radians
  QString PopovLabel;       // written beside the point
  bool Bold = false;
  bool Monochrome = false;
};

// Colours (0x00BBGGRR) of the curves.
inline constexpr uint32_t kHodographColor = 0xFF0000;   // blue
inline constexpr uint32_t kDescribingColor = 0x0000FF;  // red
inline constexpr uint32_t kPopovColor = 0x800080;       // purple

TPlotFrame PlaneFrame(const QRect& area, const TPlanePicture& pic);
void DrawPlane(QPainter& p, const QRect& area, const TPlanePicture& pic);
QImage PlaneImage(const TPlanePicture& pic, QSize size);

}  // namespace vemo
