// Project files: layout and sizes, round trips, rejected headers, version 2
// files, obsolete block codes, damaged files and failed saves.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <filesystem>
#include <map>

#include "blocks/pulse.h"
#include "blocks/table_blocks.h"
#include "core/model/test_support.h"
#include "model/macro.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "model/wire.h"
#include "shell/numtext.h"

namespace vemo {
namespace {

using testing::BlockAt;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

// Little-endian byte writer for files made by hand.
struct Bytes {
  std::vector<uint8_t> V;
  Bytes& Raw(const void* p, size_t n) {
    auto* b = static_cast<const uint8_t*>(p);
    V.insert(V.end(), b, b + n);
    return *this;
  }
  Bytes& U8(uint8_t x) { return Raw(&x, 1); }
  Bytes& U16(uint16_t x) { return Raw(&x, 2); }
  Bytes& F64(double x) { return Raw(&x, 8); }
  Bytes& Zeros(size_t n) { V.insert(V.end(), n, 0); return *this; }
};

// A file of the given header whose cell stream holds the given records
// (type code included) and empty cells elsewhere.
Bytes FileWithCells(const char* header, const std::map<std::pair<int, int>, Bytes>& cells) {
  Bytes b;
  b.Raw(header, kHeaderSize);
  for (int row = 0; row < kGridSize; ++row)
    for (int col = 0; col < kGridSize; ++col) {
      auto it = cells.find({col, row});
      if (it == cells.end()) b.U16(0xFFFF);
      else b.Raw(it->second.V.data(), it->second.V.size());
    }
  return b;
}

bool FieldIsEmpty(const TField& f) {
  for (const auto& c : f.Cells)
    if (c) return false;
  return true;
}

class ProjectFileTest : public testing::ProgramTest {
 protected:
  // A small scheme with one object of several record kinds.
  std::unique_ptr<TField> SampleField() {
    auto f = CreateField();
    TSchemeBuilder b(*f);
    b.Block(1, 1, 0, {-2.5});
    b.Block(4, 1, 10, {0.3, 2.0, 0.1});
    b.Line({{1, 1}, {4, 1}});
    b.Block(8, 1, 2);
    b.Line({{4, 1}, {8, 1}});
    b.Block(150, 120, 12, {0.75, 1.5});
    auto c = CreateCellObject(kCommentCode);
    static_cast<TComment*>(c.get())->Text = "Регулятор №1";
    f->SetCell(10, 10, std::move(c));
    auto* m = static_cast<TMacroBlock*>(b.Block(12, 12, kMacroCode));
    m->Caption = "M1";
    m->BodyFile = "body.vmo";
    b.Point(0, 9, 1);
    f->Points[0].Color = 0xABCDEF;
    f->Points[0].Low = -3;
    f->Points[0].High = 8;
    f->Points[1].Shown = 0;
    f->Step = 0.05;
    f->AutoStep = 0;
    return f;
  }
};

TEST_F(ProjectFileTest, EmptySchemeIs80430BytesAndOneWireAddsItsTwoBytes) {
  TempDir dir;
  auto f = CreateField();
  f->Step = 0.02;
  Prog.Clock.ViewTime = 6.0;
  ASSERT_TRUE(SaveField(*f, dir.File("empty.vmo")));
  const auto empty = ReadBytes(dir.File("empty.vmo"));
  ASSERT_EQ(empty.size(), 80430u);
  EXPECT_EQ(std::memcmp(empty.data(), "Vemo Simulator 3.0 Save File\r\n", 30), 0);
  for (size_t i = 30; i < 80030; ++i) ASSERT_EQ(empty[i], 0xFF) << "offset " << i;
  // Point A: Col, Row, Source (zero), Placed, Shown, reserved, colour, Low, High.
  const uint8_t* a = &empty[80030];
  EXPECT_EQ(a[8], 0);
  EXPECT_EQ(a[9], 1);
  double high = 0, step = 0, view = 0;
  std::memcpy(&high, a + 24, 8);
  EXPECT_EQ(high, 1.0);
  uint32_t colorB = 0;
  std::memcpy(&colorB, &empty[80030 + 32 + 12], 4);
  EXPECT_EQ(colorB, 0x0000FFu);
  std::memcpy(&step, &empty[80414], 8);
  std::memcpy(&view, &empty[80422], 8);
  EXPECT_EQ(step, 0.02);
  EXPECT_EQ(view, 6.0);

  auto w = CreateCellObject(kWireCode);
  static_cast<TWire*>(w.get())->LineSides = (1 << Left) | (1 << Right);
  static_cast<TWire*>(w.get())->OutSides = 1 << Right;
  f->SetCell(7, 3, std::move(w));
  ASSERT_TRUE(SaveField(*f, dir.File("wire.vmo")));
  const auto wire = ReadBytes(dir.File("wire.vmo"));
  ASSERT_EQ(wire.size(), 80432u);
  const size_t at = 30 + 2 * (3 * 200 + 7);
  EXPECT_EQ(wire[at - 2], 0xFF);
  EXPECT_EQ(wire[at], 0x00);
  EXPECT_EQ(wire[at + 1], 0x30);
  EXPECT_EQ(wire[at + 2], (1 << Left) | (1 << Right));
  EXPECT_EQ(wire[at + 3], 1 << Right);
  EXPECT_EQ(wire[at + 4], 0xFF);
}

TEST_F(ProjectFileTest, SaveAndLoadGiveTheSameScheme) {
  TempDir dir;
  auto f = SampleField();
  f->Modified = 1;
  f->Points[0].Source = BlockAt(*f, 4, 1);  // a compile's result is not stored
  Prog.Clock.ViewTime = 7.5;
  ASSERT_TRUE(SaveField(*f, dir.File("p.vmo")));
  EXPECT_EQ(f->Modified, 0);
  const auto bytes = ReadBytes(dir.File("p.vmo"));
  for (int k = 0; k < kPointCount; ++k) {
    const size_t p = bytes.size() - 16 - 384 + 32 * k;
    for (size_t i : {4, 5, 6, 7, 10, 11}) EXPECT_EQ(bytes[p + i], 0) << PointLetter(k) << i;
  }

  Prog.Clock.ViewTime = 1.0;
  auto g = CreateField();
  ASSERT_EQ(LoadField(*g, dir.File("p.vmo")), TLoadResult::Ok);
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
  EXPECT_TRUE(Dialogs.Messages.empty());
  EXPECT_EQ(Prog.Clock.ViewTime, 7.5);
  EXPECT_EQ(g->Step, 0.05);
  EXPECT_EQ(g->AutoStep, 0);
  EXPECT_EQ(g->Modified, 0);
  for (const TViewPoint& p : g->Points) EXPECT_EQ(p.Source, nullptr);
  EXPECT_EQ(g->Points[0].Color, 0xABCDEFu);
  EXPECT_EQ(g->Points[1].Shown, 0);
  EXPECT_EQ(static_cast<TComment*>(g->Cell(10, 10))->Text, "Регулятор №1");
  auto* m = dynamic_cast<TMacroBlock*>(g->Cell(12, 12));
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->Caption, "M1");
  EXPECT_EQ(m->BodyFile, "body.vmo");
  EXPECT_EQ(FieldImage(*g, Prog.Clock.ViewTime), bytes);
}

TEST_F(ProjectFileTest, StepBelow1e16LoadsWithAutoStep) {
  for (double step : {0.0, 1e-17, 1e-15}) {
    auto f = CreateField();
    f->Step = step;
    const auto image = FieldImage(*f, 10.0);
    auto g = CreateField();
    g->AutoStep = 7;
    ASSERT_EQ(LoadFieldFromMemory(*g, image.data(), image.size()), TLoadResult::Ok);
    EXPECT_EQ(g->Step, step);
    EXPECT_EQ(g->AutoStep, step < 1e-16 ? 1 : 0) << step;
  }
}

TEST_F(ProjectFileTest, StoredStepAndViewTimeMustBeUsable) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  auto src = SampleField();
  // What the program itself can store loads as it stands.
  for (double step : {-1.0, 1e-12, 0.01, 1e300})
    for (double view : {1e-300, 10.0, 1e300}) {
      src->Step = step;
      const auto image = FieldImage(*src, view);
      auto f = CreateField();
      Dialogs.Messages.clear();
      ASSERT_EQ(LoadFieldFromMemory(*f, image.data(), image.size()), TLoadResult::Ok);
      EXPECT_EQ(f->Step, step);
      EXPECT_EQ(Prog.Clock.ViewTime, view);
      EXPECT_TRUE(Dialogs.Messages.empty());
    }
  // Anything else is refused like a typed value, and the file with it.
  const std::pair<double, double> bad[] = {{nan, 5.0}, {inf, 5.0}, {-inf, 5.0}, {0.5, nan},
                                           {0.5, inf}, {0.5, -inf}, {0.5, 0.0}, {0.5, -5.0},
                                           {nan, inf}};
  for (const auto& [step, view] : bad) {
    SCOPED_TRACE(::testing::PrintToString(step) + " " + ::testing::PrintToString(view));
    src->Step = step;
    const auto image = FieldImage(*src, view);
    Prog.Clock.ViewTime = 3.0;
    Prog.Err.ErrorCode = 0;
    auto f = CreateField();
    Dialogs.Messages.clear();
    EXPECT_EQ(LoadFieldFromMemory(*f, image.data(), image.size()), TLoadResult::ReadError);
    EXPECT_EQ(Dialogs.Messages, std::vector<std::string>{"Недопустимое значение параметра!"});
    EXPECT_EQ(Prog.Err.ErrorCode, 14);
    EXPECT_TRUE(FieldIsEmpty(*f));
    EXPECT_EQ(Prog.Clock.ViewTime, 3.0);
  }
}

TEST_F(ProjectFileTest, ForeignHeadersAreRejectedAndChangeNothing) {
  auto src = SampleField();
  const auto good = FieldImage(*src, 10.0);
  std::vector<std::vector<uint8_t>> variants;
  for (size_t at : {0, 5, 15, 17, 27, 28, 29}) {
    auto v = good;
    v[at] ^= 0x20;
    variants.push_back(v);
  }
  auto swapped = good;  // "\n\r" instead of "\r\n"
  std::swap(swapped[28], swapped[29]);
  variants.push_back(swapped);
  auto lfOnly = good;  // a header that ends with a bare line feed
  lfOnly.erase(lfOnly.begin() + 28);
  variants.push_back(lfOnly);
  auto v1 = good;
  v1[15] = '1';
  variants.push_back(v1);
  variants.push_back(std::vector<uint8_t>(good.begin(), good.begin() + 29));
  variants.push_back({});

  Prog.Clock.ViewTime = 4.0;
  for (size_t i = 0; i < variants.size(); ++i) {
    SCOPED_TRACE(i);
    auto f = CreateField();
    TSchemeBuilder(*f).Block(9, 9, 6);
    f->Step = 0.3;
    Prog.Err.ErrorCode = 7;
    Dialogs.Messages.clear();
    EXPECT_EQ(LoadFieldFromMemory(*f, variants[i].data(), variants[i].size()),
              TLoadResult::NotVemoFile);
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0], "Данный файл не является файлом Vemo 3.0");
    EXPECT_EQ(Prog.Err.ErrorCode, 7);
    EXPECT_NE(f->Cell(9, 9), nullptr);
    EXPECT_EQ(f->Cell(1, 1), nullptr);
    EXPECT_EQ(f->Step, 0.3);
    EXPECT_EQ(Prog.Clock.ViewTime, 4.0);
  }
  // The same through a file on disk.
  TempDir dir;
  WriteBytes(dir.File("x.vmo"), swapped);
  auto f = CreateField();
  Prog.Err.ErrorCode = 0;
  EXPECT_EQ(LoadField(*f, dir.File("x.vmo")), TLoadResult::NotVemoFile);
  EXPECT_EQ(Prog.Err.ErrorCode, 0);
}

TEST_F(ProjectFileTest, Version2FileMirrorsTheBoundAndDropsColour) {
  std::map<std::pair<int, int>, Bytes> cells;
  cells[{1, 1}] = Bytes().U16(0).F64(3.0);
  Bytes file = FileWithCells(kHeaderV2, cells);
  for (int k = 0; k < kPointCount; ++k) {
    const bool a = k == 0;
    file.U16(a ? 6 : 0).U16(a ? 2 : 0).Zeros(4).U8(a).U8(1).Zeros(2).F64(a ? 5.0 : 2.0);
  }
  Prog.Clock.ViewTime = 3.0;
  auto f = CreateField();
  f->Step = 0.2;
  f->AutoStep = 0;
  ASSERT_EQ(LoadFieldFromMemory(*f, file.V.data(), file.V.size()), TLoadResult::Ok);
  auto* c = dynamic_cast<TParamBlock*>(BlockAt(*f, 1, 1));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Params[0], 3.0);
  const TViewPoint& a = f->Points[0];
  EXPECT_EQ(a.Col, 6);
  EXPECT_EQ(a.Row, 2);
  EXPECT_EQ(a.Placed, 1);
  EXPECT_EQ(a.High, 5.0);
  EXPECT_EQ(a.Low, -5.0);
  for (const TViewPoint& p : f->Points) EXPECT_EQ(p.Color, 0u);  // B would be red by default
  EXPECT_EQ(f->Points[1].Low, -2.0);
  // Neither step nor view time is in a version-2 file.
  EXPECT_EQ(f->Step, 0.2);
  EXPECT_EQ(f->AutoStep, 0);
  EXPECT_EQ(Prog.Clock.ViewTime, 3.0);
}

TEST_F(ProjectFileTest, ObsoleteBlockCodesAreConvertedInBothVersions) {
  std::map<std::pair<int, int>, Bytes> cells;
  cells[{0, 0}] = Bytes().U16(14).F64(0.02).F64(2.0).F64(3.0);
  cells[{1, 0}] = Bytes().U16(15).F64(0.5).F64(1.0).F64(1.0);
  cells[{2, 0}] = Bytes().U16(16).F64(0.3).F64(0.05).F64(4.0).F64(99.0);
  cells[{3, 0}] = Bytes().U16(17).F64(0.3).F64(0.05).F64(4.0).F64(99.0);
  cells[{4, 0}] = Bytes().U16(18).F64(0.3).F64(0.05).F64(4.0).F64(99.0);
  cells[{5, 0}] = Bytes().U16(19).F64(0.3).F64(0.05).F64(4.0).F64(99.0);
  cells[{6, 0}] = Bytes().U16(31).F64(2.0).F64(50.0);
  cells[{7, 0}] = Bytes().U16(0).F64(4.0);  // the stream is still in step after them
  for (int version : {2, 3}) {
    SCOPED_TRACE(version);
    Bytes file = FileWithCells(version == 2 ? kHeaderV2 : kHeaderV3, cells);
    if (version == 2) file.Zeros(12 * 20);
    else file.Zeros(384).F64(0.01).F64(10.0);
    auto f = CreateField();
    ASSERT_EQ(LoadFieldFromMemory(*f, file.V.data(), file.V.size()), TLoadResult::Ok);

    for (int col : {0, 1}) {
      auto* m = dynamic_cast<TPulseWidthModulator*>(f->Cell(col, 0));
      ASSERT_NE(m, nullptr);
      EXPECT_EQ(m->TypeCode, 100);
      EXPECT_EQ(m->Polarity, col);
      EXPECT_EQ(m->ModKind, 1);
    }
    auto* pwm = static_cast<TPulseWidthModulator*>(f->Cell(0, 0));
    EXPECT_EQ(pwm->Period, 0.02);
    EXPECT_EQ(pwm->Saturation, 2.0);
    EXPECT_EQ(pwm->Amplitude, 3.0);
    EXPECT_EQ(pwm->ShaperClock, 0.02);
    for (int col = 2; col <= 5; ++col) {
      auto* m = dynamic_cast<TPulseFrequencyModulator*>(f->Cell(col, 0));
      ASSERT_NE(m, nullptr);
      EXPECT_EQ(m->TypeCode, 101);
      EXPECT_EQ(m->ModKind, (col - 2) / 2);
      EXPECT_EQ(m->Polarity, 1);
      EXPECT_EQ(m->PulseLength, 0.3);
      EXPECT_EQ(m->Quantum, 0.05);
      EXPECT_EQ(m->Height, 4.0);
    }
    auto* h = dynamic_cast<TParamBlock*>(BlockAt(*f, 6, 0));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->TypeCode, 115);
    EXPECT_EQ(h->Params[0], 2.0);
    EXPECT_EQ(h->Params[1], 50.0);
    EXPECT_EQ(h->Params[2], 0.0);
    auto* k = dynamic_cast<TParamBlock*>(BlockAt(*f, 7, 0));
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->Params[0], 4.0);
    // Saved again they carry their new codes.
    const auto image = FieldImage(*f, 10.0);
    uint16_t code = 0;
    std::memcpy(&code, &image[30], 2);
    EXPECT_EQ(code, 100);
  }
}

TEST_F(ProjectFileTest, DamagedFilesGiveReadErrorAndAnEmptyField) {
  auto src = SampleField();
  const auto good = FieldImage(*src, 10.0);
  std::vector<std::vector<uint8_t>> bad;
  for (size_t len : {size_t{30}, size_t{31}, size_t{30 + 2 * 201 + 3}, good.size() - 401,
                     good.size() - 16, good.size() - 9, good.size() - 1})
    bad.emplace_back(good.begin(), good.begin() + static_cast<long>(len));
  // A type code no object answers to, and an unknown code in place of a wire.
  std::map<std::pair<int, int>, Bytes> cells;
  cells[{0, 0}] = Bytes().U16(0).F64(1.0);
  cells[{3, 3}] = Bytes().U16(57);
  Bytes unknown = FileWithCells(kHeaderV3, cells);
  unknown.Zeros(384).F64(0.01).F64(10.0);
  bad.push_back(unknown.V);
  cells[{3, 3}] = Bytes().U16(0x3001).U8(2).U8(8);
  Bytes unknown2 = FileWithCells(kHeaderV3, cells);
  unknown2.Zeros(384).F64(0.01).F64(10.0);
  bad.push_back(unknown2.V);
  // A macro caption longer than its five characters.
  cells[{3, 3}] = Bytes().U16(kMacroCode).U8(9).Raw("ABCDEFGHI", 9).U8(0);
  Bytes longCaption = FileWithCells(kHeaderV3, cells);
  longCaption.Zeros(384).F64(0.01).F64(10.0);
  bad.push_back(longCaption.V);

  Prog.Clock.ViewTime = 2.0;
  for (size_t i = 0; i < bad.size(); ++i) {
    SCOPED_TRACE(i);
    auto f = CreateField();
    TSchemeBuilder(*f).Block(199, 199, 6);
    f->Points[0].Placed = 1;
    Prog.Err.ErrorCode = 0;
    Dialogs.Messages.clear();
    EXPECT_EQ(LoadFieldFromMemory(*f, bad[i].data(), bad[i].size()), TLoadResult::ReadError);
    EXPECT_EQ(Prog.Err.ErrorCode, 14);
    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0], "Ошибка в чтении файла!");
    EXPECT_TRUE(FieldIsEmpty(*f));
    EXPECT_EQ(f->Points[0].Placed, 0);
    EXPECT_EQ(Prog.Clock.ViewTime, 2.0);
  }
  // Bytes after the view time are ignored.
  auto longer = good;
  longer.insert(longer.end(), {1, 2, 3});
  auto f = CreateField();
  EXPECT_EQ(LoadFieldFromMemory(*f, longer.data(), longer.size()), TLoadResult::Ok);
  // A missing file is a read error as well.
  Prog.Err.ErrorCode = 0;
  EXPECT_EQ(LoadField(*f, "/nonexistent/dir/none.vmo"), TLoadResult::ReadError);
  EXPECT_EQ(Prog.Err.ErrorCode, 14);
  EXPECT_TRUE(FieldIsEmpty(*f));
}

TEST_F(ProjectFileTest, OnlyRegularFilesUpToTheLargestProjectAreRead) {
  TempDir dir;
  auto src = SampleField();
  const auto good = FieldImage(*src, 10.0);
  // Bytes after the view time are ignored, up to the largest project.
  const std::string name = dir.File("padded.vmo");
  WriteBytes(name, good);
  ASSERT_EQ(truncate(name.c_str(), static_cast<off_t>(kMaxProjectSize)), 0);
  auto f = CreateField();
  EXPECT_EQ(LoadField(*f, name), TLoadResult::Ok);
  EXPECT_NE(f->Cell(12, 12), nullptr);

  ASSERT_EQ(truncate(name.c_str(), static_cast<off_t>(kMaxProjectSize + 1)), 0);
  fs::create_directory(dir.File("folder.vmo"));
  for (const std::string& bad : {name, std::string("/dev/null"), dir.File("folder.vmo")}) {
    SCOPED_TRACE(bad);
    auto g = CreateField();
    TSchemeBuilder(*g).Block(1, 1, 6);
    Prog.Err.ErrorCode = 0;
    Dialogs.Messages.clear();
    EXPECT_EQ(LoadField(*g, bad), TLoadResult::ReadError);
    EXPECT_EQ(Prog.Err.ErrorCode, 14);
    EXPECT_EQ(Dialogs.Messages, std::vector<std::string>{"Ошибка в чтении файла!"});
    EXPECT_TRUE(FieldIsEmpty(*g));
  }
}

TEST_F(ProjectFileTest, SchemesLargerThanTheLargestProjectAreNotWritten) {
  TempDir dir;
  auto f = CreateField();
  auto* nl = static_cast<TUserNonlinearity*>(TSchemeBuilder(*f).Block(5, 5, 37));
  nl->Table.Points.resize(kMaxProjectSize / kTablePointBytes);
  f->Modified = 1;
  EXPECT_FALSE(SaveField(*f, dir.File("big.vmo")));
  EXPECT_EQ(f->Modified, 1);
  EXPECT_FALSE(fs::exists(dir.File("big.vmo")));
  nl->Table.Points.resize(kGrowingRecordsRoom / kTablePointBytes - 1);
  EXPECT_TRUE(SaveField(*f, dir.File("big.vmo")));
  auto g = CreateField();
  EXPECT_EQ(LoadField(*g, dir.File("big.vmo")), TLoadResult::Ok);
}

// Best effort to make a directory refuse new entries, also for root.
bool SetImmutable(const std::string& dir, bool on) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  close(fd);
  return ok;
}

bool CanCreateFileIn(const std::string& dir) {
  const std::string probe = dir + "/probe";
  const int fd = open(probe.c_str(), O_CREAT | O_WRONLY | O_EXCL, 0600);
  if (fd < 0) return false;
  close(fd);
  unlink(probe.c_str());
  return true;
}

TEST_F(ProjectFileTest, FailedSaveKeepsTheOldFileAndTheModifiedFlag) {
  TempDir dir;
  auto f = SampleField();
  f->Modified = 1;

  // Into a directory that does not exist.
  EXPECT_FALSE(SaveField(*f, dir.File("missing/p.vmo")));
  EXPECT_EQ(f->Modified, 1);
  ASSERT_EQ(Dialogs.Messages.size(), 1u);
  EXPECT_EQ(Dialogs.Messages[0], "Ошибка в записи файла!");

  // Onto a directory: it stays as it was and nothing is left beside it.
  fs::create_directory(dir.File("p.vmo"));
  WriteBytes(dir.File("p.vmo/keep.txt"), {1, 2, 3});
  EXPECT_FALSE(SaveField(*f, dir.File("p.vmo")));
  EXPECT_EQ(f->Modified, 1);
  EXPECT_EQ(ReadBytes(dir.File("p.vmo/keep.txt")), (std::vector<uint8_t>{1, 2, 3}));
  int entries = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.Path)) ++entries;
  EXPECT_EQ(entries, 1);

  // Over an existing file in a directory that takes no new files.
  const std::string ro = dir.File("ro");
  fs::create_directory(ro);
  ASSERT_TRUE(SaveField(*f, ro + "/p.vmo"));
  const auto old = ReadBytes(ro + "/p.vmo");
  chmod(ro.c_str(), 0555);
  const bool immutable = SetImmutable(ro, true);
  if (CanCreateFileIn(ro)) {
    if (immutable) SetImmutable(ro, false);
    chmod(ro.c_str(), 0755);
    GTEST_SKIP() << "cannot make a directory read-only here";
  }
  TSchemeBuilder(*f).Block(50, 50, 7);
  f->Modified = 1;
  Dialogs.Messages.clear();
  const bool saved = SaveField(*f, ro + "/p.vmo");
  if (immutable) SetImmutable(ro, false);
  chmod(ro.c_str(), 0755);
  EXPECT_FALSE(saved);
  EXPECT_EQ(f->Modified, 1);
  EXPECT_EQ(ReadBytes(ro + "/p.vmo"), old);
  EXPECT_EQ(Dialogs.Messages.size(), 1u);
}

}  // namespace
}  // namespace vemo
