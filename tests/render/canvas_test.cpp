// The painter canvas draws what cell objects ask for, in colour and in black
// and white.
#include <QGuiApplication>
#include <QImage>
#include <QtTest>

#include "canvas/qt_canvas.h"

using namespace vemo;

class CanvasTest : public QObject {
  Q_OBJECT
 private slots:
  void ColoursKeepTheirByteOrder() {
    QCOMPARE(ToQColor(0x0000FF), QColor(255, 0, 0));
    QCOMPARE(ToQColor(0xFF0000), QColor(0, 0, 255));
    QCOMPARE(FromQColor(QColor(1, 2, 3)), TColor(0x030201));
  }

  void MonochromeTurnsEveryColourBlack() {
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
      QPainter p(&img);
      TQtCanvas canvas(p, true);
      canvas.SetPen(0x0000FF, 1);
      canvas.Line(0, 10, 19, 10);
      canvas.SetBrush(kWhite, true);
      canvas.SetPen(kWhite, 1);
      canvas.Rectangle({5, 5, 8, 8});
    }
    QCOMPARE(img.pixelColor(2, 10), QColor(Qt::black));
    QCOMPARE(img.pixelColor(6, 6), QColor(Qt::white));
  }

  void RectangleCoversLeftToRightMinusOne() {
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
      QPainter p(&img);
      TQtCanvas canvas(p);
      canvas.SetPen(kBlack, 1);
      canvas.SetBrush(kBlack, true);
      canvas.Rectangle({2, 2, 6, 6});
    }
    QCOMPARE(img.pixelColor(5, 5), QColor(Qt::black));
    QCOMPARE(img.pixelColor(6, 6), QColor(Qt::white));
  }

  void TextHasAnExtent() {
    QImage img(60, 20, QImage::Format_RGB32);
    QPainter p(&img);
    TQtCanvas canvas(p);
    canvas.SetFont("Small Fonts", 7, kBlack);
    const TPoint e = canvas.TextExtent("Вх");
    QVERIFY(e.X > 4 && e.Y >= 7);
  }
};

QTEST_MAIN(CanvasTest)
#include "canvas_test.moc"
