#include "simulation/transient_plot.h"

#include <QLine>
#include <QVector>
#include <algorithm>
#include <cmath>

#include "model/field.h"
#include "simulation/transient.h"

namespace vemo {

namespace {

// Index of the first step at or after time t (t >= 0), limited to count.
size_t StepAt(double t, double dt, size_t count) {
  if (!(dt > 0) || !(t > 0)) return 0;
  const double k = std::floor(t / dt);
  if (!(k < static_cast<double>(count))) return count;
  return static_cast<size_t>(k);
}

// One curve. Samples falling into one pixel column are collected into their
// vertical extent and drawn as one vertical line when the column changes, so
// the work per pixel column is constant however many samples it holds.
bool DrawCurve(QPainter& p, const TPlotFrame& f, const TTransientPicture& pic, size_t index,
               long& counter) {
  const TTransientCurve& c = pic.Curves[index];
  const size_t n = pic.Curves.size();
  const size_t steps = pic.Samples->Count() / n;
  if (steps == 0) return true;
  const double start = std::max(pic.TimeFrom, 0.0);
  size_t i = StepAt(start, pic.Dt, steps);
  // One sample past the right edge so the curve reaches it.
  size_t last = StepAt(pic.TimeTo, pic.Dt, steps) + 1;
  if (last >= steps) last = steps - 1;
  if (i > last) return true;

  QVector<QLine> lines;
  lines.reserve(4 * std::min<size_t>(last - i + 1, static_cast<size_t>(f.Plot.width()) + 2));
  int col = f.Column(static_cast<double>(i) * pic.Dt);
  int y = f.Line(pic.Samples->At(i * n + index) * c.Factor);
  int top = y, bottom = y;
  bool ok = true;
  for (++i; i <= last; ++i) {
    const int x = f.Column(static_cast<double>(i) * pic.Dt);
    const int ny = f.Line(pic.Samples->At(i * n + index) * c.Factor);
    if (x == col) {
      top = std::min(top, ny);
      bottom = std::max(bottom, ny);
    } else {
      if (bottom > top) lines.append(QLine(col, top, col, bottom));
      if (c.Stepped) {
        if (ny != y) lines.append(QLine(col, y, col, ny));
        lines.append(QLine(col, ny, x, ny));
      } else {
        lines.append(QLine(col, y, x, ny));
      }
      col = x;
      top = bottom = ny;
    }
    y = ny;
    if (++counter % 201 == 0 && pic.Progress && !pic.Progress()) {
      ok = false;
      break;
    }
  }
  if (bottom > top) lines.append(QLine(col, top, col, bottom));
  if (lines.isEmpty()) lines.append(QLine(col, y, col, y));
  p.setPen(CurvePen(c.Color, pic.Bold, pic.Monochrome));
  p.drawLines(lines);
  return ok;
}

}  // namespace

void TransientValueRange(double min, double max, bool percent, double& from, double& to) {
  if (percent) {
    from = -125.0;
    to = 125.0;
    return;
  }
  from = min;
  to = max + 0.1 * (max - min);
  if (!(to > from)) to = from + 1e-7;
}

TTransientPicture TransientPicture(const TTransientRun& run, const TPlotSelection* sel) {
  TTransientPicture pic;
  pic.Samples = &run.Samples;
  pic.Dt = run.Dt;
  const size_t n = run.Observed.size();
  pic.Percent = !(run.Scale.SingleScale || n == 1);
  for (int k : run.Observed) {
    TTransientCurve c;
    c.Factor = 1.0;
    if (run.Field) {
      const TViewPoint& pt = run.Field->Points[k];
      c.Color = pt.Color;
      c.Shown = pt.Shown != 0;
      c.Stepped = pt.Source && pt.Source->Stepped;
      if (pic.Percent) {
        const double big = std::max(std::fabs(pt.Low), std::fabs(pt.High));
        c.Factor = big > 0 ? 100.0 / big : 1.0;
      }
    }
    pic.Curves.push_back(c);
  }
  double from, to;
  TransientValueRange(run.Scale.Min, run.Scale.Max, pic.Percent, from, to);
  pic.TimeFrom = run.ViewStart;
  pic.TimeTo = run.ViewEnd > run.ViewStart ? run.ViewEnd : run.ViewStart + 1e-9;
  pic.ValueFrom = from;
  pic.ValueTo = to;
  if (sel) {
    const double tw = pic.TimeTo - pic.TimeFrom, vw = to - from;
    pic.TimeTo = pic.TimeFrom + sel->TimeHi * tw;
    pic.TimeFrom = pic.TimeFrom + sel->TimeLo * tw;
    pic.ValueTo = from + sel->ValueHi * vw;
    pic.ValueFrom = from + sel->ValueLo * vw;
  }
  return pic;
}

TPlotFrame TransientFrame(const QRect& area, const TTransientPicture& pic) {
  return LayoutFrame(area, pic.TimeFrom, pic.TimeTo, pic.ValueFrom, pic.ValueTo, pic.Percent);
}

void DrawTransient(QPainter& p, const QRect& area, const TTransientPicture& pic) {
  p.save();
  p.fillRect(area, Qt::white);
  const TPlotFrame f = TransientFrame(area, pic);
  DrawPlotGrid(p, f, pic.Percent, pic.Monochrome);
  const size_t n = pic.Curves.size();
  if (pic.Samples && n > 0) {
    p.setClipRect(f.Plot);
    p.setRenderHint(QPainter::Antialiasing, false);
    long counter = 0;
    for (size_t k = 0; k < n; ++k)
      if (pic.Curves[k].Shown && !DrawCurve(p, f, pic, k, counter)) break;
  }
  p.restore();
}

QImage TransientImage(const TTransientPicture& pic, QSize size) {
  return PlotImage(size, [&pic](QPainter& p, const QRect& area) { DrawTransient(p, area, pic); });
}

}  // namespace vemo
