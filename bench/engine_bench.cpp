// The simulation step loop against a hand-written loop over plain arrays
// computing the same recurrences. Compare the two times of one run:
//   build/bench/vemo_bench --benchmark_filter=Chain
#include <benchmark/benchmark.h>

#include <utility>
#include <vector>

#include "model/scheme_builder.h"
#include "shell/program.h"
#include "simulation/engine.h"

using namespace vemo;

namespace {

// Every run does the same work, 10^8 block steps, spread over chains of 50,
// 200 and 1,000 blocks: the small ones keep the run's data in the first-level
// cache, the large one does not.
constexpr long kWork = 100'000'000;
std::pair<int, int> ChainSize(const benchmark::State& state) {
  const int blocks = static_cast<int>(state.range(0));
  return {blocks, static_cast<int>(kWork / blocks)};
}
constexpr double kDt = 0.001;

struct TStage {
  uint16_t Code;
  std::initializer_list<double> Params;
};
// Linear chain: proportional, aperiodic, integrating, differentiating
// (keeps the integrals bounded), oscillatory.
const TStage kLinear[5] = {{6, {1.0}}, {10, {0.5, 1.0, 0.0}}, {7, {1.0, 0.0}}, {8, {1.0}},
                           {11, {0.2, 0.3, 1.0}}};
// Mixed chain: saturation, aperiodic, dead zone, pulse-amplitude element,
// two-position relay.
const TStage kMixed[5] = {{21, {1.0, -1.0}}, {10, {0.5, 1.0, 0.0}}, {20, {0.01}},
                          {13, {0.1, 1.0}}, {23, {1.0, -1.0, 0.0}}};

// A constant followed by the chain, snaking over the grid in rows of 48
// blocks (blocks in even columns, wires between them, turns at the ends).
std::unique_ptr<TField> ChainField(const TStage* pattern, int kBlocks) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(1, 1, 0, {1.0});
  int prevCol = 1, prevRow = 1;
  for (int i = 0; i < kBlocks; ++i) {
    const int row = 1 + (i / 48) * 3;
    const int idx = i % 48;
    const int col = ((i / 48) % 2 == 0) ? 3 + 2 * idx : 97 - 2 * idx;
    b.Block(col, row, pattern[i % 5].Code, pattern[i % 5].Params);
    if (row == prevRow) {
      b.Line({{prevCol, prevRow}, {col, row}});
    } else {
      // Turn at the row end: out of the right (or left) side, down, back in.
      const int side = prevCol > 50 ? prevCol + 1 : prevCol - 1;
      b.Line({{prevCol, prevRow}, {side, prevRow}, {side, row}, {col, row}});
    }
    prevCol = col;
    prevRow = row;
  }
  // The output leaves the last block in the direction of its row.
  const int outCol = prevCol + (((kBlocks - 1) / 48) % 2 == 0 ? 1 : -1);
  b.Line({{prevCol, prevRow}, {outCol, prevRow}});
  b.Point(0, outCol, prevRow);
  f->Step = kDt;
  f->AutoStep = 0;
  return f;
}

void RunEngine(benchmark::State& state, const TStage* pattern) {
  const auto [kBlocks, kSteps] = ChainSize(state);
  ResetProgramState();
  auto f = ChainField(pattern, kBlocks);
  PrepareRun(*f);
  if (Prog.Err.ErrorCode) {
    state.SkipWithError("scheme error");
    return;
  }
  double out = 0;
  for (auto _ : state) {
    SimInit(*f);
    double t = 0;
    for (int s = 0; s < kSteps; ++s) {
      Prog.Clock.TimeStep = kDt;
      Prog.Clock.SimTime = t;
      SimStepAll(*f);
      t += kDt;
    }
    out = f->Points[0].Source->Output;
    SimDone(*f);
  }
  benchmark::DoNotOptimize(out);
  state.counters["output"] = out;
  state.SetItemsProcessed(state.iterations() * kSteps * kBlocks);
}

void BM_ChainEngine(benchmark::State& state) { RunEngine(state, kLinear); }
BENCHMARK(BM_ChainEngine)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Arg(50)->Arg(200)->Arg(1000);

// The same recurrences over plain arrays, in chain order.
void BM_ChainHandWritten(benchmark::State& state) {
  const auto [kBlocks, kSteps] = ChainSize(state);
  struct Cell {
    int code;
    double p0, p1, p2;
    double s, u, v, y;
  };
  double out = 0;
  for (auto _ : state) {
    std::vector<Cell> c(kBlocks);
    for (int i = 0; i < kBlocks; ++i) {
      const int code = kLinear[i % 5].Code;
      c[i] = {code, 0, 0, 0, 0, 0, 0, 0};
      if (code == 6) c[i].p0 = 1.0;
      else if (code == 10) { c[i].p0 = 0.5; c[i].p1 = 1.0; }
      else if (code == 7) c[i].p0 = 1.0;
      else if (code == 8) c[i].p0 = 1.0;
      else { c[i].p0 = 0.2; c[i].p1 = 0.3; c[i].p2 = 1.0; }
    }
    const double dt = kDt;
    // Outputs live in an array and every block reads its input through an
    // index, as a scheme's wiring requires (slot 0 is the constant source).
    std::vector<double> y(kBlocks + 1, 0.0);
    std::vector<int> in(kBlocks);
    for (int i = 0; i < kBlocks; ++i) in[i] = i;
    y[0] = 1.0;
    for (int s = 0; s < kSteps; ++s) {
      for (int i = 0; i < kBlocks; ++i) {
        Cell& b = c[i];
        const double x = y[in[i]];
        switch (b.code) {
          case 6: b.y = b.p0 * x; break;
          case 10: {
            double a = dt / b.p0;
            if (a > 1) a = 1;
            b.s += (x - b.s) * a;
            b.y = b.p1 * b.s;
            break;
          }
          case 7:
            b.s += (x + b.u) * 0.5 * dt;
            b.u = x;
            b.y = b.p0 * b.s;
            break;
          case 8:
            b.y = b.p0 * (x - b.u) / dt;
            b.u = x;
            break;
          default: {
            const double e = x - b.s;
            b.v += e * dt / (2 * b.p1 * b.p0);
            double a = 2 * b.p1 * dt / b.p0;
            if (a > 1) a = 1;
            b.s += (b.v - b.s) * a;
            b.y = b.p2 * b.s;
            break;
          }
        }
        y[i + 1] = b.y;
      }
      out = y[kBlocks];
    }
  }
  benchmark::DoNotOptimize(out);
  state.counters["output"] = out;
  state.SetItemsProcessed(state.iterations() * kSteps * kBlocks);
}
BENCHMARK(BM_ChainHandWritten)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Arg(50)->Arg(200)->Arg(1000);

}  // namespace

namespace {

void BM_MixedEngine(benchmark::State& state) { RunEngine(state, kMixed); }
BENCHMARK(BM_MixedEngine)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Arg(50)->Arg(200)->Arg(1000);

// The mixed chain's recurrences over plain arrays.
void BM_MixedHandWritten(benchmark::State& state) {
  const auto [kBlocks, kSteps] = ChainSize(state);
  struct Cell {
    int code;
    double p0, p1, s, phase, y;
  };
  double out = 0;
  for (auto _ : state) {
    std::vector<Cell> c(kBlocks);
    for (int i = 0; i < kBlocks; ++i) {
      const TStage& st = kMixed[i % 5];
      const double* p = st.Params.begin();
      c[i] = {st.Code, p[0], st.Params.size() > 1 ? p[1] : 0.0, 0, 0, 0};
      if (st.Code == 13) c[i].phase = c[i].p0;
    }
    const double dt = kDt;
    std::vector<double> y(kBlocks + 1, 0.0);
    std::vector<int> in(kBlocks);
    for (int i = 0; i < kBlocks; ++i) in[i] = i;
    y[0] = 1.0;
    for (int s = 0; s < kSteps; ++s) {
      for (int i = 0; i < kBlocks; ++i) {
        Cell& b = c[i];
        const double x = y[in[i]];
        switch (b.code) {
          case 21: b.y = x > b.p0 ? b.p0 : x < b.p1 ? b.p1 : x; break;
          case 10: {
            double a = dt / b.p0;
            if (a > 1) a = 1;
            b.s += (x - b.s) * a;
            b.y = b.p1 * b.s;
            break;
          }
          case 20: b.y = x > b.p0 ? x - b.p0 : x < -b.p0 ? x + b.p0 : 0.0; break;
          case 13:
            b.phase += dt;
            if (b.phase >= b.p0 / b.p1) b.y = 0.0;
            if (b.phase >= b.p0) {
              b.y = x;
              b.phase -= b.p0;
            }
            break;
          default: b.y = x < 0.0 ? -1.0 : 1.0; break;
        }
        y[i + 1] = b.y;
      }
      out = y[kBlocks];
    }
  }
  benchmark::DoNotOptimize(out);
  state.counters["output"] = out;
  state.SetItemsProcessed(state.iterations() * kSteps * kBlocks);
}
BENCHMARK(BM_MixedHandWritten)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Arg(50)->Arg(200)->Arg(1000);

}  // namespace
