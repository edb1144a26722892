// Signal sources: a small plot of the signal in time.
#include <cmath>
#include <numbers>

#include "blocks/cell_object.h"
#include "blocks/pictures/groups.h"
#include "blocks/table_blocks.h"

namespace vemo::pictures {

namespace {

double OnePeriod(double x) { return 0.7 * std::sin(std::numbers::pi * (x + 1.0)); }

void DrawSignal(TCanvas& canvas, const TPictureBox& box, double y0,
                const std::vector<TUnit>& curve) {
  DrawFrame(canvas, box);
  DrawTimeAxes(canvas, box, y0);
  DrawCurve(canvas, box, curve);
}

}  // namespace

std::vector<TUnit> TableCurve(const PointTable& table, bool symmetricX) {
  double x0 = 0, x1 = 0, ym = 0;
  bool any = false;
  for (const TablePoint& p : table.Points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
    if (!any) x0 = x1 = p.x;
    any = true;
    x0 = std::min(x0, p.x);
    x1 = std::max(x1, p.x);
    ym = std::max(ym, std::fabs(p.y));
  }
  std::vector<TUnit> out;
  if (!any || table.Points.size() < 2) return out;
  double cx = 0.5 * (x0 + x1), sx = 0.5 * (x1 - x0);
  if (symmetricX) {
    cx = 0.0;
    sx = std::max(std::fabs(x0), std::fabs(x1));
  }
  if (!(sx > 1e-300) || !std::isfinite(sx)) sx = 1.0;
  if (!(ym > 1e-300) || !std::isfinite(ym)) ym = 1.0;
  // A few hundred points are more than a 40-pixel picture can show.
  const size_t n = table.Points.size();
  const size_t stride = n > 400 ? n / 400 : 1;
  out.reserve(n / stride + 2);
  for (size_t i = 0; i < n; i += stride) {
    const TablePoint& p = table.Points[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
    out.push_back({(p.x - cx) / sx, 0.8 * p.y / ym});
  }
  const TablePoint& last = table.Points[n - 1];
  if ((n - 1) % stride != 0 && std::isfinite(last.x) && std::isfinite(last.y))
    out.push_back({(last.x - cx) / sx, 0.8 * last.y / ym});
  return out;
}

bool DrawSourcePicture(TCanvas& canvas, const TPictureBox& box, const TCellObject& obj) {
  switch (obj.TypeCode) {
    case 0:  // constant: a step
      DrawSignal(canvas, box, -0.7, {{-1, -0.7}, {-0.5, -0.7}, {-0.5, 0.6}, {1.05, 0.6}});
      return true;
    case 29:  // saw: a triangle wave starting at -A
      DrawSignal(canvas, box, 0,
                 {{-1, -0.7}, {-0.5, 0.7}, {0, -0.7}, {0.5, 0.7}, {1, -0.7}});
      return true;
    case 30:  // meander starting at -A
      DrawSignal(canvas, box, 0,
                 {{-1, -0.6}, {-0.5, -0.6}, {-0.5, 0.6}, {0, 0.6}, {0, -0.6}, {0.5, -0.6},
                  {0.5, 0.6}, {1, 0.6}});
      return true;
    case 32: {  // uniform random: noise
      static constexpr double kNoise[] = {0.1, 0.7, -0.4, 0.3, -0.8, 0.5, -0.2, 0.8, -0.6, 0.2};
      std::vector<TUnit> c;
      const int n = static_cast<int>(std::size(kNoise));
      for (int i = 0; i < n; ++i) c.push_back({-1.0 + 2.0 * i / (n - 1), kNoise[i]});
      DrawSignal(canvas, box, 0, c);
      return true;
    }
    case 33:  // unit pulse from t1 to t2
      DrawSignal(canvas, box, -0.7,
                 {{-1, -0.7}, {-0.3, -0.7}, {-0.3, 0.6}, {0.4, 0.6}, {0.4, -0.7}, {1.05, -0.7}});
      return true;
    case 31:   // harmonic generator of older files
    case 115:  // harmonic
      DrawSignal(canvas, box, 0, SampleCurve(OnePeriod, -1, 1, 24, 1, 1));
      return true;
    case 51: {  // table-defined generator: its table as a function of time
      std::vector<TUnit> c;
      if (const auto* t = dynamic_cast<const TTableBlock*>(&obj)) c = TableCurve(t->Table, false);
      if (c.empty()) c = {{-1, 0.2}, {-0.6, 0.7}, {-0.25, 0.3}, {0.1, -0.6}, {0.5, -0.1}, {1, 0.6}};
      DrawSignal(canvas, box, 0, c);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace vemo::pictures
