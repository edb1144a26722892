#include "blocks/param_control.h"

#include "model/compile.h"
#include "model/field.h"
#include "shell/program.h"

namespace vemo {

void TParamControl::Save(TMemCursor& c) {
  c.I32(TargetCol);
  c.I32(TargetRow);
  c.U8(ParamIndex);
}

bool TParamControl::Load(TLoadCursor& c) {
  TargetCol = c.I32();
  TargetRow = c.I32();
  ParamIndex = c.U8();
  return c.Ok && ParamIndex < 4;
}

void TParamControl::Prepare(TField* owner) {
  TKindBlock::Prepare(owner);
  Target = nullptr;
  // The compiled field itself: a macro body is compiled as a copy of its
  // project, and the target must be the copy's block.
  TField* field = CompilingField();
  if (!field) field = owner;
  TCellObject* obj = nullptr;
  if (field && TargetCol >= 0 && TargetRow >= 0 && TField::InGrid(TargetCol, TargetRow))
    obj = field->Cell(TargetCol, TargetRow);
  if (!obj) {
    Prog.Err.ErrorCode = 30;
    return;
  }
  auto* p = obj->TypeCode <= 34 ? dynamic_cast<TParamBlock*>(obj) : nullptr;
  if (!p || p->ParamCount == 0 || ParamIndex >= p->ParamCount) {
    Prog.Err.ErrorCode = 31;
    return;
  }
  Target = p;
}

void TParamControl::Check() {
  if (InputCount() != 1) Prog.Err.ErrorCode = 2;
}

void TParamControl::Start() {
  Output = 0.0;
  Active = 0;
}

void TParamControl::Step() {
  const TBlock* in = FirstInput();
  if (!Target || !in) return;
  if (in->Output != 0.0) Active = 1;
  if (Active) Target->Params[ParamIndex] = in->Output;
}

}  // namespace vemo
