#include "plot_output.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#ifdef VEMO_CLI_PLOT
#include <QGuiApplication>
#include <QImage>
#include <memory>

#include "fuzzy/membership_plot.h"
#include "simulation/phase.h"
#include "simulation/phase_plot.h"
#include "simulation/transient.h"
#include "simulation/transient_plot.h"
#endif

namespace vemo::cli {

namespace {

bool ParseDimension(const std::string& s, int& out) {
  int v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || v < 16 || v > 8192) return false;
  out = v;
  return true;
}

#ifdef VEMO_CLI_PLOT
// Painting text needs a QGuiApplication; without a display it runs on the
// offscreen platform.
class TGuiScope {
 public:
  TGuiScope() {
    if (QGuiApplication::instance()) return;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Qt's notes about its environment (no runtime directory, say) are not
    // the batch program's output; its errors still are.
    qInstallMessageHandler(QuietHandler);
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }

 private:
  static void QuietHandler(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
  }
  static inline int argc_ = 1;
  static inline char name_[] = "vemo-cli";
  static inline char* argv_[] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

bool SavePng(const QImage& img, const std::string& path) {
  // Written beside the target and renamed over it when complete.
  const std::string temp = path + ".part";
  if (img.isNull() || !img.save(QString::fromStdString(temp), "PNG") ||
      std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    std::cerr << "vemo-cli: " << path << ": Ошибка в записи файла!\n";
    return false;
  }
  return true;
}
#endif

}  // namespace

bool PlotOptions(const TArgs& a, int& width, int& height) {
  if (a.Has("--plot") && !PlotsAvailable()) {
    UsageError("--plot: built without Qt");
    return false;
  }
  width = kDefaultPlotWidth;
  height = kDefaultPlotHeight;
  if (!a.Has("--size")) return true;
  const std::string s = a.Options.at("--size");
  const size_t x = s.find_first_of("xX");
  if (x == std::string::npos || !ParseDimension(s.substr(0, x), width) ||
      !ParseDimension(s.substr(x + 1), height)) {
    UsageError("--size: WIDTHxHEIGHT, each 16..8192 (" + s + ")");
    return false;
  }
  return true;
}

#ifdef VEMO_CLI_PLOT
bool PlotsAvailable() { return true; }

bool WriteTransientPlot(const TTransientRun& run, const std::string& path, int width,
                        int height) {
  TGuiScope gui;
  return SavePng(TransientImage(TransientPicture(run, nullptr), QSize(width, height)), path);
}

bool WritePhasePlot(const TPhaseRun& run, const std::string& path, int width, int height) {
  TGuiScope gui;
  const TPhasePicture pic = PhasePicture(run, 0, 0, 0, 0, TPhasePicture().Color, nullptr);
  return SavePng(PhaseImage(pic, QSize(width, height)), path);
}

bool WriteMembershipPlot(const TFuzzyModel& m, size_t var, const std::string& path, int width,
                         int height) {
  TGuiScope gui;
  TMembershipPicture pic;
  pic.Model = &m;
  pic.Var = var;
  MembershipRange(m, var, pic.XFrom, pic.XTo);
  return SavePng(MembershipImage(pic, QSize(width, height)), path);
}
#else
bool PlotsAvailable() { return false; }
bool WriteTransientPlot(const TTransientRun&, const std::string&, int, int) { return false; }
bool WritePhasePlot(const TPhaseRun&, const std::string&, int, int) { return false; }
bool WriteMembershipPlot(const TFuzzyModel&, size_t, const std::string&, int, int) { return false; }
#endif

}  // namespace vemo::cli
