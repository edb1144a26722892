// The simulation step loop against two hand-written loops over plain arrays
// computing the same recurrences:
//   Indexed  — every block reads its input through an index array, as a
//              scheme's wiring requires;
//   Plain    — the loop a user writes for the chain: the signal passed from
//              block to block in a variable.
// Each run does the same number of block steps over chains of 50, 200, 1,000
// and 10,000 blocks (the small ones keep the run's data in the first-level
// cache, the largest not even in the second). The label "output" is the end
// of the chain after the last step: the three loops agree to the bit.
//   build/bench/vemo_bench --benchmark_filter='Aperiodic|Mixed|Linear'
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "chain_scheme.h"
#include "shell/program.h"
#include "simulation/engine.h"
#include "simulation/run_batch.h"

using namespace vemo;
using vemo::bench::AperiodicT;
using vemo::bench::kLinear;
using vemo::bench::kMixed;

namespace {

constexpr long kWork = 20'000'000;  // block steps per run
constexpr double kDt = 0.001;

struct TChain {
  int Blocks, Steps;
};
TChain ChainSize(const benchmark::State& state) {
  const int blocks = static_cast<int>(state.range(0));
  return {blocks, static_cast<int>(kWork / blocks)};
}

void Report(benchmark::State& state, const TChain& c, double out) {
  benchmark::DoNotOptimize(out);
  char label[48];
  std::snprintf(label, sizeof label, "output %.17g", out);
  state.SetLabel(label);
  state.SetItemsProcessed(state.iterations() * static_cast<long>(c.Steps) * c.Blocks);
}

// The engine over the chain; `batches`: steps taken in batches as a
// transient run takes them (simulation/run_batch.h).
void RunEngine(benchmark::State& state, const char* kind, bool batches = false) {
  const TChain c = ChainSize(state);
  ResetProgramState();
  auto f = CreateField();
  bench::BuildChain(*f, kind, c.Blocks);
  f->Step = kDt;
  PrepareRun(*f);
  if (Prog.Err.ErrorCode) {
    state.SkipWithError("scheme error");
    return;
  }
  double out = 0;
  for (auto _ : state) {
    SimInit(*f);
    TRunBatch batch;
    batch.Columns = {RecordOf(f->Plan, f->Points[0].Source)};
    if (batches && !PlanBatches(f->Plan)) {
      state.SkipWithError("no chain for batches");
      return;
    }
    for (int s = 0; s < c.Steps;) {
      Prog.Clock.TimeStep = kDt;
      Prog.Clock.SimTime = StepTime(s, kDt);
      if (batches) {
        const int n = std::min(BatchSteps(f->Plan), c.Steps - s);
        StepRunBatch(f->Plan, n, batch);
        s += n;
      } else {
        SimStepAll(*f);
        ++s;
      }
    }
    out = f->Points[0].Source->Output;
    SimDone(*f);
  }
  Report(state, c, out);
}

// ---- the aperiodic chain: T = 0.5 ... 1.5 s, K = 1 ----

void BM_AperiodicEngine(benchmark::State& state) { RunEngine(state, "aperiodic"); }
void BM_AperiodicBatches(benchmark::State& state) { RunEngine(state, "aperiodic", true); }

void BM_AperiodicIndexed(benchmark::State& state) {
  const TChain c = ChainSize(state);
  double out = 0;
  for (auto _ : state) {
    std::vector<double> T(c.Blocks), K(c.Blocks, 1.0), s(c.Blocks, 0.0), y(c.Blocks + 1, 0.0);
    std::vector<int> in(c.Blocks);
    for (int i = 0; i < c.Blocks; ++i) {
      T[i] = AperiodicT(i, c.Blocks);
      in[i] = i;  // slot 0 is the constant source
    }
    y[0] = 1.0;
    for (int k = 0; k < c.Steps; ++k)
      for (int i = 0; i < c.Blocks; ++i) {
        double a = kDt / T[i];
        if (a > 1) a = 1;
        s[i] += (y[in[i]] - s[i]) * a;
        y[i + 1] = K[i] * s[i];
      }
    out = y[c.Blocks];
  }
  Report(state, c, out);
}

void BM_AperiodicPlain(benchmark::State& state) {
  const TChain c = ChainSize(state);
  double out = 0;
  for (auto _ : state) {
    std::vector<double> a(c.Blocks), K(c.Blocks, 1.0), s(c.Blocks, 0.0);
    for (int i = 0; i < c.Blocks; ++i) {
      const double q = kDt / AperiodicT(i, c.Blocks);
      a[i] = q < 1 ? q : 1;
    }
    double x = 0;
    for (int k = 0; k < c.Steps; ++k) {
      x = 1.0;
      for (int i = 0; i < c.Blocks; ++i) {
        s[i] += (x - s[i]) * a[i];
        x = K[i] * s[i];
      }
    }
    out = x;
  }
  Report(state, c, out);
}

// ---- the linear chain: proportional, aperiodic, integrating,
// differentiating, oscillatory ----

void BM_LinearEngine(benchmark::State& state) { RunEngine(state, "linear"); }

void BM_LinearIndexed(benchmark::State& state) {
  const TChain c = ChainSize(state);
  struct Cell {
    int code;
    double p0, p1, p2;
    double s, u, v, y;
  };
  double out = 0;
  for (auto _ : state) {
    std::vector<Cell> cells(c.Blocks);
    for (int i = 0; i < c.Blocks; ++i) {
      const auto& st = kLinear[i % 5];
      cells[i] = {st.Code, st.Params[0], st.Params.size() > 1 ? st.Params[1] : 0.0,
                  st.Params.size() > 2 ? st.Params[2] : 0.0, 0, 0, 0, 0};
    }
    const double dt = kDt;
    std::vector<double> y(c.Blocks + 1, 0.0);
    std::vector<int> in(c.Blocks);
    for (int i = 0; i < c.Blocks; ++i) in[i] = i;
    y[0] = 1.0;
    for (int k = 0; k < c.Steps; ++k)
      for (int i = 0; i < c.Blocks; ++i) {
        Cell& b = cells[i];
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
    out = y[c.Blocks];
  }
  Report(state, c, out);
}

void BM_LinearPlain(benchmark::State& state) {
  // Whole groups of five blocks (50 ... 10,000 are).
  const TChain c = ChainSize(state);
  const int groups = c.Blocks / 5;
  double out = 0;
  for (auto _ : state) {
    const double dt = kDt, Kp = 1, Ta = 0.5, Ka = 1, Ki = 1, Kd = 1, To = 0.2, xi = 0.3, Ko = 1;
    double aa = dt / Ta;
    if (aa > 1) aa = 1;
    double ao = 2 * xi * dt / To;
    if (ao > 1) ao = 1;
    const double div = 2 * xi * To;
    std::vector<double> sa(groups, 0.0), si(groups, 0.0), ui(groups, 0.0), ud(groups, 0.0),
        vo(groups, 0.0), so(groups, 0.0);
    double x = 0;
    for (int k = 0; k < c.Steps; ++k) {
      x = 1.0;
      for (int g = 0; g < groups; ++g) {
        x = Kp * x;
        sa[g] += (x - sa[g]) * aa;
        x = Ka * sa[g];
        si[g] += (x + ui[g]) * 0.5 * dt;
        ui[g] = x;
        x = Ki * si[g];
        const double d = Kd * (x - ud[g]) / dt;
        ud[g] = x;
        x = d;
        vo[g] += (x - so[g]) * dt / div;
        so[g] += (vo[g] - so[g]) * ao;
        x = Ko * so[g];
      }
    }
    out = x;
  }
  Report(state, c, out);
}

// ---- the mixed chain: saturation, aperiodic, dead zone, pulse-amplitude
// element, two-position relay ----

void BM_MixedEngine(benchmark::State& state) { RunEngine(state, "mixed"); }
void BM_MixedBatches(benchmark::State& state) { RunEngine(state, "mixed", true); }
// The chain of aperiodic element, saturation, dead zone and gain.
void BM_LimitedEngine(benchmark::State& state) { RunEngine(state, "limited"); }
void BM_LimitedBatches(benchmark::State& state) { RunEngine(state, "limited", true); }

void BM_MixedIndexed(benchmark::State& state) {
  const TChain c = ChainSize(state);
  struct Cell {
    int code;
    double p0, p1, s, phase, y;
  };
  double out = 0;
  for (auto _ : state) {
    std::vector<Cell> cells(c.Blocks);
    for (int i = 0; i < c.Blocks; ++i) {
      const auto& st = kMixed[i % 5];
      cells[i] = {st.Code, st.Params[0], st.Params.size() > 1 ? st.Params[1] : 0.0, 0, 0, 0};
      if (st.Code == 13) cells[i].phase = cells[i].p0;
    }
    const double dt = kDt;
    std::vector<double> y(c.Blocks + 1, 0.0);
    std::vector<int> in(c.Blocks);
    for (int i = 0; i < c.Blocks; ++i) in[i] = i;
    y[0] = 1.0;
    for (int k = 0; k < c.Steps; ++k)
      for (int i = 0; i < c.Blocks; ++i) {
        Cell& b = cells[i];
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
    out = y[c.Blocks];
  }
  Report(state, c, out);
}

void BM_MixedPlain(benchmark::State& state) {
  // Whole groups of five blocks, as bench/plain_chain.c writes them.
  const TChain c = ChainSize(state);
  const int groups = c.Blocks / 5;
  double out = 0;
  for (auto _ : state) {
    const double dt = kDt, hi = 1, lo = -1, T = 0.5, K = 1, d = 0.01, P = 0.1, Q = 1, y1 = 1,
                 y2 = -1, thr = 0;
    const double a = dt / T < 1 ? dt / T : 1;
    std::vector<double> s(groups, 0.0), phase(groups, P), held(groups, 0.0);
    double x = 0;
    for (int k = 0; k < c.Steps; ++k) {
      x = 1.0;
      for (int g = 0; g < groups; ++g) {
        x = x > hi ? hi : x < lo ? lo : x;
        s[g] += (x - s[g]) * a;
        x = K * s[g];
        x = x > d ? x - d : x < -d ? x + d : 0;
        phase[g] += dt;
        if (phase[g] >= P / Q) held[g] = 0;
        if (phase[g] >= P) {
          held[g] = x;
          phase[g] -= P;
        }
        x = held[g];
        x = x < thr ? y2 : y1;
      }
    }
    out = x;
  }
  Report(state, c, out);
}

#define VEMO_CHAIN_BENCH(name) \
  BENCHMARK(name)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Arg(50)->Arg(200)->Arg(1000)->Arg(10000)

VEMO_CHAIN_BENCH(BM_AperiodicEngine);
VEMO_CHAIN_BENCH(BM_AperiodicBatches);
VEMO_CHAIN_BENCH(BM_AperiodicIndexed);
VEMO_CHAIN_BENCH(BM_AperiodicPlain);
VEMO_CHAIN_BENCH(BM_LinearEngine);
VEMO_CHAIN_BENCH(BM_LinearIndexed);
VEMO_CHAIN_BENCH(BM_LinearPlain);
VEMO_CHAIN_BENCH(BM_MixedEngine);
VEMO_CHAIN_BENCH(BM_MixedBatches);
VEMO_CHAIN_BENCH(BM_LimitedEngine);
VEMO_CHAIN_BENCH(BM_LimitedBatches);
VEMO_CHAIN_BENCH(BM_MixedIndexed);
VEMO_CHAIN_BENCH(BM_MixedPlain);

}  // namespace
