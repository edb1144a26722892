// The user settings kept in "Vemo.ini" between runs, with their built-in
// defaults, and the recent-file list of the main window.
#pragma once
#include <array>
#include <string>
#include <vector>

namespace vemo {

class TIniFile;

struct TSettings {
  // "Last Files"
  std::array<std::string, 4> RecentFiles;
  // "h(t)"
  double HtMin = 0, HtMax = 1;
  bool HtAutoScale = true, HtSingleScale = true;
  // "PhaseFace"
  double PhaseMinX = -2, PhaseMinY = -2, PhaseMaxX = 2, PhaseMaxY = 2;
  bool PhaseAutoscale = true;
  // "LAFC/PFC"
  double LafcMin = -60, PfchMin = -60, LafcMax = 60, PfchMax = 60;
  double LgwMin = -3, LgwMax = 3;
  bool LafcAutoscale = true, PfcAutoscale = true;
  // "Godograph"
  double GodoReMin = -2, GodoImMin = -2, GodoReMax = 2, GodoImMax = 2;
  int GodoAutoscaleType = 2;
  bool GodoWs = true, GodoWne = false;
  double GodoNeStep = 0.01;
  // "W(S)"
  int WsType = 1;
  // "Fuzzy Window"
  bool FuzzyGrid = true;
  // "Optimization"
  int OptCritery = 1, OptMethod = 1, ZondIterCount = 3, ZondCount = 5, SpeedDown = 5;
  int SpeedDownIters = 50, SpeedDownSingleIters = 4;
  double SpeedDownEps = 1e-4, GradDownVolum = 5;
  int GradDownIters = 1000;
  double GradDownEps = 1e-6;
  // "OptIntegralSqr1D" / "OptIntegralSqr2D"
  int Sqr1DWeightY = 5, Sqr1DWeightDY = 5;
  int Sqr2DWeightY = 5, Sqr2DWeightDY = 5, Sqr2DWeightD2Y = 5;
  // "OptNet"
  double NetMinWeight = -10, NetMaxWeight = 10;
  // "Options" ("Color Printer" is stored inverted as this flag)
  bool BlackWhitePrint = true;
  bool BlackWhiteClipboard = false;
  bool WidthPlot = true;
  bool FlatButtons = true;
};

// Where "Vemo.ini" lives: $XDG_CONFIG_HOME, else ~/.config, else the
// current directory.
std::string SettingsFileName();

// Reads every setting; a malformed real shows "Неверный числовой формат!"
// through the program's dialogs and keeps its default. "Paths"/"EXE" is
// returned in exeDir (empty when absent).
void ReadSettings(const TIniFile& ini, TSettings& s, std::string* exeDir = nullptr);
// The folders from which projects may load plug-in libraries without
// asking: section "Plugins", keys "Dir1", "Dir2", ... up to the first
// missing one (the program never writes them; the person lists them).
std::vector<std::string> ReadPluginDirs(const TIniFile& ini);
// Writes every setting except "Paths"/"EXE".
void WriteSettings(TIniFile& ini, const TSettings& s);
inline constexpr const char* kIniWriteFailed = "Не могу записать INI-файл!";

// The recent-file list: a name already listed changes nothing; otherwise it
// fills the first empty entry, or, all four used, the entries move down and
// it becomes the first. True when the list changed.
bool AddRecentFile(std::array<std::string, 4>& list, const std::string& name);
// The menu caption of entry n (0..3): "&1. " + the entry, shortened to "..."
// and its last 25 characters when it has 28 or more.
std::string RecentFileCaption(int n, const std::string& entry);
// The name relative to the program directory when it lies directly in it
// (compared without regard to case), else unchanged.
std::string RelativeName(const std::string& name, const std::string& programDir);

}  // namespace vemo
