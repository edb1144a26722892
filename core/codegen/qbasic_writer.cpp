// QBasic: a program with a main loop and two subroutines.
#include <string>
#include <vector>

#include "codegen/targets.h"
#include "shell/encoding.h"
#include "shell/numtext.h"

namespace vemo {

namespace {

class TQBasicWriter final : public TCodeWriter {
 public:
  using TCodeWriter::TCodeWriter;

 protected:
  void WriteHeader() override {
    RawLine("' Язык QBasic");
    const std::string made = "Эта программа была создана пакетом \"Vemo 3\"";
    const size_t w = Utf8Length(made);
    RawLine(BoxBorder("'", "", '*', w));
    RawLine(BoxLine("'", "", made, w));
    RawLine(BoxBorder("'", "", '*', w));
    RawLine("' Расчитано для такта работы " + StepText() + " сек");
  }
  // The declarations (array dimensions) stand before the main program,
  // which is where QBasic needs them.
  void WriteDeclarationsEnd() override {
    for (int n = 1; n <= Temps(); ++n) RawLine("' Z" + std::to_string(n));
    RawLine("' Инициализация");
    RawLine("GOSUB Initialization");
    RawLine("X = 0.0");
    RawLine("' главный цикл");
    RawLine("FOR Time = 0 TO 10 STEP " + FormatNumber(Step()));
    RawLine("  ' здесь Вы должны расчитать входной сигнал X для регулятора");
    RawLine("  GOSUB Controller  ' вызов функции регулятора  X - входной сигнал Y - выходной сигнал");
    RawLine("NEXT");
    RawLine("END");
  }

  void WriteInitBegin() override {
    RawLine("'" + std::string(59, '*'));
    RawLine("Initialization:");
    Indent(2);
    for (const auto& [name, values] : constArrays_)
      for (size_t i = 0; i < values.size(); ++i)
        Line(name + "(" + std::to_string(i) + ") = " + values[i].Text);
  }
  void WriteInitEnd() override {
    Indent(-2);
    RawLine("RETURN");
  }
  void WriteControllerBegin() override {
    RawLine("'" + std::string(59, '*'));
    RawLine("Controller:");
    Indent(2);
  }
  void WriteControllerEnd() override {
    Indent(-2);
    RawLine("RETURN");
  }

  void DeclareScalar(const std::string& name, const std::string& comment) override {
    RawLine("' " + name + (comment.empty() ? "" : " - " + comment));
  }
  // The upper bound is the element count: one spare element, as some
  // BASICs refuse an array of one element, DIM X(0).
  void DeclareArray(const std::string& name, int length) override {
    RawLine("DIM " + name + "(" + std::to_string(length) + ")");
  }
  void DeclareConstArray(const std::string& name, const std::vector<TOperand>& values) override {
    RawLine("DIM " + name + "(" + std::to_string(values.size()) + ")");
    constArrays_.push_back({name, values});
  }
  void WriteVarComment(const std::string& name) override { Line("' " + name); }

  void WriteAssign(const TOperand& d, const TOperand& s) override { Line(d.Text + " = " + s.Text); }
  void WriteArith(char op, const TOperand& d, const TOperand& a, const TOperand& b) override {
    Line(d.Text + " = " + Term(a) + " " + op + " " + Term(b));
  }
  void WriteNeg(const TOperand& d, const TOperand& a) override { Line(d.Text + " = -" + Term(a)); }
  void WriteAbs(const TOperand& d, const TOperand& a) override {
    Line(d.Text + " = ABS( " + a.Text + " )");
  }
  // IF with the opposite relation jumps over the THEN part.
  void WriteIf(const TOperand& a, TRelation r, const TOperand& b) override {
    const int skip = NextLabel();
    Line("IF " + a.Text + " " + RelationText(Negated(r)) + " " + b.Text + " THEN GOTO L" +
         std::to_string(skip));
    ifs_.push_back({skip, 0});
    Indent(2);
  }
  void WriteElse() override {
    if (ifs_.empty()) return;
    const int end = NextLabel();
    Line("GOTO L" + std::to_string(end));
    Indent(-2);
    RawLine("L" + std::to_string(ifs_.back().Skip) + ":");
    Indent(2);
    ifs_.back().End = end;
  }
  void WriteEndIf() override {
    if (ifs_.empty()) return;
    Indent(-2);
    const TIf f = ifs_.back();
    ifs_.pop_back();
    RawLine("L" + std::to_string(f.End ? f.End : f.Skip) + ":");
  }
  void WriteLabel(const std::string& name) override { RawLine(name + ":"); }
  void WriteGoto(const std::string& name) override { Line("GOTO " + name); }
  void WriteLoop(int count) override {
    Line("FOR I = " + std::to_string(count) + " TO 1 STEP -1");
    Indent(2);
  }
  void WriteEndLoop() override {
    Indent(-2);
    Line("NEXT I");
  }
  void WriteStore(const std::string& array, int index, bool withCount, const TOperand& v) override {
    Line(array + "(" + Index(index, withCount) + ") = " + v.Text);
  }
  void WriteLoad(const TOperand& d, const std::string& array, int index, bool withCount) override {
    Line(d.Text + " = " + array + "(" + Index(index, withCount) + ")");
  }

 private:
  struct TIf {
    int Skip, End;
  };
  // A negative number inside an expression goes in parentheses.
  static std::string Term(const TOperand& o) {
    return o.Literal && o.Text[0] == '-' ? "(" + o.Text + ")" : o.Text;
  }
  static std::string Index(int index, bool withCount) {
    if (!withCount) return std::to_string(index);
    if (index == 0) return "I";
    return index < 0 ? "I - " + std::to_string(-index) : "I + " + std::to_string(index);
  }
  std::vector<TIf> ifs_;
  std::vector<std::pair<std::string, std::vector<TOperand>>> constArrays_;
};

}  // namespace

std::unique_ptr<TCodeWriter> MakeQBasicWriter(const std::string& fileName, double step) {
  return std::make_unique<TQBasicWriter>(fileName, step);
}

}  // namespace vemo
