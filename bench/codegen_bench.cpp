// Program generation for a chain of n blocks of mixed kinds, in every
// language: the time per block must not grow with n (the fit is printed as
// a complexity), and it is set beside the compile of the same contour.
#include <benchmark/benchmark.h>

#include "codegen/generation.h"
#include "model/compile.h"
#include "model/scheme_builder.h"
#include "shell/program.h"
#include "simulation/engine.h"

using namespace vemo;

namespace {

// n blocks in a snake through the grid, 49 to a row with a wire cell
// between neighbours, fed by a harmonic source (point A); point B at the end.
std::unique_ptr<TField> Chain(int n) {
  static const uint16_t kinds[] = {6, 10, 20, 24, 28, 11, 95, 21, 9, 25};
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(0, 0, 115, {1.0, 1.0, 0.0});
  std::pair<int, int> prev{0, 0};
  for (int i = 0; i < n; ++i) {
    const int row = 2 * (i / 49), k = i % 49;
    const int col = row % 4 == 0 ? 2 + 2 * k : 98 - 2 * k;
    b.Block(col, row, kinds[i % 10]);
    if (prev.second == row) b.Line({prev, {col, row}});
    else b.Line({prev, {prev.first, row}, {col, row}});
    prev = {col, row};
  }
  b.Line({prev, {prev.first, prev.second + 1}});
  b.Point(0, 1, 0);
  b.Point(1, prev.first, prev.second + 1);
  return f;
}

void Compile(TField& f) {
  Prog.Err.ErrorCode = 0;
  Prog.Wiring.ZeroListed = 0;
  CompileScheme(f, nullptr);
  CheckAlgebraicLoops(f);
}

void BM_CompileContour(benchmark::State& state) {
  ResetProgramState();
  auto f = Chain(static_cast<int>(state.range(0)));
  for (auto _ : state) Compile(*f);
  state.counters["error"] = Prog.Err.ErrorCode;
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CompileContour)->RangeMultiplier(2)->Range(250, 4000)->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void BM_Generate(benchmark::State& state, TTarget t) {
  ResetProgramState();
  ResetCodegenSettings();
  auto f = Chain(static_cast<int>(state.range(0)));
  Compile(*f);
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = GenerateText(*f, t, {0}, {1}, 0.01);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["error"] = Prog.Err.ErrorCode;
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetComplexityN(state.range(0));
}

#define VEMO_GENERATE(name, target)                                                            \
  BENCHMARK_CAPTURE(BM_Generate, name, target)->RangeMultiplier(2)->Range(250, 4000)         \
      ->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond)
VEMO_GENERATE(Pascal, TTarget::Pascal);
VEMO_GENERATE(C, TTarget::C);
VEMO_GENERATE(QBasic, TTarget::QBasic);
VEMO_GENERATE(X86, TTarget::X86);
VEMO_GENERATE(Asm51, TTarget::Asm51);
VEMO_GENERATE(Asm96, TTarget::Asm96);
VEMO_GENERATE(Dec, TTarget::Dec);

}  // namespace
