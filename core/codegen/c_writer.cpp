// C: a library of two functions for C and C++.
#include <algorithm>
#include <string>

#include "codegen/targets.h"
#include "shell/encoding.h"

namespace vemo {

namespace {

const char* CRelation(TRelation r) {
  switch (r) {
    case TRelation::Equal: return "==";
    case TRelation::NotEqual: return "!=";
    default: return RelationText(r);
  }
}

class TCWriter final : public TCodeWriter {
 public:
  using TCodeWriter::TCodeWriter;

 protected:
  void WriteHeader() override {
    RawLine("/* Язык C, C++  */");
    const std::string made = "Эта библиотека была создана пакетом \"Vemo 3\"";
    const size_t w = Utf8Length(made);
    RawLine(BoxBorder("/*", "*/", '*', w));
    RawLine(BoxLine("/*", "*/", made, w));
    RawLine(BoxBorder("/*", "*/", '*', w));
    RawLine("/* Расчитано для такта работы " + StepText() + " сек */");
    RawLine("#include <stdio.h>");
  }

  void WriteInitBegin() override {
    // fabs is declared by the maths header, included only when used.
    if (UsesAbs()) RawLine("#include <math.h>");
    Box({"Инициализация"});
    RawLine("void Initialization()");
    RawLine("{");
    Indent(2);
  }
  void WriteInitEnd() override {
    Indent(-2);
    RawLine("}");
  }

  void WriteControllerBegin() override {
    Box({"Контроллер Inputxx  - входной сигнал регулятора",
         "Возвращает Outputxx - выходной сигнал регулятора"});
    std::string params;
    for (size_t i = 0; i < Inputs.size(); ++i)
      params += (params.empty() ? "" : ", ") + std::string("float Input") + std::to_string(i);
    for (size_t i = 0; i < Outputs.size(); ++i)
      params += (params.empty() ? "" : ", ") + std::string("float *Output") + std::to_string(i);
    RawLine("void Controller(" + params + ")");
    RawLine("{");
    Indent(2);
    Line("int Count;");
    // The temporaries are locals of the controller, the one routine that
    // uses them.
    if (Temps() > 0) {
      Line("/* Локальные переменные */");
      for (int n = Temps(); n >= 1; --n) Line("float Z" + std::to_string(n) + ";");
    }
  }
  void WriteControllerEnd() override {
    Indent(-2);
    RawLine("}");
  }

  void DeclareScalar(const std::string& name, const std::string& comment) override {
    RawLine("float " + name + ";" + (comment.empty() ? "" : " /* " + comment + " */"));
  }
  void DeclareArray(const std::string& name, int length) override {
    RawLine("float " + name + "[" + std::to_string(length) + "];");
  }
  void DeclareConstArray(const std::string& name, const std::vector<TOperand>& values) override {
    std::string s = "const float " + name + "[" + std::to_string(values.size()) + "] = {";
    for (size_t i = 0; i < values.size(); ++i) s += (i ? ", " : "") + values[i].Text;
    RawLine(s + "};");
  }
  void InitArray(const std::string& name, int length) override {
    Line("{ int i; for (i = 0; i < " + std::to_string(length) + "; i++) " + name + "[i] = 0; }");
  }
  void WriteVarComment(const std::string& name) override { Line("/* " + name + " */"); }

  void WriteAssign(const TOperand& d, const TOperand& s) override { Line(d.Text + " = " + s.Text + ";"); }
  void WriteArith(char op, const TOperand& d, const TOperand& a, const TOperand& b) override {
    if (!a.Literal && a.Text == d.Text)
      Line(d.Text + " " + op + "= " + b.Text + ";");
    else
      Line(d.Text + " = " + a.Text + " " + op + " " + b.Text + ";");
  }
  void WriteNeg(const TOperand& d, const TOperand& a) override {
    Line(d.Text + " = -" + (a.Literal && a.Text[0] == '-' ? "(" + a.Text + ")" : a.Text) + ";");
  }
  void WriteAbs(const TOperand& d, const TOperand& a) override {
    Line(d.Text + " = fabs( " + a.Text + " );");
  }
  void WriteIf(const TOperand& a, TRelation r, const TOperand& b) override {
    Line("if (" + a.Text + " " + CRelation(r) + " " + b.Text + ")");
    Line("{");
    Indent(2);
  }
  void WriteElse() override {
    Indent(-2);
    Line("}");
    Line("else");
    Line("{");
    Indent(2);
  }
  void WriteEndIf() override {
    Indent(-2);
    Line("}");
  }
  void WriteLabel(const std::string& name) override { Line(name + ": ;"); }
  void WriteGoto(const std::string& name) override { Line("goto " + name + ";"); }
  void WriteLoop(int count) override {
    Line("for (Count = " + std::to_string(count) + "; Count > 0; Count--)");
    Line("{");
    Indent(2);
  }
  void WriteEndLoop() override {
    Indent(-2);
    Line("}");
  }
  void WriteStore(const std::string& array, int index, bool withCount, const TOperand& v) override {
    Line(array + "[" + Index(index, withCount) + "] = " + v.Text + ";");
  }
  void WriteLoad(const TOperand& d, const std::string& array, int index, bool withCount) override {
    Line(d.Text + " = " + array + "[" + Index(index, withCount) + "];");
  }
  // Outputs are assigned through the pointers the caller passes.
  std::string MapName(const std::string& name) const override {
    return name.compare(0, 6, "Output") == 0 ? "*" + name : name;
  }

 private:
  static std::string Index(int index, bool withCount) {
    return std::to_string(index) + (withCount ? "+Count" : "");
  }
  void Box(std::initializer_list<const char*> lines) {
    size_t w = 0;
    for (const char* l : lines) w = std::max(w, Utf8Length(l));
    RawLine(BoxBorder("/*", "*/", '*', w));
    for (const char* l : lines) RawLine(BoxLine("/*", "*/", l, w));
    RawLine(BoxBorder("/*", "*/", '*', w));
  }
};

}  // namespace

std::unique_ptr<TCodeWriter> MakeCWriter(const std::string& fileName, double step) {
  return std::make_unique<TCWriter>(fileName, step);
}

}  // namespace vemo
