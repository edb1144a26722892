// Pictures of schemes: the ranges the picture and print commands take,
// their pixel sizes at 41 pixels per cell, and the drawing of a range cell
// by cell onto any target rectangle.
#include <QGuiApplication>
#include <QImage>
#include <QtTest>

#include "canvas/qt_canvas.h"
#include "model/field.h"
#include "model/scheme_builder.h"
#include "model/scheme_render.h"

using namespace vemo;

namespace {

const QColor kSentinel(255, 0, 0);

// A constant at (2, 3) feeding a proportional element at (6, 3); point A on
// the wire at (4, 3). Occupied range: columns 2..6, row 3.
std::unique_ptr<TField> SmallField() {
  auto field = CreateField();
  TSchemeBuilder b(*field);
  b.Block(2, 3, 0, {1.0});
  b.Block(6, 3, 6, {2.0});
  b.Line({{2, 3}, {6, 3}});
  b.Point(0, 4, 3);
  return field;
}

QImage Filled(const QSize& size, const QColor& c) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

// The picture of one object alone, as a cell of a scheme picture holds it.
QImage CellAlone(TCellObject& obj) {
  QImage img = Filled({41, 41}, Qt::white);
  QPainter p(&img);
  DrawCellObject(p, obj, QRect(0, 0, 40, 40), false);
  return img;
}

bool AllOf(const QImage& img, const QRect& area, const QColor& c) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (img.pixelColor(x, y) != c) return false;
  return true;
}

int Dark(const QImage& img, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += qGray(img.pixel(x, y)) < 128;
  return n;
}

int Black(const QImage& img, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += img.pixelColor(x, y) == Qt::black;
  return n;
}

}  // namespace

class SchemeRenderTest : public QObject {
  Q_OBJECT
 private slots:
  void RangesAndTheirPixelRectangles() {
    auto empty = CreateField();
    QVERIFY(OccupiedRange(*empty).Empty());
    QVERIFY(MeasureRange(OccupiedRange(*empty)).isNull());

    auto field = SmallField();
    const TCellRange all = OccupiedRange(*field);
    QCOMPARE(all.Left, 2);
    QCOMPARE(all.Right, 6);
    QCOMPARE(all.Top, 3);
    QCOMPARE(all.Bottom, 3);
    // (left*41, top*41) to ((right+1)*41, (bottom+1)*41).
    QCOMPARE(MeasureRange(all), QRect(QPoint(82, 123), QPoint(7 * 41 - 1, 4 * 41 - 1)));
    QCOMPARE(MeasureRange({0, 0, 199, 199}).size(), QSize(8200, 8200));
    // A range reaching past the grid is measured on the grid only.
    QCOMPARE(MeasureRange({-5, 190, 2, 500}), QRect(0, 190 * 41, 3 * 41, 10 * 41));
    QVERIFY(MeasureRange({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}).isValid());

    // The visible part: one partly visible column and row more, cut at the
    // end of the grid.
    const TCellRange v = VisibleRange(10, 20, 5, 4);
    QCOMPARE(v.Left, 10);
    QCOMPARE(v.Right, 15);
    QCOMPARE(v.Bottom, 24);
    QCOMPARE(VisibleRange(196, 198, 10, 10).Right, 199);
    QCOMPARE(VisibleRange(196, 198, 10, 10).Bottom, 199);
  }

  void RenderSchemeMeasuresAndDraws() {
    auto field = SmallField();
    TSchemeView view;
    view.LeftCol = 1;
    view.TopRow = 2;
    view.VisibleCols = 7;
    view.VisibleRows = 3;
    view.Selection = {3, 3, 4, 5};
    // Visible: measured from the origin, (visible + 1) cells each way.
    QCOMPARE(RenderScheme(nullptr, *field, view, 3, {}, false), QRect(0, 0, 8 * 41, 4 * 41));
    QCOMPARE(RenderScheme(nullptr, *field, view, 4, {}, false), MeasureRange(OccupiedRange(*field)));
    QCOMPARE(RenderScheme(nullptr, *field, view, 5, {}, false), QRect(3 * 41, 3 * 41, 2 * 41, 3 * 41));
    QVERIFY(RenderScheme(nullptr, *field, view, 6, {}, false).isNull());

    // Drawing the selection: only the wire cell (3, 3) and (4, 3) with its
    // point lie in it.
    QImage img = Filled({82, 123}, kSentinel);
    QPainter p(&img);
    QCOMPARE(RenderScheme(&p, *field, view, 2, img.rect(), false), img.rect());
    p.end();
    QVERIFY(!AllOf(img, QRect(0, 0, 41, 41), kSentinel));
    QVERIFY(AllOf(img, QRect(0, 41, 82, 82), kSentinel));  // rows 4 and 5 are empty
  }

  void CellsAreDrawnAtTheirPlaceWithTheirPointLetter() {
    auto field = SmallField();
    const TCellRange all = OccupiedRange(*field);
    const QRect m = MeasureRange(all);
    QImage img = Filled(m.size(), kSentinel);
    {
      QPainter p(&img);
      DrawSchemeRange(p, *field, all, QRect(QPoint(0, 0), m.size()), false);
    }
    // At 41 pixels per cell each cell is its own picture, pixel for pixel.
    QCOMPARE(img.copy(0, 0, 41, 41), CellAlone(*field->Cell(2, 3)));
    QCOMPARE(img.copy(4 * 41, 0, 41, 41), CellAlone(*field->Cell(6, 3)));
    QCOMPARE(img.copy(41, 0, 41, 41), CellAlone(*field->Cell(3, 3)));
    // The wire with point A carries its letter at (25, 2) on white; the
    // line itself runs across the middle only.
    const QImage withPoint = img.copy(2 * 41, 0, 41, 41);
    QVERIFY(Dark(withPoint, QRect(25, 2, 9, 11)) > 5);
    QCOMPARE(Dark(CellAlone(*field->Cell(4, 3)), QRect(25, 2, 9, 11)), 0);

    // A target of another size gets each cell's share, and nothing is drawn
    // outside the target.
    QImage big = Filled({400, 100}, kSentinel);
    {
      QPainter p(&big);
      DrawSchemeRange(p, *field, all, QRect(50, 10, 100, 20), false);
    }
    QVERIFY(AllOf(big, QRect(0, 0, 50, 100), kSentinel));
    QVERIFY(AllOf(big, QRect(150, 0, 250, 100), kSentinel));
    QVERIFY(AllOf(big, QRect(0, 30, 400, 70), kSentinel));
    // Five columns share 100 pixels: each cell takes 20, all occupied here.
    for (int i = 0; i < 5; ++i) QVERIFY(!AllOf(big, QRect(50 + 20 * i, 10, 20, 20), kSentinel));
    // Empty cells are left untouched: a wider range with an empty column.
    QImage wide = Filled({6 * 41, 41}, kSentinel);
    {
      QPainter p(&wide);
      DrawSchemeRange(p, *field, {1, 3, 6, 3}, wide.rect(), false);
    }
    QVERIFY(AllOf(wide, QRect(0, 0, 41, 41), kSentinel));
    QCOMPARE(wide.copy(41, 0, 41, 41), CellAlone(*field->Cell(2, 3)));
  }

  void MonochromeSchemeIsBlackAndWhite() {
    auto field = SmallField();
    const TCellRange all = OccupiedRange(*field);
    QImage img = Filled(MeasureRange(all).size(), Qt::white);
    {
      QPainter p(&img);
      DrawSchemeRange(p, *field, all, img.rect(), true);
    }
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const QColor c = img.pixelColor(x, y);
        QVERIFY2(c == Qt::white || c == Qt::black, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
      }
    QVERIFY(Black(img, img.rect()) > 100);
  }

  void CellDrawingLeavesThePainterAsItWas() {
    auto field = SmallField();
    QImage img = Filled({41, 41}, Qt::white);
    QPainter p(&img);
    p.setPen(QPen(Qt::red, 3));
    p.setBrush(Qt::blue);
    p.setRenderHint(QPainter::Antialiasing, true);
    DrawCellObject(p, *field->Cell(6, 3), QRect(0, 0, 40, 40), true);
    QCOMPARE(p.pen().color(), QColor(Qt::red));
    QCOMPARE(p.pen().width(), 3);
    QCOMPARE(p.brush().color(), QColor(Qt::blue));
    QVERIFY(p.testRenderHint(QPainter::Antialiasing));
    QCOMPARE(FirstPointAt(*field, 4, 3), 0);
    QCOMPARE(FirstPointAt(*field, 6, 3), -1);
  }
};

QTEST_MAIN(SchemeRenderTest)
#include "scheme_render_test.moc"
