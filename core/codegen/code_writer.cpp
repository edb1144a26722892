#include "codegen/code_writer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "blocks/cell_object.h"
#include "blocks/registry.h"
#include "shell/encoding.h"
#include "shell/file_replace.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo {

const char* RelationText(TRelation r) {
  switch (r) {
    case TRelation::Less: return "<";
    case TRelation::LessEqual: return "<=";
    case TRelation::Equal: return "=";
    case TRelation::NotEqual: return "<>";
    case TRelation::GreaterEqual: return ">=";
    case TRelation::Greater: return ">";
  }
  return "=";
}

TRelation Negated(TRelation r) {
  switch (r) {
    case TRelation::Less: return TRelation::GreaterEqual;
    case TRelation::LessEqual: return TRelation::Greater;
    case TRelation::Equal: return TRelation::NotEqual;
    case TRelation::NotEqual: return TRelation::Equal;
    case TRelation::GreaterEqual: return TRelation::Less;
    case TRelation::Greater: return TRelation::LessEqual;
  }
  return r;
}

namespace {

// The unit name: the file's name without folder and extension, at most 64
// characters.
std::string UnitOf(const std::string& fileName) {
  std::string base = fileName;
  const size_t slash = base.find_last_of("/\\");
  if (slash != std::string::npos) base.erase(0, slash + 1);
  const size_t dot = base.find_last_of('.');
  if (dot != std::string::npos && dot > 0) base.erase(dot);
  return Utf8Left(base, 64);
}

bool LooksLiteral(const std::string& t) {
  if (t.empty()) return false;
  const char c = t[0];
  return c == ' ' || c == '$' || c == '-' || (c >= '0' && c <= '9');
}

TOperand LiteralOf(const std::string& t) {
  TOperand op;
  op.Literal = true;
  size_t b = t.find_first_not_of(' ');
  op.Text = b == std::string::npos ? std::string("0") : t.substr(b);
  if (op.Text[0] == '$') {
    op.Value = static_cast<double>(std::strtoll(op.Text.c_str() + 1, nullptr, 16));
  } else if (!ParseNumber(op.Text, op.Value)) {
    op.Value = 0.0;
  }
  return op;
}

}  // namespace

TCodeWriter::TCodeWriter(std::string fileName, double step)
    : fileName_(std::move(fileName)), unitName_(UnitOf(fileName_)), step_(step) {}

TCodeWriter::~TCodeWriter() { Close(); }

bool TCodeWriter::Close() {
  if (closed_) return true;
  closed_ = true;
  if (fileName_.empty()) return true;
  std::string crlf;
  crlf.reserve(text_.size() + text_.size() / 16);
  for (char c : text_) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  const std::string bytes = Utf8ToCp866(crlf);
  return ReplaceFileContents(fileName_, bytes.data(), bytes.size());
}

void TCodeWriter::StartPass2() {
  pass_ = 2;
  varCount_ = 0;
}

void TCodeWriter::StartPass3() {
  pass_ = 3;
  varCount_ = 0;
}

bool TCodeWriter::Quiet() const { return discovering_; }

TOperand TCodeWriter::Resolve(const std::string& name) const {
  if (LooksLiteral(name)) return LiteralOf(name);
  TOperand op;
  op.Text = MapName(name);
  return op;
}

TOperand TCodeWriter::FormatOperand(const std::string& text) const {
  if (text.empty()) return Resolve(current_);
  const char c = text[0];
  if (c == '%') {
    const int k = text.size() > 1 ? text[1] - '0' : 0;
    if (k >= 1 && k <= static_cast<int>(stored_.size())) return Resolve(stored_[k - 1]);
    return LiteralOf("0");
  }
  if (LooksLiteral(text)) return LiteralOf(text);
  if (c == 'Z') return Resolve(text);
  return Resolve(current_ + text);
}

void TCodeWriter::BeginPass() {
  if (Quiet()) return;
  switch (pass_) {
    case 1: WriteHeader(); break;
    case 2: WriteInitBegin(); break;
    default: WriteControllerBegin(); break;
  }
}

void TCodeWriter::EndPass() {
  if (Quiet()) return;
  switch (pass_) {
    case 1: WriteDeclarationsEnd(); break;
    case 2: WriteInitEnd(); break;
    default: WriteControllerEnd(); break;
  }
}

std::string TCodeWriter::NewStateVar(TBlock& block, double startValue) {
  current_ = VarName(block);
  if (Quiet()) return current_;
  switch (pass_) {
    case 1: DeclareScalar(current_, block.GetName()); break;
    case 2: WriteAssign(Resolve(current_), LiteralOf(Number(startValue))); break;
    default: WriteVarComment(current_); break;
  }
  return current_;
}

void TCodeWriter::ReserveTemps(int n) {
  if (!Quiet() && pass_ == 1) temps_ = std::max(temps_, n);
}

void TCodeWriter::NewVarWithValue(const std::string& suffix, const std::string& value) {
  if (Quiet()) return;
  const std::string name = current_ + suffix;
  if (pass_ == 1) DeclareScalar(name, std::string());
  else if (pass_ == 2) WriteAssign(Resolve(name), FormatOperand(value));
}

void TCodeWriter::NoteLoop() {
  if (!usesLoops_) {
    usesLoops_ = true;
    DeclareCounter();
  }
}

void TCodeWriter::NewArray(const std::string& suffix, int length) {
  if (Quiet()) return;
  const std::string name = current_ + suffix;
  if (pass_ == 1) {
    NoteLoop();
    DeclareArray(name, length);
  } else if (pass_ == 2) {
    InitArray(name, length);
  }
}

void TCodeWriter::InitArray(const std::string& name, int length) {
  WriteLoop(length);
  WriteStore(name, -1, true, LiteralOf("0"));
  WriteEndLoop();
}

void TCodeWriter::NewConstArray(const std::string& suffix, const std::vector<std::string>& values) {
  if (Quiet() || pass_ != 1) return;
  std::vector<TOperand> ops;
  ops.reserve(values.size());
  for (const std::string& v : values) ops.push_back(LiteralOf(v));
  DeclareConstArray(current_ + suffix, ops);
}

void TCodeWriter::StoreToArray(const std::string& array, int index, const std::string& value) {
  if (Statements()) WriteStore(current_ + array, index, true, FormatOperand(value));
}

void TCodeWriter::StoreToArrayAt(const std::string& array, int index, const std::string& value) {
  if (Statements()) WriteStore(current_ + array, index, false, FormatOperand(value));
}

void TCodeWriter::LoadFromArray(const std::string& dest, const std::string& array, int index) {
  if (Statements()) WriteLoad(FormatOperand(dest), current_ + array, index, true);
}

void TCodeWriter::LoadFromArrayAt(const std::string& dest, const std::string& array, int index) {
  if (Statements()) WriteLoad(FormatOperand(dest), current_ + array, index, false);
}

void TCodeWriter::Assign(const std::string& dest, const std::string& src) {
  if (Statements()) WriteAssign(FormatOperand(dest), FormatOperand(src));
}

void TCodeWriter::Add(const std::string& d, const std::string& a, const std::string& b) {
  if (Statements()) WriteArith('+', FormatOperand(d), FormatOperand(a), FormatOperand(b));
}

void TCodeWriter::Sub(const std::string& d, const std::string& a, const std::string& b) {
  if (Statements()) WriteArith('-', FormatOperand(d), FormatOperand(a), FormatOperand(b));
}

void TCodeWriter::Mul(const std::string& d, const std::string& a, const std::string& b) {
  if (Statements()) WriteArith('*', FormatOperand(d), FormatOperand(a), FormatOperand(b));
}

void TCodeWriter::Div(const std::string& d, const std::string& a, const std::string& b) {
  if (Statements()) WriteArith('/', FormatOperand(d), FormatOperand(a), FormatOperand(b));
}

void TCodeWriter::Neg(const std::string& d, const std::string& a) {
  if (Statements()) WriteNeg(FormatOperand(d), FormatOperand(a));
}

void TCodeWriter::Abs(const std::string& d, const std::string& a) {
  if (Quiet()) return;
  if (pass_ == 1) usesAbs_ = true;
  if (Statements()) WriteAbs(FormatOperand(d), FormatOperand(a));
}

void TCodeWriter::If(const std::string& a, TRelation r, const std::string& b) {
  if (Statements()) WriteIf(FormatOperand(a), r, FormatOperand(b));
}

void TCodeWriter::Else() {
  if (Statements()) WriteElse();
}

void TCodeWriter::EndIf() {
  if (Statements()) WriteEndIf();
}

void TCodeWriter::Label(const std::string& name) {
  if (Quiet()) return;
  if (pass_ == 1 && std::find(labels_.begin(), labels_.end(), name) == labels_.end())
    labels_.push_back(name);
  if (pass_ == 3) WriteLabel(name);
}

void TCodeWriter::Goto(const std::string& name) {
  if (Statements()) WriteGoto(name);
}

void TCodeWriter::Loop(int count) {
  if (Quiet()) return;
  if (pass_ == 1) NoteLoop();
  if (pass_ == 3) WriteLoop(count);
}

void TCodeWriter::EndLoop() {
  if (Statements()) WriteEndLoop();
}

void TCodeWriter::AssignOutput(int index, const std::string& name) {
  current_.clear();
  stored_ = {"Output" + std::to_string(index), name.empty() ? std::string("0") : name};
  Assign("%1", "%2");
}

// --- The walk over the contour. ---

int TCodeWriter::InputIndex(const TBlock* b) const {
  for (size_t i = 0; i < Inputs.size(); ++i)
    if (Inputs[i] == b) return static_cast<int>(i);
  return -1;
}

std::string TCodeWriter::VarName(const TBlock& b) const {
  const TKindInfo* k = FindKind(b.TypeCode);
  const char* code = k && k->CodeName[0] ? k->CodeName : "Block";
  return code + std::to_string(b.CodeNumber);
}

bool TCodeWriter::BeginBlock(TBlock& b, std::string& name) {
  const int in = InputIndex(&b);
  if (in >= 0) {
    name = "Input" + std::to_string(in);
    return false;
  }
  if (discovering_) {
    b.CodeNumber = static_cast<uint16_t>(varCount_++);
    b.CodeVisited = 1;
    touched_.push_back(&b);
    current_ = VarName(b);
    return true;
  }
  if (b.CodeVisited == 2 || (b.CodeVisited == 1 && &b != finishing_)) {
    name = VarName(b);
    return false;
  }
  if (b.CodeVisited == 0) {
    b.CodeNumber = static_cast<uint16_t>(varCount_++);
    touched_.push_back(&b);
  }
  b.CodeVisited = 2;
  stored_.clear();
  current_ = name = VarName(b);
  return true;
}

void TCodeWriter::UseInputs(TBlock& block, std::initializer_list<int> sides) {
  if (discovering_) {
    for (int s : sides)
      if (TBlock* in = block.Inputs[s & 3]) feeders_->push_back(in);
    return;
  }
  std::vector<std::string> names;
  for (int s : sides) {
    std::string n = "0";
    if (TBlock* in = block.Inputs[s & 3]) in->GenerateCode(*this, n);
    names.push_back(n.empty() ? std::string("0") : n);
  }
  stored_ = std::move(names);
  current_ = VarName(block);
}

void TCodeWriter::UseConnectedInputs(TBlock& block) {
  if (discovering_) {
    for (TBlock* in : block.Inputs)
      if (in) feeders_->push_back(in);
    return;
  }
  std::vector<std::string> names;
  for (TBlock* in : block.Inputs) {
    if (!in) continue;
    std::string n;
    in->GenerateCode(*this, n);
    names.push_back(n.empty() ? std::string("0") : n);
  }
  stored_ = std::move(names);
  current_ = VarName(block);
}

void TCodeWriter::UseFirstInput(TBlock& block) {
  for (int s = 0; s < 4; ++s)
    if (block.Inputs[s]) {
      UseInputs(block, {s});
      return;
    }
  UseInputs(block, {});
}

void TCodeWriter::Delegate(TBlock& block, TBlock* source, std::string& name) {
  const int in = InputIndex(&block);
  if (in >= 0) {
    name = "Input" + std::to_string(in);
    return;
  }
  if (discovering_) {
    if (source) feeders_->push_back(source);
    return;
  }
  name = "0";
  if (source) source->GenerateCode(*this, name);
}

void TCodeWriter::Refuse(TBlock& block, std::string& name, const std::string& message) {
  const int in = InputIndex(&block);
  if (in >= 0) {
    name = "Input" + std::to_string(in);
    return;
  }
  name.clear();
  if (discovering_) {
    refusing_ = true;
    return;
  }
  ShowMessage(message);
  Prog.Err.ErrorCode = 1;
}

std::string TCodeWriter::Number(double x) {
  std::string t = std::isfinite(x) ? FormatNumber(x) : std::string();
  if (!t.empty()) return t;
  if (!discovering_ && Prog.Err.ErrorCode == 0) {
    ShowMessage(kBadParameter);
    Prog.Err.ErrorCode = 15;
  }
  return "0";
}

std::string TCodeWriter::Generate(TBlock* root) {
  if (!root) return "0";
  struct TFrame {
    TBlock* Block;
    std::vector<TBlock*> Feeders;
    size_t Next = 0;
  };
  std::vector<TFrame> stack;
  // First sight of a block: it numbers itself and names its feeders
  // without writing anything; a block that cannot be programmed says so at
  // once, before any of its feeders is written.
  auto reach = [&](TBlock* b) {
    if (!b || b->CodeVisited || InputIndex(b) >= 0) return;
    TFrame f{b, {}, 0};
    std::string unused;
    discovering_ = true;
    feeders_ = &f.Feeders;
    refusing_ = false;
    b->GenerateCode(*this, unused);
    discovering_ = false;
    feeders_ = nullptr;
    if (!b->CodeVisited) {
      b->CodeVisited = 1;
      touched_.push_back(b);
    }
    if (refusing_) {
      finishing_ = b;
      b->GenerateCode(*this, unused);
      finishing_ = nullptr;
      return;
    }
    stack.push_back(std::move(f));
  };
  reach(root);
  // Statements follow in depth-first post-order: every block after the
  // blocks that feed it, each feeder already named when its consumer runs
  // (a block on the way back through a loop reads its previous value).
  while (!stack.empty() && Prog.Err.ErrorCode == 0) {
    TFrame& f = stack.back();
    if (f.Next < f.Feeders.size()) {
      TBlock* feeder = f.Feeders[f.Next++];
      reach(feeder);
      continue;
    }
    TBlock* b = f.Block;
    stack.pop_back();
    std::string unused;
    finishing_ = b;
    b->GenerateCode(*this, unused);
    finishing_ = nullptr;
  }
  if (Prog.Err.ErrorCode) return {};
  std::string name;
  root->GenerateCode(*this, name);
  return name;
}

// --- Text. ---

void TCodeWriter::Line(const std::string& text) {
  text_.append(static_cast<size_t>(std::max(indent_, 0)), ' ');
  text_ += text;
  text_ += '\n';
}

void TCodeWriter::RawLine(const std::string& text) {
  text_ += text;
  text_ += '\n';
}

std::string TCodeWriter::StepText() const {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f", step_);
  return buf;
}

std::string TCodeWriter::NameList(const char* prefix, size_t count, const char* sep) const {
  std::string s;
  for (size_t i = 0; i < count; ++i) {
    if (i) s += sep;
    s += prefix + std::to_string(i);
  }
  return s;
}

}  // namespace vemo
