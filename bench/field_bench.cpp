// Compiling, saving and loading a field whose 40,000 cells are all occupied.
#include <benchmark/benchmark.h>

#include "model/compile.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "shell/program.h"
#include "simulation/engine.h"

using namespace vemo;

namespace {

// Proportional blocks in even columns joined by wires in odd columns, each
// row one chain fed from the row above through the last column: every cell
// of the grid is occupied.
std::unique_ptr<TField> FullField() {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  for (int row = 0; row < kGridSize; ++row) {
    for (int col = 0; col < kGridSize; col += 2) {
      b.Block(col, row, col == 0 && row == 0 ? 0 : 6, {1.0});
      if (col + 1 < kGridSize) b.Line({{col, row}, {col + 1, row}, {col + 2 < kGridSize ? col + 2 : col + 1, row}});
    }
  }
  b.Point(0, 1, 0);
  return f;
}

void BM_CompileFullField(benchmark::State& state) {
  ResetProgramState();
  auto f = FullField();
  for (auto _ : state) {
    Prog.Err.ErrorCode = 0;
    Prog.Wiring.ZeroListed = 0;
    CompileScheme(*f, nullptr);
    SortRunList(*f);
  }
  state.counters["error"] = Prog.Err.ErrorCode;
}
BENCHMARK(BM_CompileFullField)->Unit(benchmark::kMillisecond);

void BM_SaveLoadFullField(benchmark::State& state) {
  ResetProgramState();
  auto f = FullField();
  size_t bytes = 0;
  for (auto _ : state) {
    const std::vector<uint8_t> image = FieldImage(*f, 10.0);
    auto g = CreateField();
    LoadFieldFromMemory(*g, image.data(), image.size());
    bytes = image.size();
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SaveLoadFullField)->Unit(benchmark::kMillisecond);

}  // namespace
