// vemo-cli codegen: the file the dialog writes, its refusals with status 1
// and their messages, and bad usage with status 2.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli_fixture.h"
#include "cli_support.h"
#include "codegen/generation.h"
#include "model/compile.h"
#include "shell/encoding.h"

using namespace vemo;

namespace {

using namespace vemo::clitest;

// Status, standard output and standard error together.
TRun CliAll(const std::string& args) {
  TRun r;
  FILE* p = popen((std::string(VEMO_CLI_PATH) + " " + args + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.Out.append(buf, n);
  const int st = pclose(p);
  r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

class CodegenCliTest : public CliFilesTest {
 protected:
  CodegenCliTest() : CliFilesTest("vemo_codegen_cli_") {}
  std::string Loop() const { return Example("feedback_loop.vmo"); }
};

TEST_F(CodegenCliTest, EveryLanguageWritesWhatTheDialogWrites) {
  const char* langs[] = {"pascal", "c", "qbasic", "x86", "asm51", "asm96", "dec"};
  for (int i = 0; i < kTargetCount; ++i) {
    SCOPED_TRACE(langs[i]);
    const std::string out = Path(std::string("ctl.") + langs[i]);
    const TRun r = CliAll("codegen " + Loop() + " --lang " + langs[i] + " --in B --out A --step 0.02 --address " +
                          (i == 6 ? "1000o" : "20h") + " -o " + out);
    EXPECT_EQ(r.Status, 0) << r.Out;
    const std::string text = ReadAll(out);
    EXPECT_NE(text.find(Utf8ToCp866("Расчитано для такта работы 0.020 сек")), std::string::npos);
    EXPECT_EQ(text.find("\n"), text.find("\r\n") + 1);
  }
  EXPECT_NE(ReadAll(Path("ctl.asm51")).find("MemBase, 020h"), std::string::npos);
  EXPECT_NE(ReadAll(Path("ctl.asm96")).find("MemBase\tequ\t00020h"), std::string::npos);
  EXPECT_NE(ReadAll(Path("ctl.dec")).find("MemBase = 1000o"), std::string::npos);
  EXPECT_EQ(CliAll("codegen " + Loop() + " --lang x86 --386 --in B --out A -o " + Path("a.asm")).Status, 0);
  EXPECT_NE(ReadAll(Path("a.asm")).find(".386\r\n.387\r\n"), std::string::npos);
  // The library's text for the same contour, byte for byte.
  ResetProgramState();
  auto f = CreateField();
  TFileProjects projects;
  ASSERT_EQ(LoadField(*f, Loop()), TLoadResult::Ok);
  CompileScheme(*f, nullptr);
  std::string expect = GenerateText(*f, TTarget::C, {1}, {0}, 0.02);
  std::string crlf;
  for (char ch : expect) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  EXPECT_EQ(ReadAll(Path("ctl.c")), Utf8ToCp866(crlf));
}

TEST_F(CodegenCliTest, RefusalsExitWithTheirMessages) {
  struct TRow {
    std::string Args;
    const char* Message;
  } rows[] = {
      {"--lang c --in A --out A,B", kSamePointMessage},
      {"--lang c --out A,B", kNoInputMessage},
      {"--lang c --in B", kNoOutputMessage},
      {"--lang c --in B --out A --step 0,5", "Неверный числовой формат!"},
      {"--lang c --in B --out A --step 0", "Недопустимое значение параметра!"},
      {"--lang dec --in B --out A --address 680o", kBadAddressMessage},
      {"--lang asm51 --in B --out A --address 100h", kBadAddressMessage},
      {"--lang c --in C --out A", "Точка C не установлена на схеме"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Args);
    const TRun r = CliAll("codegen " + Loop() + " " + row.Args + " -o " + Path("x.c"));
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Out.find(row.Message), std::string::npos) << r.Out;
  }
  EXPECT_FALSE(std::filesystem::exists(Path("x.c")));
}

TEST_F(CodegenCliTest, TwelveOutputsAndNoInputAreRefused) {
  auto f = CreateField();
  vemo::testing::BuildOpenChain(*f, {{6, {2.0}}});
  TSchemeBuilder b(*f);
  b.Line({{6, 2}, {6, 14}});
  for (int k = 2; k < kPointCount; ++k) b.Point(k, 6, 2 + k);
  ASSERT_TRUE(SaveField(*f, Path("twelve.vmo")));
  TRun r = CliAll("codegen " + Path("twelve.vmo") + " --lang c --out ABCDEFGHIJKL -o " + Path("x.c"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Out.find(kNoInputMessage), std::string::npos) << r.Out;
  r = CliAll("codegen " + Path("twelve.vmo") + " --lang c --in A --out BCDEFGHIJKL -o " + Path("x.c"));
  EXPECT_EQ(r.Status, 0) << r.Out;
  EXPECT_NE(ReadAll(Path("x.c")).find("float *Output10)"), std::string::npos);
}

TEST_F(CodegenCliTest, BlocksWithoutCodeAndAlgebraicLoopsExitWithStatusOne) {
  const std::string sine = Chain("sine.vmo", {{43, {}}});
  TRun r = CliAll("codegen " + sine + " --lang pascal --in A --out B -o " + Path("s.pas"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Out.find("Блок \"Ф-ция sin(x)\" не генерирует кода!"), std::string::npos) << r.Out;
  auto f = CreateField();
  vemo::testing::BuildFeedbackLoop(*f, 6, {0.5}, 1);
  ASSERT_TRUE(SaveField(*f, Path("algebraic.vmo")));
  r = CliAll("codegen " + Path("algebraic.vmo") + " --lang c --in A --out B -o " + Path("l.c"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Out.find("Ошибка 7: Алгебраический цикл!"), std::string::npos) << r.Out;
  EXPECT_FALSE(std::filesystem::exists(Path("l.c")));
}

TEST_F(CodegenCliTest, TheRegisterAreaWarningStillWritesTheFile) {
  const TRun r = CliAll("codegen " + Loop() + " --lang asm51 --in B --out A --address 7Fh -o " + Path("w.a51"));
  EXPECT_EQ(r.Status, 0);
  EXPECT_NE(r.Out.find(kRegisterAreaMessage), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(Path("w.a51")));
}

TEST_F(CodegenCliTest, BadUsageExitsWithStatusTwo) {
  for (const std::string args : {"--in B --out A -o x", "--lang cobol --in B --out A -o x",
                                 "--lang c --in B --out A", "--lang c --in X --out A -o x"}) {
    SCOPED_TRACE(args);
    EXPECT_EQ(Cli("codegen " + Loop() + " " + args).Status, 2);
  }
  EXPECT_EQ(Cli("codegen --help").Status, 0);
}

}  // namespace
