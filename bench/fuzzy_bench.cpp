// The fuzzy controller: one inference of the shipped 2-input, 7 x 7-rule
// MAX_MIN PD controller, and its share of a 100,000-step run of the example
// scheme (the run against the same controller's 100,000 inferences on the
// inputs that run gives it, in one process):
//   build/bench/vemo_fuzzy_bench
// Every heap allocation of the program is counted: a warm inference must
// make none.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

#include "fuzzy/fuzzy_block.h"
#include "fuzzy/fuzzy_file.h"
#include "model/project_file.h"
#include "shell/program.h"
#include "simulation/engine.h"

// The replacements below pair malloc with free themselves; GCC cannot see
// that once they are inlined into the library's containers.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t n) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using namespace vemo;

namespace {

constexpr int kRunSteps = 100'000;
const std::string kExample = std::string(VEMO_SOURCE_DIR) + "/examples/fuzzy_pd";

struct TInputs {
  double E, DE;
};

// The error and its rate spread over the controller's working ranges.
std::vector<TInputs> GridInputs() {
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> e(-1.2, 1.2), de(-3.5, 3.5);
  std::vector<TInputs> v(4096);
  for (TInputs& x : v) x = {e(rng), de(rng)};
  return v;
}

void BM_Infer7x7MaxMin(benchmark::State& state) {
  TFuzzyModel m;
  if (!LoadModelFile(m, kExample + ".fz")) {
    state.SkipWithError("no examples/fuzzy_pd.fz");
    return;
  }
  const std::vector<TInputs> in = GridInputs();
  TFuzzyInference work;
  for (const TInputs& x : in) {  // warm: the accumulators reach their size
    m.Variables[1].Value = x.E;
    m.Variables[0].Value = x.DE;
    work.Infer(m);
  }
  size_t i = 0;
  const long before = gAllocations.load();
  for (auto _ : state) {
    const TInputs& x = in[i++ & (in.size() - 1)];
    m.Variables[1].Value = x.E;
    m.Variables[0].Value = x.DE;
    work.Infer(m);
    benchmark::DoNotOptimize(m.Variables[3].Value);
  }
  const long allocations = gAllocations.load() - before;
  state.counters["allocs/infer"] = double(allocations) / double(state.iterations());
  if (allocations) state.SkipWithError("a warm inference allocated");
}
BENCHMARK(BM_Infer7x7MaxMin);

struct TRunFixture {
  std::unique_ptr<TField> Field;
  TFuzzyBlock* Fuzzy = nullptr;
  bool Load() {
    ResetProgramState();
    Field = CreateField();
    if (LoadField(*Field, kExample + ".vmo") != TLoadResult::Ok) return false;
    Fuzzy = dynamic_cast<TFuzzyBlock*>(Field->Cell(7, 4));
    PrepareRun(*Field);
    return Fuzzy && Prog.Err.ErrorCode == 0;
  }
  // One run of kRunSteps steps; each step's controller inputs into `seen`.
  double Run(std::vector<TInputs>* seen = nullptr) {
    SimInit(*Field);
    const double dt = Field->Step;
    for (int k = 0; k < kRunSteps; ++k) {
      Prog.Clock.TimeStep = dt;
      Prog.Clock.SimTime = k * dt;
      SimStepAll(*Field);
      if (seen) seen->push_back({Fuzzy->Model.Variables[1].Value, Fuzzy->Model.Variables[0].Value});
    }
    const double out = Field->Points[0].Source->Output;
    SimDone(*Field);
    return out;
  }
};

void BM_FuzzyPdRun100k(benchmark::State& state) {
  TRunFixture f;
  if (!f.Load()) {
    state.SkipWithError("examples/fuzzy_pd.vmo does not prepare");
    return;
  }
  double out = 0;
  for (auto _ : state) out = f.Run();
  benchmark::DoNotOptimize(out);
  state.counters["output"] = out;
  state.counters["per_step"] = benchmark::Counter(double(kRunSteps) * double(state.iterations()),
                                                 benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FuzzyPdRun100k)->Unit(benchmark::kMillisecond);

// The controller's part of that run: its 100,000 inferences on the inputs
// the run gave it, in the same order.
void BM_FuzzyPdInferences100k(benchmark::State& state) {
  TRunFixture f;
  if (!f.Load()) {
    state.SkipWithError("examples/fuzzy_pd.vmo does not prepare");
    return;
  }
  std::vector<TInputs> seen;
  seen.reserve(kRunSteps);
  f.Run(&seen);
  TFuzzyModel m = f.Fuzzy->Model;
  TFuzzyInference work;
  for (auto _ : state) {
    for (const TInputs& x : seen) {
      m.Variables[1].Value = x.E;
      m.Variables[0].Value = x.DE;
      work.Infer(m);
    }
    benchmark::DoNotOptimize(m.Variables[3].Value);
  }
  state.counters["per_infer"] = benchmark::Counter(double(seen.size()) * double(state.iterations()),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FuzzyPdInferences100k)->Unit(benchmark::kMillisecond);

}  // namespace
