#include "frequency/bode_plot.h"

#include <QFontMetrics>
#include <QPolygon>
#include <QVector>
#include <algorithm>
#include <cfenv>
#include <cmath>

#include "frequency/bode.h"
#include "frequency/numeric.h"
#include "shell/numtext.h"
#include "simulation/plot_frame.h"

namespace vemo {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Free pixels above the top and below the bottom value of a plot.
constexpr int kValueMargin = 16;
// A value this many plot heights outside the window is drawn at that distance.
constexpr double kValueBand = 50.0;

// The grid values of the value axis: from one step below the bottom value
// up to the top value (and a tenth of a decibel over it), as multiples of
// the step. `shown` is the label's number (degrees on the phase plot).
template <typename F>
void ForEachValueLine(const TBodePicture& pic, double top, double bottom, F f) {
  const double range = top - bottom;
  const double step = pic.Phase ? BodePhiGridStep(range) : BodeLGridStep(range);
  if (!(step > 0) || !std::isfinite(step)) return;
  const double stepShown = pic.Phase ? step * 180.0 / kPi : step;
  const double first = std::floor(bottom / step) - 1.0;
  const double limit = top + (pic.Phase ? step * 1e-9 : 0.1);
  // The window holds a few steps; the bound guards a degenerate range.
  for (int k = 0; k < 1000; ++k) {
    const double n = first + k;
    const double v = n * step;
    if (v > limit) break;
    const bool zero = std::fabs(v) < 1e-7;
    f(zero ? 0.0 : v, zero ? 0.0 : n * stepShown, zero);
  }
}

QString NumberLabel(double v) { return QString::fromStdString(FormatNumber(v)); }

// The smaller font of the decade exponents.
QFont ExponentFont() {
  QFont f = PlotFont();
  f.setPixelSize(std::max(6, f.pixelSize() * 3 / 4));
  return f;
}

void DrawGrid(QPainter& p, const TBodeFrame& f, const TBodePicture& pic) {
  const QFont font = PlotFont();
  const QFontMetrics fm(font);
  const QRect& r = f.Plot;
  p.setFont(font);
  const QPen axisPen = AxisPen(pic.Monochrome);
  const QColor axisColor = axisPen.color();
  const double head = AxisArrowSize();

  // Decades: a grey line at every integer lg w, labelled 10 with the decade
  // as exponent under the plot.
  const QFont expFont = ExponentFont();
  const QFontMetrics em(expFont);
  for (double d = std::trunc(f.LgwMin); d <= f.LgwMax; d += 1.0) {
    if (d < f.LgwMin) continue;
    const int x = f.X(d);
    if (x < r.left() || x > r.right()) continue;
    p.setPen(QPen(GridColor(), 1));
    p.drawLine(x, r.top(), x, r.bottom());
    const QString base = QStringLiteral("10");
    const QString exp = QString::number(static_cast<int>(d));
    const int w = fm.horizontalAdvance(base) + em.horizontalAdvance(exp);
    const int baseline = r.bottom() + 3 + fm.ascent() + em.ascent() / 2;
    p.setPen(Qt::black);
    p.setFont(font);
    p.drawText(x - w / 2, baseline, base);
    p.setFont(expFont);
    p.drawText(x - w / 2 + fm.horizontalAdvance(base), baseline - fm.ascent() / 2, exp);
    p.setFont(font);
  }

  // Value lines with their labels left of the plot; the line at 0 is the
  // frequency axis, drawn last over everything.
  bool axisAt0 = false;
  ForEachValueLine(pic, f.Top, f.Bottom, [&](double v, double shown, bool zero) {
    const int y = f.Y(v);
    if (y < r.top() || y > r.bottom()) return;
    if (zero)
      axisAt0 = true;
    else {
      p.setPen(QPen(GridColor(), 1));
      p.drawLine(r.left(), y, r.right(), y);
    }
    const QString s = NumberLabel(shown);
    p.setPen(Qt::black);
    p.drawText(r.left() - 4 - fm.horizontalAdvance(s), y + fm.ascent() / 2 - 1, s);
  });

  // The value axis on the left edge, its arrow at the top and its title
  // right of the arrow.
  p.setPen(axisPen);
  p.drawLine(QPointF(r.left(), r.bottom()), QPointF(r.left(), r.top() + head - 1));
  ArrowHead(p, QPointF(r.left(), r.top()), QPointF(0, -1), head, axisColor);
  p.setPen(Qt::black);
  p.drawText(r.left() + int(head), r.top() + fm.ascent(), BodeValueTitle(pic.Phase));

  if (axisAt0) {
    const int y = f.Y(0.0);
    p.setPen(axisPen);
    p.drawLine(QPointF(r.left(), y), QPointF(r.right() - head + 1, y));
    ArrowHead(p, QPointF(r.right(), y), QPointF(1, 0), head, axisColor);
    const QString name = QStringLiteral("[ rad/сек ]");
    p.setPen(Qt::black);
    p.drawText(r.right() - fm.horizontalAdvance(name) - 1, y - int(head / 2) - 2, name);
  }
}

// L (dB) and phi at lg w from the plain amplitude: one logarithm per column
// rather than one per root. False where the response has no logarithm or
// raises a fault (as BodeResponse).
bool ColumnResponse(const TZeroPoleForm& form, Real delay, double lgw, double& l, double& phi) {
  constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
  std::feclearexcept(kFaults);
  Real a = 0, ph = 0;
  FrequencyResponse(form, false, a, ph, Pow10(lgw), delay);
  if (std::fetestexcept(kFaults) || !(a > 0) || !std::isfinite(a) || !std::isfinite(ph)) return false;
  l = 20.0 * std::log10(static_cast<double>(a));
  phi = static_cast<double>(ph);
  return std::isfinite(l);
}

void DrawCurve(QPainter& p, const TBodeFrame& f, const TBodePicture& pic,
               const TBodeSamples& samples) {
  const std::vector<double>& values = pic.Phase ? samples.Phi : samples.L;
  QVector<QPoint> line;
  line.reserve(static_cast<int>(values.size()));
  auto flush = [&] {
    if (line.size() == 1)
      p.drawPoint(line[0]);
    else if (line.size() > 1)
      p.drawPolyline(line.constData(), static_cast<int>(line.size()));
    line.clear();
  };
  for (size_t i = 0; i < values.size(); ++i) {
    // A point where the response cannot be evaluated breaks the curve.
    if (std::isnan(values[i])) {
      flush();
      continue;
    }
    line.append(QPoint(f.Plot.left() + static_cast<int>(i), f.Y(values[i])));
  }
  flush();
}

}  // namespace

int TBodeFrame::X(double lgw) const {
  if (!(LgwMax > LgwMin)) return Plot.left();
  const double span = LgwMax - LgwMin;
  lgw = std::clamp(lgw, LgwMin - kValueBand * span, LgwMax + kValueBand * span);
  return BodePlotX(lgw, LgwMin, LgwMax, Plot.left(), Plot.right());
}

int TBodeFrame::Y(double v) const {
  const double span = Top - Bottom;
  if (!(span > 0) || Plot.height() <= 2 * kValueMargin) return Plot.center().y();
  if (!(v > Bottom - kValueBand * span)) v = Bottom - kValueBand * span;  // also NaN
  if (v > Top + kValueBand * span) v = Top + kValueBand * span;
  return BodePlotY(v, Top, Bottom, Plot.top(), Plot.bottom());
}

double TBodeFrame::LgwAt(double px) const {
  const int w = std::max(1, Plot.right() - Plot.left());
  return LgwMin + (px - Plot.left()) * (LgwMax - LgwMin) / w;
}

double TBodeFrame::ValueAt(double py) const {
  const int h = std::max(1, Plot.bottom() - Plot.top() - 2 * kValueMargin);
  return Top - (py - Plot.top() - kValueMargin) * (Top - Bottom) / h;
}

TBodeFrame BodeFrame(const QRect& area, const TBodePicture& pic) {
  TBodeFrame f;
  f.LgwMin = pic.LgwMin;
  f.LgwMax = pic.LgwMax;
  f.Top = pic.Top;
  f.Bottom = pic.Bottom;
  if (!(f.Top > f.Bottom)) {
    f.Top += 0.01;
    f.Bottom -= 0.01;
  }
  const QFontMetrics fm(PlotFont());
  const QFontMetrics em(ExponentFont());
  int labelWidth = fm.horizontalAdvance(QStringLiteral("-0000"));
  ForEachValueLine(pic, f.Top, f.Bottom, [&](double, double shown, bool) {
    labelWidth = std::max(labelWidth, fm.horizontalAdvance(NumberLabel(shown)));
  });
  const int left = labelWidth + 8;
  const int bottom = fm.height() + em.ascent() / 2 + 5;
  f.Plot = area.adjusted(left, 2, -10, -bottom);
  if (f.Plot.width() < 4 || f.Plot.height() < 4) f.Plot = area;
  return f;
}

bool TBodeSamples::Fit(const TBodePicture& pic, const TBodeFrame& f) const {
  return Form == pic.Form && Delay == pic.Delay && LgwMin == f.LgwMin && LgwMax == f.LgwMax &&
         Left == f.Plot.left() && Right == f.Plot.right();
}

TBodeSamples BodeSamples(const TBodePicture& pic, const TBodeFrame& f) {
  TBodeSamples s;
  s.Form = pic.Form;
  s.Delay = pic.Delay;
  s.LgwMin = f.LgwMin;
  s.LgwMax = f.LgwMax;
  s.Left = f.Plot.left();
  s.Right = f.Plot.right();
  const int width = s.Right - s.Left;
  if (width <= 0 || !pic.Form || !(f.LgwMax > f.LgwMin)) return s;
  // One point per pixel column, lg w from its minimum in steps of the
  // range over the width while below its maximum.
  const double step = (f.LgwMax - f.LgwMin) / width;
  for (int i = 0; i <= width; ++i) {
    const double x = f.LgwMin + i * step;
    if (!(x < f.LgwMax)) break;
    double l = 0, phi = 0;
    const bool ok = ColumnResponse(*pic.Form, pic.Delay, x, l, phi);
    s.L.push_back(ok ? l : std::nan(""));
    s.Phi.push_back(ok ? phi : std::nan(""));
  }
  return s;
}

void DrawBodePlot(QPainter& p, const QRect& area, const TBodePicture& pic, TBodeSamples* samples) {
  p.save();
  p.fillRect(area, Qt::white);
  p.setRenderHint(QPainter::Antialiasing, false);
  const TBodeFrame f = BodeFrame(area, pic);
  DrawGrid(p, f, pic);
  p.setClipRect(f.Plot.intersected(area));
  const uint32_t color = pic.Phase ? 0x0000FF : 0xFF0000;  // red phase, blue amplitude
  p.setPen(CurvePen(color, pic.Bold, pic.Monochrome));
  TBodeSamples own;
  if (!samples) samples = &own;
  if (!samples->Fit(pic, f)) *samples = BodeSamples(pic, f);
  DrawCurve(p, f, pic, *samples);
  p.restore();
}

void DrawBodePlots(QPainter& p, const QRect& area, const TBodePicture* l, const TBodePicture* phi) {
  if (l && phi) {
    const int half = area.height() / 2;
    TBodeSamples samples;
    DrawBodePlot(p, QRect(area.left(), area.top(), area.width(), half), *l, &samples);
    DrawBodePlot(p, QRect(area.left(), area.top() + half, area.width(), area.height() - half), *phi,
                 &samples);
  } else if (l || phi) {
    DrawBodePlot(p, area, l ? *l : *phi);
  } else {
    p.fillRect(area, Qt::white);
  }
}

QImage BodeImage(const TBodePicture* l, const TBodePicture* phi, QSize size) {
  return PlotImage(size, [l, phi](QPainter& p, const QRect& area) { DrawBodePlots(p, area, l, phi); });
}

QString BodeValueTitle(bool phase) {
  return phase ? QStringLiteral("φ°") : QStringLiteral("L [ ДБ ]");
}

QString BodeReadOutName(bool phase) {
  return phase ? QStringLiteral("ФЧХ[°]") : QStringLiteral("ЛАЧХ[ДБ]");
}

}  // namespace vemo
