// The INI reader/writer: names kept verbatim, lookup without regard to case,
// CR LF output, saving through a temporary file, and files that are no INI.
#include "shell/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "core/model/test_support.h"

namespace vemo {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(IniFileTest, NamesAreKeptVerbatimAndFoundWithoutRegardToCase) {
  TIniFile ini;
  ini.Parse("[LAFC/PFC]\r\nlgw min=-3\r\nLAFCMax = 60 \r\n\r\n[W(S)]\nType=1\n");
  EXPECT_EQ(ini.ReadString("LAFC/PFC", "lgw min", "?"), "-3");
  EXPECT_EQ(ini.ReadString("lafc/pfc", "LGW MIN", "?"), "-3");
  EXPECT_EQ(ini.ReadString("LAFC/PFC", "lafcmax", "?"), "60");  // blanks around go
  EXPECT_EQ(ini.ReadInteger("w(s)", "type", 0), 1);
  EXPECT_TRUE(ini.Has("W(S)", "Type"));
  EXPECT_FALSE(ini.Has("W(S)", "Typ"));
  EXPECT_FALSE(ini.Has("LAFC", "lgw min"));  // "/" is part of the name, not a group
  EXPECT_EQ(ini.ReadString("Nowhere", "x", "dflt"), "dflt");
  EXPECT_EQ(ini.Text(), "[LAFC/PFC]\r\nlgw min=-3\r\nLAFCMax=60\r\n\r\n[W(S)]\r\nType=1\r\n");
}

TEST(IniFileTest, ReaderSkipsWhatIsNoSettingAndTakesTheFirstOfRepeats) {
  TIniFile ini;
  ini.Parse(
      "\xEF\xBB\xBF"  // byte-order mark of a file saved by an editor
      "orphan=1\n"     // before any section
      "; comment\n# comment\n"
      "[A]\nnoequals\n=novalue\nk=first\nK=second\n[broken\n"
      "[ a ]\nk=third\nother=x=y\n");
  EXPECT_EQ(ini.ReadString("A", "k", ""), "first");
  EXPECT_EQ(ini.ReadString("A", "other", ""), "x=y");
  EXPECT_FALSE(ini.Has("A", "noequals"));
  EXPECT_FALSE(ini.Has("A", "orphan"));
  EXPECT_EQ(ini.Text(), "[A]\r\nk=first\r\nother=x=y\r\n");
}

TEST(IniFileTest, NumbersAndFlags) {
  TIniFile ini;
  ini.Parse("[N]\na= 12 \nb=+5\nc=-3\nd=12abc\ne=99999999999\nf=\ng=2\nh=0\ni=yes\n");
  EXPECT_EQ(ini.ReadInteger("N", "a", 7), 12);
  EXPECT_EQ(ini.ReadInteger("N", "b", 7), 5);
  EXPECT_EQ(ini.ReadInteger("N", "c", 7), -3);
  EXPECT_EQ(ini.ReadInteger("N", "d", 7), 7);
  EXPECT_EQ(ini.ReadInteger("N", "e", 7), 7);
  EXPECT_EQ(ini.ReadInteger("N", "f", 7), 7);
  EXPECT_EQ(ini.ReadInteger("N", "missing", 7), 7);
  EXPECT_TRUE(ini.ReadBool("N", "g", false));
  EXPECT_FALSE(ini.ReadBool("N", "h", true));
  EXPECT_TRUE(ini.ReadBool("N", "i", true));
  EXPECT_FALSE(ini.ReadBool("N", "i", false));
}

TEST(IniFileTest, WritesReplaceInPlaceAndStayOneLine) {
  TIniFile ini;
  ini.WriteInteger("Optimization", "ZondCount", 5);
  ini.WriteString("Last Files", "File1", "/home/u/проект.vmo");
  ini.WriteBool("Options", "Flat Buttons", true);
  ini.WriteInteger("optimization", "zondcount", 8);  // same key, other case
  ini.WriteString("Last Files", "File2", "two\r\nlines ");
  ini.WriteString("Bad", "k=v", "x");  // a key the reader could not find again
  ini.WriteString("Bad]", "k", "x");
  EXPECT_EQ(ini.Text(),
            "[Optimization]\r\nZondCount=8\r\n\r\n"
            "[Last Files]\r\nFile1=/home/u/проект.vmo\r\nFile2=two  lines\r\n\r\n"
            "[Options]\r\nFlat Buttons=1\r\n");
  TIniFile again;
  again.Parse(ini.Text());
  EXPECT_EQ(again.Text(), ini.Text());
}

TEST(IniFileTest, SaveAndLoad) {
  TempDir dir;
  const std::string name = dir.File("sub/dir/Vemo.ini");  // folders made as needed
  TIniFile ini;
  ini.WriteString("Godograph", "Im max", "2");
  ASSERT_TRUE(ini.Save(name));
  EXPECT_EQ(ReadBytes(name), Bytes("[Godograph]\r\nIm max=2\r\n"));
  TIniFile back;
  back.Load(name);
  EXPECT_EQ(back.ReadString("GODOGRAPH", "im MAX", ""), "2");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("sub/dir")),
                          std::filesystem::directory_iterator()),
            1);  // no temporary file left behind

  TIniFile missing;
  missing.Parse("[x]\na=1\n");
  missing.Load(dir.File("none.ini"));
  EXPECT_EQ(missing.Text(), "");
  missing.Load(dir.Path);  // a directory
  EXPECT_EQ(missing.Text(), "");
}

TEST(IniFileTest, FailedSaveLeavesTheOldFile) {
  TempDir dir;
  // The target is a directory with something in it: the rename must fail.
  const std::string target = dir.File("Vemo.ini");
  std::filesystem::create_directories(target + "/keep");
  TIniFile ini;
  ini.WriteString("a", "b", "c");
  EXPECT_FALSE(ini.Save(target));
  EXPECT_TRUE(std::filesystem::is_directory(target + "/keep"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path),
                          std::filesystem::directory_iterator()),
            1);
  // A parent that is a file cannot hold the settings.
  WriteBytes(dir.File("plain"), Bytes("x"));
  EXPECT_FALSE(ini.Save(dir.File("plain/Vemo.ini")));
  EXPECT_EQ(ReadBytes(dir.File("plain")), Bytes("x"));
}

TEST(IniFileTest, GarbageNeverBreaksTheReader) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::string text(rng() % 600, '\0');
    for (char& ch : text) {
      const unsigned r = rng() % 12;
      ch = r == 0 ? '\n' : r == 1 ? '[' : r == 2 ? ']' : r == 3 ? '=' : r == 4 ? '\r'
                                                                    : static_cast<char>(rng());
    }
    TIniFile ini;
    ini.Parse(text);
    const std::string once = ini.Text();
    TIniFile again;
    again.Parse(once);
    EXPECT_EQ(again.Text(), once) << round;
  }
  TIniFile big;
  big.Parse(std::string(200000, '[') + "]\n" + std::string(100000, 'k') + "=v");
  EXPECT_TRUE(big.Has(std::string(199999, '['), std::string(100000, 'k')));
}

}  // namespace
}  // namespace vemo
