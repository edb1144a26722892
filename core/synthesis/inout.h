// The static input-output characteristic y(x) of a contour: the blocks
// between the start and the end point are stepped with the input held at
// x while x sweeps from -X max to +X max and back; the result is a table
// nonlinearity (one sweep, or both when they disagree: hysteresis).
#pragma once
#include <cstdint>
#include <vector>

#include "blocks/point_table.h"
#include "model/field.h"

namespace vemo {

// Defaults of the dialog ("X max:", "Шаг:") and the smallest value either
// may take (a smaller one is raised to it).
inline constexpr double kDefaultInOutXMax = 2.0;
inline constexpr double kDefaultInOutStep = 0.01;
inline constexpr double kMinInOutValue = 0.001;
// The two sweeps agree when every backward value is this close to the
// forward value at the same x.
inline constexpr double kHysteresisTolerance = 0.001;

// X max or step as the command uses it: below kMinInOutValue (or not a
// number) it becomes kMinInOutValue.
double ClampInOutValue(double v);

// Points of one sweep: round(2 * X max / step + 0.99) to the nearest
// integer, halves to even, with both values clamped first.
int64_t InOutSweepPoints(double xMax, double step);

// The blocks that lie on a path from the start block to the end block,
// walking backwards from the end through Inputs and not past the start:
// the start block itself, and every block reached from the end one of
// whose inputs leads (within the walk) to the start. Empty when the start
// is not reached. In run-list order (the start block first when it is not
// in the run list).
std::vector<TBlock*> BlocksOnPath(const TField& field, const TBlock* start, const TBlock* end);

// True when every backward value (pair n + i) equals the forward value at
// the same x (pair n - 1 - i) within kHysteresisTolerance. `both` holds the
// two sweeps of n points each.
bool SweepsAgree(const PointTable& both, int64_t n);

enum class TInOutStatus {
  Ok,
  SchemeError,    // Prog.Err.ErrorCode tells which
  MathError,      // a floating-point fault inside a step; kRunMathError was shown
  TooManyPoints,  // the two sweeps would not fit into one table
};

struct TInOutResult {
  TInOutStatus Status = TInOutStatus::Ok;
  // n pairs from -X max upwards, or 2n pairs (then backward from +X max)
  // when the characteristic has hysteresis.
  PointTable Table;
  int64_t SweepPoints = 0;  // n
  bool Hysteresis = false;
};

// The two sweeps on a compiled and ordered field (run list sorted, loops
// checked). Sets the run step to `step`, starts and ends each sweep with
// the run operations (the field's own Step is left as it was). A start or
// end point without a block is ErrorCode 17.
TInOutResult InOutCharacteristic(TField& field, int start, int end, double xMax, double step);

// The command: clear ErrorCode, compile, order the run list, check
// algebraic loops, then the characteristic with both values clamped. The
// contour is recorded in Analysis. Macro bodies stay loaded: the caller
// releases them.
TInOutResult RunInOutCommand(TField& field, int start, int end, double xMax, double step);

}  // namespace vemo
