// The drawing half of vemo-cli --plot and print: the pictures of the result
// windows drawn through the render library on Qt's offscreen platform and
// written as PNG, and the scheme printed to PDF. Loaded by the program on demand (plot_output.h); the program's
// own core (settings, runs, blocks) is the one these functions see.
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "../plot_output.h"
#include "model/scheme_render.h"
#include "print/print_page.h"
#include "frequency/bode.h"
#include "frequency/bode_plot.h"
#include "frequency/describing.h"
#include "frequency/plane_plot.h"
#include "frequency/popov.h"
#include "shell/program.h"
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

bool WriteSchemePdf(const TField& field, const TSchemePrint& job, const std::string& path) {
  TGuiScope gui;
  TSchemeView view;
  view.VisibleCols = kPrintViewCols;
  view.VisibleRows = kPrintViewRows;
  TPageJob page;
  page.Callback = [&](QPainter* canvas, int mode, const QRect& rect) {
    return RenderScheme(canvas, field, view, mode, rect, job.Monochrome);
  };
  page.Mode = job.Mode;
  const QSize picture = page.Callback(nullptr, job.Mode + kMeasureModes, QRect()).size();
  const TMiniRect placement =
      ProportionalPlacement(FullPagePlacement(job.Landscape), picture, job.Landscape);
  if (PrintToPdfFile(QString::fromStdString(path), QString::fromStdString(job.Title),
                     DefaultPdfLayout(), placement, job.Landscape, page))
    return true;
  std::cerr << "vemo-cli: " << path << ": Ошибка в записи файла!\n";
  return false;
}

bool WriteBode(const TZeroPoleForm& form, Real delay, double lgwMin, double lgwMax,
               const std::string& path, int width, int height) {
  TBodeRanges ranges;
  if (!BodeAutoscale(form, delay, lgwMin, lgwMax, ranges)) {
    SetError(18);
    PrintSchemeError();
    return false;
  }
  TGuiScope gui;
  TBodePicture l;
  l.Form = &form;
  l.Delay = delay;
  l.LgwMin = lgwMin;
  l.LgwMax = lgwMax;
  l.Top = ranges.LMax;
  l.Bottom = ranges.LMin;
  TBodePicture phi = l;
  phi.Phase = true;
  phi.Top = ranges.PhiMax;
  phi.Bottom = ranges.PhiMin;
  return SavePng(BodeImage(&l, &phi, QSize(width, height)), path);
}

bool WritePlane(const TPointList& hodograph, const TDescribingCurve* curve,
                const TPopovVerdict* popov, const TPlaneRect* manual, const std::string& path,
                int width, int height) {
  TGuiScope gui;
  TPlanePicture pic;
  pic.Hodograph = &hodograph;
  if (curve) {
    pic.Describing = &curve->Points;
    if (curve->PulseFrequencyTable) pic.Ranks = &curve->Ranks;
  }
  double popovK = 0.0;
  if (popov && popov->Sector.Fits) {
    popovK = popov->Sector.K;
    pic.HasPopovPoint = true;
    pic.PopovPoint = -1.0 / popovK;
    pic.HasPopovLine = popov->Line.Found;
    pic.PopovAngle = popov->Line.Angle;
    pic.PopovLabel = QString::fromStdString(PopovPlotLabel(popovK));
  }
  pic.Rect = HodographAutoscale(manual ? kAutoscaleManual : kAutoscaleBoth, &hodograph,
                                curve ? &curve->Points : nullptr,
                                curve && curve->PulseFrequencyTable,
                                manual ? *manual : TPlaneRect(), popovK);
  return SavePng(PlaneImage(pic, QSize(width, height)), path);
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
  t.WriteSchemePdf = WriteSchemePdf;
  t.WriteBode = WriteBode;
  t.WritePlane = WritePlane;
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
