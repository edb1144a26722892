// The print dialog TForm5: the placement on the sheet's miniature driven by
// real mouse events (handles in their order, clamping, the 5 x 5 limit,
// moving, the cursors), "На всю страницу" and "Пропорционально", landscape,
// the kept choices, the no-printer case, and the print job written to PDF
// and read back as pixels.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include "pdf_raster.h"
#include "main_support.h"
#include "model/mdi_child.h"
#include "print/print_page.h"
#include "shell/cursors.h"
#include "shell/numtext.h"
#include "shell/print_dlg.h"
#include "shell/settings.h"

using namespace vemo;
using vemo::testing::InkBox;
using vemo::testing::RasterisePdf;
using THit = TForm5::THit;

namespace {

// A picture of a given size that fills whatever rectangle it is printed
// into with black, recording how it was called.
struct TFakePicture {
  QSize Size{820, 410};  // twice as wide as high
  QSize AllSize{400, 400};
  std::vector<int> Modes;
  QRect Drawn, Annotation;
  QFont Font;
  bool Clipped = false;
  int MonoWhileDrawing = -1;

  TPrintRequest Request(bool scalable = true) {
    TPrintRequest r;
    r.PrintCallback = [this](QPainter* p, int mode, const QRect& rect) -> QRect {
      Modes.push_back(mode);
      if (mode == 0 + kMeasureModes) return QRect(QPoint(0, 0), Size);
      if (mode == 1 + kMeasureModes) return QRect(QPoint(0, 0), AllSize);
      if (mode == kAnnotationMode) {
        Annotation = rect;
        return rect;
      }
      Drawn = rect;
      Font = p->font();
      Clipped = p->hasClipping();
      MonoWhileDrawing = DrawMonochrome;
      p->fillRect(rect.adjusted(-50, -50, 50, 50), Qt::black);  // the clip keeps it in
      return rect;
    };
    r.PrintAllAvailable = 1;
    r.PrintAnnotationAvailable = 1;
    r.PrintMonoAvailable = 1;
    r.PrintScalable = scalable;
    r.PrintTitle = QStringLiteral("Пробная печать");
    return r;
  }
};

QPoint Centre(const TMiniRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

void Drag(TForm5& f, QPoint from, QPoint to) {
  QTest::mousePress(f.PaintBox1, Qt::LeftButton, Qt::NoModifier, from);
  QTest::mouseMove(f.PaintBox1, (from + to) / 2);
  QTest::mouseMove(f.PaintBox1, to);
  QTest::mouseRelease(f.PaintBox1, Qt::LeftButton, Qt::NoModifier, to);
}

Qt::CursorShape CursorOver(TForm5& f, QPoint p) {
  QTest::mouseMove(f.PaintBox1, p);
  return f.PaintBox1->cursor().shape();
}

// The printable area of the PDF page in page units (A4, 10 mm margins).
QSizeF PdfPage(bool landscape) {
  const QSizeF mm = landscape ? QSizeF(277, 190) : QSizeF(190, 277);
  return mm / 25.4 * kPageUnitsPerInch;
}

constexpr double kMarginUnits = 10 / 25.4 * kPageUnitsPerInch;

}  // namespace

class PrintDialogTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  TScriptedDialogs dialogs_;
  QString pdfAnswer_;

 private slots:
  void init() {
    ResetProgramState();
    dialogs_ = TScriptedDialogs();
    Prog.Dialogs = &dialogs_;
    PrintChoices() = TPrintChoices();
    ProgramSettings() = TSettings();
    TPrinterSource& s = PrinterSource();
    s.Names = [] { return QStringList(); };
    s.DefaultName = [] { return QString(); };
    s.OfferPdf = true;
    pdfAnswer_ = dir_.filePath(QStringLiteral("out.pdf"));
    s.ChoosePdfFile = [this](QWidget*) { return pdfAnswer_; };
  }
  void cleanup() { Prog.Dialogs = nullptr; }

  void OpeningPlacesTheTwoToOnePictureProportionally() {
    TFakePicture pic;
    TForm5 f(pic.Request());
    QCOMPARE(f.windowTitle(), QStringLiteral("Настройка печати"));
    QCOMPARE(f.ComboBox1->currentText(), QStringLiteral("PDF-файл"));
    QVERIFY(!f.SpinEdit1->isEnabled());  // one PDF file, no copies
    QVERIFY(f.RadioButton1->isChecked() && f.RadioButton2->isEnabled() &&
            !f.RadioButton3->isEnabled());
    QVERIFY(f.CheckBox2->isChecked() && f.CheckBox3->isChecked());  // kept defaults
    const TMiniRect r = f.Placement();
    QCOMPARE(r.Left, 43);
    QCOMPARE(r.Top, 6);
    QCOMPARE(r.Right, 142);
    QVERIFY(std::abs(2 * r.Height() - r.Width()) <= 1);  // half as high as wide
    QCOMPARE(pic.Modes, std::vector<int>{3});  // the visible range measured
  }

  void HandlesFollowTheMouseAndTheSizeStopsAtFivePixels() {
    TFakePicture pic;
    TForm5 f(pic.Request());
    f.show();
    const TMiniRect start = f.Placement();  // (43, 6, 142, 56)
    // The cursor names what a press would grab.
    QCOMPARE(CursorOver(f, {start.Right, start.Bottom}), Qt::SizeFDiagCursor);
    QCOMPARE(CursorOver(f, {start.Right, start.Top + 1}), Qt::SizeBDiagCursor);
    QCOMPARE(CursorOver(f, {(start.Left + start.Right) / 2, start.Bottom}), Qt::SizeVerCursor);
    QCOMPARE(CursorOver(f, {start.Left, Centre(start).y()}), Qt::SizeHorCursor);
    QCOMPARE(CursorOver(f, Centre(start) + QPoint(10, 0)), ProgramCursor(crMove).shape());
    QCOMPARE(CursorOver(f, {10, 150}), Qt::ArrowCursor);

    // The left edge handle moves the left edge only.
    Drag(f, {start.Left, Centre(start).y()}, {start.Left + 20, Centre(start).y() + 30});
    QCOMPARE(f.Placement(), (TMiniRect{start.Left + 20, start.Top, start.Right, start.Bottom}));
    // The bottom-right handle dragged above and left of the top-left corner.
    const TMiniRect r = f.Placement();
    Drag(f, {r.Right, r.Bottom}, {r.Left - 30, r.Top - 4});
    QCOMPARE(f.Placement(), (TMiniRect{r.Left, r.Top, r.Left + 5, r.Top + 5}));
    // On that 5 x 5 rectangle the handles overlap: the order decides.
    const TMiniRect s = f.Placement();  // (63, 6, 68, 11)
    QCOMPARE(f.HitTest({s.Left + 3, s.Top + 4}), THit::BottomRight);
    QCOMPARE(f.HitTest({s.Right - 1, s.Top}), THit::RightMiddle);  // before TopRight
    QCOMPARE(f.HitTest({s.Left + 1, s.Top}), THit::TopLeft);       // before TopMiddle
    QCOMPARE(f.HitTest({s.Left - 3, s.Bottom - 1}), THit::BottomLeft);
    QCOMPARE(f.HitTest({s.Left - 4, s.Top}), THit::None);
    // A handle dragged past the sheet stops at the printable area.
    Drag(f, {s.Right, s.Bottom}, {184, 160});
    QCOMPARE(f.Placement(), (TMiniRect{s.Left, s.Top, 142, 146}));
  }

  void MovingKeepsTheSizeInsideTheSheet() {
    TFakePicture pic;
    TForm5 f(pic.Request());
    f.show();
    const TMiniRect r = f.Placement();
    Drag(f, Centre(r), Centre(r) + QPoint(200, 300));
    QCOMPARE(f.Placement(), (TMiniRect{43, 146 - r.Height(), 142, 146}));
    Drag(f, Centre(f.Placement()), {-100, -100});
    QCOMPARE(f.Placement(), r);
    // A press outside the rectangle grabs nothing.
    Drag(f, {20, 150}, {100, 100});
    QCOMPARE(f.Placement(), r);
  }

  void FullPageProportionalAndLandscape() {
    TFakePicture pic;
    TForm5 f(pic.Request());
    f.show();
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QCOMPARE(f.Placement(), (TMiniRect{43, 6, 142, 146}));
    QTest::mouseClick(f.Button4, Qt::LeftButton);
    QCOMPARE(f.Placement().Bottom, 6 + 50);

    QTest::mouseClick(f.Button1, Qt::LeftButton);
    const QImage portrait = f.PaintBox1->grab().toImage();
    QTest::mouseClick(f.CheckBox1, Qt::LeftButton);
    QVERIFY(f.Landscape());
    QCOMPARE(f.Placement(), (TMiniRect{43, 33, 142, 127}));
    const QImage landscape = f.PaintBox1->grab().toImage();
    // The shadow of the portrait sheet ends at (155, 157); the landscape one
    // lies lower and wider.
    QCOMPARE(portrait.pixelColor(150, 155), QColor(Qt::black));
    QVERIFY(landscape.pixelColor(150, 155) != QColor(Qt::black));
    QCOMPARE(landscape.pixelColor(178, 140), QColor(Qt::black));
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    QCOMPARE(f.Placement(), (TMiniRect{7, 33, 168, 127}));
    // "Пропорционально" on the wide sheet: the 2:1 picture fits its width.
    QTest::mouseClick(f.Button4, Qt::LeftButton);
    QCOMPARE(f.Placement().Right, 168);
    QVERIFY(std::abs(2 * f.Placement().Height() - f.Placement().Width()) <= 1);
    // A tall picture keeps its proportions by narrowing instead.
    pic.Size = QSize(100, 400);
    QTest::mouseClick(f.Button4, Qt::LeftButton);
    QCOMPARE(f.Placement().Bottom, 127);
    QVERIFY(std::abs(4 * f.Placement().Width() - f.Placement().Height()) <= 4);
  }

  void FixedPicturesTakeTheirMeasuredSize() {
    TFakePicture pic;
    pic.Size = QSize(30, 20);
    TForm5 f(pic.Request(false));
    f.show();
    QVERIFY(!f.Button1->isEnabled() && !f.Button4->isEnabled());
    TMiniRect r = f.Placement();
    QCOMPARE(r.Width(), 30);
    QCOMPARE(r.Height(), 20);
    // No handles: the corner is outside the rectangle; inside it moves.
    QCOMPARE(f.HitTest({r.Right, r.Bottom}), THit::None);
    Drag(f, Centre(r), Centre(r) + QPoint(500, 10));
    r = f.Placement();
    QCOMPARE(r.Right, 142);
    QCOMPARE(r.Width(), 30);
    QCOMPARE(r.Height(), 20);
  }

  void KeptRangeOnlyWhenAvailableAndRangeChoiceMeasures() {
    TFakePicture pic;
    PrintChoices().Range = 2;
    {
      TForm5 f(pic.Request());
      f.show();
      QVERIFY(f.RadioButton1->isChecked());
      pic.Modes.clear();
      f.RadioButton2->click();
      QCOMPARE(pic.Modes, std::vector<int>{4});  // "Все" measured
      QCOMPARE(f.Placement().Height(), f.Placement().Width());  // the 400 x 400 picture
    }
    PrintChoices().Range = 1;
    TForm5 f(pic.Request());
    QVERIFY(f.RadioButton2->isChecked());
  }

  void NoPrinterAndNoPdfSaysSoAndCannotPrint() {
    PrinterSource().OfferPdf = false;
    TFakePicture pic;
    vemo::testing::OnNextModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    ShowPrintDialog(pic.Request(), nullptr);
    QCOMPARE(dialogs_.Messages,
             std::vector<std::string>{"В системе Windows не установлено ни одного принтера."});
    TForm5 f(pic.Request());
    QVERIFY(f.NoPrinter() && !f.Button2->isEnabled() && !f.Printersetup->isEnabled());
    f.Button2Click();
    QVERIFY(!QFile::exists(pdfAnswer_));
  }

  void PrintingWritesThePlacedPictureAndItsAnnotation() {
    TFakePicture pic;
    TForm5 f(pic.Request());
    f.SetPlacement({60, 20, 120, 80});
    f.CheckBox3->setChecked(false);
    pic.Modes.clear();
    f.Button2Click();
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(pic.Modes, (std::vector<int>{0, kAnnotationMode}));
    QCOMPARE(pic.MonoWhileDrawing, 0);
    QVERIFY(pic.Clipped);
    QCOMPARE(pic.Font.pixelSize(), PrintFont().pixelSize());
    QCOMPARE(pic.Font.family(), PrintFont().family());
    const QRect expected = PlacementOnPage({60, 20, 120, 80}, false, PdfPage(false));
    QVERIFY2(std::abs(pic.Drawn.left() - expected.left()) <= 1 &&
                 std::abs(pic.Drawn.right() - expected.right()) <= 1 &&
                 std::abs(pic.Drawn.bottom() - expected.bottom()) <= 1,
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(pic.Drawn.x()).arg(pic.Drawn.y())
                            .arg(pic.Drawn.width()).arg(pic.Drawn.height())));
    // The annotation: from the rectangle's bottom, four lines of "ABC".
    QCOMPARE(pic.Annotation.top(), pic.Drawn.bottom() + 1);
    QCOMPARE(pic.Annotation.width(), pic.Drawn.width());
    QCOMPARE(pic.Annotation.height(),
             4 * QFontMetrics(PrintFont()).boundingRect(QStringLiteral("ABC")).height());
    QCOMPARE(DrawMonochrome, uint8_t(0));
    // The choices are kept, black-and-white in the settings.
    QCOMPARE(PrintChoices().Placement, (TMiniRect{60, 20, 120, 80}));
    QVERIFY(!ProgramSettings().BlackWhitePrint);

    // On paper: black exactly where the rectangle lies (96 pixels per inch
    // are page units), nothing outside though the picture overdraws.
    const QImage page = RasterisePdf(pdfAnswer_, kPageUnitsPerInch);
    QVERIFY(!page.isNull());
    QVERIFY(page.width() < page.height());
    const QRect ink = InkBox(page);
    const QRect want = expected.translated(qRound(kMarginUnits), qRound(kMarginUnits));
    QVERIFY2((ink.topLeft() - want.topLeft()).manhattanLength() <= 2 &&
                 (ink.bottomRight() - want.bottomRight()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("ink %1,%2-%3,%4").arg(ink.left()).arg(ink.top())
                            .arg(ink.right()).arg(ink.bottom())));
  }

  void LandscapePrintsOnATurnedSheet() {
    TFakePicture pic;
    PrintChoices().Landscape = 1;
    TForm5 f(pic.Request());
    f.show();
    QVERIFY(f.CheckBox1->isChecked());
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    f.CheckBox3->setChecked(true);
    f.Button2Click();
    QCOMPARE(pic.MonoWhileDrawing, 1);
    const QImage page = RasterisePdf(pdfAnswer_, 48);
    QVERIFY(page.width() > page.height());
    const QSizeF area = PdfPage(true) / 2;
    const QRect ink = InkBox(page);
    QVERIFY(std::abs(ink.width() - area.width()) <= 2 && std::abs(ink.height() - area.height()) <= 2);
  }

  void CancelledOrFailedFileKeepsTheDialogOpen() {
    TFakePicture pic;
    TForm5 f(pic.Request());
    pdfAnswer_.clear();
    f.Button2Click();
    QCOMPARE(f.result(), int(QDialog::Rejected));
    QVERIFY(pic.Modes.size() == 1);  // only the opening measure
    QVERIFY(dialogs_.Messages.empty());
    pdfAnswer_ = dir_.filePath(QStringLiteral("missing/out.pdf"));
    f.Button2Click();
    QCOMPARE(dialogs_.Messages, std::vector<std::string>{kWriteError});
    QCOMPARE(f.result(), int(QDialog::Rejected));
    QCOMPARE(DrawMonochrome, uint8_t(0));
  }
};

QTEST_MAIN(PrintDialogTest)
#include "print_dialog_test.moc"
