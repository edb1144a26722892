// The Bode plots: the logarithmic amplitude L(w) in dB and the phase phi(w)
// against lg w, each on its own frame with the decade grid, the frequency
// axis at value 0 and the value axis on the left; drawn on any QPainter
// (window, clipboard bitmap, printer, PNG). The response is evaluated once
// per pixel column at every drawing.
#pragma once
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <vector>

#include "frequency/zero_pole.h"

namespace vemo {

// Plain data of one plot.
struct TBodePicture {
  const TZeroPoleForm* Form = nullptr;
  Real Delay = 0.0L;
  bool Phase = false;              // the phase plot (values in radians, labelled in degrees)
  double LgwMin = -3.0, LgwMax = 3.0;
  double Top = 60.0, Bottom = -60.0;  // the visible window of the values
  bool Bold = false;
  bool Monochrome = false;
};

// The plot rectangle of a picture and its mapping: 16 pixels are kept free
// above the top value and below the bottom value.
struct TBodeFrame {
  QRect Plot;
  double LgwMin = -3.0, LgwMax = 3.0, Top = 1.0, Bottom = 0.0;
  int X(double lgw) const;
  int Y(double v) const;  // values far outside the window stay on a drawable band
  double LgwAt(double px) const;
  double ValueAt(double py) const;
};

TBodeFrame BodeFrame(const QRect& area, const TBodePicture& pic);

// The response in every pixel column of a frame: L in dB and phi in
// radians, NaN where it cannot be evaluated. Both plots of one window have
// the same columns, so one evaluation serves both.
struct TBodeSamples {
  const TZeroPoleForm* Form = nullptr;
  Real Delay = 0.0L;
  double LgwMin = 0.0, LgwMax = 0.0;
  int Left = 0, Right = -1;
  std::vector<double> L, Phi;
  // Whether these are the samples of the picture in that frame.
  bool Fit(const TBodePicture& pic, const TBodeFrame& f) const;
};
TBodeSamples BodeSamples(const TBodePicture& pic, const TBodeFrame& f);

// Draws one plot. samples, when given, are used if they fit and replaced
// by the plot's own otherwise.
void DrawBodePlot(QPainter& p, const QRect& area, const TBodePicture& pic,
                  TBodeSamples* samples = nullptr);

// Both plots one above the other (L in the upper half), or the one given
// over the whole area.
void DrawBodePlots(QPainter& p, const QRect& area, const TBodePicture* l, const TBodePicture* phi);
QImage BodeImage(const TBodePicture* l, const TBodePicture* phi, QSize size);

// The titles of the value axes: "L [ ДБ ]" and "φ°".
QString BodeValueTitle(bool phase);
// The read-out name of a plot in the status bar: "ЛАЧХ[ДБ]" or "ФЧХ[°]".
QString BodeReadOutName(bool phase);

}  // namespace vemo
