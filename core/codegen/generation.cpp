#include "codegen/generation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "blocks/cell_object.h"
#include "model/field.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo {

TCodegenSettings& CodegenSettings() {
  static TCodegenSettings s;
  return s;
}

void ResetCodegenSettings() { CodegenSettings() = TCodegenSettings(); }

bool HasAddress(TTarget t) { return t == TTarget::Asm51 || t == TTarget::Asm96 || t == TTarget::Dec; }

std::string AddressText(TTarget t, uint16_t address) {
  char buf[16] = "";
  switch (t) {
    case TTarget::Asm51: std::snprintf(buf, sizeof buf, "%02Xh", address & 0xFFu); break;
    case TTarget::Asm96: std::snprintf(buf, sizeof buf, "%04Xh", address); break;
    case TTarget::Dec: std::snprintf(buf, sizeof buf, "%oo", address); break;
    default: break;
  }
  return buf;
}

bool ParseAddress(TTarget t, const std::string& text, uint16_t& address) {
  std::string s = text;
  // Blanks of the mask edit are no digits.
  s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
  const char suffix = t == TTarget::Dec ? 'o' : 'h';
  if (!s.empty() && (s.back() == suffix || s.back() == suffix - 'a' + 'A')) s.pop_back();
  if (s.empty() || s.size() > 6) return false;
  unsigned long v = 0;
  for (char c : s) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    const int base = t == TTarget::Dec ? 8 : 16;
    if (d >= base) return false;
    v = v * base + d;
  }
  // Asm51 addresses internal RAM (a byte); the others a 16-bit space.
  if (v > (t == TTarget::Asm51 ? 0xFFul : 0xFFFFul)) return false;
  address = static_cast<uint16_t>(v);
  return true;
}

bool CheckGenerationChoice(const TGenerationChoice& c, double& step, TWriterOptions& options,
                           TChoiceFocus& focus) {
  focus = TChoiceFocus::None;
  for (int p : c.Inputs)
    if (std::find(c.Outputs.begin(), c.Outputs.end(), p) != c.Outputs.end()) {
      ShowMessage(kSamePointMessage);
      return false;
    }
  if (c.Inputs.empty()) {
    ShowMessage(kNoInputMessage);
    return false;
  }
  if (c.Outputs.empty()) {
    ShowMessage(kNoOutputMessage);
    return false;
  }
  double h = 0.0;
  if (!ParseNumber(c.StepText, h)) {
    focus = TChoiceFocus::Step;
    ShowMessage(kBadNumberFormat);
    return false;
  }
  if (!(h >= 1e-10) || !std::isfinite(h)) {
    focus = TChoiceFocus::Step;
    ShowMessage(kBadParameter);
    return false;
  }
  options = TWriterOptions();
  options.Use386 = c.Use386 && c.Target == TTarget::X86;
  if (HasAddress(c.Target)) {
    if (!ParseAddress(c.Target, c.AddressText, options.Address)) {
      focus = TChoiceFocus::Address;
      ShowMessage(kBadAddressMessage);
      return false;
    }
    CodegenSettings().Address[static_cast<int>(c.Target)] = options.Address;
  }
  step = h;
  CodegenSettings().Step = h;
  return true;
}

std::string SaveFilter(TTarget t) {
  const std::string ext = TargetInfo(t).Extension;
  return "Файлы (*." + ext + ")|*." + ext + "|Все файлы (*.*)|*.*";
}

std::string WithExtension(const std::string& name, TTarget t) {
  std::string s = name.empty() ? std::string("Default") : name;
  const size_t slash = s.find_last_of("/\\");
  const size_t dot = s.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) s.erase(dot);
  return s + "." + TargetInfo(t).Extension;
}

namespace {

void ClearMarks(TCodeWriter& w, TField* field) {
  if (field)
    for (TBlock* b = field->RunList; b; b = b->RunNext) b->CodeVisited = 0;
  for (TBlock* b : w.Touched()) b->CodeVisited = 0;
  w.Touched().clear();
}

}  // namespace

void GenerateProgram(TCodeWriter& w, TField* field) {
  Prog.Err.ErrorCode = 0;
  // At most twelve points exist; at least one of them is an input.
  if (w.Outputs.size() > static_cast<size_t>(kPointCount)) w.Outputs.resize(kPointCount);
  for (int pass = 1; pass <= 3; ++pass) {
    ClearMarks(w, field);
    if (pass == 2) w.StartPass2();
    if (pass == 3) w.StartPass3();
    w.BeginPass();
    for (size_t i = 0; i < w.Outputs.size(); ++i) {
      const std::string name = w.Generate(w.Outputs[i]);
      if (Prog.Err.ErrorCode) break;
      w.AssignOutput(static_cast<int>(i), name);
    }
    w.EndPass();
    if (Prog.Err.ErrorCode) break;
  }
  ClearMarks(w, field);
}

namespace {

void FillLists(TCodeWriter& w, TField& field, const std::vector<int>& inputs,
               const std::vector<int>& outputs) {
  auto blockAt = [&field](int p) { return p >= 0 && p < kPointCount ? field.Points[p].Source : nullptr; };
  for (int p : inputs) w.Inputs.push_back(blockAt(p));
  for (int p : outputs) w.Outputs.push_back(blockAt(p));
}

}  // namespace

TGenerationOutcome GenerateFile(TField& field, const TGenerationChoice& c, double step,
                                const TWriterOptions& options, const std::string& fileName) {
  auto w = MakeWriter(c.Target, fileName, step, options);
  FillLists(*w, field, c.Inputs, c.Outputs);
  GenerateProgram(*w, &field);
  const bool refused = Prog.Err.ErrorCode != 0;
  if (c.Target == TTarget::Asm51 && w->VarBlockSize() + options.Address > 0x80)
    ShowMessage(kRegisterAreaMessage);
  if (!w->Close()) {
    ShowMessage(kWriteError);
    return TGenerationOutcome::WriteFailed;
  }
  return refused ? TGenerationOutcome::Refused : TGenerationOutcome::Written;
}

std::string GenerateText(TField& field, TTarget t, const std::vector<int>& inputs,
                         const std::vector<int>& outputs, double step, const TWriterOptions& options) {
  auto w = MakeWriter(t, std::string(), step, options);
  FillLists(*w, field, inputs, outputs);
  GenerateProgram(*w, &field);
  return Prog.Err.ErrorCode ? std::string() : w->Text();
}

}  // namespace vemo
