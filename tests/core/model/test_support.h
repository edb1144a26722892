// Helpers shared by the model, simulation and shell tests: a fixture that
// starts every test from a fresh program state with scripted dialogs, a
// temporary directory, and small accessors for schemes built in code.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "blocks/cell_object.h"
#include "model/clipboard.h"
#include "model/field.h"
#include "shell/dialogs.h"
#include "shell/program.h"

namespace vemo::testing {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramState();
    Prog.Dialogs = &Dialogs;
  }
  void TearDown() override { ResetProgramState(); }

  TScriptedDialogs Dialogs;
};

// The same with the program-wide scheme clipboard emptied before and after
// each test.
class ClipboardProgramTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    ClipClear();
  }
  void TearDown() override {
    ClipClear();
    ProgramTest::TearDown();
  }
};

// A directory of its own under the system's temporary directory, removed
// with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vemo-test-XXXXXX").string();
    if (mkdtemp(pattern.data())) Path = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (!Path.empty()) std::filesystem::remove_all(Path, ec);
  }
  std::string File(const std::string& name) const { return (std::filesystem::path(Path) / name).string(); }
  std::string Path;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline TBlock* BlockAt(const TField& f, int col, int row) {
  TCellObject* obj = f.Cell(col, row);
  return obj ? obj->AsBlock() : nullptr;
}

// The run list in its linked order.
inline std::vector<TBlock*> RunOrder(const TField& f) {
  std::vector<TBlock*> v;
  for (TBlock* b = f.RunList; b && v.size() <= 100000; b = b->RunNext) v.push_back(b);
  return v;
}

inline int IndexIn(const std::vector<TBlock*>& v, const TBlock* b) {
  for (size_t i = 0; i < v.size(); ++i)
    if (v[i] == b) return static_cast<int>(i);
  return -1;
}

}  // namespace vemo::testing
