// The fixture of the command-line tests that write their own project files:
// a fresh program state and a directory of the test's own, removed after it.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "model/project_file.h"
#include "scheme_fixtures.h"
#include "shell/program.h"

namespace vemo::clitest {

class CliFilesTest : public ::testing::Test {
 protected:
  // The directory is the temporary directory's `tag` with the process id.
  explicit CliFilesTest(const char* tag) : Tag(tag) {}

  void SetUp() override {
    ResetProgramState();
    Dir = std::filesystem::temp_directory_path() / (Tag + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }

  std::string Path(const std::string& name) const { return (Dir / name).string(); }

  // The open chain gen -> blocks -> stub (A on the generator's output, B at
  // the end) saved as the file `name`; its path.
  std::string Chain(const std::string& name, vemo::testing::TChainBlocks blocks) {
    auto f = CreateField();
    vemo::testing::BuildOpenChain(*f, blocks);
    EXPECT_TRUE(SaveField(*f, Path(name)));
    return Path(name);
  }

  std::string Tag;
  std::filesystem::path Dir;
};

}  // namespace vemo::clitest
