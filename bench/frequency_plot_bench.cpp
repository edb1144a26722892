// Redrawing the frequency-domain windows: both Bode plots of a 40th-order
// W(s) at 1600 pixels width (the response is evaluated anew in every pixel
// column of each plot), and the plane of a hodograph of some 1,300 points
// with the 474-point describing-function table of the pulse-frequency
// modulator. Each against the same picture of W(s) = 1 (grid, labels and
// axes only), in the same process.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

#include "frequency/bode_plot.h"
#include "frequency/describing.h"
#include "frequency/plane_plot.h"

using namespace vemo;

namespace {

const QSize kWindow(1600, 1000);

double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// 40 poles (20 lightly damped pairs from 0.01 to 100 rad/s) and 12 real
// zeros: a 40th-order W(s) whose curves turn over the whole range.
TZeroPoleForm FortiethOrder() {
  TZeroPoleForm f;
  f.K = 1e6;
  for (int i = 0; i < 20; ++i) {
    const double w = std::pow(10.0, -2.0 + 4.0 * i / 19.0), xi = 0.05 + 0.04 * (i % 5);
    f.PoleRe.push_back(-xi * w);
    f.PoleIm.push_back(w * std::sqrt(1 - xi * xi));
    f.PoleRe.push_back(-xi * w);
    f.PoleIm.push_back(-w * std::sqrt(1 - xi * xi));
  }
  for (int i = 0; i < 12; ++i) {
    f.ZeroRe.push_back(-std::pow(10.0, -1.5 + 3.0 * i / 11.0));
    f.ZeroIm.push_back(0);
  }
  f.LastPole = static_cast<int32_t>(f.PoleRe.size()) - 1;
  f.LastZero = static_cast<int32_t>(f.ZeroRe.size()) - 1;
  return f;
}

double DrawBode(QImage& img, const TZeroPoleForm& form) {
  TBodePicture l;
  l.Form = &form;
  l.LgwMin = -3;
  l.LgwMax = 3;
  l.Top = 150;
  l.Bottom = -300;
  TBodePicture phi = l;
  phi.Phase = true;
  phi.Top = 0;
  phi.Bottom = -40;
  const double t0 = ThreadSeconds();
  QPainter p(&img);
  DrawBodePlots(p, img.rect(), &l, &phi);
  p.end();
  return ThreadSeconds() - t0;
}

double DrawPlane(QImage& img, const TPlanePicture& pic) {
  const double t0 = ThreadSeconds();
  QPainter p(&img);
  vemo::DrawPlane(p, img.rect(), pic);
  p.end();
  return ThreadSeconds() - t0;
}

template <typename F>
double Median(F draw) {
  std::vector<double> t;
  for (int i = 0; i < 21; ++i) t.push_back(draw());
  std::nth_element(t.begin(), t.begin() + 10, t.end());
  return t[10];
}

void Report(benchmark::State& state, double total, double baseline) {
  const double each = total / std::max<double>(1, state.iterations());
  state.counters["cpu_ms"] = each * 1e3;
  state.counters["baseline_cpu_ms"] = baseline * 1e3;
  state.counters["ratio"] = each / baseline;
}

void BM_BodeRedraw40thOrder1600px(benchmark::State& state) {
  QImage img(kWindow, QImage::Format_RGB32);
  const TZeroPoleForm unit, form = FortiethOrder();
  const double baseline = Median([&] { return DrawBode(img, unit); });
  double total = 0;
  for (auto _ : state) {
    total += DrawBode(img, form);
    benchmark::DoNotOptimize(img.constBits());
  }
  Report(state, total, baseline);
}
BENCHMARK(BM_BodeRedraw40thOrder1600px)->Unit(benchmark::kMillisecond);

void BM_HodographRedrawWithTable(benchmark::State& state) {
  QImage img(kWindow, QImage::Format_RGB32);
  TZeroPoleForm loop;  // 1 / (s (0.5 s + 1))
  loop.LastPole = 1;
  loop.PoleRe = {0, -2};
  loop.PoleIm = {0, 0};
  loop.K = 2;
  THodograph h;
  BuildHodograph(loop, 0, -3, 3, THodographOptions(), h);
  TChainClass pfm;
  pfm.Code = kPulseFrequencyChain;
  pfm.Params[0] = 0.1;
  pfm.Params[1] = 1;
  pfm.Params[2] = 0.01;
  TDescribingCurve table;
  BuildDescribingCurve(pfm, nullptr, nullptr, 0.01, table);
  TPlanePicture empty;
  empty.Rect = {-2.5, -3, 0.5, 1};
  TPlanePicture pic = empty;
  pic.Hodograph = &h.Points;
  pic.Describing = &table.Points;
  pic.Ranks = &table.Ranks;
  const double baseline = Median([&] { return DrawPlane(img, empty); });
  double total = 0;
  for (auto _ : state) {
    total += DrawPlane(img, pic);
    benchmark::DoNotOptimize(img.constBits());
  }
  Report(state, total, baseline);
  state.counters["hodograph_points"] = static_cast<double>(h.Points.Count());
  state.counters["table_points"] = static_cast<double>(table.Points.Count());
}
BENCHMARK(BM_HodographRedrawWithTable)->Unit(benchmark::kMillisecond);

}  // namespace
