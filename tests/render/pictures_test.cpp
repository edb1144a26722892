// The pictures of every cell object as the painter draws them: one for each
// kind, all different, black and white when asked, wires and comments as
// the editor shows them.
#include <QGuiApplication>
#include <QImage>
#include <QtTest>
#include <memory>
#include <vector>

#include "blocks/pictures/picture_kit.h"
#include "blocks/registry.h"
#include "canvas/qt_canvas.h"
#include "model/scheme_render.h"
#include "model/wire.h"

using namespace vemo;

namespace {

std::vector<uint16_t> EveryCode() {
  int count = 0;
  const TKindInfo* kinds = KindTable(count);
  std::vector<uint16_t> codes;
  for (int i = 0; i < count; ++i) codes.push_back(kinds[i].Code);
  for (int p = 0; p < 4; ++p) codes.push_back(static_cast<uint16_t>(kMacroPortFirst + p));
  return codes;
}

QImage Draw(TCellObject& obj, bool mono, const QSize& size = {41, 41},
            const QRect& cell = {0, 0, 40, 40}) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  DrawCellObject(p, obj, cell, mono);
  return img;
}

std::unique_ptr<TWire> Wire(uint8_t lines, uint8_t outs) {
  auto w = std::make_unique<TWire>();
  w->TypeCode = kWireCode;
  w->LineSides = lines;
  w->OutSides = outs;
  return w;
}

int InkPixels(const QImage& img, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += img.pixel(x, y) != 0xFFFFFFFFu;
  return n;
}

bool OnlyBlackAndWhite(const QImage& img, QString* where) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb c = img.pixel(x, y) | 0xFF000000u;
      if (c != 0xFFFFFFFFu && c != 0xFF000000u) {
        *where = QStringLiteral("(%1, %2) = %3").arg(x).arg(y).arg(c, 8, 16);
        return false;
      }
    }
  return true;
}

QColor At(const QImage& img, int x, int y) { return img.pixelColor(x, y); }

}  // namespace

class PicturesTest : public QObject {
  Q_OBJECT
 private slots:
  void EveryKindHasItsOwnPicture() {
    const std::vector<uint16_t> codes = EveryCode();
    std::vector<QImage> pictures;
    for (uint16_t code : codes) {
      const QImage img = BlockPicture(code);
      QVERIFY2(!img.isNull(), qPrintable(QString::number(code)));
      QCOMPARE(img.size(), QSize(41, 41));
      // More than a frame: ink inside the outline.
      QVERIFY2(InkPixels(img, QRect(5, 5, 28, 28)) > 12, qPrintable(QString::number(code)));
      // Drawn into (0, 0, 38, 38): the last columns and rows stay white
      // (a port's line reaches on into the next cell, as wires do).
      if (code < kMacroPortFirst) {
        QCOMPARE(InkPixels(img, QRect(38, 0, 3, 41)), 0);
        QCOMPARE(InkPixels(img, QRect(0, 38, 41, 3)), 0);
      }
      pictures.push_back(img);
    }
    for (size_t i = 0; i < codes.size(); ++i)
      for (size_t j = i + 1; j < codes.size(); ++j)
        QVERIFY2(pictures[i] != pictures[j],
                 qPrintable(QStringLiteral("%1 and %2 look alike").arg(codes[i]).arg(codes[j])));
    QVERIFY(BlockPicture(31).isNull());
    QVERIFY(BlockPicture(14).isNull());
  }

  void MonochromePicturesAreBlackAndWhite() {
    std::vector<std::unique_ptr<TCellObject>> objects;
    for (uint16_t code : EveryCode()) objects.push_back(CreateCellObject(code));
    objects.push_back(Wire(0b1111, 0b1100));
    objects.push_back(Wire(0b1110, 0b1100 | kJunctionBit));
    auto comment = std::make_unique<TComment>();
    comment->TypeCode = kCommentCode;
    comment->Text = "Регулятор скорости, вариант 2";
    objects.push_back(std::move(comment));
    for (auto& obj : objects) {
      QString where;
      QVERIFY2(OnlyBlackAndWhite(Draw(*obj, true), &where),
               qPrintable(QStringLiteral("type %1 at %2").arg(obj->TypeCode).arg(where)));
      obj->Done();
    }
    // The fuzzy block is a white box with black text in black and white.
    const QImage fuzzy = BlockPicture(38, true);
    QCOMPARE(At(fuzzy, 6, 6), QColor(Qt::white));
    QCOMPARE(At(BlockPicture(38), 6, 6), QColor(0, 128, 0));
  }

  void WireLinesHaveThreeStrandsToBeyondTheEdge() {
    // A straight line from left to right, drawn into a cell in the middle
    // of a larger picture.
    auto w = Wire((1 << Left) | (1 << Right), 1 << Right);
    const QRect cell(10, 10, 40, 40);  // TRect (10, 10, 50, 50), centre (30, 30)
    const QImage img = Draw(*w, false, {60, 60}, cell);
    QCOMPARE(At(img, 15, 29), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(At(img, 15, 30), QColor(0x80, 0x80, 0x80));
    QCOMPARE(At(img, 15, 31), QColor(Qt::black));
    QCOMPARE(At(img, 15, 28), QColor(Qt::white));
    QCOMPARE(At(img, 15, 32), QColor(Qt::white));
    // Two pixels beyond the left edge, and no further.
    QCOMPARE(At(img, 8, 31), QColor(Qt::black));
    QCOMPARE(At(img, 7, 31), QColor(Qt::white));
    // The output side carries an arrow head ending 2 pixels beyond the
    // edge; the input side does not.
    QCOMPARE(At(img, 51, 30), QColor(Qt::black));
    QCOMPARE(At(img, 52, 30), QColor(Qt::white));
    QCOMPARE(At(img, 46, 28), QColor(Qt::black));
    QCOMPARE(At(img, 14, 28), QColor(Qt::white));
    // Vertical lines: silver on the left, black on the right.
    auto v = Wire((1 << Top) | (1 << Bottom), 1 << Bottom);
    const QImage vi = Draw(*v, false);
    QCOMPARE(At(vi, 19, 10), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(At(vi, 20, 10), QColor(0x80, 0x80, 0x80));
    QCOMPARE(At(vi, 21, 10), QColor(Qt::black));
    // Black and white: every strand black.
    const QImage mono = Draw(*w, true, {60, 60}, cell);
    for (int y : {29, 30, 31}) QCOMPARE(At(mono, 15, y), QColor(Qt::black));
  }

  void JunctionHasADotAndCrossingHasNone() {
    auto junction = Wire(0b1111, 0b1101 | kJunctionBit);
    auto crossing = Wire(0b1111, (1 << Bottom) | (1 << Right));
    auto branch = Wire(0b1110, 0b1100 | kJunctionBit);
    const QImage j = Draw(*junction, false), c = Draw(*crossing, false), b = Draw(*branch, false);
    // Pixels off every strand but within 4 pixels of the centre (20, 20).
    for (QPoint p : {QPoint(22, 22), QPoint(17, 18), QPoint(23, 18), QPoint(18, 23)}) {
      QCOMPARE(At(j, p.x(), p.y()), QColor(Qt::black));
      QCOMPARE(At(b, p.x(), p.y()), QColor(Qt::black));
      QCOMPARE(At(c, p.x(), p.y()), QColor(Qt::white));
    }
    // Outside the dot's radius the junction is white again.
    QCOMPARE(At(j, 24, 24), QColor(Qt::white));
    QVERIFY(j != c);
  }

  void CommentLinesStayNarrowerThan38Pixels() {
    QImage scratch(10, 10, QImage::Format_RGB32);
    QPainter p(&scratch);
    TQtCanvas canvas(p);
    canvas.SetFont(pictures::kSmallFont, pictures::kCommentSize, kBlack);
    for (const char* text : {"Регулятор скорости, вариант 2", "Объект-модель.Вход,Выход",
                             "ААААААААААААААААААААААААААААААА", "x", "Очень-очень-очень-длинный"}) {
      const std::vector<std::string> lines = pictures::WrapText(canvas, text, 38);
      QVERIFY(!lines.empty());
      QString joined;
      for (const std::string& l : lines) {
        QVERIFY2(canvas.TextExtent(l).X < 38, l.c_str());
        QCOMPARE(QString::fromUtf8(l.c_str()).toUtf8().toStdString(), l);  // whole characters
        joined += QString::fromUtf8(l.c_str());
      }
      // Only the spaces where lines break are dropped.
      QCOMPARE(joined.remove(QLatin1Char(' ')), QString::fromUtf8(text).remove(QLatin1Char(' ')));
    }
    const std::vector<std::string> hyphen = pictures::WrapText(canvas, "Объект-модель", 38);
    QCOMPARE(hyphen.size(), size_t(2));
    QCOMPARE(QString::fromStdString(hyphen[0]), QStringLiteral("Объект-"));

    // The drawn comment keeps inside its cell.
    TComment comment;
    comment.TypeCode = kCommentCode;
    comment.Text = "Регулятор скорости, вариант 2";
    const QImage img = Draw(comment, false, {60, 60});
    QVERIFY(InkPixels(img, QRect(0, 0, 40, 40)) > 40);
    QCOMPARE(InkPixels(img, QRect(39, 0, 21, 60)), 0);
    QCOMPARE(InkPixels(img, QRect(0, 40, 60, 20)), 0);
    comment.Text.clear();
    QCOMPARE(InkPixels(Draw(comment, false), QRect(0, 0, 41, 41)), 0);
  }

  void ParametersAndTablesChangeThePicture() {
    auto gain = CreateCellObject(6);
    const QImage one = Draw(*gain, false);
    static_cast<TParamBlock*>(gain.get())->Params[0] = 2.5;
    QVERIFY(Draw(*gain, false) != one);
    // A gain too long to read falls back to its letter, inside the frame.
    static_cast<TParamBlock*>(gain.get())->Params[0] = 1e15;
    const QImage letter = Draw(*gain, false);
    static_cast<TParamBlock*>(gain.get())->Params[0] = -123456789;
    QCOMPARE(Draw(*gain, false), letter);
    QCOMPARE(InkPixels(letter, QRect(38, 0, 3, 41)), 0);
  }
};

QTEST_MAIN(PicturesTest)
#include "pictures_test.moc"
