#include "blocks/events.h"

#include <cmath>

#include "shell/program.h"

namespace vemo {

// Waiting multivibrator.
void TWaitingMultivibrator::Start() {
  Output = 0.0;
  Remaining = 0.0;
}
void TWaitingMultivibrator::Step() {
  if (Remaining > 0.0) {
    Output = Params[2];
  } else if (const TBlock* in = FirstInput()) {
    if (in->Output > Params[3]) Remaining = Params[0];  // the output changes next step
    else Output = Params[1];
  }
  Remaining -= Prog.Clock.TimeStep;
}

// Structure switches.
void TStructureSwitch::Check() {
  if (Inputs[Top] || Inputs[Right]) Prog.Err.ErrorCode = 20;
}
void TStructureSwitch::Step() {
  const TBlock* signal = Inputs[Left];
  const TBlock* control = Inputs[Bottom];
  bool pass = false;
  if (signal && control)
    pass = TypeCode == 35 ? control->Output > Params[0] : control->Output <= Params[0];
  if (pass) {
    Output = signal->Output;
    Stepped = signal->Stepped;
  } else {
    Output = 0.0;
    Stepped = 1;
  }
}

// Incremental speed sensor.
void TSpeedSensor::Start() { Marks = Elapsed = Output = 0.0; }
void TSpeedSensor::Step() {
  const TBlock* in = FirstInput();
  if (!in) return;
  const double N = Params[0], dt = Prog.Clock.TimeStep;
  Marks += N * in->Output * dt;
  Elapsed += dt;
  if (std::fabs(Marks) > 1.0) {
    Output = Marks / Elapsed / N;
    Marks = 0.0;
    Elapsed = 0.0;
  }
}
void TSpeedSensor::GetTransferFunction(int, TPolynomial& num, TPolynomial& den) {
  num = PolyConst(Params[0]);
  den = PolyNew(1);
  den.Coef[0] = 0.0L;
  den.Coef[1] = 1.0L;
}

}  // namespace vemo
