// Fuzz target for the settings file. Any text parses; what the reader keeps
// writes out and reads back to the same text; the settings read from it are
// within their limits and survive a write and a read unchanged. Now and then
// the text also goes through a real file.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "shell/ini_file.h"
#include "shell/program.h"
#include "shell/settings.h"

using namespace vemo;

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool SameSettings(const TSettings& a, const TSettings& b) {
  // Reals go through the file's text form, which keeps about 12 digits.
  auto near = [](double x, double y) {
    // (8 decimals in the fixed form, 6 digits in the exponent form).
    return std::fabs(x - y) <= 1e-5 * std::fmax(std::fabs(x), std::fabs(y)) + 1e-8;
  };
  return a.RecentFiles == b.RecentFiles && near(a.HtMin, b.HtMin) && near(a.HtMax, b.HtMax) &&
         near(a.GodoImMax, b.GodoImMax) && near(a.LgwMin, b.LgwMin) &&
         near(a.SpeedDownEps, b.SpeedDownEps) && near(a.NetMaxWeight, b.NetMaxWeight) &&
         a.GodoAutoscaleType == b.GodoAutoscaleType && a.ZondCount == b.ZondCount &&
         a.GradDownIters == b.GradDownIters && a.Sqr2DWeightD2Y == b.Sqr2DWeightD2Y &&
         a.BlackWhitePrint == b.BlackWhitePrint && a.FlatButtons == b.FlatButtons &&
         a.HtAutoScale == b.HtAutoScale && a.GodoWne == b.GodoWne;
}

const std::filesystem::path& TempFile() {
  static const std::filesystem::path p = std::filesystem::temp_directory_path() /
                                         ("vemo_fuzz_ini_" + std::to_string(::getpid()) + ".ini");
  return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetProgramState();
  const std::string text(reinterpret_cast<const char*>(data), size);
  TIniFile ini;
  ini.Parse(text);
  const std::string once = ini.Text();
  TIniFile again;
  again.Parse(once);
  Check(again.Text() == once);

  TSettings s;
  std::string exeDir;
  ReadSettings(ini, s, &exeDir);
  Check(s.GodoAutoscaleType >= 0 && s.GodoAutoscaleType <= 3);
  Check(s.ZondCount >= 3 && s.ZondCount <= 1000);
  Check(s.SpeedDownEps >= 1e-10 && std::isfinite(s.HtMax));

  WriteSettings(ini, s);
  TIniFile written;
  written.Parse(ini.Text());
  TSettings back;
  ReadSettings(written, back);
  Check(SameSettings(s, back));
  Check(written.ReadString("Paths", "EXE", "") == exeDir);

  if (size > 0 && data[0] % 16 == 0) {
    Check(written.Save(TempFile().string()));
    TIniFile loaded;
    loaded.Load(TempFile().string());
    Check(loaded.Text() == written.Text());
    std::error_code ec;
    std::filesystem::remove(TempFile(), ec);
  }
  return 0;
}
