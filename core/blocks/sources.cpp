#include "blocks/sources.h"

#include <cmath>
#include <numbers>

#include "codegen/code_writer.h"
#include "shell/program.h"

namespace vemo {

bool CheckNoInput(TBlock& b) {
  if (b.InputCount() > 0) {
    Prog.Err.ErrorCode = 1;
    return false;
  }
  return true;
}

namespace {
// Parameter fault (15) first, then the no-input test (1).
void CheckSource(TBlock& b, bool paramFault) {
  if (paramFault) {
    Prog.Err.ErrorCode = 15;
    return;
  }
  CheckNoInput(b);
}
bool IsOdd(double n) { return std::fmod(n, 2.0) != 0.0; }
}  // namespace

// Saw (triangle wave).
void TSawGenerator::Check() { CheckSource(*this, Params[1] < 1e-6); }
void TSawGenerator::Step() {
  const double t = Prog.Clock.SimTime, A = Params[0], H = Params[1], t0 = Params[2];
  const double n = std::trunc((t + t0) / H);
  const double u = t - n * H + t0;
  Output = IsOdd(n) ? A - 2.0 * A * u / H : -A + 2.0 * A * u / H;
}

// Meander.
void TMeanderGenerator::Check() { CheckSource(*this, Params[1] < 1e-6); }
void TMeanderGenerator::Step() {
  const double n = std::trunc(Prog.Clock.SimTime / Params[1]);
  Output = IsOdd(n) ? Params[0] : -Params[0];
}

// Uniform random.
std::mt19937& RandomSourceGenerator() {
  // One sequence per thread: runs of field copies on worker threads each
  // draw the sequence a run on its own would draw.
  static thread_local std::mt19937 g(kRandomSourceSeed);
  return g;
}
double NextUniform(std::mt19937& g) {
  const uint64_t hi = g() >> 5, lo = g() >> 6;  // 27 + 26 bits
  return static_cast<double>((hi << 26) | lo) * 0x1.0p-53;
}
void TRandomGenerator::Start() {
  Output = 0.0;
  RandomSourceGenerator().seed(kRandomSourceSeed);
}
void TRandomGenerator::Step() {
  Output = Params[0] + (Params[1] - Params[0]) * NextUniform(RandomSourceGenerator());
}

// Unit pulse.
void TUnitPulse::Check() { CheckSource(*this, Params[0] > Params[1]); }
void TUnitPulse::Step() {
  const double t = Prog.Clock.SimTime;
  Output = (Params[0] <= t && t <= Params[1]) ? Params[2] : 0.0;
}

// Harmonic.
void THarmonicGenerator::Check() { CheckSource(*this, Params[1] < 1e-6); }
void THarmonicGenerator::Step() {
  const double t = Prog.Clock.SimTime;
  Output = Params[0] * std::sin(2.0 * std::numbers::pi * (Params[1] * t + Params[2] / 360.0));
}

// Table-defined generator.
void TFunctionGenerator::Start() {
  Output = 0.0;
  MinTime = MaxTime = 0.0;
  bool first = true;
  for (const TablePoint& p : Table.Points) {
    if (first || p.x < MinTime) MinTime = p.x;
    if (first || p.x > MaxTime) MaxTime = p.x;
    first = false;
  }
  Phase = MinTime;
}
void TFunctionGenerator::Step() {
  Output = Interpolate(Table, Phase);
  Phase += Prog.Clock.TimeStep;
  if (Phase > MaxTime) Phase = Phase - MaxTime + MinTime;
}
double TFunctionGenerator::GetStepHint() {
  double smallest = 0.0;
  const auto& pts = Table.Points;
  for (size_t i = 1; i < pts.size(); ++i) {
    const double d = std::fabs(pts[i].x - pts[i - 1].x);
    if (d >= 1e-8 && (smallest == 0.0 || d < smallest)) smallest = d;
  }
  return smallest > 0.0 ? 0.25 * smallest : 0.1;
}

// Code generation: v := K.
void TConstant::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  w.NewStateVar(*this, Params[0]);
  w.Assign("", w.Number(Params[0]));
}

}  // namespace vemo
