#include "fuzzy/fuzzy_block.h"

#include <algorithm>

#include "shell/encoding.h"
#include "shell/program.h"

namespace vemo {

TFuzzyBlock::TFuzzyBlock() : TKindBlock(38) {
  for (const char* n : {"X1", "X2", "X3", "Y"}) Model.Variables.push_back({n, 0.0});
}

namespace {
constexpr size_t kNameField = 64;  // length byte + 64 bytes
std::string LoadName(TLoadCursor& c) { return Utf8Left(c.ShortString(kNameField), 12); }
}  // namespace

void TFuzzyBlock::Save(TMemCursor& c) {
  c.U8(OutputSide);
  c.U8(Model.Method);
  for (const TFuzzyVar& v : Model.Variables) {
    c.U8(1);
    c.ShortString(v.Name, kNameField);
  }
  c.U8(0);
  for (const TRuleItem& r : Model.Rules) {
    c.U8(1);
    c.U16(r.VarIndex);
    c.U16(r.TermIndex);
    c.U16(r.Flags);
  }
  c.U8(0);
  for (const TFuzzyTerm& t : Model.Terms) {
    c.U8(1);
    c.ShortString(t.Name, kNameField);
    SaveShape(c, t.Shape);
    c.U32(t.VarIndex);
  }
  c.U8(0);
}

bool TFuzzyBlock::Load(TLoadCursor& c) {
  Model.Clear();
  OutputSide = c.U8();
  Model.Method = c.U8();
  if (OutputSide > 3 || Model.Method > 1) return c.Ok = false;
  while (c.Ok && c.U8() != 0) {
    if (!c.Ok) break;
    Model.Variables.push_back({LoadName(c), 0.0});
  }
  while (c.Ok && c.U8() != 0) {
    if (!c.Ok) break;
    TRuleItem r;
    r.VarIndex = c.U16();
    r.TermIndex = c.U16();
    r.Flags = c.U16();
    Model.Rules.push_back(r);
  }
  while (c.Ok && c.U8() != 0) {
    if (!c.Ok) break;
    TFuzzyTerm t;
    t.Name = LoadName(c);
    LoadShape(c, t.Shape);
    t.VarIndex = c.U32();
    Model.Terms.push_back(std::move(t));
  }
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
