// User blocks bound to real plug-in libraries: the sample library and a
// probe library that records the calls it receives.
#include <gtest/gtest.h>
#include <dlfcn.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "core/model/test_support.h"
#include "model/compile.h"
#include "model/field.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "plugins/user_block.h"
#include "shell/program.h"
#include "simulation/engine.h"

using namespace vemo;

namespace {

const std::string kBin = VEMO_BIN_DIR;
const std::string kTiklo = kBin + "/Tiklo.so";
const std::string kProbe = kBin + "/probe_plugin.so";

TScriptedDialogs& Dialogs() { return *static_cast<TScriptedDialogs*>(Prog.Dialogs); }

std::string ProbeLog(const TDLLLink& l) {
  auto f = reinterpret_cast<const char* (*)()>(dlsym(l.Handle, "ProbeLog"));
  return f ? f() : "?";
}
void ProbeClear(const TDLLLink& l) {
  if (auto f = reinterpret_cast<void (*)()>(dlsym(l.Handle, "ProbeClear"))) f();
}

// A user block at (4,3) with constants feeding its top and bottom and its
// output leaving on the right; further inputs on request.
struct TUserScheme {
  std::unique_ptr<TField> F = CreateField();
  TUserBlock* Block = nullptr;
  TUserScheme(const std::string& lib, double up, double down, bool leftInput = false) {
    TSchemeBuilder b(*F);
    Block = static_cast<TUserBlock*>(b.Block(4, 3, 54));
    LoadDLLLink(Block->Link, lib);
    b.Block(4, 1, 0, {up});
    b.Line({{4, 1}, {4, 3}});
    b.Block(4, 5, 0, {down});
    b.Line({{4, 5}, {4, 3}});
    if (leftInput) {
      b.Block(1, 3, 0, {5.0});
      b.Line({{1, 3}, {4, 3}});
    }
    b.Line({{4, 3}, {6, 3}});
    b.Point(0, 6, 3);
    F->Step = 0.1;
    F->AutoStep = 0;
  }
  double RunOneStep() {
    PrepareRun(*F);
    if (Prog.Err.ErrorCode) return NAN;
    SimInit(*F);
    SimStepAll(*F);
    SimDone(*F);
    return Block->Output;
  }
};

class UserBlockTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProgramState(); }
};

TEST_F(UserBlockTest, SampleLibraryComputesTheArcTangent) {
  for (auto [up, down, want] : {std::tuple{1.0, 1.0, M_PI / 4}, {1.0, -1.0, 3 * M_PI / 4},
                                {-1.0, -1.0, -3 * M_PI / 4}, {0.0, 0.0, 0.0}}) {
    TUserScheme s(kTiklo, up, down);
    ASSERT_TRUE(s.Block->Link.Bound());
    EXPECT_DOUBLE_EQ(s.RunOneStep(), want) << up << " " << down;
    EXPECT_EQ(Prog.Err.ErrorCode, 0);
  }
}

TEST_F(UserBlockTest, SampleLibraryRejectsASideInput) {
  TUserScheme s(kTiklo, 1.0, 1.0, true);
  PrepareRun(*s.F);
  EXPECT_EQ(Prog.Err.ErrorCode, 37);
  EXPECT_EQ(Prog.Err.ErrorCol, 4);
  EXPECT_EQ(Prog.Err.ErrorRow, 3);
}

TEST_F(UserBlockTest, SampleLibraryLowersTheAutomaticStep) {
  TUserScheme s(kTiklo, 1.0, 1.0);
  EXPECT_DOUBLE_EQ(MinStepHint(*s.F), 0.1);  // the constants' default
  TUserBlock unbound;
  EXPECT_DOUBLE_EQ(unbound.GetStepHint(), 100.0);
  TUserBlock bound;
  LoadDLLLink(bound.Link, kTiklo);
  EXPECT_DOUBLE_EQ(bound.GetStepHint(), 1.0);
}

TEST_F(UserBlockTest, SidesAreMappedToThePluginOrder) {
  TUserScheme s(kProbe, 1.0, 2.0, true);
  ASSERT_TRUE(s.Block->Link.Bound());
  ProbeClear(s.Block->Link);
  // Inputs up (1), down (2) and left (5); output on the right.
  EXPECT_DOUBLE_EQ(s.RunOneStep(), 1000 + 0 + 20 + 5);
  EXPECT_EQ(ProbeLog(s.Block->Link), "OnCompile(1,2,1,1);OnRun(0.1);OnStop;");
  EXPECT_DOUBLE_EQ(s.Block->GetStepHint(), 0.004);
}

TEST_F(UserBlockTest, EveryBindingGetsOneInitAndEveryReleaseOneDone) {
  TUserBlock b;
  LoadDLLLink(b.Link, kProbe);
  ASSERT_TRUE(b.Link.Bound());
  EXPECT_EQ(ProbeLog(b.Link), "OnInit;");
  // The log lives in the library, which stays loaded while the block holds it.
  void* keep = dlopen(kProbe.c_str(), RTLD_NOW);
  auto log = reinterpret_cast<const char* (*)()>(dlsym(keep, "ProbeLog"));
  UnloadDLLLink(b.Link);
  EXPECT_FALSE(b.Link.Bound());
  EXPECT_EQ(b.Link.FileName, kProbe);
  EXPECT_EQ(std::string(log()), "OnInit;OnDone;");
  dlclose(keep);
}

TEST_F(UserBlockTest, FailuresGiveTheirMessagesAndLeaveTheBlockUnbound) {
  const auto dir = std::filesystem::temp_directory_path();
  const std::string notLib = (dir / "vemo_not_a_library.so").string();
  std::ofstream(notLib) << "not a library";
  struct {
    std::string path, message;
  } cases[] = {
      {"/nonexistent/libnothing.so", kDllError},
      {notLib, kDllError},
      {kBin + "/probe_plugin_no_tick_step.so",
       "В заданной DLL не найдена процедура \"GetTickStep\"!"},
  };
  for (const auto& c : cases) {
    Dialogs().Messages.clear();
    TUserBlock b;
    LoadDLLLink(b.Link, c.path);
    EXPECT_FALSE(b.Link.Bound()) << c.path;
    EXPECT_EQ(b.Link.FileName, c.path);
    ASSERT_EQ(Dialogs().Messages.size(), 1u) << c.path;
    EXPECT_EQ(Dialogs().Messages[0], c.message);
    b.Inputs[Top] = ZeroBlock();
    b.Step();
    EXPECT_EQ(b.Output, 0.0);
  }
  std::filesystem::remove(notLib);
}

TEST_F(UserBlockTest, AFailedBindingKeepsItsNameThroughSaving) {
  TUserBlock b;
  LoadDLLLink(b.Link, "/nonexistent/missing.so");
  auto copy = CloneObject(b);
  ASSERT_TRUE(copy);
  EXPECT_EQ(static_cast<TUserBlock*>(copy.get())->Link.FileName, "/nonexistent/missing.so");
  TMemCursor m = TMemCursor::Measuring();
  b.Save(m);
  EXPECT_EQ(m.Pos, 128u);
}

TEST_F(UserBlockTest, InspectionListsTheEntries) {
  TUserBlock b;
  LoadDLLLink(b.Link, kTiklo);
  const auto lines = DLLInspection(b.Link);
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "Файл:   " + kTiklo);
  EXPECT_EQ(lines[5], "  void _export OnInit():   Нет");
  EXPECT_EQ(lines[7], "  void _export OnParam():   Нет");
  EXPECT_EQ(lines[12], "  void _export OnStop():   Нет");
  TUserBlock missing;
  LoadDLLLink(missing.Link, "/nonexistent/x.so");
  EXPECT_EQ(DLLInspection(missing.Link).back(), "Файл не найден!");
}

// A project holding the user block of TUserScheme that names a copy of the
// probe library, read back from its file: the block is named, not bound.
class ProjectLibraryTest : public UserBlockTest {
 protected:
  void SetUp() override {
    UserBlockTest::SetUp();
    Prog.Dialogs = &Answers;
    std::filesystem::create_directory(Dir.File("lib"));
    Library = Dir.File("lib/probe.so");
    std::filesystem::copy_file(kProbe, Library);
  }
  std::unique_ptr<TField> SavedProject(const std::string& projectFile) {
    TUserScheme s("", 1.0, 2.0);
    s.Block->Link.FileName = Library;
    EXPECT_TRUE(SaveField(*s.F, projectFile));
    auto f = CreateField();
    EXPECT_EQ(LoadField(*f, projectFile), TLoadResult::Ok);
    return f;
  }
  bool Loaded() const { return dlopen(Library.c_str(), RTLD_NOW | RTLD_NOLOAD) != nullptr; }
  TUserBlock* UserBlock(TField& f) { return static_cast<TUserBlock*>(f.Cell(4, 3)); }

  TScriptedDialogs Answers;
  vemo::testing::TempDir Dir;
  std::string Library;
};

TEST_F(ProjectLibraryTest, ReadingAProjectRunsNoLibraryCode) {
  auto f = SavedProject(Dir.File("p.vmo"));
  EXPECT_TRUE(UserBlock(*f)->Link.Pending);
  EXPECT_FALSE(UserBlock(*f)->Link.Bound());
  auto copy = Clone(*f);
  SaveField(*copy, Dir.File("q.vmo"));
  EXPECT_FALSE(Loaded());
  EXPECT_TRUE(Answers.Questions.empty());
}

TEST_F(ProjectLibraryTest, ALibraryFromElsewhereNeedsConsentOncePerProject) {
  auto f = SavedProject(Dir.File("p.vmo"));
  PrepareRun(*f);
  EXPECT_EQ(Prog.Err.ErrorCode, 37);
  EXPECT_EQ(Prog.Err.ErrorCol, 4);
  EXPECT_EQ(Prog.Err.ErrorRow, 3);
  EXPECT_EQ(Answers.Questions,
            std::vector<std::string>{"Проект использует библиотеку " + Library + ". Загрузить?"});
  EXPECT_FALSE(Loaded());
  // The answer stands for this project and library.
  PrepareRun(*f);
  EXPECT_EQ(Prog.Err.ErrorCode, 37);
  EXPECT_EQ(Answers.Questions.size(), 1u);

  // Another project asks again; a Yes binds the library for the run.
  auto g = SavedProject(Dir.File("other.vmo"));
  Answers.YesNoAnswer = true;
  PrepareRun(*g);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_EQ(Answers.Questions.size(), 2u);
  EXPECT_TRUE(UserBlock(*g)->Link.Bound());
  SimInit(*g);
  SimStepAll(*g);
  SimDone(*g);
  EXPECT_DOUBLE_EQ(UserBlock(*g)->Output, 1000 + 20);
}

TEST_F(ProjectLibraryTest, TrustedFoldersLoadWithoutAsking) {
  // The project's own folder.
  auto f = SavedProject(Dir.File("lib/p.vmo"));
  PrepareRun(*f);
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_TRUE(UserBlock(*f)->Link.Bound());
  // A folder listed in the settings file.
  Prog.Plugins.Dirs = {Dir.File("elsewhere"), Dir.File("lib") + "/"};
  auto g = SavedProject(Dir.File("p.vmo"));
  PrepareRun(*g);
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_TRUE(UserBlock(*g)->Link.Bound());
  EXPECT_TRUE(Answers.Questions.empty());
}

TEST_F(ProjectLibraryTest, NamesOutsideTheProgramsPlacesAreNotSearchedForInTheSystem) {
  // dlopen would find this one in the system's library path.
  TUserBlock b;
  Answers.YesNoAnswer = true;
  LoadDLLLink(b.Link, "libm.so.6");
  EXPECT_FALSE(b.Link.Bound());
  EXPECT_EQ(Answers.Messages, std::vector<std::string>{kDllError});
}

}  // namespace
