#include "simulation/phase_plot.h"

#include <QPoint>
#include <QVector>

#include "simulation/phase.h"

namespace vemo {

void PhaseRanges(double minX, double maxX, double minY, double maxY, TPhasePicture& pic) {
  if (maxX - minX < 1e-7) {
    minX -= 1e-7;
    maxX += 1e-7;
  }
  if (maxY - minY < 1e-7) {
    minY -= 1e-7;
    maxY += 1e-7;
  }
  const double wx = maxX - minX, wy = maxY - minY;
  pic.XFrom = minX - 0.05 * wx;
  pic.XTo = maxX + 0.05 * wx;
  pic.YFrom = minY;
  pic.YTo = maxY + 0.1 * wy;
}

TPhasePicture PhasePicture(const TPhaseRun& run, double minX, double maxX, double minY,
                           double maxY, uint32_t color, const TPhaseSelection* sel) {
  TPhasePicture pic;
  pic.Samples = &run.Samples;
  pic.Color = color;
  if (run.AutoScale) {
    if (run.RangeStarted)
      PhaseRanges(run.MinX, run.MaxX, run.MinY, run.MaxY, pic);
    else
      PhaseRanges(0, 0, 0, 0, pic);
  } else {
    pic.XFrom = minX;
    pic.XTo = maxX;
    pic.YFrom = minY;
    pic.YTo = maxY;
  }
  if (sel) {
    const double wx = pic.XTo - pic.XFrom, wy = pic.YTo - pic.YFrom;
    const double x0 = pic.XFrom, y0 = pic.YFrom;
    pic.XFrom = x0 + sel->XLo * wx;
    pic.XTo = x0 + sel->XHi * wx;
    pic.YFrom = y0 + sel->YLo * wy;
    pic.YTo = y0 + sel->YHi * wy;
  }
  return pic;
}

TPlotFrame PhaseFrame(const QRect& area, const TPhasePicture& pic) {
  return LayoutFrame(area, pic.XFrom, pic.XTo, pic.YFrom, pic.YTo, false);
}

void DrawPhase(QPainter& p, const QRect& area, const TPhasePicture& pic) {
  p.save();
  p.fillRect(area, Qt::white);
  const TPlotFrame f = PhaseFrame(area, pic);
  DrawPlotGrid(p, f, false, pic.Monochrome);
  const size_t pairs = pic.Samples ? pic.Samples->Count() / 2 : 0;
  if (pairs > 0) {
    p.setClipRect(f.Plot);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(CurvePen(pic.Color, pic.Bold, pic.Monochrome));
    // The polyline skips a point on the same pixel as the one before it.
    QVector<QPoint> line;
    QPoint prev(f.Column(pic.Samples->At(0)), f.Line(pic.Samples->At(1)));
    line.append(prev);
    for (size_t i = 1; i < pairs; ++i) {
      const QPoint q(f.Column(pic.Samples->At(2 * i)), f.Line(pic.Samples->At(2 * i + 1)));
      if (q != prev) {
        line.append(q);
        prev = q;
      }
      if (i % 201 == 0 && pic.Progress && !pic.Progress()) break;
    }
    if (line.size() == 1)
      p.drawPoint(line[0]);
    else
      p.drawPolyline(line.constData(), static_cast<int>(line.size()));
  }
  p.restore();
}

QImage PhaseImage(const TPhasePicture& pic, QSize size) {
  return PlotImage(size, [&pic](QPainter& p, const QRect& area) { DrawPhase(p, area, pic); });
}

}  // namespace vemo
