#include "blocks/cell_object.h"

#include "blocks/pictures/pictures.h"
#include "blocks/registry.h"
#include "codegen/code_writer.h"
#include "shell/program.h"

namespace vemo {

void TCellObject::Draw(TCanvas& canvas, const TRect& r) {
  // The picture of the kind, chosen by the type code.
  DrawBlockPicture(canvas, r, *this);
}

void TBlock::Prepare(TField* owner) {
  (void)owner;
  OutSide = kNoSide;
}

std::string TBlock::GetName() const {
  const TKindInfo* k = FindKind(TypeCode);
  return k ? k->Name : std::string();
}

void TBlock::GetTransferFunction(int side, TPolynomial& num, TPolynomial& den) {
  (void)side;
  num = PolyConst(1.0L);
  den = PolyConst(1.0L);
}

void TBlock::GenerateCode(TCodeWriter& writer, std::string& varName) {
  writer.Refuse(*this, varName, "Блок \"" + GetName() + "\" не генерирует кода!");
}

bool TBlock::CheckSingleInput() {
  if (InputCount() > 1) {
    Prog.Err.ErrorCode = 2;
    return false;
  }
  return true;
}

void TParamBlock::Save(TMemCursor& c) {
  for (int i = 0; i < ParamCount; ++i) c.F64(Params[i]);
}

bool TParamBlock::Load(TLoadCursor& c) {
  for (int i = 0; i < ParamCount && i < 4; ++i) Params[i] = c.F64();
  return c.Ok;
}

std::string TParamBlock::GetParamName(int index) const {
  const TKindInfo* k = FindKind(TypeCode);
  if (!k || index < 0 || index > 3) return {};
  return k->ParamNames[index];
}

}  // namespace vemo
