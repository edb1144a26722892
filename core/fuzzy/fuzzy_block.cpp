#include "fuzzy/fuzzy_block.h"

#include <algorithm>

#include "shell/program.h"

namespace vemo {

TFuzzyBlock::TFuzzyBlock() : TKindBlock(38) {
  for (const char* n : {"X1", "X2", "X3", "Y"}) Model.Variables.push_back({n, 0.0});
}

namespace {
constexpr size_t kNameField = 64;  // length byte + 64 bytes
}  // namespace

void TFuzzyBlock::Save(TMemCursor& c) {
  c.U8(OutputSide);
  c.U8(Model.Method);
  SaveVariables(c, Model.Variables, kNameField);
  SaveRuleItems(c, Model.Rules);
  SaveTerms(c, Model.Terms, kNameField);
}

bool TFuzzyBlock::Load(TLoadCursor& c) {
  Model.Clear();
  OutputSide = c.U8();
  Model.Method = c.U8();
  if (OutputSide > 3 || Model.Method > 1) return c.Ok = false;
  if (LoadVariables(c, Model.Variables, kNameField) && LoadRuleItems(c, Model.Rules))
    LoadTerms(c, Model.Terms, kNameField);
  if (!c.Ok) Model.Clear();
  return c.Ok;
}

void TFuzzyBlock::Check() {
  if (OutputSide != OutSide) Prog.Err.ErrorCode = 36;
}

void TFuzzyBlock::Step() {
  // Every named variable at a side position takes that side's input (0
  // without one); the output variable too, so that it reads 0 when no rule
  // fires.
  const size_t sides = std::min<size_t>(4, Model.Variables.size());
  for (size_t k = 0; k < sides; ++k)
    if (!Model.Variables[k].Name.empty())
      Model.Variables[k].Value = Inputs[k] ? Inputs[k]->Output : 0.0;
  work_.Infer(Model);
  if (OutputSide < Model.Variables.size() && !Model.Variables[OutputSide].Name.empty())
    Output = Model.Variables[OutputSide].Value;
}

}  // namespace vemo
