// Redrawing the transient picture of a long run: a million steps of three
// observed points into a 1000 x 700 image, against drawing a thousand
// steps in the same process (the grid, labels and axes cost the same in
// both, so the ratio shows what the samples themselves cost).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "simulation/transient_plot.h"

using namespace vemo;

namespace {

// Three signals of a run: a damped oscillation, a sine and a stepped
// (pulse) signal.
TSampleStore MakeRun(size_t steps, double dt) {
  TSampleStore s;
  for (size_t i = 0; i < steps; ++i) {
    const double t = i * dt;
    s.Append(static_cast<float>(1.0 - std::exp(-0.5 * t) * std::cos(3.0 * t)));
    s.Append(static_cast<float>(0.5 * std::sin(t)));
    s.Append(std::fmod(t, 2.0) < 1.0 ? 0.8f : -0.2f);
  }
  return s;
}

TTransientPicture Picture(const TSampleStore& s, size_t steps, double dt) {
  TTransientPicture pic;
  pic.Samples = &s;
  pic.Dt = dt;
  pic.Curves = {{0x000000, true, false, 1.0}, {0x0000FF, true, false, 1.0},
                {0x008000, true, true, 1.0}};
  const double t1 = steps * dt;
  pic.TimeFrom = -0.05 * t1;
  pic.TimeTo = t1;
  TransientValueRange(-0.5, 1.6, false, pic.ValueFrom, pic.ValueTo);
  return pic;
}

// The processor time of this thread: the machine running the benchmarks is
// often shared, and wall time would measure the other jobs too.
double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

double Draw(QImage& img, const TTransientPicture& pic) {
  const double t0 = ThreadSeconds();
  QPainter p(&img);
  DrawTransient(p, img.rect(), pic);
  p.end();
  return ThreadSeconds() - t0;
}

// Median time of drawing a thousand steps (the same time span).
double BaselineSeconds() {
  static const double seconds = [] {
    const TSampleStore s = MakeRun(1000, 0.02);
    const TTransientPicture pic = Picture(s, 1000, 0.02);
    QImage img(1000, 700, QImage::Format_RGB32);
    std::vector<double> t;
    for (int i = 0; i < 41; ++i) t.push_back(Draw(img, pic));
    std::nth_element(t.begin(), t.begin() + 20, t.end());
    return t[20];
  }();
  return seconds;
}

void Redraw(benchmark::State& state, size_t steps) {
  const double dt = 20.0 / steps;
  const TSampleStore s = MakeRun(steps, dt);
  const TTransientPicture pic = Picture(s, steps, dt);
  QImage img(1000, 700, QImage::Format_RGB32);
  double total = 0;
  for (auto _ : state) {
    total += Draw(img, pic);
    benchmark::DoNotOptimize(img.constBits());
  }
  const double each = total / std::max<double>(1, state.iterations());
  state.counters["cpu_ms"] = each * 1e3;
  state.counters["baseline_cpu_ms"] = BaselineSeconds() * 1e3;
  state.counters["ratio"] = each / BaselineSeconds();
}

void BM_Redraw1000Steps(benchmark::State& state) { Redraw(state, 1000); }
void BM_Redraw1MillionSteps(benchmark::State& state) { Redraw(state, 1000000); }
BENCHMARK(BM_Redraw1000Steps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redraw1MillionSteps)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
