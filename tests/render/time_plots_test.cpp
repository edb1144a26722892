// The transient and phase pictures over plain sample data: grid and axes,
// the per-column collapse of dense samples, staircase curves, per-point
// percent scales, black-and-white pictures and extreme values.
#include <QGuiApplication>
#include <QImage>
#include <QtTest>
#include <cmath>

#include "image_count.h"
#include "simulation/phase_plot.h"
#include "simulation/plot_axes.h"
#include "simulation/transient_plot.h"

using namespace vemo;

namespace {

using test::Count;

const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kGreen(0, 128, 0), kGrey(192, 192, 192);

TTransientPicture Picture(const TSampleStore& s, size_t curves, double dt, double t1) {
  TTransientPicture pic;
  pic.Samples = &s;
  pic.Dt = dt;
  pic.Curves.resize(curves);
  for (auto& c : pic.Curves) c.Color = 0x0000FF;  // red
  pic.TimeFrom = -0.05 * t1;
  pic.TimeTo = t1;
  TransientValueRange(-1, 1, false, pic.ValueFrom, pic.ValueTo);
  return pic;
}

}  // namespace

class TimePlotsTest : public QObject {
  Q_OBJECT
 private slots:
  void ValueRangeLeavesRoomAbove() {
    double a, b;
    TransientValueRange(0, 2, false, a, b);
    QCOMPARE(a, 0.0);
    QCOMPARE(b, 2.2);
    TransientValueRange(3, 9, true, a, b);
    QCOMPARE(a, -125.0);
    QCOMPARE(b, 125.0);
  }

  void FrameMapsTheRangesOntoThePlot() {
    const TPlotFrame f = LayoutFrame(QRect(0, 0, 400, 300), 0, 10, -1, 1, false);
    QVERIFY(f.Plot.left() > 10 && f.Plot.bottom() < 290 && f.Plot.right() < 400);
    QCOMPARE(f.Column(0), f.Plot.left());
    QCOMPARE(f.Column(10), f.Plot.right());
    QCOMPARE(f.Line(-1), f.Plot.bottom());
    QCOMPARE(f.Line(1), f.Plot.top());
    QVERIFY(std::fabs(f.ValueX(f.X(3.5)) - 3.5) < 1e-9);
    // Extreme values stay far outside, without overflow.
    QVERIFY(f.Line(1e20) < -1000 && f.Line(-1e20) > 1000);
    QVERIFY(f.Line(std::nan("")) < -1000);
    // Percent labels are wider.
    const TPlotFrame p = LayoutFrame(QRect(0, 0, 400, 300), 0, 10, -125, 125, true);
    QVERIFY(p.Plot.left() > f.Plot.left());
  }

  void GridAndAxes() {
    TSampleStore s;
    QImage img = TransientImage(Picture(s, 1, 0.01, 10), QSize(500, 300));
    const TPlotFrame f = TransientFrame(img.rect(), Picture(s, 1, 0.01, 10));
    // Grid lines at the multiples of NiceStep(10.5) = 2.
    const double step = NiceStep(f.X1 - f.X0);
    QCOMPARE(step, 2.0);
    const int x2 = f.Column(2.0);
    QCOMPARE(img.pixelColor(x2, (f.Plot.top() + f.Plot.bottom()) / 2 + 3), kGrey);
    // The time axis at 0 and the value axis at 0 are green, with heads.
    const int x0 = f.Column(0.0), y0 = f.Line(0.0);
    QCOMPARE(img.pixelColor(x0, f.Plot.bottom() - 5), kGreen);
    QCOMPARE(img.pixelColor(f.Plot.left() + 100, y0), kGreen);
    QVERIFY(Count(img, kGreen, QRect(x0 - 6, f.Plot.top(), 13, 6)) > 10);
    // Labels are black text below the plot.
    int ink = 0;
    for (int y = f.Plot.bottom() + 3; y < 300; ++y)
      for (int x = 0; x < 500; ++x) ink += img.pixelColor(x, y).red() < 128;
    QVERIFY(ink > 20);
    // Black and white pictures: no green.
    TTransientPicture mono = Picture(s, 1, 0.01, 10);
    mono.Monochrome = true;
    QCOMPARE(Count(TransientImage(mono, QSize(500, 300)), kGreen), 0);
  }

  void DenseSamplesCollapseIntoColumns() {
    // A million samples alternating between -0.5 and 0.5: every column is a
    // vertical line from one to the other, and nothing outside.
    TSampleStore s;
    for (int i = 0; i < 1000000; ++i) s.Append(i % 2 ? 0.5f : -0.5f);
    TTransientPicture pic = Picture(s, 1, 1e-5, 10);
    const QImage img = TransientImage(pic, QSize(600, 300));
    const TPlotFrame f = TransientFrame(img.rect(), pic);
    const int top = f.Line(0.5), bottom = f.Line(-0.5);
    for (int x = f.Column(0.5); x < f.Column(9.5); x += 37) {
      QCOMPARE(img.pixelColor(x, top), kRed);
      QCOMPARE(img.pixelColor(x, (top + bottom) / 2 + 7), kRed);
      QCOMPARE(img.pixelColor(x, bottom), kRed);
      QVERIFY(img.pixelColor(x, top - 3) != kRed);
      QVERIFY(img.pixelColor(x, bottom + 3) != kRed);
    }
    // Cancelling stops at a 201-sample point.
    int calls = 0;
    pic.Progress = [&] { return ++calls < 3; };
    TransientImage(pic, QSize(600, 300));
    QCOMPARE(calls, 3);
  }

  void SteppedSignalsDrawStairs() {
    // 0 for t < 5, 1 after, sampled each 1 s: straight curves slope between
    // the samples, stepped ones jump at the old column.
    TSampleStore s;
    for (int i = 0; i <= 10; ++i) s.Append(i < 5 ? 0.0f : 1.0f);
    TTransientPicture pic = Picture(s, 1, 1.0, 10);
    TransientValueRange(0, 1, false, pic.ValueFrom, pic.ValueTo);
    const TPlotFrame f = TransientFrame(QRect(0, 0, 600, 300), pic);
    const int x4 = f.Column(4), x5 = f.Column(5), mid = (f.Line(0) + f.Line(1)) / 2;
    const int xm = (x4 + x5) / 2;
    QImage straight = TransientImage(pic, QSize(600, 300));
    QVERIFY(straight.pixelColor(x4, mid) != kRed);
    QCOMPARE(Count(straight, kRed, QRect(xm - 2, mid - 12, 5, 25)) > 0, true);
    pic.Curves[0].Stepped = true;
    QImage stairs = TransientImage(pic, QSize(600, 300));
    QCOMPARE(stairs.pixelColor(x4, mid), kRed);
    QCOMPARE(stairs.pixelColor(xm, f.Line(1)), kRed);
    QCOMPARE(Count(stairs, kRed, QRect(xm - 2, mid - 12, 5, 25)), 0);
  }

  void PerPointScalesInPercent() {
    // Two curves 50 and 0.5 (bounds 0..100 and 0..1): both at 50 %.
    TSampleStore s;
    for (int i = 0; i < 100; ++i) {
      s.Append(50.0f);
      s.Append(0.5f);
    }
    TTransientPicture pic = Picture(s, 2, 0.1, 10);
    pic.Percent = true;
    TransientValueRange(0, 0, true, pic.ValueFrom, pic.ValueTo);
    pic.Curves[0].Factor = 100.0 / 100.0;
    pic.Curves[1].Factor = 100.0 / 1.0;
    pic.Curves[1].Color = 0xFF0000;  // blue, drawn last
    const QImage img = TransientImage(pic, QSize(600, 300));
    const TPlotFrame f = TransientFrame(img.rect(), pic);
    QCOMPARE(img.pixelColor(f.Column(5), f.Line(50)), kBlue);
    QCOMPARE(Count(img, kRed), 0);  // hidden under the blue one
    pic.Curves[1].Shown = false;
    QCOMPARE(TransientImage(pic, QSize(600, 300)).pixelColor(f.Column(5), f.Line(50)), kRed);
  }

  void BoldCurvesAreThick() {
    TSampleStore s;
    for (int i = 0; i < 100; ++i) s.Append(0.25f);
    TTransientPicture pic = Picture(s, 1, 0.1, 10);
    const int thin = Count(TransientImage(pic, QSize(600, 300)), kRed);
    pic.Bold = true;
    const int bold = Count(TransientImage(pic, QSize(600, 300)), kRed);
    QVERIFY(bold >= 3 * thin);
  }

  void ExtremeAndEmptyData() {
    TSampleStore s;
    TTransientPicture pic = Picture(s, 3, 0.01, 1);
    QVERIFY(!TransientImage(pic, QSize(100, 80)).isNull());  // no samples
    s.Append(1e20f);
    s.Append(-1e20f);
    s.Append(0.0f);
    s.Append(-1e20f);
    s.Append(1e20f);
    s.Append(0.0f);
    QVERIFY(!TransientImage(pic, QSize(100, 80)).isNull());
    pic.TimeFrom = pic.TimeTo = 5;  // an empty time range draws nothing
    QVERIFY(!TransientImage(pic, QSize(16, 16)).isNull());
  }

  void PhasePortraitOfACircle() {
    TSampleStore s;
    for (int i = 0; i < 200000; ++i) {
      const double t = i * 1e-4;
      s.Append(static_cast<float>(std::cos(t)));
      s.Append(static_cast<float>(std::sin(t)));
    }
    TPhasePicture pic;
    pic.Samples = &s;
    PhaseRanges(-1, 1, -1, 1, pic);
    QCOMPARE(pic.XFrom, -1.1);
    QCOMPARE(pic.YTo, 1.2);
    const QImage img = PhaseImage(pic, QSize(400, 400));
    const TPlotFrame f = PhaseFrame(img.rect(), pic);
    QCOMPARE(img.pixelColor(f.Column(1), f.Line(0)), kBlue);
    QCOMPARE(img.pixelColor(f.Column(0), f.Line(1)), kBlue);
    QCOMPARE(img.pixelColor(f.Column(-1), f.Line(0)), kBlue);
    QVERIFY(img.pixelColor(f.Column(0.5), f.Line(0.5)) != kBlue);
    // Both axes through the middle.
    QCOMPARE(img.pixelColor(f.Column(0), f.Line(0.5)), kGreen);
    // A degenerate range is widened instead of dividing by zero.
    PhaseRanges(3, 3, 0, 0, pic);
    QVERIFY(pic.XTo > pic.XFrom && pic.YTo > pic.YFrom);
    QVERIFY(!PhaseImage(pic, QSize(50, 50)).isNull());
  }
};

QTEST_MAIN(TimePlotsTest)
#include "time_plots_test.moc"
