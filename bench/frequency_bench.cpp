// Growth of the frequency-domain work with size: W(s) of contours with
// nested feedback loops, and root finding of growing degree.
#include <benchmark/benchmark.h>

#include <random>

#include "frequency/contour.h"
#include "frequency/roots.h"
#include "model/scheme_builder.h"
#include "shell/program.h"

using namespace vemo;

namespace {

// Stages in series, each a feedback loop: summer (bottom negated) ->
// aperiodic -> proportional, the output fed back to the summer. A is the
// input, B the output; blocks = 3 per stage + the source.
std::unique_ptr<TField> NestedLoops(int stages) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(1, 2, 0, {1.0});
  int col = 1;
  for (int s = 0; s < stages; ++s) {
    b.Block(col + 2, 2, 2);
    b.Line({{col, 2}, {col + 2, 2}});
    b.Block(col + 4, 2, 10, {0.1 + 0.01 * s, 1.0, 0.0});
    b.Line({{col + 2, 2}, {col + 4, 2}});
    b.Block(col + 6, 2, 6, {2.0});
    b.Line({{col + 4, 2}, {col + 6, 2}});
    b.Line({{col + 6, 2}, {col + 8, 2}});
    b.Line({{col + 7, 2}, {col + 7, 4}, {col + 2, 4}, {col + 2, 2}});
    col += 6;
  }
  b.Point(0, 2, 2);
  b.Point(1, col + 2, 2);
  return f;
}

void BM_ContourTransferFunction(benchmark::State& state) {
  ResetProgramState();
  auto f = NestedLoops(static_cast<int>(state.range(0)) / 3);
  for (auto _ : state) {
    const bool ok = RunContourCommand(*f, 0, 1, false);
    if (!ok) state.SkipWithError("contour failed");
  }
  state.counters["blocks"] = static_cast<double>(state.range(0) / 3 * 3);
}
BENCHMARK(BM_ContourTransferFunction)->Arg(10)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);

void BM_FindRoots(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  // A polynomial from random complex-conjugate root pairs in the left
  // half-plane, moduli 0.5..2.
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> mod(0.5, 2.0), ang(0.55 * M_PI, 1.45 * M_PI);
  std::vector<Real> coef{1.0L};
  for (int k = 0; k < n / 2; ++k) {
    const double r = mod(gen), a = ang(gen);
    const Real p = -2 * r * std::cos(a), q = r * r;  // s^2 + p s + q
    std::vector<Real> next(coef.size() + 2, 0.0L);
    for (size_t i = 0; i < coef.size(); ++i) {
      next[i] += coef[i] * q;
      next[i + 1] += coef[i] * p;
      next[i + 2] += coef[i];
    }
    coef.swap(next);
  }
  std::vector<Real> re, im;
  for (auto _ : state) {
    if (!FindRoots(coef, static_cast<int>(coef.size()) - 1, re, im)) state.SkipWithError("no roots");
  }
}
BENCHMARK(BM_FindRoots)->Arg(10)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
