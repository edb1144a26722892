#include "shell/settings.h"

#include <cstdlib>
#include <limits>

#include "shell/encoding.h"
#include "shell/ini_file.h"
#include "shell/numtext.h"
#include "shell/program.h"

namespace vemo {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// One setting of the file. Exactly one of the three members is set. Values
// outside [Min, Max] (the limits the dialogs enforce) keep the default, so a
// hand-edited file cannot start, say, an optimisation with no probe points.
struct TSettingEntry {
  const char* Section;
  const char* Key;
  double TSettings::*Real = nullptr;
  int TSettings::*Integer = nullptr;
  bool TSettings::*Flag = nullptr;
  double Min = -kInf;
  double Max = kInf;
};

TSettingEntry R(const char* sec, const char* key, double TSettings::*m, double lo = -kInf,
                double hi = kInf) {
  return {sec, key, m, nullptr, nullptr, lo, hi};
}
TSettingEntry I(const char* sec, const char* key, int TSettings::*m, double lo, double hi) {
  return {sec, key, nullptr, m, nullptr, lo, hi};
}
TSettingEntry B(const char* sec, const char* key, bool TSettings::*m) {
  return {sec, key, nullptr, nullptr, m};
}

const std::vector<TSettingEntry>& Entries() {
  static const std::vector<TSettingEntry> table = {
      R("h(t)", "Min", &TSettings::HtMin),
      R("h(t)", "Max", &TSettings::HtMax),
      B("h(t)", "AutoScale", &TSettings::HtAutoScale),
      B("h(t)", "SingleScale", &TSettings::HtSingleScale),
      R("PhaseFace", "MinX", &TSettings::PhaseMinX),
      R("PhaseFace", "MinY", &TSettings::PhaseMinY),
      R("PhaseFace", "MaxX", &TSettings::PhaseMaxX),
      R("PhaseFace", "MaxY", &TSettings::PhaseMaxY),
      B("PhaseFace", "Autoscale", &TSettings::PhaseAutoscale),
      R("LAFC/PFC", "LAFCMin", &TSettings::LafcMin),
      R("LAFC/PFC", "PFCHMin", &TSettings::PfchMin),
      R("LAFC/PFC", "LAFCMax", &TSettings::LafcMax),
      R("LAFC/PFC", "PFCHMax", &TSettings::PfchMax),
      R("LAFC/PFC", "lgw min", &TSettings::LgwMin, -8, 8),
      R("LAFC/PFC", "lgw max", &TSettings::LgwMax, -8, 8),
      B("LAFC/PFC", "LAFCAutoscale", &TSettings::LafcAutoscale),
      B("LAFC/PFC", "PFCAutoscale", &TSettings::PfcAutoscale),
      R("Godograph", "Re min", &TSettings::GodoReMin),
      R("Godograph", "Im min", &TSettings::GodoImMin),
      R("Godograph", "Re max", &TSettings::GodoReMax),
      R("Godograph", "Im max", &TSettings::GodoImMax),
      I("Godograph", "Autoscale Type", &TSettings::GodoAutoscaleType, 0, 3),
      B("Godograph", "W(s)", &TSettings::GodoWs),
      B("Godograph", "Wne(jw)", &TSettings::GodoWne),
      R("Godograph", "Godo NE step", &TSettings::GodoNeStep, 1e-10, 360),
      I("W(S)", "Type", &TSettings::WsType, 0, 1),
      B("Fuzzy Window", "Grid", &TSettings::FuzzyGrid),
      I("Optimization", "Critery", &TSettings::OptCritery, 0, 2),
      I("Optimization", "Method", &TSettings::OptMethod, 0, 2),
      I("Optimization", "ZondIterCount", &TSettings::ZondIterCount, 1, 100),
      I("Optimization", "ZondCount", &TSettings::ZondCount, 3, 1000),
      I("Optimization", "SpeedDown", &TSettings::SpeedDown, 4, 10000),
      I("Optimization", "SpeedDownIters", &TSettings::SpeedDownIters, 3, 10000),
      I("Optimization", "SpeedDownSingleIters", &TSettings::SpeedDownSingleIters, 2, 1000),
      R("Optimization", "SpeedDownEps", &TSettings::SpeedDownEps, 1e-10),
      R("Optimization", "GradDownVolum", &TSettings::GradDownVolum, 1e-5, 95),
      I("Optimization", "GradDownIters", &TSettings::GradDownIters, 10, 100000),
      R("Optimization", "GradDownEps", &TSettings::GradDownEps, 1e-10),
      I("OptIntegralSqr1D", "WeightY", &TSettings::Sqr1DWeightY, 1, 100),
      I("OptIntegralSqr1D", "WeightDY", &TSettings::Sqr1DWeightDY, 1, 100),
      I("OptIntegralSqr2D", "WeightY", &TSettings::Sqr2DWeightY, 1, 100),
      I("OptIntegralSqr2D", "WeightDY", &TSettings::Sqr2DWeightDY, 1, 100),
      I("OptIntegralSqr2D", "WeightD2Y", &TSettings::Sqr2DWeightD2Y, 1, 100),
      R("OptNet", "MinWeight", &TSettings::NetMinWeight),
      R("OptNet", "MaxWeight", &TSettings::NetMaxWeight),
      B("Options", "BlackWhiteClipboard", &TSettings::BlackWhiteClipboard),
      B("Options", "WidthPlot", &TSettings::WidthPlot),
      B("Options", "Flat Buttons", &TSettings::FlatButtons),
  };
  return table;
}

constexpr const char* kLastFiles = "Last Files";
constexpr const char* kOptions = "Options";
constexpr const char* kColorPrinter = "Color Printer";

std::string RecentKey(size_t i) { return "File" + std::to_string(i + 1); }

// A real as the settings file holds it; false for a text that is no number
// or a number the file's text form cannot hold.
bool ReadReal(const TIniFile& ini, const TSettingEntry& e, double& out) {
  double v = 0;
  if (!ParseNumber(ini.ReadString(e.Section, e.Key, ""), v) || FormatNumber(v).empty()) {
    ShowMessage(kBadNumberFormat);
    return false;
  }
  out = v;
  return true;
}

char LowerAscii(char ch) {
  return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

}  // namespace

std::string SettingsFileName() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/Vemo.ini";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config/Vemo.ini";
  return "Vemo.ini";
}

void ReadSettings(const TIniFile& ini, TSettings& s, std::string* exeDir) {
  if (exeDir) *exeDir = ini.ReadString("Paths", "EXE", "");
  for (size_t i = 0; i < s.RecentFiles.size(); ++i)
    s.RecentFiles[i] = ini.ReadString(kLastFiles, RecentKey(i), "");
  for (const TSettingEntry& e : Entries()) {
    if (!ini.Has(e.Section, e.Key)) continue;
    if (e.Real) {
      double v = 0;
      if (ReadReal(ini, e, v) && v >= e.Min && v <= e.Max) s.*e.Real = v;
    } else if (e.Integer) {
      const int v = ini.ReadInteger(e.Section, e.Key, s.*e.Integer);
      if (v >= e.Min && v <= e.Max) s.*e.Integer = v;
    } else {
      s.*e.Flag = ini.ReadBool(e.Section, e.Key, s.*e.Flag);
    }
  }
  s.BlackWhitePrint = !ini.ReadBool(kOptions, kColorPrinter, !s.BlackWhitePrint);
}

std::vector<std::string> ReadPluginDirs(const TIniFile& ini) {
  std::vector<std::string> dirs;
  for (int i = 1; ini.Has("Plugins", "Dir" + std::to_string(i)); ++i) {
    std::string dir = ini.ReadString("Plugins", "Dir" + std::to_string(i), "");
    if (!dir.empty()) dirs.push_back(std::move(dir));
  }
  return dirs;
}

void WriteSettings(TIniFile& ini, const TSettings& s) {
  for (size_t i = 0; i < s.RecentFiles.size(); ++i)
    ini.WriteString(kLastFiles, RecentKey(i), s.RecentFiles[i]);
  for (const TSettingEntry& e : Entries()) {
    if (e.Real) {
      const std::string text = FormatNumber(s.*e.Real);
      if (!text.empty()) ini.WriteString(e.Section, e.Key, text);
    } else if (e.Integer) {
      ini.WriteInteger(e.Section, e.Key, s.*e.Integer);
    } else {
      ini.WriteBool(e.Section, e.Key, s.*e.Flag);
    }
  }
  ini.WriteBool(kOptions, kColorPrinter, !s.BlackWhitePrint);
}

bool AddRecentFile(std::array<std::string, 4>& list, const std::string& name) {
  if (name.empty()) return false;
  for (const std::string& entry : list)
    if (entry == name) return false;
  for (std::string& entry : list) {
    if (entry.empty()) {
      entry = name;
      return true;
    }
  }
  for (size_t i = list.size() - 1; i > 0; --i) list[i] = std::move(list[i - 1]);
  list[0] = name;
  return true;
}

std::string RecentFileCaption(int n, const std::string& entry) {
  std::string caption = "&" + std::to_string(n + 1) + ". ";
  const size_t length = Utf8Length(entry);
  if (length < 28) return caption + entry;
  // The last 25 characters, cut at a character boundary.
  const std::string head = Utf8Left(entry, length - 25);
  return caption + "..." + entry.substr(head.size());
}

std::string RelativeName(const std::string& name, const std::string& programDir) {
  if (programDir.empty()) return name;
  std::string dir = programDir;
  if (dir.back() != '/') dir += '/';
  if (name.size() <= dir.size()) return name;
  for (size_t i = 0; i < dir.size(); ++i)
    if (LowerAscii(name[i]) != LowerAscii(dir[i])) return name;
  const std::string rest = name.substr(dir.size());
  return rest.find('/') == std::string::npos ? rest : name;
}

}  // namespace vemo
