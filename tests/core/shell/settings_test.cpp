// The settings kept in "Vemo.ini": defaults of a first start, reading and
// writing every key, bad values, and the recent-file list.
#include "shell/settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>

#include "core/model/test_support.h"
#include "shell/ini_file.h"
#include "shell/numtext.h"

namespace vemo {
namespace {

using testing::TempDir;
using SettingsTest = testing::ProgramTest;

size_t Count(const std::vector<std::string>& v, const std::string& s) {
  return static_cast<size_t>(std::count(v.begin(), v.end(), s));
}

TEST_F(SettingsTest, FirstStartGivesEveryDefault) {
  TempDir dir;
  TIniFile ini;
  ini.Load(dir.File("Vemo.ini"));  // no such file yet
  TSettings s;
  std::string exe = "stale";
  ReadSettings(ini, s, &exe);
  EXPECT_EQ(exe, "");
  EXPECT_TRUE(Dialogs.Messages.empty());
  for (const std::string& f : s.RecentFiles) EXPECT_EQ(f, "");
  EXPECT_EQ(s.HtMin, 0.0);
  EXPECT_EQ(s.HtMax, 1.0);
  EXPECT_TRUE(s.HtAutoScale && s.HtSingleScale && s.PhaseAutoscale);
  EXPECT_EQ(s.PhaseMinX, -2.0);
  EXPECT_EQ(s.PhaseMaxY, 2.0);
  EXPECT_EQ(s.LafcMin, -60.0);
  EXPECT_EQ(s.PfchMax, 60.0);
  EXPECT_EQ(s.LgwMin, -3.0);
  EXPECT_EQ(s.LgwMax, 3.0);
  EXPECT_TRUE(s.LafcAutoscale && s.PfcAutoscale);
  EXPECT_EQ(s.GodoReMin, -2.0);
  EXPECT_EQ(s.GodoImMin, -2.0);
  EXPECT_EQ(s.GodoReMax, 2.0);
  EXPECT_EQ(s.GodoImMax, 2.0);
  EXPECT_EQ(s.GodoAutoscaleType, 2);
  EXPECT_TRUE(s.GodoWs);
  EXPECT_FALSE(s.GodoWne);
  EXPECT_EQ(s.GodoNeStep, 0.01);
  EXPECT_EQ(s.WsType, 1);
  EXPECT_TRUE(s.FuzzyGrid);
  EXPECT_EQ(s.OptCritery, 1);
  EXPECT_EQ(s.OptMethod, 1);
  EXPECT_EQ(s.ZondIterCount, 3);
  EXPECT_EQ(s.ZondCount, 5);
  EXPECT_EQ(s.SpeedDown, 5);
  EXPECT_EQ(s.SpeedDownIters, 50);
  EXPECT_EQ(s.SpeedDownSingleIters, 4);
  EXPECT_EQ(s.SpeedDownEps, 1e-4);
  EXPECT_EQ(s.GradDownVolum, 5.0);
  EXPECT_EQ(s.GradDownIters, 1000);
  EXPECT_EQ(s.GradDownEps, 1e-6);
  EXPECT_EQ(s.Sqr1DWeightY + s.Sqr1DWeightDY, 10);
  EXPECT_EQ(s.Sqr2DWeightY + s.Sqr2DWeightDY + s.Sqr2DWeightD2Y, 15);
  EXPECT_EQ(s.NetMinWeight, -10.0);
  EXPECT_EQ(s.NetMaxWeight, 10.0);
  EXPECT_TRUE(s.BlackWhitePrint);  // "Color Printer" 0
  EXPECT_FALSE(s.BlackWhiteClipboard);
  EXPECT_TRUE(s.WidthPlot);
  EXPECT_TRUE(s.FlatButtons);
}

TEST_F(SettingsTest, WrittenFileHoldsEveryKeyButThePath) {
  TIniFile ini;
  ini.Parse("[Paths]\r\nEXE=/opt/vemo\r\n");
  WriteSettings(ini, TSettings{});
  const std::string text = ini.Text();
  for (const char* line :
       {"[Paths]\r\nEXE=/opt/vemo\r\n", "[Last Files]\r\nFile1=\r\n", "File4=\r\n",
        "[h(t)]\r\nMin=0\r\nMax=1\r\nAutoScale=1\r\nSingleScale=1\r\n", "MinX=-2\r\n",
        "[LAFC/PFC]\r\n", "lgw min=-3\r\n", "lgw max=3\r\n", "PFCHMin=-60\r\n",
        "[Godograph]\r\n", "Re min=-2\r\n", "Im max=2\r\n", "Autoscale Type=2\r\n",
        "W(s)=1\r\n", "Wne(jw)=0\r\n", "Godo NE step=0.01\r\n", "[W(S)]\r\nType=1\r\n",
        "[Fuzzy Window]\r\nGrid=1\r\n", "SpeedDownEps=0.0001\r\n", "GradDownEps=1.00000E-0006\r\n",
        "[OptIntegralSqr2D]\r\nWeightY=5\r\nWeightDY=5\r\nWeightD2Y=5\r\n",
        "[OptNet]\r\nMinWeight=-10\r\nMaxWeight=10\r\n", "Color Printer=0\r\n",
        "BlackWhiteClipboard=0\r\n", "WidthPlot=1\r\n", "Flat Buttons=1\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
  EXPECT_EQ(text.find('\n', 0), text.find("\r\n", 0) + 1);
  TIniFile fresh;
  WriteSettings(fresh, TSettings{});
  EXPECT_FALSE(fresh.Has("Paths", "EXE"));
}

TEST_F(SettingsTest, EverySettingSurvivesAWriteAndARead) {
  TSettings s;
  s.RecentFiles = {"/a/one.vmo", "two.vmo", "", "четыре.vmo"};
  s.HtMin = -0.5, s.HtMax = 1.5e-7, s.HtSingleScale = false;
  s.PhaseMaxY = 123456.0, s.LgwMin = -4, s.LafcAutoscale = false;
  s.GodoImMax = 7.25, s.GodoAutoscaleType = 3, s.GodoWne = true, s.GodoNeStep = 0.5;
  s.WsType = 0, s.FuzzyGrid = false, s.OptCritery = 2, s.OptMethod = 0;
  s.ZondCount = 999, s.SpeedDownEps = 3e-9, s.GradDownVolum = 12.5, s.GradDownIters = 20;
  s.Sqr2DWeightD2Y = 100, s.NetMinWeight = -1, s.BlackWhitePrint = false;
  s.BlackWhiteClipboard = true, s.WidthPlot = false, s.FlatButtons = false;
  TempDir dir;
  TIniFile out;
  WriteSettings(out, s);
  ASSERT_TRUE(out.Save(dir.File("Vemo.ini")));
  TIniFile in;
  in.Load(dir.File("Vemo.ini"));
  TSettings r;
  ReadSettings(in, r);
  EXPECT_TRUE(Dialogs.Messages.empty());
  EXPECT_EQ(r.RecentFiles, s.RecentFiles);
  EXPECT_EQ(r.HtMin, -0.5);
  EXPECT_NEAR(r.HtMax, 1.5e-7, 1e-15);
  EXPECT_FALSE(r.HtSingleScale);
  EXPECT_EQ(r.PhaseMaxY, 123456.0);
  EXPECT_EQ(r.LgwMin, -4.0);
  EXPECT_FALSE(r.LafcAutoscale);
  EXPECT_EQ(r.GodoImMax, 7.25);
  EXPECT_EQ(r.GodoAutoscaleType, 3);
  EXPECT_TRUE(r.GodoWne);
  EXPECT_EQ(r.GodoNeStep, 0.5);
  EXPECT_EQ(r.WsType, 0);
  EXPECT_FALSE(r.FuzzyGrid);
  EXPECT_EQ(r.OptCritery, 2);
  EXPECT_EQ(r.OptMethod, 0);
  EXPECT_EQ(r.ZondCount, 999);
  EXPECT_NEAR(r.SpeedDownEps, 3e-9, 1e-17);
  EXPECT_EQ(r.GradDownVolum, 12.5);
  EXPECT_EQ(r.GradDownIters, 20);
  EXPECT_EQ(r.Sqr2DWeightD2Y, 100);
  EXPECT_EQ(r.NetMinWeight, -1.0);
  EXPECT_FALSE(r.BlackWhitePrint);
  EXPECT_EQ(in.ReadString("Options", "Color Printer", ""), "1");  // stored inverted
  EXPECT_TRUE(r.BlackWhiteClipboard);
  EXPECT_FALSE(r.WidthPlot);
  EXPECT_FALSE(r.FlatButtons);
}

TEST_F(SettingsTest, BadValuesKeepTheirDefaults) {
  TIniFile ini;
  ini.Parse(
      "[Godograph]\nRe max=abc\nIm max=\nRe min=-7\nAutoscale Type=9\n"
      "[Optimization]\nZondCount=0\nSpeedDown=lots\nGradDownEps=1e-300\nSpeedDownEps=1e400\n"
      "[Paths]\nEXE=/usr/lib/vemo\n");
  TSettings s;
  std::string exe;
  ReadSettings(ini, s, &exe);
  EXPECT_EQ(s.GodoReMax, 2.0);
  EXPECT_EQ(s.GodoImMax, 2.0);
  EXPECT_EQ(s.GodoReMin, -7.0);  // the good one is read
  EXPECT_EQ(s.GodoAutoscaleType, 2);
  EXPECT_EQ(s.ZondCount, 5);
  EXPECT_EQ(s.SpeedDown, 5);
  EXPECT_EQ(s.GradDownEps, 1e-6);
  EXPECT_EQ(s.SpeedDownEps, 1e-4);
  EXPECT_EQ(exe, "/usr/lib/vemo");
  // One message per malformed real: "abc", the empty text and 1e400.
  EXPECT_EQ(Count(Dialogs.Messages, kBadNumberFormat), 3u);
  EXPECT_EQ(Dialogs.Messages.size(), 3u);
}

TEST_F(SettingsTest, FileNameFollowsTheConfigurationDirectory) {
  const char* oldXdg = getenv("XDG_CONFIG_HOME");
  const char* oldHome = getenv("HOME");
  const std::string keepXdg = oldXdg ? oldXdg : "", keepHome = oldHome ? oldHome : "";
  setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(SettingsFileName(), "/tmp/cfg/Vemo.ini");
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  setenv("HOME", "/home/user", 1);
  EXPECT_EQ(SettingsFileName(), "/home/user/.config/Vemo.ini");
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("HOME");
  EXPECT_EQ(SettingsFileName(), "Vemo.ini");
  if (oldXdg) setenv("XDG_CONFIG_HOME", keepXdg.c_str(), 1);
  if (oldHome) setenv("HOME", keepHome.c_str(), 1);
}

TEST(RecentFilesTest, ListFillsThenShiftsAndNeverReorders) {
  std::array<std::string, 4> list;
  EXPECT_TRUE(AddRecentFile(list, "a.vmo"));
  AddRecentFile(list, "b.vmo");
  EXPECT_FALSE(AddRecentFile(list, ""));
  EXPECT_EQ(list, (std::array<std::string, 4>{"a.vmo", "b.vmo", "", ""}));
  EXPECT_FALSE(AddRecentFile(list, "b.vmo"));  // already listed: nothing moves
  AddRecentFile(list, "a.vmo");
  EXPECT_EQ(list, (std::array<std::string, 4>{"a.vmo", "b.vmo", "", ""}));
  AddRecentFile(list, "c.vmo");
  AddRecentFile(list, "d.vmo");
  EXPECT_TRUE(AddRecentFile(list, "e.vmo"));  // full: the others move down, the last is lost
  EXPECT_EQ(list, (std::array<std::string, 4>{"e.vmo", "a.vmo", "b.vmo", "c.vmo"}));
  AddRecentFile(list, "c.vmo");
  EXPECT_EQ(list[0], "e.vmo");
  AddRecentFile(list, "A.vmo");  // file names differ by case on this system
  EXPECT_EQ(list[0], "A.vmo");
}

TEST(RecentFilesTest, LongEntriesShowTheirLast25Characters) {
  EXPECT_EQ(RecentFileCaption(0, "short.vmo"), "&1. short.vmo");
  const std::string e27(27, 'x');
  EXPECT_EQ(RecentFileCaption(1, e27), "&2. " + e27);
  const std::string e30 = "/home/user/projects/abcde.vmo/";
  ASSERT_EQ(e30.size(), 30u);
  EXPECT_EQ(RecentFileCaption(2, e30), "&3. ..." + e30.substr(5));
  EXPECT_EQ(RecentFileCaption(3, std::string(28, 'y')), "&4. ..." + std::string(25, 'y'));
  // Characters, not bytes: 30 Cyrillic letters.
  std::string cyr;
  for (int i = 0; i < 30; ++i) cyr += (i < 5 ? "а" : "б");
  EXPECT_EQ(RecentFileCaption(0, cyr), "&1. ..." + cyr.substr(10));
  std::string cyr27;
  for (int i = 0; i < 27; ++i) cyr27 += "я";
  EXPECT_EQ(RecentFileCaption(0, cyr27), "&1. " + cyr27);
}

TEST(RecentFilesTest, RelativeNameOnlyForFilesDirectlyInTheProgramDirectory) {
  EXPECT_EQ(RelativeName("/opt/vemo/demo.vmo", "/opt/vemo/"), "demo.vmo");
  EXPECT_EQ(RelativeName("/opt/vemo/demo.vmo", "/opt/vemo"), "demo.vmo");
  EXPECT_EQ(RelativeName("/OPT/Vemo/demo.vmo", "/opt/vemo/"), "demo.vmo");
  EXPECT_EQ(RelativeName("/opt/vemo/sub/demo.vmo", "/opt/vemo/"), "/opt/vemo/sub/demo.vmo");
  EXPECT_EQ(RelativeName("/opt/vemox/demo.vmo", "/opt/vemo/"), "/opt/vemox/demo.vmo");
  EXPECT_EQ(RelativeName("/opt/vemo/", "/opt/vemo/"), "/opt/vemo/");
  EXPECT_EQ(RelativeName("demo.vmo", ""), "demo.vmo");
}

}  // namespace
}  // namespace vemo
