// The drawing half of vemo-cli --plot: the pictures of the result windows
// drawn through the render library on Qt's offscreen platform and written
// as PNG. Loaded by the program on demand (plot_output.h); the program's
// own core (settings, runs, blocks) is the one these functions see.
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "../plot_output.h"
#include "fuzzy/membership_plot.h"
#include "simulation/phase.h"
#include "simulation/phase_plot.h"
#include "simulation/transient.h"
#include "simulation/transient_plot.h"

namespace vemo::cli {

namespace {

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

bool WriteTransient(const TTransientRun& run, const std::string& path, int width, int height) {
  TGuiScope gui;
  return SavePng(TransientImage(TransientPicture(run, nullptr), QSize(width, height)), path);
}

bool WritePhase(const TPhaseRun& run, const std::string& path, int width, int height) {
  TGuiScope gui;
  const TPhasePicture pic = PhasePicture(run, 0, 0, 0, 0, TPhasePicture().Color, nullptr);
  return SavePng(PhaseImage(pic, QSize(width, height)), path);
}

bool WriteMembership(const TFuzzyModel& m, size_t var, const std::string& path, int width,
                     int height) {
  TGuiScope gui;
  TMembershipPicture pic;
  pic.Model = &m;
  pic.Var = var;
  MembershipRange(m, var, pic.XFrom, pic.XTo);
  return SavePng(MembershipImage(pic, QSize(width, height)), path);
}

TPlotOutputs MakeTable() {
  TPlotOutputs t;
  t.WriteTransient = WriteTransient;
  t.WritePhase = WritePhase;
  t.WriteMembership = WriteMembership;
  return t;
}

}  // namespace

}  // namespace vemo::cli

extern "C" __attribute__((visibility("default"))) const vemo::cli::TPlotOutputs*
VemoCliPlotOutputs() {
  static const vemo::cli::TPlotOutputs table = vemo::cli::MakeTable();
  return &table;
}
