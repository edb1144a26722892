// The named cursors: every number has its cursor, and a drawn cursor's hot
// spot lies on its own strokes, so the click lands where the picture points.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QtTest>

#include "shell/cursors.h"

using namespace vemo;

class CursorsTest : public QObject {
  Q_OBJECT
 private slots:
  void EveryNumberHasItsCursor() {
    QSet<QString> names;
    for (int id = 1; id <= kCursorCount; ++id) {
      names.insert(CursorName(id));
      const QCursor& c = ProgramCursor(id);
      QVERIFY2(c.shape() == Qt::BitmapCursor, qPrintable(CursorName(id)));
      QCOMPARE(&ProgramCursor(id), &c);  // drawn once
    }
    QCOMPARE(names.size(), kCursorCount);
    QCOMPARE(CursorName(crKnife), QStringLiteral("NIFE"));
    QCOMPARE(CursorName(crLocator), QStringLiteral("LOCATOR"));
    QVERIFY(CursorName(0).isEmpty() && CursorName(12).isEmpty());
    QCOMPARE(ProgramCursor(0).shape(), Qt::ArrowCursor);
    QCOMPARE(ProgramCursor(-5).shape(), Qt::ArrowCursor);
  }

  void HotSpotsLieOnTheStrokes() {
    const QString sheet = qEnvironmentVariable("VEMO_CURSOR_SHEET");
    QImage all(kCursorCount * 40, 40, QImage::Format_ARGB32);
    all.fill(Qt::lightGray);
    for (int id = 1; id <= kCursorCount; ++id) {
      const QCursor& c = ProgramCursor(id);
      const QImage img = c.pixmap().toImage();
      QCOMPARE(img.size(), QSize(32, 32));
      const QPoint hot = c.hotSpot();
      QVERIFY2(img.rect().contains(hot), qPrintable(CursorName(id)));
      // Some pixel within one of the hot spot is painted.
      bool painted = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const QPoint q = hot + QPoint(dx, dy);
          if (img.rect().contains(q) && qAlpha(img.pixel(q)) > 128) painted = true;
        }
      QVERIFY2(painted, qPrintable(CursorName(id)));
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
          if (qAlpha(img.pixel(x, y)) > 0) all.setPixel((id - 1) * 40 + 4 + x, 4 + y, img.pixel(x, y));
    }
    if (!sheet.isEmpty()) QVERIFY(all.save(sheet));
  }
};

QTEST_MAIN(CursorsTest)
#include "cursors_test.moc"
