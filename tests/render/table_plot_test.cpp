// The picture of a drawn characteristic: the line and its point markers,
// the grid switch, black-and-white pictures, and tables or ranges that
// cannot be drawn as given (not a number, beyond any pixel, empty ranges).
#include <QGuiApplication>
#include <QImage>
#include <QtTest>
#include <cmath>
#include <limits>

#include "image_count.h"
#include "simulation/table_plot.h"

using namespace vemo;

namespace {

using test::Count;

const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kGrey(192, 192, 192);
const QSize kSize(300, 200);

PointTable Points(std::initializer_list<TablePoint> pts) {
  PointTable t;
  t.Points.assign(pts.begin(), pts.end());
  return t;
}

TTablePicture Picture(const PointTable& t, double x0 = -2, double x1 = 2, double y0 = -2,
                      double y1 = 2) {
  TTablePicture pic;
  pic.Table = &t;
  pic.XFrom = x0;
  pic.XTo = x1;
  pic.YFrom = y0;
  pic.YTo = y1;
  return pic;
}

}  // namespace

class TablePlotTest : public QObject {
  Q_OBJECT

 private slots:
  void LineAndMarkersAtThePoints() {
    const PointTable t = Points({{-1, -1}, {1, 1}});
    const TTablePicture pic = Picture(t);
    const QImage img = TableImage(pic, kSize);
    const TPlotFrame f = TableFrame(img.rect(), pic);
    // A marker square on each point, the blue line between them.
    for (const TablePoint& p : t.Points) {
      const QPoint c(f.Column(p.x), f.Line(p.y));
      QCOMPARE(Count(img, kRed, QRect(c - QPoint(kTableMarker, kTableMarker),
                                      QSize(2 * kTableMarker + 1, 2 * kTableMarker + 1))),
               (2 * kTableMarker + 1) * (2 * kTableMarker + 1));
    }
    const QPoint mid(f.Column(0.5), f.Line(0.5));
    QVERIFY(Count(img, kBlue, QRect(mid - QPoint(1, 1), QSize(3, 3))) > 0);
    // Nothing blue far from the line.
    QCOMPARE(Count(img, kBlue, QRect(QPoint(f.Column(-1.8), f.Line(1.8)), QSize(10, 10))), 0);
  }

  void GridSwitchAndMonochrome() {
    const PointTable t = Points({{-1, 0}, {1, 1}});
    TTablePicture pic = Picture(t);
    const int grid = Count(TableImage(pic, kSize), kGrey);
    pic.Grid = false;
    const QImage bare = TableImage(pic, kSize);
    QVERIFY(Count(bare, kGrey) < grid / 2);
    QVERIFY(Count(bare, kBlue) > 0);
    pic.Monochrome = true;
    const QImage mono = TableImage(pic, kSize);
    QCOMPARE(Count(mono, kBlue), 0);
    QCOMPARE(Count(mono, kRed), 0);
  }

  void UndrawableInputDoesNotBreakThePicture() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // A point that is not a number splits the line; huge points are drawn
    // towards the edge of the plot.
    const PointTable t = Points({{-1, -1}, {nan, 0}, {0, 0}, {1e300, -1e300}, {1, inf}, {1, 1}});
    QVERIFY(Count(TableImage(Picture(t), kSize), kBlue) > 0);
    // Ranges: not a number, empty, inverted, beyond every double's extent.
    const double ranges[][4] = {{nan, nan, nan, nan}, {1, 1, 2, 2}, {2, -2, 2, -2},
                                {-1e308, 1e308, -1e308, 1e308}, {1e300, 1e300, 0, 1e-300}};
    for (const auto& r : ranges) {
      const TTablePicture pic = Picture(t, r[0], r[1], r[2], r[3]);
      const QImage img = TableImage(pic, kSize);
      QVERIFY(Count(img, Qt::white) < img.width() * img.height());
      const TPlotFrame f = TableFrame(img.rect(), pic);
      QVERIFY(f.X1 > f.X0 && f.Y1 > f.Y0);
      QVERIFY(std::isfinite(f.X1 - f.X0) && std::isfinite(f.Y1 - f.Y0));
    }
    // No table at all and a tiny picture.
    TTablePicture none;
    QVERIFY(!TableImage(none, QSize(1, 1)).isNull());
  }

  void SafeRangeKeepsGoodRanges() {
    double lo = -0.5, hi = 3;
    SafeRange(lo, hi);
    QCOMPARE(lo, -0.5);
    QCOMPARE(hi, 3.0);
    lo = 5, hi = 5;
    SafeRange(lo, hi);
    QVERIFY(lo < 5 && hi > 5);
    lo = 3, hi = -1;
    SafeRange(lo, hi);
    QCOMPARE(lo, -1.0);
    QCOMPARE(hi, 3.0);
  }
};

QTEST_MAIN(TablePlotTest)
#include "table_plot_test.moc"
