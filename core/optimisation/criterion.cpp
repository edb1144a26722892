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
// ±1e8 or is not a number. The terms go four at a time through the
// processor's vector registers, into four partial sums: lanes 0 and 1 take
// the terms 4j and 4j + 1, lanes 2 and 3 the terms 4j + 2 and 4j + 3; a
// pair left over goes to lanes 0 and 1, an odd last term is added alone.
// The same arithmetic lane by lane on every processor, so the sum is the
// same to the bit whether the wide registers are there or not.
using V4 = double __attribute__((vector_size(32)));
using M4 = int64_t __attribute__((vector_size(32)));

struct TTermWeights {
  double Wy, Wdy, Wd2y, InvDt, InvDt2;
};

template <int C>
[[gnu::always_inline]] inline double SumTermsOf(const double* v, int64_t n, const TTermWeights& w,
                                                bool& bad) {
  const M4 absMask = {INT64_MAX, INT64_MAX, INT64_MAX, INT64_MAX};
  const V4 limit = {kDivergedError, kDivergedError, kDivergedError, kDivergedError};
  const V4 Wy = {w.Wy, w.Wy, w.Wy, w.Wy}, Wdy = {w.Wdy, w.Wdy, w.Wdy, w.Wdy},
           Wd2y = {w.Wd2y, w.Wd2y, w.Wd2y, w.Wd2y};
  const V4 Inv = {w.InvDt, w.InvDt, w.InvDt, w.InvDt}, Inv2 = {w.InvDt2, w.InvDt2, w.InvDt2, w.InvDt2};
  auto vabs = [&](V4 x) { return reinterpret_cast<V4>(reinterpret_cast<M4>(x) & absMask); };
  M4 ok = {-1, -1, -1, -1};
  // The squared terms of errors x, with x1 and x2 the errors one and two
  // steps before each.
  auto terms = [&](V4 x, V4 x1, V4 x2) {
    ok &= vabs(x) <= limit;  // false for a NaN too
    V4 t;
    if constexpr (C == 0) {
      t = x;
    } else if constexpr (C == 1) {
      t = Wy * vabs(x) + Wdy * vabs((x - x1) * Inv);
    } else {
      t = Wy * vabs(x) + Wdy * vabs((x - x1) * Inv) + Wd2y * vabs((x - 2.0 * x1 + x2) * Inv2);
    }
    (void)x1;
    (void)x2;
    return t * t;
  };
  auto load = [](const double* p) {
    V4 x;
    std::memcpy(&x, p, sizeof x);
    return x;
  };
  V4 s = {0.0, 0.0, 0.0, 0.0};
  int64_t i = 0;
  for (; i + 4 <= n; i += 4) s += terms(load(v + i), load(v + i - 1), load(v + i - 2));
  double tail = 0.0;
  if (i + 2 <= n) {  // a pair: lanes 0 and 1; the others add nothing
    const V4 x = {v[i], v[i + 1], 0.0, 0.0}, x1 = {v[i - 1], v[i], 0.0, 0.0},
             x2 = {v[i - 2], v[i - 1], 0.0, 0.0};
    const M4 pair = {-1, -1, 0, 0};
    s += reinterpret_cast<V4>(reinterpret_cast<M4>(terms(x, x1, x2)) & pair);
    i += 2;
  }
  if (i < n) {  // an odd count: the last term alone
    const V4 x = {v[i], 0.0, 0.0, 0.0}, x1 = {v[i - 1], 0.0, 0.0, 0.0}, x2 = {v[i - 2], 0.0, 0.0, 0.0};
    tail = terms(x, x1, x2)[0];
  }
  bad = !(ok[0] && ok[1] && ok[2] && ok[3]);
  return (s[0] + s[2]) + (s[1] + s[3]) + tail;
}

// The sum for a chunk of errors; on x86-64 built for the wide vector
// registers too, chosen once by the processor the program runs on.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
[[gnu::target_clones("avx2", "default")]]
#endif
double SumTerms(uint8_t critery, const double* v, int64_t n, const TTermWeights& w, bool& bad) {
  if (critery == 0) return SumTermsOf<0>(v, n, w, bad);
  if (critery == 1) return SumTermsOf<1>(v, n, w, bad);
  return SumTermsOf<2>(v, n, w, bad);
}

}  // namespace

double Criterion(TField& field, const TCriterionSetup& crit, const TCriterionControl& control) {
  const std::atomic<uint8_t>& stop = control.Stop ? *control.Stop : kNever;
  const std::atomic<uint8_t>& abandon = control.Abandon ? *control.Abandon : kNever;
  SimInit(field);
  const double* out = OutputOf(field, crit.ErrorPoint);
  // Without a reference the error is the signal itself (x − 0 is x, to the bit).
  const double* ref = crit.TargetMode ? OutputOf(field, crit.ReferencePoint) : nullptr;
  const bool outIsLast = !field.RunArray.empty() && out == &field.RunArray.back()->Output;
  const double dt = field.Step > 0.0 ? field.Step : Prog.Clock.TimeStep;
  // Step k at model time k·dt, as every run of the engine counts them; a
  // span of more steps than a run may take is no usable point.
  int64_t steps = 0;
  if (!CountRunSteps(0, dt, crit.ViewTime, steps)) {
    SimDone(field);
    return kDivergedCriterion;
  }
  const uint8_t critery = crit.Critery;
  const TTermWeights weights{crit.WeightY, crit.WeightDY, crit.WeightD2Y, 1.0 / dt, 1.0 / (dt * dt)};
  double J = 0.0;
  // The steps go in chunks: the step loop only stores the error, and the
  // terms of a chunk are summed afterwards, so that the step loop leaves the
  // processor to the blocks. The two errors before the chunk (zero at the
  // start: the run begins without history) stand in front of it.
  double buffer[2 + kProgressSteps];
  buffer[0] = buffer[1] = 0.0;
  double* const chunk = buffer + 2;
  int64_t k = 0;
  while (k < steps) {
    const int64_t end = steps - k < kProgressSteps ? steps : k + kProgressSteps;
    double* e = chunk;
    // The run step is set once a chunk: nothing in a step changes it, and
    // a store of both clock values at once would slow every block's read
    // of either (the processor cannot forward half of a wide store).
    Prog.Clock.TimeStep = dt;
    if (ref) {
      for (; k < end; ++k) {
        Prog.Clock.SimTime = StepTime(k, dt);
        SimStepAll(field);
        *e++ = *out - *ref;
      }
    } else if (outIsLast) {
      // The step hands the last block's output back in a register: reading
      // it from the block just after the step stored it would hold the next
      // step back until the store is done.
      for (; k < end; ++k) {
        Prog.Clock.SimTime = StepTime(k, dt);
        *e++ = SimStepAll(field);
      }
    } else {
      for (; k < end; ++k) {
        Prog.Clock.SimTime = StepTime(k, dt);
        SimStepAll(field);
        *e++ = *out;
      }
    }
    const int64_t n = e - chunk;
    bool bad = false;
    const double sum = SumTerms(critery, chunk, n, weights, bad);
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
