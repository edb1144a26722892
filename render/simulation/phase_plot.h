// The picture of the phase portrait: grid and axes for both coordinates and
// the trajectory through the stored (abscissa, ordinate) pairs.
#pragma once
#include <QImage>
#include <QPainter>
#include <QRect>
#include <cstdint>

#include "simulation/plot_frame.h"
#include "simulation/sample_store.h"

namespace vemo {

class TPhaseRun;

struct TPhasePicture {
  const TSampleStore* Samples = nullptr;  // pairs x, y
  double XFrom = -1, XTo = 1, YFrom = -1, YTo = 1;  // visible ranges
  uint32_t Color = 0xFF0000;  // 0x00BBGGRR (blue)
  bool Bold = false;
  bool Monochrome = false;
  TDrawProgress Progress;     // every 201 pairs; false stops
};

// Full ranges of a portrait from min/max of each coordinate: a range below
// 1e-7 wide is widened by 1e-7 on both sides, the abscissa gets a twentieth
// of its extent on each side and the ordinate a tenth above.
void PhaseRanges(double minX, double maxX, double minY, double maxY, TPhasePicture& pic);

// The picture of a run: autoscaled ranges from the run's min/max, or the
// given fixed ranges; selection as for the transient picture (fractions of
// the abscissa and ordinate ranges), nullptr for everything.
struct TPhaseSelection {
  double XLo = 0, XHi = 1, YLo = 0, YHi = 1;
};
TPhasePicture PhasePicture(const TPhaseRun& run, double minX, double maxX, double minY,
                           double maxY, uint32_t color, const TPhaseSelection* selection);

void DrawPhase(QPainter& p, const QRect& area, const TPhasePicture& pic);
TPlotFrame PhaseFrame(const QRect& area, const TPhasePicture& pic);
QImage PhaseImage(const TPhasePicture& pic, QSize size);

}  // namespace vemo
