// Growth of the frequency-domain work with size: W(s) of contours with
// nested feedback loops and of chains winding over the whole field, and
// root finding of growing degree.
#include <benchmark/benchmark.h>

#include <random>

#include "frequency/contour.h"
#include "frequency/roots.h"
#include "model/compile.h"
#include "model/scheme_builder.h"
#include "scheme_fixtures.h"
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

// W(s) of a chain of n gains (code 6) or lags (code 10) over the field, and
// as the baseline in the same process the compile of the same field, which
// the W(s) command runs first.
void ChainArgs(benchmark::internal::Benchmark* b) {
  for (int n : {100, 1000, 9999}) b->Args({6, n});
  for (int n : {100, 1000}) b->Args({10, n});
  b->Unit(benchmark::kMillisecond);
}

std::unique_ptr<TField> Chain(const benchmark::State& state) {
  auto f = CreateField();
  const uint16_t code = static_cast<uint16_t>(state.range(0));
  if (code == 6)
    testing::BuildSnakeChain(*f, static_cast<int>(state.range(1)), 6, {1.0001});
  else
    testing::BuildSnakeChain(*f, static_cast<int>(state.range(1)), 10, {0.1, 1.0, 0.0});
  return f;
}

void BM_CompileChain(benchmark::State& state) {
  ResetProgramState();
  auto f = Chain(state);
  for (auto _ : state) {
    Prog.Err.ErrorCode = 0;
    Prog.Wiring.ZeroListed = 0;
    CompileScheme(*f, nullptr);
  }
}
BENCHMARK(BM_CompileChain)->Apply(ChainArgs);

void BM_ChainTransferFunction(benchmark::State& state) {
  ResetProgramState();
  auto f = Chain(state);
  for (auto _ : state) {
    if (!RunContourCommand(*f, 0, 1, false)) state.SkipWithError("contour failed");
  }
}
BENCHMARK(BM_ChainTransferFunction)->Apply(ChainArgs);

// A polynomial from random complex-conjugate root pairs with moduli in
// [lo, hi] and angles in [a0, a1] of pi.
std::vector<Real> FromRootPairs(int n, double lo, double hi, double a0, double a1) {
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> mod(lo, hi), ang(a0 * M_PI, a1 * M_PI);
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
  return coef;
}

void RunFindRoots(benchmark::State& state, const std::vector<Real>& coef) {
  std::vector<Real> re, im;
  for (auto _ : state) {
    if (!FindRoots(coef, static_cast<int>(coef.size()) - 1, re, im)) state.SkipWithError("no roots");
  }
}

// Roots near the unit circle (moduli 0.9..1.1): well determined by the
// coefficients at every degree.
void BM_FindRoots(benchmark::State& state) {
  RunFindRoots(state, FromRootPairs(static_cast<int>(state.range(0)), 0.9, 1.1, 0.0, 1.0));
}
BENCHMARK(BM_FindRoots)->Arg(10)->Arg(50)->Arg(100)->Arg(200)->Unit(benchmark::kMillisecond);

// Roots in the left half-plane with moduli 0.5..2, as in a plant with
// spread time constants. From degree 50 on the roots are no longer
// determined by the rounded coefficients (the roots found are exact for
// them, yet far from the roots the polynomial was built from), and from
// degree 100 on the deflated polynomials often drift until no factor meets
// the tolerance: degree 80 is the largest measured.
void BM_FindRootsSpread(benchmark::State& state) {
  RunFindRoots(state, FromRootPairs(static_cast<int>(state.range(0)), 0.5, 2.0, 0.55, 1.45));
}
BENCHMARK(BM_FindRootsSpread)->Arg(10)->Arg(50)->Arg(80)->Unit(benchmark::kMillisecond);

// Random normal coefficients: roots cluster near the unit circle.
void BM_FindRootsRandomCoefficients(benchmark::State& state) {
  std::mt19937 gen(7);
  std::normal_distribution<double> normal;
  std::vector<Real> coef(static_cast<size_t>(state.range(0)) + 1);
  for (auto& c : coef) c = normal(gen);
  RunFindRoots(state, coef);
}
BENCHMARK(BM_FindRootsRandomCoefficients)->Arg(50)->Arg(200)->Arg(400)->Unit(benchmark::kMillisecond);

}  // namespace
