// Assembler 80x86: a Turbo Assembler module computing on the x87
// coprocessor, linked with a Pascal or C program that owns the inputs and
// outputs.
#include <string>

#include "codegen/asm_writer.h"
#include "codegen/targets.h"

namespace vemo {

namespace {

// The jump taken when the relation holds, after fcomp and sahf (the
// coprocessor's flags read as an unsigned comparison).
const char* TrueJump(TRelation r) {
  switch (r) {
    case TRelation::Less: return "jb";
    case TRelation::LessEqual: return "jbe";
    case TRelation::Equal: return "je";
    case TRelation::NotEqual: return "jne";
    case TRelation::GreaterEqual: return "jae";
    case TRelation::Greater: return "ja";
  }
  return "je";
}

// A number the assembler stores as a real: "2" would be the integer 2.
std::string Real(const std::string& text) {
  return text.find_first_of(".Ee") == std::string::npos ? text + ".0" : text;
}

std::string Offset(int bytes) {
  if (bytes == 0) return std::string();
  return (bytes > 0 ? "+" : "") + std::to_string(bytes);
}

class TX86Writer final : public TAsmWriter {
 public:
  TX86Writer(std::string fileName, double step, bool use386)
      : TAsmWriter(std::move(fileName), step), use386_(use386) {}

 protected:
  void WriteHeader() override {
    RawLine("; Язык - Ассемблер микропроссоров семейства Intel 80x86");
    RawLine("; с использованием сопроцессора 80x87");
    CommentBox({"Эта библиотека была создана пакетом \"Vemo 3\"",
                "Ее необходимо откомпилировать в OBJ-файл (для C++ без ключа /MX)",
                "Примеры использования в файлах ASM_EXAM.pas, ASM_EXAM.c и ASM_EXAM.asm"});
    RawLine("; Расчитано для такта работы " + StepText() + " сек");
    RawLine("public _Initialization");
    RawLine("public _Controller");
    for (size_t i = 0; i < Inputs.size(); ++i)
      RawLine("extrn _Input" + std::to_string(i) + " : dword\t; Входная переменная");
    for (size_t i = 0; i < Outputs.size(); ++i)
      RawLine("extrn _Output" + std::to_string(i) + " : dword\t; Входная переменная");
    RawLine(".model\tTPASCAL");
    RawLine(use386_ ? ".386" : ".286");
    RawLine(use386_ ? ".387" : ".287");
    RawLine(".code");
    RawLine("\tAcc\t\tdd\t?\t; Аккумулятор");
  }

  void WriteInitBegin() override {
    for (int n = 1; n <= Temps(); ++n) Data("Z" + std::to_string(n) + "\tdd\t?");
    Code();
    CommentBox({"процедура инициализации"});
    RawLine("_Initialization\tproc\tfar");
  }
  void WriteInitEnd() override {
    Ins("ret");
    RawLine("_Initialization\tendp");
  }
  void WriteControllerBegin() override {
    CommentBox({"процедура регулятора"});
    RawLine("_Controller\tproc\tfar");
  }
  void WriteControllerEnd() override {
    Ins("ret");
    RawLine("_Controller\tendp");
    for (const auto& [name, text] : Pool()) Data(name + "\tdd\t" + Real(text));
    Ins("end");
  }

  void DeclareScalar(const std::string& name, const std::string& comment) override {
    Data(name + "\tdd\t?" + (comment.empty() ? "" : "\t; " + comment));
  }
  void DeclareArray(const std::string& name, int length) override {
    Data(name + "\tdd\t" + std::to_string(length) + " dup (?)");
  }
  void DeclareConstArray(const std::string& name, const std::vector<TOperand>& values) override {
    std::string s = name + "\tdd\t";
    for (size_t i = 0; i < values.size(); ++i) s += (i ? ", " : "") + Real(values[i].Text);
    Data(s);
  }
  void DeclareCounter() override { Data("Count\tdw\t?"); }

  void WriteAssign(const TOperand& d, const TOperand& s) override {
    Ins("fld", Mem(s));
    Ins("fstp", Mem(d));
  }
  void WriteArith(char op, const TOperand& d, const TOperand& a, const TOperand& b) override {
    static const char* const names[] = {"fadd", "fsub", "fmul", "fdiv"};
    Ins("fld", Mem(a));
    Ins(names[op == '+' ? 0 : op == '-' ? 1 : op == '*' ? 2 : 3], Mem(b));
    Ins("fstp", Mem(d));
  }
  void WriteNeg(const TOperand& d, const TOperand& a) override {
    Ins("fld", Mem(a));
    Ins("fchs");
    Ins("fstp", Mem(d));
  }
  void WriteAbs(const TOperand& d, const TOperand& a) override {
    Ins("fld", Mem(a));
    Ins("fabs");
    Ins("fstp", Mem(d));
  }
  void JumpUnless(const TOperand& a, TRelation r, const TOperand& b, const std::string& label) override {
    const std::string yes = Fresh("Then");
    Ins("fld", Mem(a));
    Ins("fcomp", Mem(b));
    Ins("fstsw", "word ptr Acc");
    Ins("fwait");
    Ins("mov", "ax, word ptr Acc");
    Ins("sahf");
    Ins(TrueJump(r), yes);
    Ins("jmp", label);
    Place(yes);
  }
  void Jump(const std::string& label) override { Ins("jmp", label); }
  void CountSet(int n) override { Ins("mov", "Count, " + std::to_string(n)); }
  void ExitUnlessCount(const std::string& exit, const std::string& body) override {
    Ins("cmp", "Count, 0");
    Ins("jg", body);
    Ins("jmp", exit);
    Place(body);
  }
  void CountDec(const std::string&) override { Ins("dec", "Count"); }
  void WriteStore(const std::string& array, int index, bool withCount, const TOperand& v) override {
    Ins("fld", Mem(v));
    Ins("fstp", Element(array, index, withCount));
  }
  void WriteLoad(const TOperand& d, const std::string& array, int index, bool withCount) override {
    Ins("fld", Element(array, index, withCount));
    Ins("fstp", Mem(d));
  }
  // The inputs and outputs are the calling program's variables.
  std::string MapName(const std::string& name) const override {
    if (name.compare(0, 5, "Input") == 0 || name.compare(0, 6, "Output") == 0) return "_" + name;
    return name;
  }

 private:
  // Data lines go to a data section, code lines to the code section.
  void Data(const std::string& line) {
    if (!inData_) RawLine("\t.data");
    inData_ = true;
    RawLine(line);
  }
  void Code() {
    if (inData_) RawLine("\t.code");
    inData_ = false;
  }
  std::string Mem(const TOperand& o) { return "dword ptr " + (o.Literal ? PoolName(o) : o.Text); }
  std::string Element(const std::string& array, int index, bool withCount) {
    if (!withCount) return "dword ptr " + array + Offset(4 * index);
    Ins("mov", "bx, Count");
    Ins("shl", "bx, 2");
    return "dword ptr " + array + "[bx" + Offset(4 * index) + "]";
  }

  bool use386_;
  bool inData_ = false;
};

}  // namespace

std::unique_ptr<TCodeWriter> MakeX86Writer(const std::string& fileName, double step, bool use386) {
  return std::make_unique<TX86Writer>(fileName, step, use386);
}

}  // namespace vemo
