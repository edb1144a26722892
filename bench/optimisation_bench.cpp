// The optimiser's cost per evaluation and its runs on copies of a scheme.
//
// Criterion: one evaluation of the criterion on an example project against
// two runs of the same field over the same span, timed in turn in the same
// process in processor time of the thread: the step loop alone (SimInit,
// the steps, SimDone) and the program's transient run observing the error
// point (as a run of the window or of `vemo-cli simulate`, its samples not
// kept). Counters: evaluations per second of each, and the criterion's
// overhead in per cent against each (the median of the triples' ratios).
//   build/bench/vemo_optimisation_bench --benchmark_filter=Criterion
// Copies: a probing search of 64 runs on the field itself and on two copies
// (the calling thread and one worker), alternately; counter: the speed-up.
//   build/bench/vemo_optimisation_bench --benchmark_filter=Copies
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "model/project_file.h"
#include "optimisation/criterion.h"
#include "optimisation/opt_params.h"
#include "optimisation/optimise.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/engine.h"
#include "simulation/transient.h"

using namespace vemo;

namespace {

using TClock = std::chrono::steady_clock;

const char* const kExamples[] = {"feedback_loop.vmo", "oscillatory_step.vmo", "saturation_loop.vmo",
                                 "relay_loop.vmo", "pwm_loop.vmo"};

std::unique_ptr<TField> Example(const char* name, TFileProjects& projects) {
  ResetProgramState();
  Prog.Projects = &projects;
  const std::string path = std::string(VEMO_SOURCE_DIR "/examples/") + name;
  projects.SearchDirs = {VEMO_SOURCE_DIR "/examples"};
  auto f = CreateField();
  if (LoadField(*f, path) != TLoadResult::Ok) return nullptr;
  PrepareRun(*f);
  if (Prog.Err.ErrorCode) return nullptr;
  return f;
}

// The run the criterion is measured against: the engine's step loop alone.
void BareRun(TField& f, double viewTime) {
  const double dt = f.Step;
  int64_t steps = 0;
  CountRunSteps(0, dt, viewTime, steps);
  SimInit(f);
  for (int64_t k = 0; k < steps; ++k) {
    Prog.Clock.TimeStep = dt;
    Prog.Clock.SimTime = StepTime(k, dt);
    SimStepAll(f);
  }
  SimDone(f);
}

// The program's transient run of the field over the span, observing point
// `point`, its samples not kept.
void TransientRun(TField& f, double viewTime, int point) {
  TTransientRun run;
  run.KeepSamples = false;
  run.Open(f, viewTime, {point});
  run.RunSegment();
  run.Close();
}

double Seconds(TClock::duration d) { return std::chrono::duration<double>(d).count(); }

// Processor seconds of the calling thread: on a shared machine the time a
// run waited for the processor is not its own.
double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0.0;
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

void BM_Criterion(benchmark::State& state) {
  TFileProjects projects;
  const char* name = kExamples[state.range(0)];
  auto f = Example(name, projects);
  if (!f) {
    state.SkipWithError("example does not load");
    return;
  }
  state.SetLabel(name);
  TCriterionSetup crit;
  crit.ViewTime = Prog.Clock.ViewTime;
  crit.ErrorPoint = 0;
  TCriterionControl control;
  control.Stop = &OptState().Stop;
  control.Progress = [](double) {};
  // Each iteration runs the three in a rotating order; the overheads are
  // the medians of the ratios of processor time.
  double bare = 0, run = 0, critTime = 0, sink = 0;
  std::vector<double> toBare, toRun;
  long runs = 0;
  for (auto _ : state) {
    double t[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
      const int which = static_cast<int>((runs + i) % 3);
      const double t0 = ThreadSeconds();
      if (which == 0) BareRun(*f, crit.ViewTime);
      else if (which == 1) TransientRun(*f, crit.ViewTime, crit.ErrorPoint);
      else sink += Criterion(*f, crit, control);
      t[which] = ThreadSeconds() - t0;
    }
    bare += t[0];
    run += t[1];
    critTime += t[2];
    toBare.push_back(t[2] / t[0]);
    toRun.push_back(t[2] / t[1]);
    ++runs;
    state.SetIterationTime(t[2]);
  }
  benchmark::DoNotOptimize(sink);
  state.counters["bare_per_s"] = runs / bare;
  state.counters["run_per_s"] = runs / run;
  state.counters["crit_per_s"] = runs / critTime;
  state.counters["over_bare_pct"] = (Median(toBare) - 1.0) * 100.0;
  state.counters["over_run_pct"] = (Median(toRun) - 1.0) * 100.0;
  ReleaseMacroBodies(*f);
}
BENCHMARK(BM_Criterion)->DenseRange(0, 4)->UseManualTime()->MinTime(2.0);

// A probing search of 8 × 8 points over two parameters of the saturation
// loop (the aperiodic element's gain and time constant).
TOptOutcome Probe(TField& f, unsigned workers) {
  TOptState& st = OptState();
  st.OptParamCount = 2;
  auto* lag = dynamic_cast<TParamBlock*>(f.Cell(8, 2));
  const double kept[2] = {lag->Params[0], lag->Params[1]};
  st.Params[0] = {0, &lag->Params[1], 0.5, 4.0, 8 * kGridSize + 2, 1};
  st.Params[1] = {1, &lag->Params[0], 0.1, 3.0, 8 * kGridSize + 2, 0};
  TSettings s;
  s.ZondCount = 8;
  s.ZondIterCount = 1;
  TOptRunOptions o;
  o.Method = 0;
  o.Setup.ViewTime = Prog.Clock.ViewTime;
  o.Setup.ErrorPoint = 1;
  o.Workers = workers;
  TOptProgress progress;
  const TOptOutcome out = RunOptimisation(f, s, o, progress);
  lag->Params[0] = kept[0];
  lag->Params[1] = kept[1];
  return out;
}

void BM_Copies(benchmark::State& state) {
  TFileProjects projects;
  auto f = Example("saturation_loop.vmo", projects);
  if (!f || !dynamic_cast<TParamBlock*>(f->Cell(8, 2))) {
    state.SkipWithError("example does not load");
    return;
  }
  const unsigned workers = static_cast<unsigned>(state.range(0));
  double one = 0, many = 0;
  for (auto _ : state) {
    const auto t0 = TClock::now();
    const TOptOutcome a = Probe(*f, 1);
    const auto t1 = TClock::now();
    const TOptOutcome b = Probe(*f, workers);
    const auto t2 = TClock::now();
    if (a.Runs != b.Runs || !b.Parallel) state.SkipWithError("the runs differ");
    one += Seconds(t1 - t0);
    many += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t2 - t1));
  }
  state.counters["speedup"] = one / many;
  ReleaseMacroBodies(*f);
}
BENCHMARK(BM_Copies)->Arg(2)->UseManualTime()->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
