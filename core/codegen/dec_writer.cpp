// DEC: a module for PDP-11-family processors. The values are two-word
// floating-point numbers at MemBase; the routines of mathlib.a27 work on
// the accumulator R0:R1 with their second operand in R2:R3 and set the
// condition codes on comparison; R4 addresses array elements. Numbers are
// kept in a pool of .FLT2 constants after the controller routine. Numbers
// are decimal; the address of the block carries the octal suffix "o".
#include <string>

#include "codegen/asm_writer.h"
#include "codegen/targets.h"

namespace vemo {

namespace {

const char* TrueBranch(TRelation r) {
  switch (r) {
    case TRelation::Less: return "BLT";
    case TRelation::LessEqual: return "BLE";
    case TRelation::Equal: return "BEQ";
    case TRelation::NotEqual: return "BNE";
    case TRelation::GreaterEqual: return "BGE";
    case TRelation::Greater: return "BGT";
  }
  return "BEQ";
}

std::string Octal(unsigned v) {
  std::string s;
  do {
    s.insert(s.begin(), static_cast<char>('0' + (v & 7u)));
    v >>= 3;
  } while (v);
  return s;
}

class TDecWriter final : public TMemBaseWriter {
 public:
  using TMemBaseWriter::TMemBaseWriter;

 protected:
  void WriteHeader() override {
    RawLine("; Язык - Ассемблер микропроцессоров DEC");
    RawLine("; (Компилируйте пакетом RV или MC2718)");
    CommentBox({"Эта библиотека была создана пакетом \"Vemo 3\"",
                "Пример использования в файле EXAMPLE.a27",
                "Необходима библиотека mathlib.a27"});
    RawLine("; Расчитано для такта работы " + StepText() + " сек");
    RawLine(".dsm");
    RawLine(".dstsrc");
    RawLine("MemBase = " + Octal(BlockAddress()) + "o");
    for (size_t i = 0; i < Inputs.size(); ++i)
      RawLine("Input" + std::to_string(i) + "\t=\tMemBase+" + std::to_string(Reserve(4)) +
              "\t; внешняя входная переменная");
    for (size_t i = 0; i < Outputs.size(); ++i)
      RawLine("Output" + std::to_string(i) + " =\tMemBase+" + std::to_string(Reserve(4)) +
              "\t; внешняя выходная переменная");
    RawLine("Count =\tMemBase+" + std::to_string(Reserve(4)) + "\t; используется как счетчик в циклах");
  }

  void WriteInitBegin() override {
    EquTemps();
    CommentBox({"Процедура инициализации"});
    Place("Initialization");
  }
  void WriteInitEnd() override { Ins("RTS", "PC"); }
  void WriteControllerBegin() override {
    CommentBox({"Процедура регулятора"});
    Place("Controller");
  }
  void WriteControllerEnd() override {
    Ins("RTS", "PC");
    for (const auto& [name, text] : Pool()) RawLine(name + ":\t.FLT2\t" + text);
    Ins(".END");
  }

  void Equ(const std::string& name, int offset, const std::string& comment) override {
    RawLine(name + " =\tMemBase+" + std::to_string(offset) + (comment.empty() ? "" : "\t; " + comment));
  }
  void DeclareArray(const std::string& name, int length) override { Equ(name, Reserve(4 * length), ""); }
  void DeclareConstArray(const std::string& name, const std::vector<TOperand>& values) override {
    std::string s;
    for (size_t i = 0; i < values.size(); ++i) s += (i ? ", " : "") + values[i].Text;
    RawLine(name + ":\t.FLT2\t" + s);
  }

  void WriteAssign(const TOperand& d, const TOperand& s) override {
    if (!s.Literal && s.Text == d.Text) return;
    const std::string src = Name(s);
    Ins("MOV", src + "," + d.Text);
    Ins("MOV", src + "+2," + d.Text + "+2");
  }
  void WriteArith(char op, const TOperand& d, const TOperand& a, const TOperand& b) override {
    Load("R0", "R1", a);
    Load("R2", "R3", b);
    Ins("JSR", std::string("PC,") + (op == '+' ? "FADD" : op == '-' ? "FSUB" : op == '*' ? "FMUL" : "FDIV"));
    Store(d);
  }
  void WriteNeg(const TOperand& d, const TOperand& a) override {
    Load("R0", "R1", a);
    Ins("JSR", "PC,FNEG");
    Store(d);
  }
  void WriteAbs(const TOperand& d, const TOperand& a) override {
    Load("R0", "R1", a);
    Ins("JSR", "PC,FABS");
    Store(d);
  }
  void JumpUnless(const TOperand& a, TRelation r, const TOperand& b, const std::string& label) override {
    const std::string yes = Fresh("Then");
    Load("R0", "R1", a);
    Load("R2", "R3", b);
    Ins("JSR", "PC,FCMP");
    Ins(TrueBranch(r), yes);
    Ins("JMP", label);
    Place(yes);
  }
  void Jump(const std::string& label) override { Ins("JMP", label); }
  void CountSet(int n) override { Ins("MOV", "#" + std::to_string(n) + ",Count"); }
  void ExitUnlessCount(const std::string& exit, const std::string& body) override {
    Ins("TST", "Count");
    Ins("BGT", body);
    Ins("JMP", exit);
    Place(body);
  }
  void CountDec(const std::string&) override { Ins("DEC", "Count"); }
  void WriteStore(const std::string& array, int index, bool withCount, const TOperand& v) override {
    Load("R0", "R1", v);
    Address(array, index, withCount);
    Ins("MOV", "R0,(R4)");
    Ins("MOV", "R1,2(R4)");
  }
  void WriteLoad(const TOperand& d, const std::string& array, int index, bool withCount) override {
    Address(array, index, withCount);
    Ins("MOV", "(R4),R0");
    Ins("MOV", "2(R4),R1");
    Store(d);
  }

 private:
  std::string Name(const TOperand& o) { return o.Literal ? PoolName(o) : o.Text; }
  void Load(const char* hi, const char* lo, const TOperand& o) {
    const std::string n = Name(o);
    Ins("MOV", n + "," + hi);
    Ins("MOV", n + "+2," + lo);
  }
  void Store(const TOperand& d) {
    Ins("MOV", "R0," + d.Text);
    Ins("MOV", "R1," + d.Text + "+2");
  }
  // R4 := the element's address (plus 4 * Count inside loops).
  void Address(const std::string& array, int index, bool withCount) {
    const int off = 4 * index;
    const std::string at = array + (off < 0 ? "-" : "+") + std::to_string(off < 0 ? -off : off);
    if (!withCount) {
      Ins("MOV", "#" + at + ",R4");
      return;
    }
    Ins("MOV", "Count,R4");
    Ins("ASL", "R4");
    Ins("ASL", "R4");
    Ins("ADD", "#" + at + ",R4");
  }
};

}  // namespace

std::unique_ptr<TCodeWriter> MakeDecWriter(const std::string& fileName, double step, uint16_t address) {
  return std::make_unique<TDecWriter>(fileName, step, address);
}

}  // namespace vemo
