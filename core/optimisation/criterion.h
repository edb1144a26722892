// The optimisation criterion: one complete time-domain run of a prepared
// field, summing the weighted square of the error signal over the view time.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>

namespace vemo {

struct TField;
struct TSettings;

inline constexpr double kDivergedError = 1e8;     // |e| above this ends a run
inline constexpr double kDivergedCriterion = 1e30;  // ... with this value

struct TCriterionSetup {
  uint8_t Critery = 1;  // 0 e², 1 with the first derivative, 2 with the second
  double WeightY = 5.0, WeightDY = 5.0, WeightD2Y = 5.0;
  double ViewTime = 10.0;
  int ErrorPoint = 0;  // 0..11
  // Network training: the error is the error point's signal less the
  // reference point's.
  bool TargetMode = false;
  int ReferencePoint = 0;
};

// The criterion and the weights of that criterion as the settings hold them
// ("OptIntegralSqr1D" for criterion 1, "OptIntegralSqr2D" for criterion 2).
TCriterionSetup CriterionSettings(const TSettings& s);

// Steps between two looks of a run at the cancel flags.
inline constexpr int64_t kProgressSteps = 256;

// How a run is watched while it goes, from its 501st step on.
struct TCriterionControl {
  // Either flag set ends the run (looked at every 256 steps): the
  // program-wide cancel, and a flag for runs whose result is no longer wanted.
  const std::atomic<uint8_t>* Stop = nullptr;
  const std::atomic<uint8_t>* Abandon = nullptr;
  // The model time reached, every 1024 steps.
  std::function<void(double t)> Progress;
};

// One evaluation: SimInit, the steps k with k·dt < view time, SimDone. The
// field must be prepared (PrepareRun); its step is the run step dt. A run
// whose error leaves ±1e8 (or is not a number) returns 1e30, ending within
// 256 steps; so does a span of more steps than a run may take.
double Criterion(TField& field, const TCriterionSetup& crit, const TCriterionControl& control);

}  // namespace vemo
