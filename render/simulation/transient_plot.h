// The picture of the transient response: grid, axes and the curves of the
// observed points over a sample store, on any QPainter (window, clipboard
// bitmap, printer, PNG).
#pragma once
#include <QImage>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <vector>

#include "simulation/plot_frame.h"
#include "simulation/sample_store.h"

namespace vemo {

class TTransientRun;

struct TTransientCurve {
  uint32_t Color = 0;   // 0x00BBGGRR
  bool Shown = true;
  bool Stepped = false; // the observed block holds its output between steps
  double Factor = 1.0;  // sample -> plotted value (100 / largest bound in percent mode)
};

// Plain data of one picture. Samples hold Curves.size() values per step,
// one per curve in curve order, step k at time k * Dt.
struct TTransientPicture {
  const TSampleStore* Samples = nullptr;
  double Dt = 0.01;
  std::vector<TTransientCurve> Curves;
  double TimeFrom = 0, TimeTo = 1;    // visible time
  double ValueFrom = 0, ValueTo = 1;  // visible value (percent in percent mode)
  bool Percent = false;
  bool Bold = false;
  bool Monochrome = false;
  TDrawProgress Progress;             // every 201 samples; false stops
};

// The value range of a scale from min to max: extended upward by a tenth of
// its extent so that the top curve and the axis arrow keep clear of the edge;
// in percent mode -125..125.
void TransientValueRange(double min, double max, bool percent, double& from, double& to);

// The picture of a run as its window shows it: the time from the view start
// to the view end, the common scale (single scale, or one observed point) or
// the per-point percent scale, each curve in its point's colour.
// selection: the range sliders' fractions (0..1) of the time and value
// ranges; nullptr draws everything.
struct TPlotSelection {
  double TimeLo = 0, TimeHi = 1, ValueLo = 0, ValueHi = 1;
};
TTransientPicture TransientPicture(const TTransientRun& run, const TPlotSelection* selection);

// Draws the picture into area (white background).
void DrawTransient(QPainter& p, const QRect& area, const TTransientPicture& pic);
// The frame DrawTransient lays out for a picture in area (cursor read-out).
TPlotFrame TransientFrame(const QRect& area, const TTransientPicture& pic);
// The picture as an image of the given size.
QImage TransientImage(const TTransientPicture& pic, QSize size);

}  // namespace vemo
