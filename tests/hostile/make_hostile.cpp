// Writes the hostile inputs of the batch program's hostile-input tests into
// the folder named by the first argument: projects whose stored numbers
// would drive a run without end, names that are no regular files, a sparse
// file far larger than any project, and schemes with tens of thousands of
// macro blocks.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include "model/macro.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "shell/program.h"

using namespace vemo;

namespace {

std::string g_dir;

std::string At(const std::string& name) { return g_dir + "/" + name; }

bool Save(TField& f, const std::string& name, double viewTime = 10.0) {
  Prog.Clock.ViewTime = viewTime;
  if (SaveField(f, At(name))) return true;
  std::fprintf(stderr, "make_hostile: cannot write %s\n", At(name).c_str());
  return false;
}

// A constant feeding a stub observed at A.
std::unique_ptr<TField> Constant(double step) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(2, 2, 0, {1.0});
  b.Line({{2, 2}, {5, 2}});
  b.Point(0, 5, 2);
  f->Step = step;
  f->AutoStep = 0;
  return f;
}

// The run of a stored number: step and view time written as they are.
bool Numbers(const std::string& name, double step, double viewTime) {
  auto f = Constant(0.01);
  std::vector<uint8_t> image = FieldImage(*f, viewTime);
  std::memcpy(image.data() + image.size() - 16, &step, 8);
  FILE* out = std::fopen(At(name).c_str(), "wb");
  if (!out) return false;
  const bool ok = std::fwrite(image.data(), 1, image.size(), out) == image.size();
  return std::fclose(out) == 0 && ok;
}

// A project of one macro block naming `body`, fed by a constant and
// observed at A.
bool MacroOn(const std::string& name, const std::string& body) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(1, 1, 0, {1.0});
  static_cast<TMacroBlock*>(b.Block(3, 1, kMacroCode))->BodyFile = body;
  b.Line({{1, 1}, {3, 1}});
  b.Line({{3, 1}, {5, 1}});
  b.Point(0, 5, 1);
  return Save(*f, name);
}

// The body "small.vmo": left input port -> gain 2 -> output port.
bool SmallBody() {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  f->SetCell(1, 1, CreateCellObject(kMacroPortFirst + 1));
  b.Block(3, 1, 6, {2.0});
  f->SetCell(6, 1, CreateCellObject(kMacroOutputCode));
  b.Line({{1, 1}, {3, 1}});
  b.Line({{3, 1}, {6, 1}});
  return Save(*f, "small.vmo");
}

// Every cell a macro block on `body`.
bool EveryCellAMacro(const std::string& name, const std::string& body) {
  auto f = CreateField();
  for (int row = 0; row < kGridSize; ++row)
    for (int col = 0; col < kGridSize; ++col) {
      auto m = CreateCellObject(kMacroCode);
      static_cast<TMacroBlock*>(m.get())->BodyFile = body;
      f->SetCell(col, row, std::move(m));
    }
  f->Points[0].Placed = 1;
  return Save(*f, name);
}

// Each row a chain: a constant, then macro blocks on "small.vmo" joined by
// wires, then a summer; 19,600 macro blocks that run.
bool MacroChains() {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  for (int row = 0; row < kGridSize; ++row) {
    b.Block(0, row, 0, {1.0});
    for (int col = 2; col <= 196; col += 2)
      static_cast<TMacroBlock*>(b.Block(col, row, kMacroCode))->BodyFile = "small.vmo";
    b.Block(198, row, 1);
    for (int col = 0; col < 198; col += 2) b.Line({{col, row}, {col + 2, row}});
  }
  b.Point(0, 197, 0);
  f->Step = 0.01;
  f->AutoStep = 0;
  return Save(*f, "macro_chains.vmo");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_hostile FOLDER\n");
    return 2;
  }
  g_dir = argv[1];
  std::filesystem::create_directories(g_dir);
  ResetProgramState();
  const double inf = std::numeric_limits<double>::infinity();
  bool ok = Numbers("tiny_step.vmo", 1e-12, 10.0) && Numbers("inf_view_time.vmo", 0.01, inf) &&
            Numbers("nan_step.vmo", std::numeric_limits<double>::quiet_NaN(), 10.0);
  // Names that are no regular files.
  std::filesystem::remove(At("fifo.vmo"));
  ok = ok && mkfifo(At("fifo.vmo").c_str(), 0600) == 0;
  ok = ok && MacroOn("body_dev_zero.vmo", "/dev/zero") &&
       MacroOn("body_dev_urandom.vmo", "/dev/urandom") && MacroOn("body_folder.vmo", ".");
  // Fuzzy model and rule files that are devices under a model's name.
  for (const char* name : {"zero.fz", "zero.fuz"}) {
    std::filesystem::remove(At(name));
    ok = ok && symlink("/dev/zero", At(name).c_str()) == 0;
  }
  // A valid project followed by a terabyte of nothing (a sparse file).
  {
    auto f = Constant(0.01);
    ok = ok && Save(*f, "sparse.vmo") && truncate(At("sparse.vmo").c_str(), off_t{1} << 40) == 0;
  }
  ok = ok && SmallBody() && EveryCellAMacro("many_macros.vmo", "small.vmo") &&
       EveryCellAMacro("wide.vmo", "small.vmo") &&
       EveryCellAMacro("nested_macros.vmo", "wide.vmo") && MacroChains();
  return ok ? 0 : 1;
}
