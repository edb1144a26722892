#include "optimisation/criterion.h"

#include <cmath>

#include "model/field.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/engine.h"

namespace vemo {

TCriterionSpec CriterionSettings(const TSettings& s) {
  TCriterionSpec c;
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

double Criterion(TField& field, const TCriterionSpec& spec, const TCriterionControl& control) {
  const std::atomic<uint8_t>& stop = control.Stop ? *control.Stop : kNever;
  const std::atomic<uint8_t>& abandon = control.Abandon ? *control.Abandon : kNever;
  SimInit(field);
  const double* out = OutputOf(field, spec.ErrorPoint);
  static const double zero = 0.0;
  const double* ref = spec.TargetMode ? OutputOf(field, spec.ReferencePoint) : &zero;
  const double dt = field.Step > 0.0 ? field.Step : Prog.Clock.TimeStep;
  const double wy = spec.WeightY, wdy = spec.WeightDY, wd2y = spec.WeightD2Y;
  double t = 0.0, J = 0.0, e1 = 0.0, e2 = 0.0;
  long k = 0;
  while (t < spec.ViewTime) {
    Prog.Clock.TimeStep = dt;
    Prog.Clock.SimTime = t;
    SimStepAll(field);
    const double e = *out - *ref;
    if (!(std::fabs(e) <= kDivergedError)) {
      J = kDivergedCriterion;
      break;
    }
    double term;
    switch (spec.Critery) {
      case 0: term = e * e; break;
      case 1: term = wy * std::fabs(e) + wdy * std::fabs((e - e1) / dt); term *= term; break;
      default:
        term = wy * std::fabs(e) + wdy * std::fabs((e - e1) / dt) +
               wd2y * std::fabs((e - 2.0 * e1 + e2) / (dt * dt));
        term *= term;
        break;
    }
    J += term * dt;
    e2 = e1;
    e1 = e;
    const double next = t + dt;
    if (next == t) break;  // a step below the resolution of the time: no end
    t = next;
    if (++k > 500) {
      if (stop.load(std::memory_order_relaxed) | abandon.load(std::memory_order_relaxed)) break;
      if (k % kProgressSteps == 0 && control.Progress) {
        // The display may run other windows' events; the run's clock stays.
        const TRunClock clock = Prog.Clock;
        control.Progress(t);
        Prog.Clock = clock;
      }
    }
  }
  SimDone(field);
  return J;
}

}  // namespace vemo
