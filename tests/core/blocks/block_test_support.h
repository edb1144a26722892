// Helpers of the block tests: a fixture with a fresh program state, a
// hand-driven signal block to feed inputs, stepping a block at given model
// times, and the run of a scheme built in code.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "blocks/cell_object.h"
#include "core/model/test_support.h"
#include "model/field.h"
#include "model/scheme_builder.h"
#include "shell/program.h"
#include "simulation/engine.h"
#include "simulation/transient.h"

namespace vemo::blocktest {

// A fresh program state with scripted dialogs for every test.
using BlockTest = testing::ProgramTest;

// A block whose output the test sets by hand.
class TSignal : public TBlock {
 public:
  explicit TSignal(double v = 0.0, uint8_t stepped = 0) {
    TypeCode = 0;
    Output = v;
    Stepped = stepped;
  }
};

// A fresh block of the type code, as its own class.
template <class T>
std::unique_ptr<T> Make(uint16_t code) {
  auto obj = CreateCellObject(code);
  auto* t = dynamic_cast<T*>(obj.get());
  if (!t) return nullptr;
  obj.release();
  return std::unique_ptr<T>(t);
}

// Sets the clock and steps the block once at time t.
inline void StepAt(TBlock& b, double t, double dt = 0.01) {
  Prog.Clock.SimTime = t;
  Prog.Clock.TimeStep = dt;
  b.Step();
}

// Starts the block and steps it n times from t = 0 with step dt, feeding the
// signal with input(t) before each step when given; returns the outputs.
template <class F>
std::vector<double> RunSteps(TBlock& b, int n, double dt, TSignal* in, F input) {
  Prog.Clock.TimeStep = dt;
  b.Start();
  std::vector<double> out;
  for (int k = 0; k < n; ++k) {
    const double t = k * dt;
    if (in) in->Output = input(t);
    StepAt(b, t, dt);
    out.push_back(b.Output);
  }
  return out;
}

// A scheme with a fixed step, run through the transient run.
struct Scheme {
  std::unique_ptr<TField> F = CreateField();
  TSchemeBuilder B{*F};

  explicit Scheme(double step = 0.01) {
    F->Step = step;
    F->AutoStep = 0;
  }
  TBlock* At(int col, int row) const { return testing::BlockAt(*F, col, row); }
  // Compiles, orders and checks; the error code (0 when it may run).
  int Prepare() {
    Prog.Err.ErrorCode = 0;
    Prog.Wiring.ZeroListed = 0;
    PrepareRun(*F);
    return Prog.Err.ErrorCode;
  }
  // Runs to viewTime and returns the samples of point A.
  std::vector<double> RunPointA(double viewTime, bool* ok = nullptr) {
    TTransientRun run;
    run.Open(*F, viewTime, {0});
    const bool good = run.RunSegment();
    if (ok) *ok = good;
    std::vector<double> v;
    for (size_t i = 0; i < run.StepCount(); ++i) v.push_back(run.Samples.At(i));
    run.Close();
    return v;
  }
};

}  // namespace vemo::blocktest
