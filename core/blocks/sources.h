// Signal sources.
#pragma once
#include <cstdint>
#include <random>

#include "blocks/linear.h"
#include "blocks/table_blocks.h"

namespace vemo {

// Sources take no input: a connected side is error 1.
bool CheckNoInput(TBlock& b);

class TConstant : public TTableParamBlock {
 public:
  TConstant() : TTableParamBlock(0) {}
  void Check() override { CheckNoInput(*this); }
  void Start() override { Output = Params[0]; }
  // No step: the output stays as Start set it.
  void PlanStep(TRunRecord& r, double) override { r.Op = TRunOp::Hold; }
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

// Triangle wave (amplitude A, half-period H, start time t0); starts at -A.
class TSawGenerator : public TTableParamBlock {
 public:
  TSawGenerator() : TTableParamBlock(29) {}
  void Check() override;
  void Step() override;
  double GetStepHint() override { return 0.25 * Params[1]; }
};

// Meander (amplitude A, half-period H): -A on even half-periods, A on odd.
class TMeanderGenerator : public TTableParamBlock {
 public:
  TMeanderGenerator() : TTableParamBlock(30) {}
  void Check() override;
  void Step() override;
  double GetStepHint() override { return 0.25 * Params[1]; }
};

// The generator of the uniform random source. One generator serves every
// random block of the program; each random block's Start reseeds it with
// the same fixed seed, so every run draws the same sequence (the blocks
// share it in run-list order) and a run can be repeated exactly.
std::mt19937& RandomSourceGenerator();
inline constexpr uint32_t kRandomSourceSeed = 20240601u;
// Uniform in [0, 1) with 53 random bits, the same on every platform.
double NextUniform(std::mt19937& g);

// Uniform random on [a, b), drawn anew every step.
class TRandomGenerator : public TTableParamBlock {
 public:
  TRandomGenerator() : TTableParamBlock(32) {}
  void Check() override { CheckNoInput(*this); }
  void Start() override;
  void Step() override;
};

// Unit pulse: A on [t1, t2] (both ends included), 0 elsewhere.
class TUnitPulse : public TTableParamBlock {
 public:
  TUnitPulse() : TTableParamBlock(33) {}
  void Check() override;
  void Step() override;
  double GetStepHint() override { return 0.2 * (Params[1] - Params[0]); }
};

// Harmonic: A sin(2 pi (f t + phase / 360)).
class THarmonicGenerator : public TTableParamBlock {
 public:
  THarmonicGenerator() : TTableParamBlock(115) {}
  void Check() override;
  void Step() override;
  double GetStepHint() override { return 1.0 / (18.0 * Params[1]); }
};

// Table-defined periodic function of time: the table's value at a phase
// time running from the table's smallest to its largest time, then again.
class TFunctionGenerator : public TTableBlock {
 public:
  double MinTime = 0.0, MaxTime = 0.0;
  double Phase = 0.0;

  TFunctionGenerator() : TTableBlock(51) {}
  uint8_t EditorKind() const override { return 8; }
  void Check() override { CheckNoInput(*this); }
  void Start() override;
  void Step() override;
  // A quarter of the smallest time difference between consecutive table
  // points (differences below 1e-8, the table's vertical jumps, do not
  // count), so every drawn segment gets at least four steps; 0.1 for a
  // table without such a difference.
  double GetStepHint() override;
};

}  // namespace vemo
