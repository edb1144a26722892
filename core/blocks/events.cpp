#include "blocks/events.h"

#include <cmath>

#include "codegen/code_writer.h"
#include "codegen/generation.h"
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

// Code generation.

void TWaitingMultivibrator::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!w.BeginBlock(*this, v)) return;
  w.UseFirstInput(*this);
  w.NewStateVar(*this, 0.0);
  w.NewVarWithValue("LastTime", "0");
  w.If("LastTime", TRelation::Greater, "0");
  w.Assign("", w.Number(Params[2]));
  w.Else();
  w.If("%1", TRelation::Greater, w.Number(Params[3]));
  w.Assign("LastTime", w.Number(Params[0]));
  w.Else();
  w.Assign("", w.Number(Params[1]));
  w.EndIf();
  w.EndIf();
  w.Sub("LastTime", "LastTime", w.Number(w.Step()));
}

// %1 the signal (left), %2 the control (bottom).
void TStructureSwitch::GenerateCode(TCodeWriter& w, std::string& v) {
  if (!Inputs[Left] || !Inputs[Bottom]) {
    w.Refuse(*this, v, kSwitchWiringMessage);
    return;
  }
  if (!w.BeginBlock(*this, v)) return;
  w.UseInputs(*this, {Left, Bottom});
  w.NewStateVar(*this, 0.0);
  w.If("%2", TypeCode == 35 ? TRelation::Greater : TRelation::LessEqual, w.Number(Params[0]));
  w.Assign("", "%1");
  w.Else();
  w.Assign("", "0");
  w.EndIf();
}

void TSpeedSensor::GenerateCode(TCodeWriter& w, std::string& v) {
  IntegratorCode(*this, w, v, Params[0], 0.0);
}

}  // namespace vemo
