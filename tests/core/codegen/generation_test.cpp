// Program generation without toolchains: the dialog's checks in their
// order, the driver's contract, the file form, the structure of every
// target's text, and bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "blocks/registry.h"
#include "codegen_support.h"
#include "model/compile.h"
#include "model/macro.h"
#include "model/project_file.h"
#include "shell/numtext.h"

namespace vemo::testing {
namespace {

class Generation : public ProgramTest {
 protected:
  // Compiles the field as the menu command does (Compile, CheckLoops).
  bool Compile(TField& f) {
    Prog.Err.ErrorCode = 0;
    Prog.Wiring.ZeroListed = 0;
    CompileScheme(f, nullptr);
    if (!Prog.Err.ErrorCode) CheckAlgebraicLoops(f);
    return Prog.Err.ErrorCode == 0;
  }
  std::string Text(TField& f, TTarget t, std::vector<int> in, std::vector<int> out, double step = 0.01,
                   TWriterOptions o = {}) {
    return GenerateText(f, t, in, out, step, o);
  }
  TGenerationChoice Choice(std::vector<int> in, std::vector<int> out, std::string step = "0.01",
                           TTarget t = TTarget::Pascal, std::string address = "") {
    TGenerationChoice c;
    c.Target = t;
    c.Inputs = std::move(in);
    c.Outputs = std::move(out);
    c.StepText = std::move(step);
    c.AddressText = std::move(address);
    return c;
  }
  // The message of a refused choice ("" when accepted).
  std::string Refusal(const TGenerationChoice& c, TChoiceFocus* focus = nullptr) {
    Dialogs.Messages.clear();
    double step;
    TWriterOptions o;
    TChoiceFocus f;
    const bool ok = CheckGenerationChoice(c, step, o, f);
    if (focus) *focus = f;
    EXPECT_EQ(ok, Dialogs.Messages.empty());
    return Dialogs.Messages.empty() ? std::string() : Dialogs.Messages.front();
  }
  void SetUp() override {
    ProgramTest::SetUp();
    ResetCodegenSettings();
  }
};

// --- The dialog's checks, in their order. ---

TEST_F(Generation, ChoiceChecksComeInTheirOrder) {
  EXPECT_EQ(Refusal(Choice({kA, kB}, {kB})), kSamePointMessage);
  EXPECT_EQ(Refusal(Choice({}, {})), kNoInputMessage);
  // Every point as output and none as input: the input message.
  EXPECT_EQ(Refusal(Choice({}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})), kNoInputMessage);
  EXPECT_EQ(Refusal(Choice({kA}, {})), kNoOutputMessage);
  TChoiceFocus focus;
  EXPECT_EQ(Refusal(Choice({kA}, {kB}, "0,01"), &focus), kBadNumberFormat);
  EXPECT_EQ(focus, TChoiceFocus::Step);
  EXPECT_EQ(Refusal(Choice({kA}, {kB}, "1e-11"), &focus), kBadParameter);
  EXPECT_EQ(focus, TChoiceFocus::Step);
  EXPECT_EQ(Refusal(Choice({kA}, {kB}, "1e-10")), "");
  // The step is checked before the address.
  EXPECT_EQ(Refusal(Choice({kA}, {kB}, "x", TTarget::Dec, "8o")), kBadNumberFormat);
}

TEST_F(Generation, AddressesReadAsTheDialogReadsThem) {
  struct TRow {
    TTarget Target;
    const char* Text;
    int Value;  // -1: refused
  } rows[] = {
      {TTarget::Asm51, "64h", 0x64},    {TTarget::Asm51, "7Fh", 0x7F},   {TTarget::Asm51, "7f", 0x7F},
      {TTarget::Asm51, "1FFh", -1},     {TTarget::Asm51, "h", -1},       {TTarget::Asm51, "6Gh", -1},
      {TTarget::Asm96, "0034h", 0x34},  {TTarget::Asm96, "FFFFh", 0xFFFF}, {TTarget::Asm96, "10000h", -1},
      {TTarget::Dec, "60000o", 060000}, {TTarget::Dec, "177777o", 0xFFFF}, {TTarget::Dec, "60080o", -1},
      {TTarget::Dec, "8", -1},          {TTarget::Dec, "200000o", -1},   {TTarget::Dec, " 600 o", 0600},
  };
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.Text);
    TChoiceFocus focus;
    const std::string m = Refusal(Choice({kA}, {kB}, "0.01", r.Target, r.Text), &focus);
    if (r.Value < 0) {
      EXPECT_EQ(m, kBadAddressMessage);
      EXPECT_EQ(focus, TChoiceFocus::Address);
    } else {
      EXPECT_EQ(m, "");
      EXPECT_EQ(CodegenSettings().Address[static_cast<int>(r.Target)], r.Value);
    }
  }
}

TEST_F(Generation, StepAndAddressesAreRememberedAndShownAsTyped) {
  EXPECT_EQ(AddressText(TTarget::Asm51, CodegenSettings().Address[4]), "64h");
  EXPECT_EQ(AddressText(TTarget::Asm96, CodegenSettings().Address[5]), "0034h");
  EXPECT_EQ(AddressText(TTarget::Dec, CodegenSettings().Address[6]), "60000o");
  EXPECT_EQ(Refusal(Choice({kA}, {kB}, "0.25", TTarget::Asm96, "1234h")), "");
  EXPECT_DOUBLE_EQ(CodegenSettings().Step, 0.25);
  EXPECT_EQ(AddressText(TTarget::Asm96, CodegenSettings().Address[5]), "1234h");
  EXPECT_EQ(SaveFilter(TTarget::Asm51), "Файлы (*.a51)|*.a51|Все файлы (*.*)|*.*");
  EXPECT_EQ(WithExtension("", TTarget::Pascal), "Default.pas");
  EXPECT_EQ(WithExtension("/tmp/x.y/ctl.vmo", TTarget::Dec), "/tmp/x.y/ctl.a27");
  EXPECT_EQ(WithExtension("/tmp/x.y/ctl", TTarget::C), "/tmp/x.y/ctl.c");
}

// --- The driver and the blocks' contract. ---

TEST_F(Generation, PascalUnitOfAChainEndsByAssigningTheOutput) {
  auto f = CreateField();
  BuildSingle(*f, 10, {0.5, 2.0, 0.0}, {Left});
  ASSERT_TRUE(Compile(*f));
  const std::string t = Text(*f, TTarget::Pascal, {kA}, {kB});
  for (const char* piece :
       {"Unit ", "interface", "  Procedure Controller(Input0 : Float; var Output0 : Float); { функция контроллера }",
        "Implementation", "var Inertion0:Float; { Апериодическое звено }", "var Inertion0Old:Float;",
        "Procedure initialization;", "End; { Initialization }", "Procedure Controller;",
        "  Output0 := Inertion0;\nEnd; { Controller }\n\nEnd.\n"})
    EXPECT_NE(t.find(piece), std::string::npos) << piece;
  EXPECT_LT(t.find("Procedure initialization;"), t.find("Procedure Controller;"));
}

TEST_F(Generation, ABlockReachedByTwoOutputsIsGeneratedOnce) {
  auto f = CreateField();
  BuildMixed(*f);
  ASSERT_TRUE(Compile(*f));
  const std::string t = Text(*f, TTarget::Pascal, {kA, kC}, {kB, kD});
  // The summer feeds both outputs' blocks; its statements come once.
  size_t n = 0;
  for (size_t at = t.find("{ NDSum"); at != std::string::npos; at = t.find("{ NDSum", at + 1)) ++n;
  EXPECT_EQ(n, 1u);
  EXPECT_NE(t.find("Inertion4 := NDSum3;"), std::string::npos);
  // An output observing the same block as another reuses its name.
  auto g = CreateField();
  BuildSingle(*g, 6, {2.0}, {Left});
  TSchemeBuilder(*g).Point(kD, 13, 10);
  ASSERT_TRUE(Compile(*g));
  const std::string u = Text(*g, TTarget::C, {kA}, {kB, kD});
  EXPECT_NE(u.find("*Output0 = Propor0;\n  *Output1 = Propor0;"), std::string::npos);
}

TEST_F(Generation, NamesAreTheSameInEveryPass) {
  auto f = CreateField();
  BuildMixed(*f);
  ASSERT_TRUE(Compile(*f));
  const std::string t = Text(*f, TTarget::Pascal, {kA, kC}, {kB, kD});
  for (const char* name : {"Propor0", "Luft1", "Rele2StateG2", "NDSum3", "Inertion4"}) {
    EXPECT_NE(t.find(std::string("var ") + name + ":Float;"), std::string::npos) << name;
    EXPECT_NE(t.find(std::string("  ") + name + " := 0;"), std::string::npos) << name;
    EXPECT_NE(t.find(std::string("{ ") + name + " }"), std::string::npos) << name;
  }
}

TEST_F(Generation, AMacroBlockAtAnInputPointStandsForThatInput) {
  TFileProjects projects;
  projects.SearchDirs = {std::string(VEMO_SOURCE_DIR) + "/examples"};
  Prog.Projects = &projects;
  auto f = CreateField();
  TSchemeBuilder b(*f);
  Source(b, 2, 10, 0);
  auto* m = static_cast<TMacroBlock*>(b.Block(6, 10, kMacroCode));
  m->BodyFile = "macro_body_lag.vmo";
  b.Line({{2, 10}, {6, 10}});
  b.Block(10, 10, 6, {3.0});
  b.Line({{6, 10}, {10, 10}});
  b.Point(kA, 8, 10);
  b.Line({{10, 10}, {14, 10}});
  b.Point(kB, 12, 10);
  ASSERT_TRUE(Compile(*f));
  const std::string t = Text(*f, TTarget::C, {kA}, {kB});
  EXPECT_NE(t.find("Propor0 = Input0;"), std::string::npos);
  EXPECT_EQ(t.find("Inertion"), std::string::npos);
  // As an output it passes its body's output on.
  b.Point(kE, 3, 10);
  ASSERT_TRUE(Compile(*f));
  const std::string u = Text(*f, TTarget::C, {kE}, {kA});
  EXPECT_NE(u.find("Inertion0 = Input0;"), std::string::npos);
  EXPECT_NE(u.find("*Output0 = Inertion0;"), std::string::npos);
  ReleaseMacroBodies(*f);
}

TEST_F(Generation, ABlockWithoutCodeStopsWithItsMessageAndTheFileHoldsWhatWasWritten) {
  auto f = CreateField();
  BuildSingle(*f, 102, {}, {Left});
  ASSERT_TRUE(Compile(*f));
  TempDir dir;
  TGenerationChoice c;
  c.Target = TTarget::C;
  c.Inputs = {kA};
  c.Outputs = {kB};
  EXPECT_EQ(GenerateFile(*f, c, 0.01, {}, dir.File("x.c")), TGenerationOutcome::Refused);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0], "Блок \"Нейросеть\" не генерирует кода!");
  EXPECT_NE(Prog.Err.ErrorCode, 0);
  const std::string text = ReadText(dir.File("x.c"));
  EXPECT_EQ(text.find(Utf8ToCp866("/* Язык C, C++  */\r\n")), 0u);
  EXPECT_EQ(text.find("void Initialization"), std::string::npos);
  // Every kind outside the fixed list refuses the same way; the kinds on it
  // generate.
  const std::set<uint16_t> generating = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 20, 21, 22,
                                         23, 24, 25, 26, 28, 34, 35, 36, 39, 41, 42, 52, 53, 81, 95};
  int count = 0;
  const TKindInfo* kinds = KindTable(count);
  for (int i = 0; i < count; ++i) {
    const uint16_t code = kinds[i].Code;
    if (code >= kMacroCode) continue;
    SCOPED_TRACE(code);
    auto g = CreateField();
    const bool twoInputs = code == 35 || code == 36 || code == 41 || code == 55;
    BuildSingle(*g, code, {}, twoInputs ? std::vector<int>{Left, Bottom} : std::vector<int>{Left});
    if (kinds[i].Kind == 0) {  // sources take no input: only the block itself
      g = CreateField();
      TSchemeBuilder sb(*g);
      sb.Block(10, 10, code);
      sb.Line({{10, 10}, {14, 10}});
      sb.Point(kB, 12, 10);
      Source(sb, 2, 2, 0);
      sb.Line({{2, 2}, {5, 2}});
      sb.Point(kA, 3, 2);
    }
    Dialogs.Messages.clear();
    if (!Compile(*g)) continue;  // a kind whose defaults do not compile alone
    const std::string t = Text(*g, TTarget::C, twoInputs ? std::vector<int>{kA, kC} : std::vector<int>{kA}, {kB});
    if (generating.count(code)) {
      EXPECT_FALSE(t.empty());
      EXPECT_TRUE(Dialogs.Messages.empty());
    } else {
      EXPECT_TRUE(t.empty());
      ASSERT_EQ(Dialogs.Messages.size(), 1u);
      EXPECT_EQ(Dialogs.Messages[0], "Блок \"" + std::string(kinds[i].Name) + "\" не генерирует кода!");
    }
  }
}

TEST_F(Generation, AStructureSwitchWithoutItsSignalRefuses) {
  auto f = CreateField();
  BuildSingle(*f, 35, {0.0}, {Bottom});
  ASSERT_TRUE(Compile(*f));
  EXPECT_TRUE(Text(*f, TTarget::Pascal, {kA}, {kB}).empty());
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0], kSwitchWiringMessage);
}

TEST_F(Generation, TheAsm51VariableBlockMayNotReachTheRegisters) {
  auto f = CreateField();
  BuildSingle(*f, 6, {2.0}, {Left});
  ASSERT_TRUE(Compile(*f));
  TempDir dir;
  TGenerationChoice c;
  c.Target = TTarget::Asm51;
  c.Inputs = {kA};
  c.Outputs = {kB};
  TWriterOptions o;
  o.Address = 0x64;
  EXPECT_EQ(GenerateFile(*f, c, 0.01, o, dir.File("a.a51")), TGenerationOutcome::Written);
  EXPECT_TRUE(Dialogs.Messages.empty());
  o.Address = 0x7F;
  EXPECT_EQ(GenerateFile(*f, c, 0.01, o, dir.File("b.a51")), TGenerationOutcome::Written);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0], kRegisterAreaMessage);
  // The file is written anyway.
  EXPECT_NE(ReadText(dir.File("b.a51")).find("MemBase, 07Fh"), std::string::npos);
}

TEST_F(Generation, TheFileIsCp866WithCrLfAndNothingElseIsWritten) {
  auto f = CreateField();
  BuildMixed(*f);
  ASSERT_TRUE(Compile(*f));
  TempDir dir;
  for (int t = 0; t < kTargetCount; ++t) {
    TGenerationChoice c;
    c.Target = static_cast<TTarget>(t);
    c.Inputs = {kA, kC};
    c.Outputs = {kB, kD};
    const std::string path = dir.File(std::string("ctl.") + TargetInfo(c.Target).Extension);
    ASSERT_EQ(GenerateFile(*f, c, 0.25, {}, path), TGenerationOutcome::Written);
    const std::string bytes = ReadText(path);
    std::string text = GenerateText(*f, c.Target, c.Inputs, c.Outputs, 0.25);
    // The text alone has no file to name the unit after.
    if (const size_t unit = text.find("Unit ;"); unit != std::string::npos) text.replace(unit, 6, "Unit ctl;");
    std::string crlf;
    for (char ch : text) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    EXPECT_EQ(bytes, Utf8ToCp866(crlf));
    EXPECT_NE(text.find("Расчитано для такта работы 0.250 сек"), std::string::npos);
  }
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path)) (void)e, ++files;
  EXPECT_EQ(files, static_cast<size_t>(kTargetCount));
}

// --- The structure of every target's text. ---

struct TDialect {
  std::regex Declaration;  // group 1 or 2: a declared variable
  std::regex Comment;      // a comment line
  std::regex Label;        // group 1: a label defined
  std::regex Jump;         // group 1: a jump's target
  const char* Init;        // where the two routines start
  const char* Controller;
};

const TDialect& Dialect(TTarget t) {
  static const std::map<TTarget, TDialect> d = {
      {TTarget::Pascal,
       {std::regex(R"(^(?:var (\w+)\s*:|  (Z\d+):Float;))"), std::regex(R"(^\s*\{.*\}\s*$)"),
        std::regex(R"(^\s*(\w+):$)"), std::regex(R"(goto (\w+))"), "Procedure initialization;",
        "Procedure Controller;"}},
      {TTarget::C,
       {std::regex(R"(^\s*float (\w+)[;\[])"), std::regex(R"(^\s*/\*.*\*/\s*$)"), std::regex(R"(^\s*(\w+): ;$)"),
        std::regex(R"(goto (\w+))"), "void Initialization()", "void Controller("}},
      {TTarget::QBasic,
       {std::regex(R"(^(?:' (\w+)(?: - .*)?|DIM (\w+)\(.*)$)"), std::regex(R"(^\s*'.*$)"), std::regex(R"(^(\w+):$)"),
        std::regex(R"((?:GOTO|GOSUB) (\w+))"), "\nInitialization:", "\nController:"}},
      {TTarget::X86,
       {std::regex(R"(^(\w+)\tdd\t)"), std::regex(R"(^;.*$)"), std::regex(R"(^(\w+):$)"),
        std::regex(R"(^\tj\w+\t(\w+))"), "_Initialization\tproc", "_Controller\tproc"}},
      {TTarget::Asm51,
       {std::regex(R"(^\t\.equ\t(\w+), )"), std::regex(R"(^;.*$)"), std::regex(R"(^(\w+):$)"),
        std::regex(R"(^\t(?:ljmp|sjmp|jz|jnz|jc|jnc)\t(\w+))"), "\nInitialization:", "\nController:"}},
      {TTarget::Asm96,
       {std::regex(R"(^(\w+)\tequ\t)"), std::regex(R"(^;.*$)"), std::regex(R"(^(\w+):$)"),
        std::regex(R"(^\t(?:LJMP|J[A-Z]+)\t(\w+))"), "\nInitialization:", "\nController:"}},
      {TTarget::Dec,
       {std::regex(R"(^(\w+)\s*=\t)"), std::regex(R"(^;.*$)"), std::regex(R"(^(\w+):$)"),
        std::regex(R"(^\t(?:JMP|B[A-Z]+)\t(\w+))"), "\nInitialization:", "\nController:"}},
  };
  return d.at(t);
}

// Block variables (code name, number, suffix) and temporaries.
const std::regex& VariableName() {
  static const std::regex r = [] {
    std::set<std::string> names;
    int count = 0;
    const TKindInfo* kinds = KindTable(count);
    for (int i = 0; i < count; ++i)
      if (kinds[i].CodeName[0]) names.insert(kinds[i].CodeName);
    std::string alt;
    for (const std::string& n : names) alt += (alt.empty() ? "" : "|") + n;
    return std::regex("\\b((?:" + alt + ")\\d+[A-Za-z]*|Z\\d+)\\b");
  }();
  return r;
}

TEST_F(Generation, EveryTargetDeclaresWhatItUsesAndDefinesEveryLabelOnce) {
  auto f = CreateField();
  BuildMixed(*f);
  ASSERT_TRUE(Compile(*f));
  for (int ti = 0; ti < kTargetCount; ++ti) {
    const TTarget t = static_cast<TTarget>(ti);
    SCOPED_TRACE(TargetInfo(t).Item);
    const std::string text = Text(*f, t, {kA, kC}, {kB, kD});
    ASSERT_FALSE(text.empty());
    const TDialect& d = Dialect(t);
    std::set<std::string> declared, used, targets;
    std::map<std::string, int> labels;
    std::istringstream in(text);
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
      if (std::regex_search(line, m, d.Declaration)) {
        const std::string name = m[1].matched ? m[1].str() : m[2].str();
        // Block variables and temporaries (not inputs, counters, constants).
        if (std::regex_match(name, VariableName())) declared.insert(name);
        continue;
      }
      if (std::regex_match(line, d.Comment)) continue;
      if (std::regex_search(line, m, d.Label)) ++labels[m[1].str()];
      if (std::regex_search(line, m, d.Jump)) targets.insert(m[1].str());
      for (auto it = std::sregex_iterator(line.begin(), line.end(), VariableName()); it != std::sregex_iterator();
           ++it)
        used.insert((*it)[1].str());
    }
    EXPECT_EQ(declared, used);
    EXPECT_TRUE(used.count("Z1"));  // the backlash's temporary
    for (const auto& [name, n] : labels) EXPECT_EQ(n, 1) << name;
    for (const std::string& target : targets) EXPECT_TRUE(labels.count(target)) << target;
    // The three parts in their order: header and declarations, the
    // initialisation, the controller.
    const size_t init = text.find(d.Init);
    const size_t ctl = text.find(d.Controller);
    ASSERT_NE(init, std::string::npos);
    ASSERT_NE(ctl, std::string::npos);
    EXPECT_LT(init, ctl);
    EXPECT_LT(text.find("Propor0"), init);
    for (const char* io : {"Input0", "Input1", "Output0", "Output1"}) EXPECT_NE(text.find(io), std::string::npos);
  }
}

// --- Bad input. ---

TEST_F(Generation, TwelveOutputsStopAtTheLimit) {
  auto f = CreateField();
  BuildSingle(*f, 6, {2.0}, {Left});
  ASSERT_TRUE(Compile(*f));
  auto w = MakeWriter(TTarget::C, "", 0.01, {});
  w->Inputs = {f->Points[kA].Source};
  for (int i = 0; i < 14; ++i) w->Outputs.push_back(i % 2 ? f->Points[kB].Source : nullptr);
  GenerateProgram(*w, f.get());
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_NE(w->Text().find("*Output11 = Propor0;"), std::string::npos);
  EXPECT_NE(w->Text().find("*Output10 = 0;"), std::string::npos);
  EXPECT_EQ(w->Text().find("Output12"), std::string::npos);
}

TEST_F(Generation, AChainThroughTheWholeFieldGeneratesWithoutDeepCalls) {
  // Every one of the 40,000 cells is used: a snake of proportional elements
  // and the wire cells between them, row after row.
  auto f = CreateField();
  TSchemeBuilder b(*f);
  Source(b, 0, 0, 0);
  int blocks = 0;
  auto rowCols = [](int row) {
    std::vector<int> cols;
    if (row % 2 == 0)
      for (int c = 1; c <= 197; c += 2) cols.push_back(c);
    else
      for (int c = 198; c >= 2; c -= 2) cols.push_back(c);
    return cols;
  };
  for (int row = 0; row < kGridSize; ++row)
    for (int col : rowCols(row)) {
      b.Block(col, row, 6, {1.0});
      ++blocks;
    }
  b.Line({{0, 0}, {1, 0}});
  for (int row = 0; row < kGridSize; ++row) {
    const std::vector<int> cols = rowCols(row);
    for (size_t i = 1; i < cols.size(); ++i) b.Line({{cols[i - 1], row}, {cols[i], row}});
    if (row + 1 == kGridSize) break;
    if (row % 2 == 0) b.Line({{197, row}, {199, row}, {199, row + 1}, {198, row + 1}});
    else b.Line({{2, row}, {0, row}, {0, row + 1}, {1, row + 1}});
  }
  // The last row flows left and ends in a stub at its first column.
  b.Line({{2, kGridSize - 1}, {0, kGridSize - 1}});
  b.Point(kA, 0, 0);
  b.Point(kB, 0, kGridSize - 1);
  int occupied = 0;
  for (int c = 0; c < kGridSize; ++c)
    for (int r = 0; r < kGridSize; ++r) occupied += f->Cell(c, r) != nullptr;
  EXPECT_EQ(occupied, kGridSize * kGridSize);
  ASSERT_TRUE(Compile(*f));
  for (TTarget t : {TTarget::C, TTarget::Asm51}) {
    const std::string text = Text(*f, t, {kA}, {kB});
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.find("Propor" + std::to_string(blocks - 1)), std::string::npos);
  }
}

TEST_F(Generation, AnAlgebraicLoopIsRefusedBeforeTheDialog) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  Source(b, 2, 2, 0);
  b.Block(4, 2, 1);
  b.Block(6, 2, 6, {0.5});
  b.Line({{2, 2}, {4, 2}});
  b.Line({{4, 2}, {6, 2}});
  b.Line({{6, 2}, {9, 2}});
  b.Line({{7, 2}, {7, 4}, {4, 4}, {4, 2}});
  b.Point(kA, 3, 2);
  b.Point(kB, 8, 2);
  EXPECT_FALSE(Compile(*f));
  EXPECT_EQ(Prog.Err.ErrorCode, 7);
}

}  // namespace
}  // namespace vemo::testing
