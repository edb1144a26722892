// Fuzz target for projects that are read, checked and run. The records of
// the cells of the grid's 8 x 8 corner come from the input, one after the
// other as in a file (type code, then the object's record), so that every
// kind's record — the fuzzy controller's, the neural network's, the macro
// block's, the user block's — is read by the project reader; the scheme
// read is then compiled, ordered, checked and run for a few steps, so that
// faults after reading are found too. Byte 0 chooses the step (or the
// blocks' own), byte 1 the cell of point A.
//
// Macro blocks find three bodies beside the project: "b.vmo" (a gain),
// "n.vmo" (a macro block of "b.vmo") and "s.vmo" (itself). User blocks may
// name the libraries built beside the programs ("Tiklo.so", ...), which are
// trusted; any other library is refused.
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "model/macro.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "shell/program.h"
#include "simulation/engine.h"
#include "simulation/transient.h"

using namespace vemo;

namespace {

constexpr int kCorner = 8;
constexpr int kSteps = 16;
constexpr double kStepChoice[8] = {0.0, 0.01, 0.1, 0.001, 0.5, 1e-6, 2.0, 0.05};

// Saves the three bodies once, into a folder of this process.
const std::string& BodyDir() {
  static const std::string dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "vemo-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) abort();
    auto gain = CreateField();
    TSchemeBuilder g(*gain);
    gain->SetCell(1, 1, CreateCellObject(kMacroPortFirst + 1));
    g.Block(3, 1, 6, {2.0});
    gain->SetCell(6, 1, CreateCellObject(kMacroOutputCode));
    g.Line({{1, 1}, {3, 1}});
    g.Line({{3, 1}, {6, 1}});
    SaveField(*gain, pattern + "/b.vmo");
    for (const char* name : {"n", "s"}) {
      auto nest = CreateField();
      TSchemeBuilder n(*nest);
      nest->SetCell(1, 1, CreateCellObject(kMacroPortFirst + 1));
      auto* m = static_cast<TMacroBlock*>(n.Block(3, 1, kMacroCode));
      m->BodyFile = std::string(name) == "n" ? "b.vmo" : "s.vmo";
      nest->SetCell(6, 1, CreateCellObject(kMacroOutputCode));
      n.Line({{1, 1}, {3, 1}});
      n.Line({{3, 1}, {6, 1}});
      SaveField(*nest, pattern + "/" + name + ".vmo");
    }
    return pattern;
  }();
  return dir;
}

void Put(std::vector<uint8_t>& v, const void* p, size_t n) {
  const auto* b = static_cast<const uint8_t*>(p);
  v.insert(v.end(), b, b + n);
}

// The project file: the input's records in the corner, the point table
// with A placed and the step.
std::vector<uint8_t> ProjectImage(const uint8_t* data, size_t size) {
  const double step = kStepChoice[data[0] & 7];
  const int pointCell = data[1] % (kCorner * kCorner);
  // Where each record of the input ends (the reader decides).
  std::vector<std::pair<size_t, size_t>> records;
  TLoadCursor c(data + 2, size - 2);
  for (int k = 0; k < kCorner * kCorner && c.Left() > 0; ++k) {
    const size_t start = c.Pos;
    bool ok = true;
    LoadCellObject(c, ok);
    if (!ok) break;
    records.emplace_back(start + 2, c.Pos - start);
  }
  std::vector<uint8_t> file(kHeaderV3, kHeaderV3 + kHeaderSize);
  size_t k = 0;
  const uint16_t empty = kEmptyCellCode;
  for (int row = 0; row < kGridSize; ++row)
    for (int col = 0; col < kGridSize; ++col) {
      if (row < kCorner && col < kCorner && k < records.size()) {
        Put(file, data + records[k].first, records[k].second);
        ++k;
      } else {
        Put(file, &empty, 2);
      }
    }
  TViewPoint a;
  a.Col = static_cast<uint16_t>(pointCell % kCorner);
  a.Row = static_cast<uint16_t>(pointCell / kCorner);
  for (int p = 0; p < kPointCount; ++p) {
    uint8_t record[32] = {};
    std::memcpy(record, &a.Col, 2);
    std::memcpy(record + 2, &a.Row, 2);
    record[8] = p == 0;  // placed
    record[9] = 1;       // shown
    Put(file, record, sizeof record);
  }
  const double viewTime = 1.0;
  Put(file, &step, 8);
  Put(file, &viewTime, 8);
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  ResetProgramState();
  const std::string bin = VEMO_BIN_DIR;
  Prog.ProgramDir = bin + "/";
  Prog.Plugins.Dirs = {bin};
  TFileProjects projects;
  projects.SearchDirs = {BodyDir()};
  Prog.Projects = &projects;

  const std::vector<uint8_t> file = ProjectImage(data, size);
  auto field = CreateField();
  field->FileName = BodyDir() + "/fuzz.vmo";
  if (LoadFieldFromMemory(*field, file.data(), file.size()) != TLoadResult::Ok) return 0;
  PrepareRun(*field);
  if (Prog.Err.ErrorCode == 0) {
    // A few steps of the step chosen.
    TTransientRun run;
    run.Open(*field, kSteps * Prog.Clock.TimeStep, ShownPoints(*field));
    if (Prog.Err.ErrorCode == 0) run.RunSegment();
    run.Close();
    if (run.StepCount() > kSteps + 1) abort();
  }
  ReleaseMacroBodies(*field);
  return 0;
}
