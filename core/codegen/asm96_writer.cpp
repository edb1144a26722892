// Asm96: an 8096-family (MCS-96) module in fixed-point arithmetic. The FIX
// values (4 bytes) live in the register file at MemBase; the routines of
// mathFIX.a96 work on the long accumulator AX (AX, AX+2) with their second
// operand in BX (BX, BX+2); CX addresses array elements.
#include <cstdio>
#include <string>

#include "codegen/asm_writer.h"
#include "codegen/targets.h"

namespace vemo {

namespace {

std::string Hex4(unsigned v) {
  char buf[12];
  std::snprintf(buf, sizeof buf, "0%04Xh", v & 0xFFFFu);
  return buf;
}

const char* TrueJump(TRelation r) {
  switch (r) {
    case TRelation::Less: return "JLT";
    case TRelation::LessEqual: return "JLE";
    case TRelation::Equal: return "JE";
    case TRelation::NotEqual: return "JNE";
    case TRelation::GreaterEqual: return "JGE";
    case TRelation::Greater: return "JGT";
  }
  return "JE";
}

class TAsm96Writer final : public TMemBaseWriter {
 public:
  using TMemBaseWriter::TMemBaseWriter;

 protected:
  void WriteHeader() override {
    RawLine("; Язык - Ассемблер микропроцессоров Intel8096 (MCS96)");
    RawLine("; (Компилируйте пакетом ASM96)");
    CommentBox({"Эта библиотека была создана пакетом \"Vemo 3\"",
                "Пример использования в файле EXAMPLE.a96",
                "Необходима библиотека mathFIX.a96"});
    RawLine("; Расчитано для такта работы " + StepText() + " сек");
    RawLine(".include     mathFIX.a96");
    RawLine("MemBase\tequ\t" + Hex4(BlockAddress()) + "\t; адрес в IRAM блока переменных");
    EquInputsAndOutputs(std::string(), std::string());
    RawLine("Count\tequ\tMemBase+" + std::to_string(Reserve(4)) + "; используется как счетчик в циклах");
  }

  void WriteInitBegin() override {
    EquTemps();
    CommentBox({"Процедура инициализации"});
    Place("Initialization");
  }
  void WriteInitEnd() override { Ins("RET"); }
  void WriteControllerBegin() override {
    CommentBox({"Процедура регулятора",
                "Входы Input.. и выходы Output.. - величины в формате FIX"});
    Place("Controller");
  }
  void WriteControllerEnd() override {
    Ins("RET");
    Ins("END");
  }

  void Equ(const std::string& name, int offset, const std::string& comment) override {
    RawLine(name + "\tequ\tMemBase+" + std::to_string(offset) + (comment.empty() ? "" : "\t; " + comment));
  }
  void DeclareArray(const std::string& name, int length) override { Equ(name, Reserve(4 * length), ""); }
  void DeclareConstArray(const std::string& name, const std::vector<TOperand>& values) override {
    std::string s;
    for (size_t i = 0; i < values.size(); ++i) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "0%08Xh", static_cast<unsigned>(ToFix(values[i].Value)));
      s += (i ? ", " : "") + std::string(buf);
    }
    RawLine(name + ":\tDCL\t" + s);
  }

  void WriteAssign(const TOperand& d, const TOperand& s) override {
    if (!s.Literal && s.Text == d.Text) return;
    Load("AX", s);
    Store(d);
  }
  void WriteArith(char op, const TOperand& d, const TOperand& a, const TOperand& b) override {
    Load("AX", a);
    Load("BX", b);
    Ins("LCALL", op == '+' ? "addFIX" : op == '-' ? "subFIX" : op == '*' ? "mulFIX" : "divFIX");
    Store(d);
  }
  void WriteNeg(const TOperand& d, const TOperand& a) override {
    Load("AX", a);
    Ins("LCALL", "negFIX");
    Store(d);
  }
  void WriteAbs(const TOperand& d, const TOperand& a) override {
    Load("AX", a);
    Ins("LCALL", "absFIX");
    Store(d);
  }
  // cmpFIX sets the flags of the signed comparison AX - BX.
  void JumpUnless(const TOperand& a, TRelation r, const TOperand& b, const std::string& label) override {
    const std::string yes = Fresh("Then");
    Load("AX", a);
    Load("BX", b);
    Ins("LCALL", "cmpFIX");
    Ins(TrueJump(r), yes);
    Ins("LJMP", label);
    Place(yes);
  }
  void Jump(const std::string& label) override { Ins("LJMP", label); }
  void CountSet(int n) override { Ins("LD", "Count,#" + std::to_string(n)); }
  void ExitUnlessCount(const std::string& exit, const std::string& body) override {
    Ins("CMP", "Count,#0");
    Ins("JGT", body);
    Ins("LJMP", exit);
    Place(body);
  }
  void CountDec(const std::string&) override { Ins("DEC", "Count"); }
  void WriteStore(const std::string& array, int index, bool withCount, const TOperand& v) override {
    Load("AX", v);
    Address(array, index, withCount);
    Ins("ST", "AX,[CX]");
    Ins("ST", "AX+2,2[CX]");
  }
  void WriteLoad(const TOperand& d, const std::string& array, int index, bool withCount) override {
    Address(array, index, withCount);
    Ins("LD", "AX,[CX]");
    Ins("LD", "AX+2,2[CX]");
    Store(d);
  }

 private:
  static std::string Element(const std::string& array, int index) {
    const int off = 4 * index;
    return array + (off < 0 ? "-" : "+") + std::to_string(off < 0 ? -off : off);
  }
  // CX := the element's address (plus 4 * Count inside loops).
  void Address(const std::string& array, int index, bool withCount) {
    if (!withCount) {
      Ins("LD", "CX,#" + Element(array, index));
      return;
    }
    Ins("LD", "CX,Count");
    Ins("SHL", "CX,#2");
    Ins("ADD", "CX,#" + Element(array, index));
  }
  void Load(const char* reg, const TOperand& o) {
    const std::string r = reg;
    if (o.Literal) {
      const uint32_t f = static_cast<uint32_t>(ToFix(o.Value));
      Ins("LD", r + ",#" + Hex4(f));
      Ins("LD", r + "+2,#" + Hex4(f >> 16));
    } else {
      Ins("LD", r + "," + o.Text);
      Ins("LD", r + "+2," + o.Text + "+2");
    }
  }
  void Store(const TOperand& d) {
    Ins("ST", "AX," + d.Text);
    Ins("ST", "AX+2," + d.Text + "+2");
  }
};

}  // namespace

std::unique_ptr<TCodeWriter> MakeAsm96Writer(const std::string& fileName, double step, uint16_t address) {
  return std::make_unique<TAsm96Writer>(fileName, step, address);
}

}  // namespace vemo
