// Asm51: an 8051-family module in fixed-point arithmetic. The values are
// FIX numbers (4 bytes, least significant first) in internal RAM at
// MemBase; the routines of the library mathFIX.a51 work on the accumulator
// AccFIX with their second operand in R4..R7. Arrays live in external RAM
// from 3400h and are reached through DPTR. Directives are written in the
// form the free as31 assembler reads (.equ, .inc).
#include <cstdio>
#include <set>
#include <string>

#include "codegen/asm_writer.h"
#include "codegen/targets.h"

namespace vemo {

namespace {

std::string Hex2(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0%02Xh", v & 0xFFu);
  return buf;
}

std::string Byte(const std::string& name, int i) {
  return i == 0 ? name : name + "+" + std::to_string(i);
}

class TAsm51Writer final : public TMemBaseWriter {
 public:
  using TMemBaseWriter::TMemBaseWriter;

 protected:
  void WriteHeader() override {
    RawLine("; Язык - Ассемблер микропроцессоров семейства intel8051.");
    RawLine("; (Компилируйте пакетом X8051)");
    CommentBox({"Эта библиотека была создана пакетом \"Vemo 3\"",
                "Пример использования в файле EXAMPLE.a51",
                "Необходима библиотека mathFIX.a51"});
    RawLine("; Расчитано для такта работы " + StepText() + " сек");
    Ins(".inc", "mathFIX.a51");
    Ins(".equ", "MemBase, " + Hex2(BlockAddress()) + "\t; адрес в IRAM блока переменных");
    EquInputsAndOutputs(std::string(), std::string());
    Equ("AccFIX", Reserve(4), std::string());
    Ins(".equ", "XDATA, 3400h\t; внешний адрес массивов данных");
  }

  void WriteInitBegin() override {
    EquTemps();
    CommentBox({"Процедура инициализации"});
    Place("Initialization");
  }
  void WriteInitEnd() override { Ins("ret"); }
  void WriteControllerBegin() override {
    CommentBox({"Процедура регулятора",
                "Входы Input.. и выходы Output.. - величины в формате FIX"});
    Place("Controller");
  }
  void WriteControllerEnd() override { Ins("ret"); }

  void Equ(const std::string& name, int offset, const std::string& comment) override {
    Ins(".equ", name + ", MemBase+" + std::to_string(offset) + (comment.empty() ? "" : "\t; " + comment));
  }
  void DeclareCounter() override { Equ("Count", Reserve(2), "счетчик циклов"); }
  void DeclareArray(const std::string& name, int length) override {
    Ins(".equ", name + ", XDATA+" + std::to_string(xdata_));
    xdata_ += 4 * length;
  }
  // Constant arrays stay in code memory, beside the routines.
  void DeclareConstArray(const std::string& name, const std::vector<TOperand>& values) override {
    codeArrays_.insert(name);
    Place(name);
    for (const TOperand& v : values) {
      const uint32_t f = static_cast<uint32_t>(ToFix(v.Value));
      Ins(".byte", Hex2(f) + ", " + Hex2(f >> 8) + ", " + Hex2(f >> 16) + ", " + Hex2(f >> 24));
    }
  }

  void WriteAssign(const TOperand& d, const TOperand& s) override {
    if (!s.Literal && s.Text == d.Text) return;
    for (int i = 0; i < 4; ++i) Ins("mov", Byte(d.Text, i) + "," + Part(s, i));
  }
  void WriteArith(char op, const TOperand& d, const TOperand& a, const TOperand& b) override {
    LoadAcc(a);
    LoadArg(b);
    Ins("lcall", op == '+' ? "addFIX" : op == '-' ? "subFIX" : op == '*' ? "mulFIX" : "divFIX");
    StoreAcc(d);
  }
  void WriteNeg(const TOperand& d, const TOperand& a) override {
    LoadAcc(a);
    Ins("lcall", "negFIX");
    StoreAcc(d);
  }
  void WriteAbs(const TOperand& d, const TOperand& a) override {
    LoadAcc(a);
    Ins("lcall", "absFIX");
    StoreAcc(d);
  }
  // cmpFIX leaves A = 1 (greater), 0 (equal) or 0FFh (less).
  void JumpUnless(const TOperand& a, TRelation r, const TOperand& b, const std::string& label) override {
    const std::string yes = Fresh("Then");
    LoadAcc(a);
    LoadArg(b);
    Ins("lcall", "cmpFIX");
    switch (r) {
      case TRelation::Greater: Ins("xrl", "A,#1"); Ins("jz", yes); break;
      case TRelation::Less: Ins("xrl", "A,#0FFh"); Ins("jz", yes); break;
      case TRelation::Equal: Ins("jz", yes); break;
      case TRelation::NotEqual: Ins("jnz", yes); break;
      case TRelation::GreaterEqual: Ins("xrl", "A,#0FFh"); Ins("jnz", yes); break;
      case TRelation::LessEqual: Ins("xrl", "A,#1"); Ins("jnz", yes); break;
    }
    Ins("ljmp", label);
    Place(yes);
  }
  void Jump(const std::string& label) override { Ins("ljmp", label); }
  void CountSet(int n) override {
    Ins("mov", "Count,#" + Hex2(static_cast<unsigned>(n)));
    Ins("mov", "Count+1,#" + Hex2(static_cast<unsigned>(n) >> 8));
  }
  void ExitUnlessCount(const std::string& exit, const std::string& body) override {
    Ins("mov", "A,Count");
    Ins("orl", "A,Count+1");
    Ins("jnz", body);
    Ins("ljmp", exit);
    Place(body);
  }
  void CountDec(const std::string& scratch) override {
    Ins("mov", "A,Count");
    Ins("jnz", scratch);
    Ins("dec", "Count+1");
    Place(scratch);
    Ins("dec", "Count");
  }
  void WriteStore(const std::string& array, int index, bool withCount, const TOperand& v) override {
    LoadAcc(v);
    Address(array, index, withCount);
    Ins("lcall", "stxFIX");
  }
  void WriteLoad(const TOperand& d, const std::string& array, int index, bool withCount) override {
    Address(array, index, withCount);
    Ins("lcall", codeArrays_.count(array) ? "ldcFIX" : "ldxFIX");
    StoreAcc(d);
  }

 private:
  // Byte i of an operand: a direct address, or the immediate byte of a number.
  static std::string Part(const TOperand& o, int i) {
    if (!o.Literal) return Byte(o.Text, i);
    return "#" + Hex2(static_cast<uint32_t>(ToFix(o.Value)) >> (8 * i));
  }
  void LoadAcc(const TOperand& o) {
    for (int i = 0; i < 4; ++i) Ins("mov", Byte("AccFIX", i) + "," + Part(o, i));
  }
  void LoadArg(const TOperand& o) {
    for (int i = 0; i < 4; ++i) Ins("mov", "R" + std::to_string(4 + i) + "," + Part(o, i));
  }
  void StoreAcc(const TOperand& d) {
    for (int i = 0; i < 4; ++i) Ins("mov", Byte(d.Text, i) + "," + Byte("AccFIX", i));
  }
  // DPTR := the element's address (plus 4 * Count inside loops).
  void Address(const std::string& array, int index, bool withCount) {
    const int off = 4 * index;
    Ins("mov", "DPTR,#(" + array + (off < 0 ? "-" : "+") + std::to_string(off < 0 ? -off : off) + ")");
    if (withCount) {
      Ins("mov", "R2,Count");
      Ins("mov", "R3,Count+1");
      Ins("lcall", "idxFIX");
    }
  }

  int xdata_ = 0;
  std::set<std::string> codeArrays_;
};

}  // namespace

std::unique_ptr<TCodeWriter> MakeAsm51Writer(const std::string& fileName, double step, uint8_t address) {
  return std::make_unique<TAsm51Writer>(fileName, step, address);
}

}  // namespace vemo
