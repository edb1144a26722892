#include "optimisation/criterion.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "model/field.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/engine.h"

namespace vemo {

TCriterionSetup CriterionSettings(const TSettings& s) {
  TCriterionSetup c;
  c.Critery = static_cast<uint8_t>(s.OptCritery < 0 || s.OptCritery > 2 ? 1 : s.OptCritery);
  if (c.Critery == 1) {
    c.WeightY = s.Sqr1DWeightY;
    c.WeightDY = s.Sqr1DWeightDY;
  } else if (c.Critery == 2) {
    c.WeightY = s.Sqr2DWeightY;
    c.WeightDY = s.Sqr2DWeightDY;
    c.WeightD2Y = s.Sqr2DWeightD2Y;
  }
  return c;
}

namespace {

const std::atomic<uint8_t> kNever{0};

const double* OutputOf(const TField& field, int point) {
  static const double zero = 0.0;
  if (point < 0 || point >= kPointCount) return &zero;
  const TBlock* b = field.Points[point].Source;
  return b ? &b->Output : &zero;
}

}  // namespace

namespace {

// The sum of the terms of errors v[0..n-1] (v[-1] and v[-2] are the two
// errors before them) by criterion C; `bad` is set when an error leaves
// ±1e8 or is not a number. The terms go two at a time through the
// processor's vector registers, into four partial sums.
template <int C>
double SumTerms(const double* v, int64_t n, double wy, double wdy, double wd2y, double invDt,
                double invDt2, bool& bad) {
  using V = double __attribute__((vector_size(16)));
  using M = int64_t __attribute__((vector_size(16)));
  const M absMask = {INT64_MAX, INT64_MAX};
  const V limit = {kDivergedError, kDivergedError};
  const V Wy = {wy, wy}, Wdy = {wdy, wdy}, Wd2y = {wd2y, wd2y};
  const V Inv = {invDt, invDt}, Inv2 = {invDt2, invDt2};
  auto load = [](const double* p) {
    V x;
    std::memcpy(&x, p, sizeof x);
    return x;
  };
  auto vabs = [&](V x) { return reinterpret_cast<V>(reinterpret_cast<M>(x) & absMask); };
  M ok = {-1, -1};
  auto terms = [&](int64_t i) {  // the terms of v[i] and v[i + 1]
    const V x = load(v + i);
    ok &= vabs(x) <= limit;  // false for a NaN too
    if constexpr (C == 0) {
      return x * x;
    } else if constexpr (C == 1) {
      const V t = Wy * vabs(x) + Wdy * vabs((x - load(v + i - 1)) * Inv);
      return t * t;
    } else {
      const V x1 = load(v + i - 1), x2 = load(v + i - 2);
      const V t = Wy * vabs(x) + Wdy * vabs((x - x1) * Inv) + Wd2y * vabs((x - 2.0 * x1 + x2) * Inv2);
      return t * t;
    }
  };
  V s0 = {0.0, 0.0}, s1 = {0.0, 0.0};
  int64_t i = 0;
  for (; i + 4 <= n; i += 4) {
    s0 += terms(i);
    s1 += terms(i + 2);
  }
  for (; i + 2 <= n; i += 2) s0 += terms(i);
  double tail = 0.0;
  if (i < n) {  // an odd count: the last term alone, as the lower half of a pair
    const V x = {v[i], 0.0}, x1 = {v[i - 1], 0.0}, x2 = {v[i - 2], 0.0};
    ok &= vabs(x) <= limit;
    V t;
    if constexpr (C == 0) t = x;
    else if constexpr (C == 1) t = Wy * vabs(x) + Wdy * vabs((x - x1) * Inv);
    else t = Wy * vabs(x) + Wdy * vabs((x - x1) * Inv) + Wd2y * vabs((x - 2.0 * x1 + x2) * Inv2);
    tail = t[0] * t[0];
  }
  bad = !(ok[0] && ok[1]);
  return (s0[0] + s1[0]) + (s0[1] + s1[1]) + tail;
}

}  // namespace

double Criterion(TField& field, const TCriterionSetup& crit, const TCriterionControl& control) {
  const std::atomic<uint8_t>& stop = control.Stop ? *control.Stop : kNever;
  const std::atomic<uint8_t>& abandon = control.Abandon ? *control.Abandon : kNever;
  SimInit(field);
  const double* out = OutputOf(field, crit.ErrorPoint);
  static const double zero = 0.0;
  const double* ref = crit.TargetMode ? OutputOf(field, crit.ReferencePoint) : &zero;
  const double dt = field.Step > 0.0 ? field.Step : Prog.Clock.TimeStep;
  // Step k at model time k·dt, as every run of the engine counts them; a
  // span of more steps than a run may take is no usable point.
  int64_t steps = 0;
  if (!CountRunSteps(0, dt, crit.ViewTime, steps)) {
    SimDone(field);
    return kDivergedCriterion;
  }
  const uint8_t critery = crit.Critery;
  const double wy = crit.WeightY, wdy = crit.WeightDY, wd2y = crit.WeightD2Y;
  const double invDt = 1.0 / dt, invDt2 = 1.0 / (dt * dt);
  double J = 0.0;
  // The steps go in chunks: the step loop only stores the error, and the
  // terms of a chunk are summed afterwards, so that the step loop leaves the
  // processor to the blocks. The two errors before the chunk (zero at the
  // start: the run begins without history) stand in front of it.
  double buffer[2 + kProgressSteps] = {0.0, 0.0};
  double* const chunk = buffer + 2;
  int64_t k = 0;
  while (k < steps) {
    const int64_t end = steps - k < kProgressSteps ? steps : k + kProgressSteps;
    double* e = chunk;
    // The run step is set once a chunk: nothing in a step changes it, and
    // a store of both clock values at once would slow every block's read
    // of either (the processor cannot forward half of a wide store).
    Prog.Clock.TimeStep = dt;
    for (; k < end; ++k) {
      Prog.Clock.SimTime = StepTime(k, dt);
      SimStepAll(field);
      *e++ = *out - *ref;
    }
    const int64_t n = e - chunk;
    bool bad = false;
    const double sum =
        critery == 0   ? SumTerms<0>(chunk, n, wy, wdy, wd2y, invDt, invDt2, bad)
        : critery == 1 ? SumTerms<1>(chunk, n, wy, wdy, wd2y, invDt, invDt2, bad)
                       : SumTerms<2>(chunk, n, wy, wdy, wd2y, invDt, invDt2, bad);
    if (bad) {
      J = kDivergedCriterion;
      break;
    }
    J += sum * dt;
    buffer[0] = chunk[n - 2];
    buffer[1] = chunk[n - 1];
    // From the 501st step on the run ends on a cancel, and shows its
    // progress every fourth chunk.
    if (k > 500 && k < steps) {
      if (stop.load(std::memory_order_relaxed) | abandon.load(std::memory_order_relaxed)) break;
      if (control.Progress && k % (4 * kProgressSteps) == 0) {
        // The display may run other windows' events; the run's clock stays.
        const TRunClock clock = Prog.Clock;
        control.Progress(StepTime(k, dt));
        Prog.Clock = clock;
      }
    }
  }
  SimDone(field);
  return J;
}

}  // namespace vemo
