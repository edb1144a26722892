// Event blocks: the waiting multivibrator, the structure switch-on and
// switch-off, the incremental speed sensor; the parameter control block is
// in param_control.h.
#pragma once
#include "blocks/linear.h"
#include "blocks/param_control.h"

namespace vemo {

// Waiting multivibrator (pulse time T, levels L0 and L1, threshold X): an
// input above X starts a pulse of L1 lasting about T.
class TWaitingMultivibrator : public TTableParamBlock {
 public:
  double Remaining = 0.0;  // r, the pulse time still to run
  TWaitingMultivibrator() : TTableParamBlock(81) {}
  void Check() override { CheckSingleInput(); }
  void Start() override;
  void Step() override;
  double GetStepHint() override { return 0.1 * Params[0]; }
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

// Structure switch-on (code 35) and switch-off (36), threshold c: pass the
// left input while the bottom (control) input is above c (switch-on) or
// not above c (switch-off); 0 otherwise.
class TStructureSwitch : public TTableParamBlock {
 public:
  explicit TStructureSwitch(uint16_t code) : TTableParamBlock(code) {}
  void Check() override;
  void Step() override;
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

// Incremental speed sensor (N marks per second at input 1): counts marks
// and outputs the mean input over the time one whole mark took.
class TSpeedSensor : public TTableParamBlock {
 public:
  double Marks = 0.0, Elapsed = 0.0;  // c and e
  TSpeedSensor() : TTableParamBlock(39) {}
  void Check() override { CheckSingleInput(); }
  void Start() override;
  void Step() override;
  void GetTransferFunction(int side, TPolynomial& num, TPolynomial& den) override;
  void GenerateCode(TCodeWriter& w, std::string& name) override;
};

}  // namespace vemo
