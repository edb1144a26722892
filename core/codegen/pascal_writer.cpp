// Pascal: a unit for Turbo Pascal, Borland Pascal and Delphi.
#include <string>

#include "codegen/targets.h"
#include "shell/encoding.h"

namespace vemo {

namespace {

class TPascalWriter final : public TCodeWriter {
 public:
  using TCodeWriter::TCodeWriter;

 protected:
  void WriteHeader() override {
    RawLine("{ Язык Turbo-Pascal, Borland-Pascal, Delphi }");
    RawLine("");
    const std::string made = "Этот модуль был создана пакетом \"Vemo 3\"";
    RawLine(BoxBorder("{", "}", '-', Utf8Length(made)));
    RawLine(BoxLine("{", "}", made, Utf8Length(made)));
    RawLine(BoxBorder("{", "}", '-', Utf8Length(made)));
    RawLine("{ Расчитано для такта работы " + StepText() + " сек }");
    RawLine("");
    const std::string example = "Пример использования модуля в файле EXAMPLE.PAS         ";
    const size_t w = Utf8Length(example);
    RawLine(BoxBorder("{", "}", '*', w));
    RawLine(BoxLine("{", "}", example, w));
    RawLine(BoxLine("{", "}", "Файл EXAMPLE.PAS поставляется вместе с пакетом \"Vemo 3\"", w));
    RawLine(BoxBorder("{", "}", '*', w));
    RawLine("");
    RawLine("Unit " + UnitName() + ";");
    RawLine("interface");
    RawLine("{$N+}              { использовать сопроцессор }");
    RawLine("Type");
    RawLine("  Float = Single;  { этот тип будет использоваться, как тип с плавающей запятой }");
    RawLine("  Procedure Initialization;  { процедура инициализации }");
    RawLine("  Procedure Controller(" + NameList("Input", Inputs.size()) + " : Float; var " +
            NameList("Output", Outputs.size()) + " : Float); { функция контроллера }");
    RawLine("Implementation");
  }

  void WriteInitBegin() override {
    if (Temps() > 0) {
      RawLine("Var  { Локальные переменные }");
      for (int n = Temps(); n >= 1; --n) RawLine("  Z" + std::to_string(n) + ":Float;");
    }
    RawLine("{ Инициация }");
    RawLine("Procedure initialization;");
    RawLine("Begin");
    Indent(2);
  }
  void WriteInitEnd() override {
    Indent(-2);
    RawLine("End; { Initialization }");
  }

  void WriteControllerBegin() override {
    RawLine("Procedure Controller;");
    if (!Labels().empty()) {
      std::string s = "Label ";
      for (size_t i = 0; i < Labels().size(); ++i) s += (i ? ", " : "") + Labels()[i];
      RawLine(s + ";");
    }
    RawLine("var Count : Integer;");
    RawLine("Begin");
    Indent(2);
  }
  void WriteControllerEnd() override {
    Indent(-2);
    RawLine("End; { Controller }");
    RawLine("");
    RawLine("End.");
  }

  void DeclareScalar(const std::string& name, const std::string& comment) override {
    RawLine("var " + name + ":Float;" + (comment.empty() ? "" : " { " + comment + " }"));
  }
  void DeclareArray(const std::string& name, int length) override {
    RawLine("var " + name + " : Array [ 0 .. " + std::to_string(length - 1) + " ] Of Float;");
  }
  void DeclareConstArray(const std::string& name, const std::vector<TOperand>& values) override {
    std::string s = "const " + name + " : Array [ 0 .. " + std::to_string(values.size() - 1) +
                    " ] Of Float = (";
    for (size_t i = 0; i < values.size(); ++i) s += (i ? ", " : "") + values[i].Text;
    RawLine(s + ");");
  }
  void InitArray(const std::string& name, int length) override {
    (void)length;
    Line("FillChar(" + name + ", SizeOf(" + name + "), 0);");
  }
  void WriteVarComment(const std::string& name) override { Line("{ " + name + " }"); }

  void WriteAssign(const TOperand& d, const TOperand& s) override {
    Line(d.Text + " := " + s.Text + ";");
  }
  void WriteArith(char op, const TOperand& d, const TOperand& a, const TOperand& b) override {
    Line(d.Text + " := " + a.Text + " " + op + " " + b.Text + ";");
  }
  void WriteNeg(const TOperand& d, const TOperand& a) override {
    Line(d.Text + " := -" + (a.Literal && a.Text[0] == '-' ? "(" + a.Text + ")" : a.Text) + ";");
  }
  void WriteAbs(const TOperand& d, const TOperand& a) override {
    Line(d.Text + " := abs(" + a.Text + ");");
  }
  void WriteIf(const TOperand& a, TRelation r, const TOperand& b) override {
    Line("If " + a.Text + " " + RelationText(r) + " " + b.Text + " then");
    Line("Begin");
    Indent(2);
  }
  void WriteElse() override {
    Indent(-2);
    Line("End");
    Line("Else");
    Line("Begin");
    Indent(2);
  }
  void WriteEndIf() override {
    Indent(-2);
    Line("End;");
  }
  void WriteLabel(const std::string& name) override { Line(name + ":"); }
  void WriteGoto(const std::string& name) override { Line("goto " + name + ";"); }
  void WriteLoop(int count) override {
    Line("for Count:=" + std::to_string(count) + " downto 1 do");
    Line("begin");
    Indent(2);
  }
  void WriteEndLoop() override {
    Indent(-2);
    Line("End;");
  }
  void WriteStore(const std::string& array, int index, bool withCount, const TOperand& v) override {
    Line(array + "[" + Index(index, withCount) + "]:= " + v.Text + ";");
  }
  void WriteLoad(const TOperand& d, const std::string& array, int index, bool withCount) override {
    Line(d.Text + " := " + array + "[" + Index(index, withCount) + "];");
  }

 private:
  static std::string Index(int index, bool withCount) {
    return std::to_string(index) + (withCount ? "+Count" : "");
  }
};

}  // namespace

std::unique_ptr<TCodeWriter> MakePascalWriter(const std::string& fileName, double step) {
  return std::make_unique<TPascalWriter>(fileName, step);
}

}  // namespace vemo
