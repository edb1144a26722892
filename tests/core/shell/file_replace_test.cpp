// Replacing a file's contents: the old file's mode, owner and group stay,
// and a symbolic link stays a link to the replaced file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/model/test_support.h"
#include "model/project_file.h"
#include "shell/file_replace.h"

namespace vemo {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

struct stat StatOf(const std::string& path) {
  struct stat st {};
  lstat(path.c_str(), &st);
  return st;
}

bool Replace(const std::string& path, const std::vector<uint8_t>& bytes) {
  return ReplaceFileContents(path, bytes.data(), bytes.size());
}

TEST(FileReplaceTest, TheOldFilesModeOwnerAndGroupStay) {
  TempDir dir;
  const std::string file = dir.File("private.vmo");
  WriteBytes(file, {1});
  for (mode_t mode : {0600, 0640, 0444, 0755}) {
    ASSERT_EQ(chmod(file.c_str(), mode), 0);
    ASSERT_TRUE(Replace(file, {2, 3}));
    EXPECT_EQ(StatOf(file).st_mode & 07777, mode);
    EXPECT_EQ(ReadBytes(file), (std::vector<uint8_t>{2, 3}));
  }
  // A new file gets the usual permissions of the user's mask.
  const mode_t mask = umask(022);
  ASSERT_TRUE(Replace(dir.File("new.vmo"), {4}));
  umask(mask);
  EXPECT_EQ(StatOf(dir.File("new.vmo")).st_mode & 07777, 0644u);
  // Only the superuser may give a file away.
  if (geteuid() != 0) GTEST_SKIP() << "owner and group need the superuser";
  ASSERT_EQ(chown(file.c_str(), 4321, 8765), 0);
  ASSERT_TRUE(Replace(file, {5}));
  EXPECT_EQ(StatOf(file).st_uid, 4321u);
  EXPECT_EQ(StatOf(file).st_gid, 8765u);
}

TEST(FileReplaceTest, SavingThroughALinkReplacesTheFileItPointsTo) {
  TempDir dir;
  fs::create_directory(dir.File("real"));
  const std::string target = dir.File("real/p.vmo");
  WriteBytes(target, {1});
  ASSERT_EQ(chmod(target.c_str(), 0600), 0);
  // A relative link to a relative link to the file.
  fs::create_symlink("real/p.vmo", dir.File("first.vmo"));
  fs::create_symlink("first.vmo", dir.File("second.vmo"));
  ASSERT_TRUE(Replace(dir.File("second.vmo"), {7, 8}));
  EXPECT_TRUE(fs::is_symlink(dir.File("second.vmo")));
  EXPECT_TRUE(fs::is_symlink(dir.File("first.vmo")));
  EXPECT_EQ(fs::read_symlink(dir.File("first.vmo")), "real/p.vmo");
  EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{7, 8}));
  EXPECT_EQ(StatOf(target).st_mode & 07777, 0600u);
  // A link to a file not yet there creates that file.
  fs::create_symlink(dir.File("real/later.vmo"), dir.File("later.vmo"));
  ASSERT_TRUE(Replace(dir.File("later.vmo"), {9}));
  EXPECT_TRUE(fs::is_symlink(dir.File("later.vmo")));
  EXPECT_EQ(ReadBytes(dir.File("real/later.vmo")), (std::vector<uint8_t>{9}));
  // Nothing else is left beside the files.
  int entries = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.File("real"))) ++entries;
  EXPECT_EQ(entries, 2);
}

class SaveFieldModeTest : public testing::ProgramTest {};

TEST_F(SaveFieldModeTest, SavingAProjectKeepsItPrivate) {
  TempDir dir;
  const std::string file = dir.File("p.vmo");
  auto f = CreateField();
  ASSERT_TRUE(SaveField(*f, file));
  ASSERT_EQ(chmod(file.c_str(), 0600), 0);
  fs::create_symlink(file, dir.File("link.vmo"));
  ASSERT_TRUE(SaveField(*f, dir.File("link.vmo")));
  EXPECT_TRUE(fs::is_symlink(dir.File("link.vmo")));
  EXPECT_EQ(StatOf(file).st_mode & 07777, 0600u);
}

}  // namespace
}  // namespace vemo
