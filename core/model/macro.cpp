#include "model/macro.h"

#include "codegen/code_writer.h"
#include "model/compile.h"
#include "model/errors.h"
#include "model/field.h"
#include "shell/program.h"

namespace vemo {

uint64_t BodyCost(const TField& body) {
  uint64_t cost = kBodyFieldCost;
  for (const auto& obj : body.Cells) {
    TMemCursor measure = TMemCursor::Measuring();
    obj->Save(measure);
    cost += kBodyCellCost + measure.Pos;
  }
  return cost;
}

TMacroBlock::TMacroBlock() { Kind = 1; }

TMacroBlock::~TMacroBlock() = default;

void TMacroBlock::Prepare(TField* owner) {
  TBlock::Prepare(owner);
  Body.reset();
  if (BodyFile.empty()) {
    Prog.Err.ErrorCode = 14;
    return;
  }
  TField* f = Prog.Projects ? Prog.Projects->OpenProject(BodyFile) : nullptr;
  if (!f) {
    Prog.Err.ErrorCode = 14;
    return;
  }
  Prog.Wiring.MacroBodyBytes += BodyCost(*f);
  if (Prog.Wiring.MacroBodyBytes > kMacroBodyBudget) {
    Prog.Err.ErrorCode = kNoMemoryCode;
    return;
  }
  Body = Clone(*f);
  BodyOwner = owner;
}

void TMacroBlock::Check() {
  TErrorState& err = Prog.Err;
  if (Inputs[Right] || OutSide != Right) {
    err.ErrorCode = 12;
    return;
  }
  if (!Body) {
    err.ErrorCode = 14;
    return;
  }
  CompileScheme(*Body, Inputs);
  --Prog.Wiring.MacroDepth;
  if (err.ErrorCode) return;
  err.ErrorField = BodyOwner;
  if (!Inputs[Right]) err.ErrorCode = 13;
  Inputs[Top] = Inputs[Left] = Inputs[Bottom] = nullptr;
  RunInput = nullptr;
}

void TMacroBlock::Save(TMemCursor& c) {
  c.PackedString(Caption, 5);
  c.PackedString(BodyFile, 127);
}

bool TMacroBlock::Load(TLoadCursor& c) {
  Caption = c.PackedString(5);
  BodyFile = c.PackedString(127);
  return c.Ok;
}

// The body's output is the macro block's output; a macro block at an input
// point of the contour stands for that input.
void TMacroBlock::GenerateCode(TCodeWriter& writer, std::string& varName) {
  writer.Delegate(*this, Inputs[Right], varName);
}

}  // namespace vemo
