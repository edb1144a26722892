#include "codegen/asm_writer.h"

#include <algorithm>
#include <cmath>

#include "codegen/targets.h"
#include "shell/encoding.h"

namespace vemo {

int32_t ToFix(double x) {
  if (!(x == x)) return 0;
  const double v = std::nearbyint(x * 65536.0);
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(v);
}

void TAsmWriter::Ins(const std::string& mnemonic, const std::string& operands) {
  RawLine("\t" + mnemonic + (operands.empty() ? std::string() : "\t" + operands));
}

void TAsmWriter::CommentBox(std::initializer_list<std::string> lines) {
  size_t w = 0;
  for (const std::string& l : lines) w = std::max(w, Utf8Length(l));
  RawLine(BoxBorder(";", "", '*', w));
  for (const std::string& l : lines) RawLine(BoxLine(";", "", l, w));
  RawLine(BoxBorder(";", "", '*', w));
}

std::string TAsmWriter::PoolName(const TOperand& literal) {
  for (const auto& [name, text] : pool_)
    if (text == literal.Text) return name;
  pool_.push_back({"Const" + std::to_string(pool_.size() + 1), literal.Text});
  return pool_.back().first;
}

void TAsmWriter::WriteIf(const TOperand& a, TRelation r, const TOperand& b) {
  const std::string n = std::to_string(NextLabel());
  ifs_.push_back({"If" + n + "E", "If" + n + "X", false});
  JumpUnless(a, r, b, ifs_.back().Else);
}

void TAsmWriter::WriteElse() {
  if (ifs_.empty()) return;
  Jump(ifs_.back().End);
  Place(ifs_.back().Else);
  ifs_.back().HasElse = true;
}

void TAsmWriter::WriteEndIf() {
  if (ifs_.empty()) return;
  Place(ifs_.back().HasElse ? ifs_.back().End : ifs_.back().Else);
  ifs_.pop_back();
}

void TAsmWriter::WriteLoop(int count) {
  const std::string l = "Loop" + std::to_string(NextLabel());
  loops_.push_back(l);
  CountSet(count);
  Place(l);
  ExitUnlessCount(l + "X", l + "B");
}

void TAsmWriter::WriteEndLoop() {
  if (loops_.empty()) return;
  const std::string l = loops_.back();
  loops_.pop_back();
  CountDec(l + "D");
  Jump(l);
  Place(l + "X");
}

void TMemBaseWriter::EquInputsAndOutputs(const std::string& inComment, const std::string& outComment) {
  for (size_t i = 0; i < Inputs.size(); ++i) Equ("Input" + std::to_string(i), Reserve(4), inComment);
  for (size_t i = 0; i < Outputs.size(); ++i)
    Equ("Output" + std::to_string(i), Reserve(4), outComment);
}

void TMemBaseWriter::EquTemps() {
  for (int n = 1; n <= Temps(); ++n) Equ("Z" + std::to_string(n), Reserve(4), std::string());
}

}  // namespace vemo
