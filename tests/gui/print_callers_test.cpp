// Every "Печать" of the program opens the print dialog on what its window
// prints: the structure editor (popup and File > Печать), the transient and
// phase-portrait windows, the Bode, hodograph and W(s) windows. A printed scheme, read back from the PDF at
// the scale of the scheme's own picture, holds the same drawing inside the
// placed rectangle and nothing outside it.
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "frequency/godo_form.h"
#include "frequency/godo_setup.h"
#include "frequency/lach_setup.h"
#include "frequency/lafc_form.h"
#include "frequency/ws_form.h"
#include "frequency_support.h"
#include "main_support.h"
#include "model/mdi_child.h"
#include "model/project_file.h"
#include "model/scheme_render.h"
#include "pdf_raster.h"
#include "print/print_page.h"
#include "shell/print_dlg.h"
#include "shell/settings.h"
#include "simulation/phase_form.h"
#include "simulation/transient_form.h"
#include "time_window_support.h"

using namespace vemo;
using vemo::testing::OnNextModal;
using vemo::testing::RasterisePdf;

namespace {

constexpr double kMarginUnits = 10 / 25.4 * kPageUnitsPerInch;

// The dark pixels of a picture (mean of the channels below threshold).
std::vector<QPoint> Dark(const QImage& img, int threshold) {
  std::vector<QPoint> out;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb c = img.pixel(x, y);
      if ((qRed(c) + qGreen(c) + qBlue(c)) / 3 < threshold) out.emplace_back(x, y);
    }
  return out;
}

// The share of the dark pixels of a that have a dark pixel of b within
// reach pixels.
double Covered(const QImage& a, const QImage& b, int reach) {
  const std::vector<QPoint> dark = Dark(a, 100);
  if (dark.empty()) return 1;
  int hit = 0;
  for (const QPoint& p : dark) {
    bool found = false;
    for (int dy = -reach; dy <= reach && !found; ++dy)
      for (int dx = -reach; dx <= reach && !found; ++dx) {
        const QPoint q = p + QPoint(dx, dy);
        if (!b.rect().contains(q)) continue;
        const QRgb c = b.pixel(q);
        found = (qRed(c) + qGreen(c) + qBlue(c)) / 3 < 170;
      }
    hit += found;
  }
  return double(hit) / double(dark.size());
}

// Answers the print dialog: the range, then "Печать".
void PrintNext(int range, std::function<void(TForm5*)> check = {}) {
  OnNextModal([range, check](QWidget* w) {
    auto* f = qobject_cast<TForm5*>(w);
    if (!f) {
      qWarning("not the print dialog");
      if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
      return;
    }
    if (check) check(f);
    QRadioButton* b = range == 0 ? f->RadioButton1 : range == 1 ? f->RadioButton2 : f->RadioButton3;
    b->click();
    f->Button2Click();
    if (f->isVisible()) f->reject();
  });
}

}  // namespace

class PrintCallersTest : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  QString pdf_;

 private slots:
  void init() {
    PrintChoices() = TPrintChoices();
    TPrinterSource& s = PrinterSource();
    s.Names = [] { return QStringList(); };
    s.DefaultName = [] { return QString(); };
    s.OfferPdf = true;
    pdf_ = dir_.filePath(QStringLiteral("print.pdf"));
    QFile::remove(pdf_);
    s.ChoosePdfFile = [this](QWidget*) { return pdf_; };
  }

  void EditorPrintsItsSchemeAsItsPictureShowsIt() {
    vemo::testing::TMainRig rig;
    TMDIChild* e = rig.Form->OpenProjectFile(vemo::testing::ExamplePath("feedback_loop.vmo"));
    QVERIFY(e);
    QString title;
    PrintNext(1, [&title](TForm5* f) {
      title = f->windowTitle();
      QVERIFY(f->RadioButton2->isEnabled() && !f->RadioButton3->isEnabled());
      QVERIFY(!f->CheckBox2->isEnabled() && f->CheckBox3->isEnabled());
      f->CheckBox3->setChecked(false);
    });
    rig.Form->Item("N3")->trigger();  // Файл > Печать
    QCOMPARE(title, QStringLiteral("Настройка печати"));
    QVERIFY(QFile::exists(pdf_));

    // The scheme's own picture of all its cells, 41 pixels a cell.
    const QSize size = e->RenderScheme(nullptr, 4, {}).size();
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
      QPainter p(&picture);
      e->RenderScheme(&p, 1, picture.rect());
    }
    // The page read back so that the placed rectangle has the picture's width.
    const QRect placed =
        PlacementOnPage(PrintChoices().Placement, false,
                        QSizeF(190, 277) / 25.4 * kPageUnitsPerInch);
    const double scale = double(size.width()) / placed.width();
    const QImage page = RasterisePdf(pdf_, kPageUnitsPerInch * scale);
    QVERIFY(!page.isNull());
    const QRectF where = QRectF(placed.translated(qRound(kMarginUnits), qRound(kMarginUnits)))
                             .adjusted(0, 0, 1, 1);
    const QRect crop(qRound(where.left() * scale), qRound(where.top() * scale),
                     qRound(where.width() * scale), qRound(where.height() * scale));
    const QImage printed = page.copy(crop).scaled(size, Qt::IgnoreAspectRatio,
                                                  Qt::SmoothTransformation);
    QVERIFY2(Covered(picture, printed, 2) > 0.98, "the picture's lines are not on paper");
    QVERIFY2(Covered(printed, picture, 2) > 0.98, "paper has lines the picture lacks");
    // Nothing outside the rectangle.
    const QRect ink = vemo::testing::InkBox(page, 200);
    QVERIFY(crop.adjusted(-2, -2, 2, 2).contains(ink));
    // Colour on paper: the step generator's blue line.
    bool blue = false;
    for (int y = crop.top(); y <= crop.bottom() && !blue; ++y)
      for (int x = crop.left(); x <= crop.right() && !blue; ++x) {
        const QColor c = page.pixelColor(x, y);
        blue = c.blue() > 150 && c.red() < 100;
      }
    QVERIFY(blue);
  }

  void EditorPopupPrintsTheSelection() {
    vemo::testing::TMainRig rig;
    TMDIChild* e = rig.Form->OpenProjectFile(vemo::testing::ExamplePath("feedback_loop.vmo"));
    QVERIFY(e);
    e->DrawGrid1->SetSelection({1, 1, 4, 3});
    PrintNext(2, [](TForm5* f) { QVERIFY(f->RadioButton3->isEnabled()); });
    e->N6->trigger();
    QVERIFY(QFile::exists(pdf_));
    QCOMPARE(PrintChoices().Range, 2);
    // A 4 x 3 range: the rectangle holds its proportions.
    const TMiniRect r = PrintChoices().Placement;
    QVERIFY(std::abs(3 * r.Width() - 4 * r.Height()) <= 4);
  }

  void TransientWindowPrintsItsPlotWithTheAnnotation() {
    TScriptedDialogs dialogs;
    std::unique_ptr<TField> field;
    vemo::testing::PrepareExampleRun(dialogs, field);
    auto form = std::make_unique<ThtForm>(*field);
    form->resize(640, 400);
    form->show();
    Prog.Clock.ViewTime = 1.0;
    form->Start();
    QVERIFY(form->PrintBtn->isEnabled());
    PrintNext(1, [](TForm5* f) {
      QVERIFY(f->RadioButton2->isEnabled() && !f->RadioButton3->isEnabled());
      QVERIFY(f->CheckBox2->isEnabled() && f->CheckBox2->isChecked());
      QVERIFY(f->Button1->isEnabled() && f->Button4->isEnabled());
    });
    QTest::mouseClick(form->PrintBtn, Qt::LeftButton);
    const QString text = vemo::testing::PdfText(pdf_);
    QVERIFY2(text.contains(QStringLiteral("Переходный процесс")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Время: от 0 до")));
    QVERIFY(text.contains(QStringLiteral("Точки:")));
    // The printed plot keeps the window's proportions.
    const TMiniRect r = PrintChoices().Placement;
    const QSize plot = form->PaintBox->size();
    QVERIFY(std::abs(r.Height() - r.Width() * plot.height() / double(plot.width())) <= 1);
    form.reset();
    field.reset();
    Prog.Dialogs = nullptr;
  }

  void PhasePortraitPopupPrints() {
    TScriptedDialogs dialogs;
    std::unique_ptr<TField> field;
    vemo::testing::PrepareExampleRun(dialogs, field);
    Prog.Clock.ViewTime = 1.0;
    auto form = std::make_unique<TPhaseFaceForm>(*field, 0, kDerivativeOrdinate);
    form->show();
    form->Start();
    QAction* print = nullptr;
    for (QAction* a : form->PopupMenu1->actions())
      if (a->text() == QStringLiteral("&Печать")) print = a;
    QVERIFY(print && print->isEnabled());
    PrintNext(0);
    print->trigger();
    const QString text = vemo::testing::PdfText(pdf_);
    QVERIFY2(text.contains(QStringLiteral("Абсцисса: точка A, ордината: dA/dt")), qPrintable(text));
    form.reset();
    field.reset();
    Prog.Dialogs = nullptr;
  }

  void BodePlotsPrintOnTheirPage() {
    vemo::testing::TMainRig rig;
    QVERIFY(rig.Form->OpenProjectFile(vemo::testing::ExamplePath("feedback_loop.vmo")));
    vemo::testing::RunWithDialog<TLACHSetupDlg>(rig, "LACHItem", [](TLACHSetupDlg& d) {
      d.Lists.SelectPoints(1, 0);
      QVERIFY(d.OkBtnClick());
    });
    TLAFCForm* w = vemo::testing::OnlyWindow<TLAFCForm>(rig);
    QVERIFY(w);
    PrintNext(0, [](TForm5* f) { QVERIFY(!f->RadioButton2->isEnabled()); });
    w->PrintBtn->click();
    // Both plots: a page of 1000 x 1200 units, L above phi.
    TMiniRect r = PrintChoices().Placement;
    QVERIFY(std::abs(r.Height() - r.Width() * 1.2) <= 1);
    QString text = vemo::testing::PdfText(pdf_);
    QVERIFY2(text.contains(QStringLiteral("ЛАЧХ и ФЧХ: /")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Контур: от точки B до точки A")));
    // One plot from the popup: 1000 x 600.
    QMenu* print = vemo::testing::Submenu(w->PopupMenu1, QStringLiteral("Печать..."));
    QVERIFY(print && print->isEnabled());
    PrintNext(0);
    print->actions().at(1)->trigger();  // ФЧХ
    r = PrintChoices().Placement;
    QVERIFY(std::abs(r.Height() - r.Width() * 0.6) <= 1);
    text = vemo::testing::PdfText(pdf_);
    QVERIFY(text.contains(QStringLiteral("ФЧХ: /")) && !text.contains(QStringLiteral("ЛАЧХ")));
  }

  void HodographAndTransferFunctionPrint() {
    vemo::testing::TMainRig rig;
    QVERIFY(rig.Form->OpenProjectFile(vemo::testing::ExamplePath("feedback_loop.vmo")));
    vemo::testing::RunWithDialog<TGodoSetupDlg>(rig, "GodoItem", [](TGodoSetupDlg& d) {
      d.Lists.SelectPoints(1, 0);
      QVERIFY(d.OkBtnClick());
    });
    TGodoForm* godo = vemo::testing::OnlyWindow<TGodoForm>(rig);
    QVERIFY(godo && godo->PrintBtn->isEnabled());
    PrintNext(1, [](TForm5* f) { QVERIFY(f->RadioButton2->isEnabled() && f->CheckBox2->isEnabled()); });
    godo->PrintBtn->click();
    QVERIFY(vemo::testing::PdfText(pdf_).contains(QStringLiteral("Годограф: /")));

    QFile::remove(pdf_);
    rig.Form->BringForward(rig.Form->Editors().front());
    rig.Form->Item("WsItem")->trigger();
    TWSForm* ws = vemo::testing::OnlyWindow<TWSForm>(rig);
    QVERIFY(ws);
    ws->Lists.SelectPoints(1, 0);
    QVERIFY(ws->BitBtn2Click() && ws->PrintBtn->isEnabled());
    PrintNext(0, [](TForm5* f) { QVERIFY(!f->CheckBox2->isEnabled() && !f->CheckBox3->isEnabled()); });
    ws->PrintBtn->click();
    // The typeset W(s), ink inside the placed rectangle.
    const QImage page = RasterisePdf(pdf_, kPageUnitsPerInch);
    const QRect placed = PlacementOnPage(PrintChoices().Placement, false,
                                         QSizeF(190, 277) / 25.4 * kPageUnitsPerInch)
                             .translated(qRound(kMarginUnits), qRound(kMarginUnits));
    const QRect ink = vemo::testing::InkBox(page);
    QVERIFY(!ink.isNull() && placed.adjusted(-2, -2, 2, 2).contains(ink));
  }
};

QTEST_MAIN(PrintCallersTest)
#include "print_callers_test.moc"
