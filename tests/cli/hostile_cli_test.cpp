// The batch program on untrusted input: a project runs no library code
// unless its scheme is checked and the library lies in a trusted place (or
// --trust-plugins is given); saving keeps the old file's mode and links;
// arguments beginning with "-" that are no options are taken as they stand.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "cli_fixture.h"
#include "cli_support.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "plugins/user_block.h"

using namespace vemo;

namespace {

using namespace vemo::clitest;
namespace fs = std::filesystem;

class HostileCliTest : public CliFilesTest {
 protected:
  HostileCliTest() : CliFilesTest("vemo_hostile_cli_") {}

  // A project in the folder "project" with a user block naming a copy of
  // the probe library in the folder "elsewhere", fed from the top and the
  // bottom and observed at A.
  std::string PluginProject() {
    fs::create_directories(Dir / "project");
    fs::create_directories(Dir / "elsewhere");
    Library = Path("elsewhere/probe.so");
    fs::copy_file(std::string(VEMO_BINARY_DIR) + "/bin/probe_plugin.so", Library,
                  fs::copy_options::overwrite_existing);
    auto f = CreateField();
    TSchemeBuilder b(*f);
    static_cast<TUserBlock*>(b.Block(4, 3, 54))->Link.FileName = Library;
    b.Block(4, 1, 0, {1.0});
    b.Line({{4, 1}, {4, 3}});
    b.Block(4, 5, 0, {2.0});
    b.Line({{4, 5}, {4, 3}});
    b.Line({{4, 3}, {6, 3}});
    b.Point(0, 6, 3);
    EXPECT_TRUE(SaveField(*f, Path("project/p.vmo")));
    return Path("project/p.vmo");
  }
  // Runs vemo-cli with the probe library marking every load in a file.
  TRun Marked(const std::string& args) {
    return Shell("VEMO_PROBE_MARK=" + Path("mark") + " " + VEMO_CLI_PATH + " " + args + " 2>&1");
  }
  bool LibraryRan() const { return fs::exists(Dir / "mark"); }

  std::string Library;
};

TEST_F(HostileCliTest, ReadingAProjectRunsNoLibraryCode) {
  const std::string p = PluginProject();
  EXPECT_EQ(Marked("info " + p).Status, 0);
  EXPECT_EQ(Marked("convert " + p + " -o " + Path("copy.vmo")).Status, 0);
  EXPECT_EQ(Marked("info " + Path("copy.vmo")).Status, 0);
  EXPECT_FALSE(LibraryRan());
}

TEST_F(HostileCliTest, ALibraryFromElsewhereLoadsOnlyWithTrustPlugins) {
  const std::string p = PluginProject();
  const TRun refused = Marked("check " + p);
  EXPECT_EQ(refused.Status, 1);
  EXPECT_NE(refused.Out.find("Проект использует библиотеку " + Library + ". Загрузить?"),
            std::string::npos)
      << refused.Out;
  EXPECT_NE(refused.Out.find("--trust-plugins"), std::string::npos) << refused.Out;
  EXPECT_NE(refused.Out.find("Ошибка 37: Ошибка в блоке пользователя. (столбец 4, строка 3)"),
            std::string::npos)
      << refused.Out;
  EXPECT_FALSE(LibraryRan());

  const TRun trusted = Marked("check " + p + " --trust-plugins");
  EXPECT_EQ(trusted.Status, 0) << trusted.Out;
  EXPECT_TRUE(LibraryRan());
  // The library beside the project loads without asking.
  fs::copy_file(Library, Path("project/probe.so"));
  auto f = CreateField();
  ASSERT_EQ(LoadField(*f, p), TLoadResult::Ok);
  static_cast<TUserBlock*>(f->Cell(4, 3))->Link.FileName = "probe.so";
  ASSERT_TRUE(SaveField(*f, p));
  const TRun beside = Marked("simulate " + p + " --time 0.02");
  EXPECT_EQ(beside.Status, 0) << beside.Out;
  EXPECT_EQ(beside.Out.substr(24, 23), " 1.02000000000000E+0003");  // up 1000 + down 20
}

TEST_F(HostileCliTest, SavingKeepsTheModeAndTheLinkOfTheOldFile) {
  const std::string src = Chain("src.vmo", {{6, {2.0}}});
  const std::string target = Path("private.vmo");
  ASSERT_EQ(Cli("convert " + src + " -o " + target).Status, 0);
  ASSERT_EQ(chmod(target.c_str(), 0600), 0);
  fs::create_symlink(target, Path("link.vmo"));
  ASSERT_EQ(Cli("convert " + src + " -o " + Path("link.vmo")).Status, 0);
  EXPECT_TRUE(fs::is_symlink(Path("link.vmo")));
  struct stat st {};
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(HostileCliTest, ArgumentsBeginningWithAMinusThatAreNoOptions) {
  EXPECT_EQ(Cli("eval -2*3").Out, "-6\n");
  EXPECT_EQ(Cli("eval -0.5").Out, "-0.5\n");
  EXPECT_EQ(Cli("eval -- -2^2").Out, "4\n");  // the minus belongs to the number
  // The evaluator and the W(s) reader judge texts they do not accept.
  const TRun paren = Shell(std::string(VEMO_CLI_PATH) + " eval \"-(2)\" 2>&1");
  EXPECT_EQ(paren.Status, 1);
  EXPECT_EQ(paren.Out, "Неверный числовой формат!\n");
  const TRun w =
      Shell(std::string(VEMO_CLI_PATH) + " synth \"-s/(s+1)\" -o " + Path("w.vmo") + " 2>&1");
  EXPECT_EQ(w.Status, 1);
  EXPECT_EQ(w.Out, "Ошибка в выражении!\n");
  EXPECT_EQ(Cli("synth -o " + Path("s.vmo") + " -- \"0-s/(s+1)\"").Status, 0);
  // Option-shaped words are still unknown options.
  EXPECT_EQ(Cli("eval -x").Status, 2);
  EXPECT_EQ(Cli("check --frobnicate " + Path("s.vmo")).Status, 2);
}

}  // namespace
