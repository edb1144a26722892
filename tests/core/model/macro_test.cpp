// Macro blocks: the record, a body spliced into the run list, and the
// errors of bodies (missing, without output, nested too deep).
#include <gtest/gtest.h>

#include "core/model/test_support.h"
#include "model/compile.h"
#include "model/macro.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "simulation/engine.h"

namespace vemo {
namespace {

using testing::BlockAt;
using testing::IndexIn;
using testing::RunOrder;
using testing::TempDir;

class MacroTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Projects.SearchDirs = {Dir.Path};
    Prog.Projects = &Projects;
  }
  // Saves a body: Left input port -> proportional K -> output port.
  void SaveGainBody(const std::string& name, double k) { SaveGainBodyAt(Dir.File(name), k); }
  void SaveGainBodyAt(const std::string& path, double k) {
    auto body = CreateField();
    TSchemeBuilder b(*body);
    body->SetCell(1, 1, CreateCellObject(kMacroPortFirst + 1));
    b.Block(3, 1, 6, {k});
    body->SetCell(6, 1, CreateCellObject(kMacroOutputCode));
    b.Line({{1, 1}, {3, 1}});
    b.Line({{3, 1}, {6, 1}});
    ASSERT_TRUE(SaveField(*body, path));
  }
  // Bodies "n1.vmo" .. "n<levels>.vmo" in dir, each passing its left input on
  // through a macro block of the next one; the last is a gain body.
  void SaveNestedBodies(const TempDir& dir, int levels) {
    for (int k = 1; k < levels; ++k) {
      auto body = CreateField();
      TSchemeBuilder b(*body);
      body->SetCell(1, 1, CreateCellObject(kMacroPortFirst + 1));
      auto* m = static_cast<TMacroBlock*>(b.Block(3, 1, kMacroCode));
      m->BodyFile = "n" + std::to_string(k + 1) + ".vmo";
      body->SetCell(6, 1, CreateCellObject(kMacroOutputCode));
      b.Line({{1, 1}, {3, 1}});
      b.Line({{3, 1}, {6, 1}});
      ASSERT_TRUE(SaveField(*body, dir.File("n" + std::to_string(k) + ".vmo")));
    }
    SaveGainBodyAt(dir.File("n" + std::to_string(levels) + ".vmo"), 2.0);
  }
  // The outer scheme: constant -> macro block -> stub with point A.
  TMacroBlock* OuterScheme(TField& f, const std::string& bodyFile) {
    TSchemeBuilder b(f);
    b.Block(1, 1, 0, {1.5});
    auto* m = static_cast<TMacroBlock*>(b.Block(3, 1, kMacroCode));
    m->BodyFile = bodyFile;
    b.Line({{1, 1}, {3, 1}});
    b.Line({{3, 1}, {5, 1}});
    b.Point(0, 5, 1);
    return m;
  }

  TempDir Dir;
  TFileProjects Projects;
};

TEST_F(MacroTest, DefaultRecordIsThreeBytes) {
  auto obj = CreateCellObject(kMacroCode);
  auto* m = static_cast<TMacroBlock*>(obj.get());
  EXPECT_EQ(m->Caption, "A");
  EXPECT_EQ(m->BodyFile, "");
  EXPECT_EQ(m->Kind, 1);
  EXPECT_EQ(m->EditorKind(), 4);
  TMemCursor measure = TMemCursor::Measuring();
  m->Save(measure);
  ASSERT_EQ(measure.Pos, 3u);
  std::vector<uint8_t> buf(3);
  TMemCursor w = TMemCursor::Writing(buf);
  m->Save(w);
  EXPECT_EQ(buf, (std::vector<uint8_t>{0x01, 'A', 0x00}));
  // Longer names are cut to 5 and 127 characters.
  m->Caption = "ABCDEFG";
  m->BodyFile = std::string(200, 'x');
  TMemCursor m2 = TMemCursor::Measuring();
  m->Save(m2);
  EXPECT_EQ(m2.Pos, 6u + 128u);
}

TEST_F(MacroTest, BodyBlocksJoinTheRunListAndFeedTheOutput) {
  SaveGainBody("gain.vmo", 2.0);
  auto f = CreateField();
  TMacroBlock* m = OuterScheme(*f, "gain.vmo");
  PrepareRun(*f);
  ASSERT_EQ(Prog.Err.ErrorCode, 0) << int(Prog.Err.ErrorCol) << "," << int(Prog.Err.ErrorRow);
  ASSERT_NE(m->Body, nullptr);
  EXPECT_EQ(Prog.Err.ErrorField, f.get());
  TBlock* gain = BlockAt(*m->Body, 3, 1);
  EXPECT_EQ(gain->Inputs[Left], BlockAt(*f, 1, 1));  // the port passed the macro's left input on
  EXPECT_EQ(m->Inputs[Right], gain);
  EXPECT_EQ(m->Inputs[Left], nullptr);
  const auto order = RunOrder(*f);
  ASSERT_EQ(order.size(), 3u);
  EXPECT_LT(IndexIn(order, gain), IndexIn(order, m));
  EXPECT_EQ(f->Points[0].Source, m);

  SimInit(*f);
  SimStepAll(*f);
  EXPECT_DOUBLE_EQ(m->Output, 3.0);

  // A second compile loads a fresh copy from the same project.
  PrepareRun(*f);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  ReleaseMacroBodies(*f);
  EXPECT_EQ(m->Body, nullptr);
}

TEST_F(MacroTest, BodyErrorsAreReported) {
  auto f = CreateField();
  TMacroBlock* m = OuterScheme(*f, "");
  PrepareRun(*f);
  EXPECT_EQ(Prog.Err.ErrorCode, 14);  // no body file named
  EXPECT_EQ(Prog.Err.ErrorCol, 3);
  EXPECT_EQ(Prog.Err.ErrorRow, 1);

  m->BodyFile = "absent.vmo";
  PrepareRun(*f);
  EXPECT_EQ(Prog.Err.ErrorCode, 14);

  // A body whose output port nothing feeds.
  auto body = CreateField();
  body->SetCell(6, 1, CreateCellObject(kMacroOutputCode));
  ASSERT_TRUE(SaveField(*body, Dir.File("open.vmo")));
  m->BodyFile = "open.vmo";
  PrepareRun(*f);
  EXPECT_EQ(Prog.Err.ErrorCode, 13);
  ReleaseMacroBodies(*f);

  // A signal fed into the macro block's right side.
  SaveGainBody("gain.vmo", 1.0);
  m->BodyFile = "gain.vmo";
  TSchemeBuilder b(*f);
  f->FreeCell(4, 1);
  f->FreeCell(5, 1);
  b.Block(6, 1, 0);
  b.Line({{6, 1}, {3, 1}});
  PrepareRun(*f);
  EXPECT_EQ(Prog.Err.ErrorCode, 12);
  ReleaseMacroBodies(*f);
}

TEST_F(MacroTest, BodiesNamingDevicesOrFoldersAreReadErrors) {
  auto f = CreateField();
  TMacroBlock* m = OuterScheme(*f, "");
  std::filesystem::create_directory(Dir.File("folder.vmo"));
  for (const std::string& body : {std::string("/dev/null"), std::string("folder.vmo")}) {
    SCOPED_TRACE(body);
    m->BodyFile = body;
    Dialogs.Messages.clear();
    PrepareRun(*f);
    EXPECT_EQ(Prog.Err.ErrorCode, 14);
    EXPECT_EQ(Dialogs.Messages, std::vector<std::string>{"Ошибка в чтении файла!"});
    ReleaseMacroBodies(*f);
  }
}

TEST_F(MacroTest, TenNestedLevelsRunAndAnEleventhIsError35) {
  for (int levels : {10, 11}) {
    SCOPED_TRACE(levels);
    TempDir dir;
    TFileProjects projects;
    projects.SearchDirs = {dir.Path};
    Prog.Projects = &projects;
    SaveNestedBodies(dir, levels);
    auto f = CreateField();
    TMacroBlock* m = OuterScheme(*f, "n1.vmo");
    PrepareRun(*f);
    if (levels == 10) {
      ASSERT_EQ(Prog.Err.ErrorCode, 0);
      EXPECT_EQ(RunOrder(*f).size(), 2u + 9u + 1u);  // outer two, nine inner macros, the gain
      SimInit(*f);
      SimStepAll(*f);
      EXPECT_DOUBLE_EQ(m->Output, 3.0);
    } else {
      EXPECT_EQ(Prog.Err.ErrorCode, 35);
    }
    ReleaseMacroBodies(*f);
    Prog.Projects = &Projects;
  }
}

TEST_F(MacroTest, MacroContainingItselfStopsWithError35) {
  auto self = CreateField();
  OuterScheme(*self, "self.vmo");
  self->SetCell(8, 1, CreateCellObject(kMacroOutputCode));
  TSchemeBuilder(*self).Line({{3, 1}, {8, 1}});
  ASSERT_TRUE(SaveField(*self, Dir.File("self.vmo")));

  auto f = CreateField();
  OuterScheme(*f, "self.vmo");
  PrepareRun(*f);
  EXPECT_EQ(Prog.Err.ErrorCode, 35);
  ReleaseMacroBodies(*f);
  EXPECT_EQ(static_cast<TMacroBlock*>(f->Cell(3, 1))->Body, nullptr);
  // The next compile starts from depth 0 again.
  SaveGainBody("gain.vmo", 1.0);
  static_cast<TMacroBlock*>(f->Cell(3, 1))->BodyFile = "gain.vmo";
  PrepareRun(*f);
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  ReleaseMacroBodies(*f);
}

}  // namespace
}  // namespace vemo
