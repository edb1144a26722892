// The frequency-domain pictures: the Bode plots on the mapping of their
// frame (checked against the rule of 16 free pixels recomputed here), their
// colours, bold and black-and-white pens, curves that cannot be evaluated;
// the complex plane with its curves, the point -1 and the Popov line; the
// typeset W(s).
#include <QGuiApplication>
#include <QImage>
#include <QtTest>
#include <cmath>

#include "frequency/bode_plot.h"
#include "frequency/plane_plot.h"
#include "frequency/transfer_picture.h"
#include "image_count.h"

using namespace vemo;

namespace {

using test::Count;

const QColor kBlue(0, 0, 255), kRed(255, 0, 0), kBlack(0, 0, 0), kGreen(0, 128, 0),
    kPurple(128, 0, 128);
const QSize kSize(600, 300);
constexpr double kPi = 3.14159265358979323846;

// K / s^n (n poles at the origin).
TZeroPoleForm Integrators(int n, Real k = 1) {
  TZeroPoleForm f;
  f.K = k;
  f.LastPole = n - 1;
  f.PoleRe.assign(n, 0);
  f.PoleIm.assign(n, 0);
  return f;
}

TBodePicture Bode(const TZeroPoleForm& form, bool phase, double top, double bottom) {
  TBodePicture pic;
  pic.Form = &form;
  pic.Phase = phase;
  pic.LgwMin = -3;
  pic.LgwMax = 3;
  pic.Top = top;
  pic.Bottom = bottom;
  return pic;
}

// The row of a value by the rule of the plots, computed here on its own.
int RowOf(double v, const TBodeFrame& f) {
  const double h = f.Plot.bottom() - f.Plot.top() - 32;
  return static_cast<int>(std::lround((f.Top - v) * h / (f.Top - f.Bottom))) + f.Plot.top() + 16;
}

// Pixels of colour c within one pixel of p.
int Near(const QImage& img, QPoint p, QColor c) {
  return Count(img, c, QRect(p - QPoint(1, 1), QSize(3, 3)).intersected(img.rect()));
}

}  // namespace

class FrequencyPlotsTest : public QObject {
  Q_OBJECT

 private slots:
  // 1/s: L falls 20 dB a decade through 0 dB at w = 1, drawn in blue on the
  // rows the mapping rule gives; the frequency axis is the green row at 0.
  void AmplitudeOfAnIntegrator() {
    const TZeroPoleForm form = Integrators(1);
    const TBodePicture pic = Bode(form, false, 60, -60);
    const QImage img = BodeImage(&pic, nullptr, kSize);
    const TBodeFrame f = BodeFrame(img.rect(), pic);
    QCOMPARE(f.Y(60), f.Plot.top() + 16);
    QCOMPARE(f.Y(-60), f.Plot.bottom() - 16);
    for (double lgw : {-2.5, -1.0, 0.5, 2.0}) {
      const QPoint p(f.X(lgw), RowOf(-20 * lgw, f));
      QVERIFY2(Near(img, p, kBlue) > 0, qPrintable(QString::number(lgw)));
    }
    // The read-out inverts the mapping to within a pixel.
    QVERIFY(std::fabs(f.ValueAt(RowOf(20, f)) - 20) < 120.0 / (f.Plot.height() - 32));
    QVERIFY(std::fabs(f.LgwAt(f.X(1.0)) - 1.0) < 6.0 / f.Plot.width());
    // The frequency axis: a green row at 0 dB across the plot.
    const int axis = f.Y(0);
    QVERIFY(Count(img, kGreen, QRect(f.Plot.left() + 40, axis, f.Plot.width() - 80, 1)) >
            f.Plot.width() / 2);
    QCOMPARE(Count(img, kRed), 0);
  }

  // The phase of 1/s^2 is -180 degrees everywhere: one red row; black in a
  // black-and-white picture; bold makes it as thick as the height of "1".
  void PhaseRowsPensAndMonochrome() {
    const TZeroPoleForm form = Integrators(2);
    TBodePicture pic = Bode(form, true, -kPi / 2, -3 * kPi / 2);
    QImage img = BodeImage(nullptr, &pic, kSize);
    TBodeFrame f = BodeFrame(img.rect(), pic);
    const int row = RowOf(-kPi, f);
    const QRect inner(f.Plot.left() + 10, row, f.Plot.width() - 20, 1);
    QCOMPARE(Count(img, kRed, inner), inner.width());
    QCOMPARE(Count(img, kRed, QRect(f.Plot.left(), f.Plot.top(), f.Plot.width(), row - 3 - f.Plot.top())), 0);
    // No 0 in the window: no frequency axis.
    QCOMPARE(Count(img, kGreen, QRect(f.Plot.left() + 20, f.Plot.top(), f.Plot.width() - 40, f.Plot.height())), 0);

    pic.Monochrome = true;
    img = BodeImage(nullptr, &pic, kSize);
    QCOMPARE(Count(img, kRed), 0);
    QCOMPARE(Count(img, kBlack, inner), inner.width());

    pic.Monochrome = false;
    pic.Bold = true;
    img = BodeImage(nullptr, &pic, kSize);
    const int column = f.X(0.0);
    QVERIFY(Count(img, kRed, QRect(column, f.Plot.top(), 1, f.Plot.height())) >=
            OneHeight(PlotFont()));
  }

  // Both plots share the area, L above phi; a response that cannot be
  // evaluated anywhere (gain 0 has no logarithm) draws no curve, and a pole
  // on the frequency axis (1/(s^2 + 1) at w = 1) stays on the picture.
  void TwoPlotsAndCurvesThatCannotBeDrawn() {
    const TZeroPoleForm form = Integrators(1);
    const TBodePicture l = Bode(form, false, 60, -60), phi = Bode(form, true, 0, -kPi);
    const QImage both = BodeImage(&l, &phi, QSize(600, 600));
    QVERIFY(Count(both, kBlue, QRect(0, 0, 600, 300)) > 300);
    QCOMPARE(Count(both, kBlue, QRect(0, 300, 600, 300)), 0);
    QVERIFY(Count(both, kRed, QRect(0, 300, 600, 300)) > 300);

    TZeroPoleForm zero = Integrators(1, 0);
    const TBodePicture none = Bode(zero, false, 60, -60);
    QCOMPARE(Count(BodeImage(&none, nullptr, kSize), kBlue), 0);

    TZeroPoleForm resonance;
    resonance.LastPole = 1;
    resonance.PoleRe = {0, 0};
    resonance.PoleIm = {1, -1};
    const TBodePicture peak = Bode(resonance, false, 60, -60);
    const QImage img = BodeImage(&peak, nullptr, kSize);
    const TBodeFrame f = BodeFrame(img.rect(), peak);
    QVERIFY(Near(img, QPoint(f.X(-2), RowOf(0, f)), kBlue) > 0);
    QVERIFY(Near(img, QPoint(f.X(2), RowOf(-80, f)), kBlue) > 0);
  }

  // The plane: the hodograph in blue and the describing-function curve in
  // red through their mapped points, the point -1 marked, and the Popov
  // line through -1/K at its angle (vertical here).
  void PlaneCurvesAndThePopovLine() {
    TPointList h, d;
    for (int i = 0; i <= 100; ++i) {
      const double t = i / 100.0;
      h.Append(static_cast<float>(-1.5 + 2 * t), static_cast<float>(-1 + t), 1.0f);
      d.Append(static_cast<float>(-0.5 - t), 0.5f, static_cast<float>(t));
    }
    TPlanePicture pic;
    pic.Hodograph = &h;
    pic.Describing = &d;
    pic.Rect = {-2, -2, 1, 2};
    pic.HasPopovPoint = pic.HasPopovLine = true;
    pic.PopovPoint = -0.25;
    pic.PopovAngle = kPi / 2;
    const QImage img = PlaneImage(pic, QSize(500, 400));
    const TPlotFrame f = PlaneFrame(img.rect(), pic);
    QVERIFY(Near(img, QPoint(f.Column(-0.5), f.Line(-0.5)), kBlue) > 0);
    QVERIFY(Near(img, QPoint(f.Column(-1.0), f.Line(0.5)), kRed) > 0);
    QCOMPARE(Count(img, kBlue, QRect(f.Column(0.6), f.Line(1.8), 10, 10)), 0);
    const int x = f.Column(-0.25);
    QVERIFY(Count(img, kPurple, QRect(x - 1, f.Plot.top() + 20, 3, 40)) >= 30);
    QVERIFY(Count(img, kBlack, QRect(f.Column(-1) - 4, f.Line(0) - 4, 9, 9)) > 0);

    // A table curve joins the points of each rank and marks a lone one.
    std::vector<uint8_t> ranks(101, 1);
    ranks[100] = 100;
    pic.Ranks = &ranks;
    pic.HasPopovPoint = false;
    const QImage table = PlaneImage(pic, QSize(500, 400));
    QVERIFY(Count(table, kRed) > 0);
  }

  // The typeset W(s): the size rule, the fraction bar and raised powers.
  void TypesetTransferFunction() {
    const QString text = QStringLiteral("WAB(s)=(2*s+1)/(s^2+0.5*s+1)");
    const QImage img = TransferPicture(text);
    const QSize size = TransferPictureSize(text);
    QCOMPARE(img.size(), size);
    QVERIFY(size.height() >= 45);
    // The bar: a black run across the fraction in the middle row.
    const int bar = size.height() / 2;
    QVERIFY(Count(img, kBlack, QRect(0, bar, size.width(), 1)) > size.width() / 3);
    // A text without a fraction is one line, still 8 pixels wider than it.
    const QImage plain = TransferPicture(QStringLiteral("WAB(s)=2"));
    QCOMPARE(Count(plain, kBlack, QRect(0, plain.height() / 2, plain.width(), 1)) < plain.width() / 3, true);
    QCOMPARE(Count(plain, Qt::white, QRect(plain.width() - 8, 0, 8, plain.height())), 8 * plain.height());
  }
};

QTEST_MAIN(FrequencyPlotsTest)
#include "frequency_plots_test.moc"
