// The table editor: the four mouse tools on the plot, the reflections, the
// range dialog's checks, the text file, the clipboard, "Новый график", and
// the editor opened from the structure editor on both kinds of table block.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <cmath>
#include <functional>
#include <memory>

#include "blocks/nl_editor.h"
#include "blocks/ranges_dlg.h"
#include "blocks/table_blocks.h"
#include "editor_support.h"
#include "shell/numtext.h"

using namespace vemo;
using namespace vemo::testing;

namespace {

PointTable Points(std::initializer_list<TablePoint> pts) {
  PointTable t;
  t.Points.assign(pts.begin(), pts.end());
  return t;
}

// Runs `drive` on the modal widget of type D as soon as it is open.
template <class D>
void WhenOpen(std::function<void(D&)> drive) {
  QTimer::singleShot(0, [drive] {
    auto* w = qobject_cast<D*>(QApplication::activeModalWidget());
    QVERIFY(w);
    drive(*w);
  });
}

// An editor shown on screen with a fixed range, so pixels map to known values.
std::unique_ptr<TnlEditorForm> Shown(const PointTable& table, bool generator = false) {
  auto form = std::make_unique<TnlEditorForm>(table, generator);
  form->resize(600, 460);
  form->show();
  if (!QTest::qWaitForWindowExposed(form.get())) return nullptr;
  return form;
}

void SetRange(TnlEditorForm& f, double x0, double x1, double y0, double y1) {
  f.Range = TPlotRange{x0, x1, y0, y1};
  f.PaintBox->update();
}

QPoint PixelOf(const TnlEditorForm& f, double x, double y) {
  const TPlotFrame fr = f.VisibleFrame();
  return QPoint(fr.Column(x), fr.Line(y));
}

// The value of one pixel along each axis (the accuracy of a mouse pick).
double PixelX(const TnlEditorForm& f) {
  const TPlotFrame fr = f.VisibleFrame();
  return (fr.X1 - fr.X0) / (fr.Plot.width() - 1);
}
double PixelY(const TnlEditorForm& f) {
  const TPlotFrame fr = f.VisibleFrame();
  return (fr.Y1 - fr.Y0) / (fr.Plot.height() - 1);
}

bool Near(const TnlEditorForm& f, const TablePoint& p, double x, double y) {
  return std::fabs(p.x - x) <= 1.5 * PixelX(f) && std::fabs(p.y - y) <= 1.5 * PixelY(f);
}

void Click(TnlEditorForm& f, QPoint at) {
  QTest::mousePress(f.PaintBox, Qt::LeftButton, {}, at);
  QTest::mouseRelease(f.PaintBox, Qt::LeftButton, {}, at);
}

void DragOn(TnlEditorForm& f, QPoint from, QPoint to) {
  QTest::mousePress(f.PaintBox, Qt::LeftButton, {}, from);
  for (int i = 1; i <= 4; ++i) QTest::mouseMove(f.PaintBox, from + (to - from) * i / 4);
  QTest::mouseRelease(f.PaintBox, Qt::LeftButton, {}, to);
}

QString Msg(const TEditorRig& rig, size_t i) {
  return i < rig.Dialogs.Messages.size() ? QString::fromStdString(rig.Dialogs.Messages[i])
                                         : QString();
}

// Pictures of the windows for a look by eye (not compared).
void SaveShot(QWidget& w, const QString& name) {
  const QString dir = QStringLiteral(VEMO_BINARY_DIR "/dialog-shots");
  QDir().mkpath(dir);
  QVERIFY(w.grab().save(dir + "/" + name + ".png"));
}

bool HasNonWhite(const QImage& img) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) != qRgb(255, 255, 255)) return true;
  return false;
}

}  // namespace

class NlEditorTest : public QObject {
  Q_OBJECT

 private slots:
  // ---- mouse tools

  void PenAddsPointsInClickOrderOnThePlotOnly() {
    TEditorRig rig;
    auto f = Shown(PointTable{});
    QVERIFY(f);
    QCOMPARE(f->windowTitle(), QStringLiteral("\"Нелинейность\" пользователя"));
    SetRange(*f, 0, 10, -5, 5);
    QVERIFY(f->PenBtn->isChecked());
    Click(*f, PixelOf(*f, 6, 2));
    Click(*f, PixelOf(*f, 1, 1));
    Click(*f, PixelOf(*f, 3, 4));
    QCOMPARE(f->Table.Count(), 3);
    // Appended at the end, not sorted by abscissa.
    QVERIFY(Near(*f, f->Table.Points[0], 6, 2));
    QVERIFY(Near(*f, f->Table.Points[1], 1, 1));
    QVERIFY(Near(*f, f->Table.Points[2], 3, 4));
    // The label margin left of the plot is not part of the drawing area.
    const TPlotFrame fr = f->VisibleFrame();
    Click(*f, QPoint(fr.Plot.left() - 3, fr.Plot.center().y()));
    QCOMPARE(f->Table.Count(), 3);
    QVERIFY(f->Changed());
  }

  void MoveDragsTheNearestPointWithinTolerance() {
    TEditorRig rig;
    auto f = Shown(Points({{1, 1}, {3, 4}, {6, 2}}));
    QVERIFY(f);
    SetRange(*f, 0, 10, -5, 5);
    QTest::mouseClick(f->MoveBtn, Qt::LeftButton);
    QCOMPARE(f->Tool(), TnlEditorForm::TTool::Move);
    QVERIFY(!f->PenBtn->isChecked());
    // Grabbing 3 pixels off the point still takes it.
    DragOn(*f, PixelOf(*f, 3, 4) + QPoint(3, -2), PixelOf(*f, 3, -2));
    QCOMPARE(f->Table.Count(), 3);
    QVERIFY(Near(*f, f->Table.Points[1], 3, -2));
    QCOMPARE(f->Table.Points[0], (TablePoint{1, 1}));
    QCOMPARE(f->Table.Points[2], (TablePoint{6, 2}));
    // Farther than the tolerance: nothing moves, nothing is added.
    const PointTable before = f->Table;
    DragOn(*f, PixelOf(*f, 6, 2) + QPoint(kTableHitPixels + 3, 0), PixelOf(*f, 8, 0));
    QCOMPARE(f->Table.Points, before.Points);
    // A drag beyond the plot keeps the point on the plot's edge.
    DragOn(*f, PixelOf(*f, 6, 2), PixelOf(*f, 6, 2) + QPoint(0, -2000));
    QVERIFY(Near(*f, f->Table.Points[2], 6, 5));
  }

  void BreakPointSplitsTheSegmentUnderTheCursor() {
    TEditorRig rig;
    auto f = Shown(Points({{1, 1}, {3, -2}, {6, 2}}));
    QVERIFY(f);
    SetRange(*f, 0, 10, -5, 5);
    QTest::mouseClick(f->BreakPointBtn, Qt::LeftButton);
    QCOMPARE(f->Tool(), TnlEditorForm::TTool::BreakPoint);
    // Beside the second segment, 2 pixels off the line: the point goes
    // between its ends, onto the line.
    Click(*f, PixelOf(*f, 4.5, 0) + QPoint(0, 2));
    QCOMPARE(f->Table.Count(), 4);
    QCOMPARE(f->Table.Points[0], (TablePoint{1, 1}));
    QCOMPARE(f->Table.Points[1], (TablePoint{3, -2}));
    QCOMPARE(f->Table.Points[3], (TablePoint{6, 2}));
    const TablePoint n = f->Table.Points[2];
    QVERIFY(Near(*f, n, 4.5, 0));
    // On the segment: the characteristic keeps its shape.
    QVERIFY(std::fabs(Interpolate(f->Table, n.x) - Interpolate(Points({{3, -2}, {6, 2}}), n.x)) <
            1e-9);
    // Far from every segment nothing is inserted.
    Click(*f, PixelOf(*f, 9, -4));
    QCOMPARE(f->Table.Count(), 4);
    // Breaking and dragging in one stroke.
    DragOn(*f, PixelOf(*f, 2, -0.5), PixelOf(*f, 2, 3));
    QCOMPARE(f->Table.Count(), 5);
    QVERIFY(Near(*f, f->Table.Points[1], 2, 3));
  }

  void CutDeletesThePointUnderTheCursor() {
    TEditorRig rig;
    auto f = Shown(Points({{1, 1}, {3, -2}, {6, 2}}));
    QVERIFY(f);
    SetRange(*f, 0, 10, -5, 5);
    QTest::mouseClick(f->CutBtn, Qt::LeftButton);
    QCOMPARE(f->Tool(), TnlEditorForm::TTool::Cut);
    Click(*f, PixelOf(*f, 6, 2) + QPoint(kTableHitPixels + 2, 0));
    QCOMPARE(f->Table.Count(), 3);
    Click(*f, PixelOf(*f, 3, -2) + QPoint(-2, 2));
    QCOMPARE(f->Table.Points, Points({{1, 1}, {6, 2}}).Points);
    // The right button never edits.
    QTest::mouseClick(f->PaintBox, Qt::RightButton, {}, PixelOf(*f, 1, 1));
    f->PopupMenu1->hide();
    QCOMPARE(f->Table.Count(), 2);
  }

  void StatusLineReadsTheCursor() {
    TEditorRig rig;
    auto f = Shown(PointTable{});
    QVERIFY(f);
    SetRange(*f, 0, 10, -5, 5);
    QTest::mouseMove(f->PaintBox, PixelOf(*f, 5, 2.5));
    QVERIFY(f->StatusBar->Text(0).startsWith(QStringLiteral("x: ")));
    QVERIFY(f->StatusBar->Text(1).startsWith(QStringLiteral("y: ")));
    double x = 0, y = 0;
    QVERIFY(ParseNumber(f->StatusBar->Text(0).mid(3).toStdString(), x));
    QVERIFY(ParseNumber(f->StatusBar->Text(1).mid(3).toStdString(), y));
    QVERIFY(std::fabs(x - 5) <= PixelX(*f) && std::fabs(y - 2.5) <= PixelY(*f));

    auto g = Shown(PointTable{}, true);
    QVERIFY(g);
    QCOMPARE(g->windowTitle(), QStringLiteral("Генератор сигнала пользователя"));
    QTest::mouseMove(g->PaintBox, g->PaintBox->rect().center());
    QVERIFY(g->StatusBar->Text(0).startsWith(QStringLiteral("t: ")));
  }

  void GeneratorTimesStartAtZero() {
    TEditorRig rig;
    auto g = Shown(Points({{-1, 0}, {2, 1}}), true);
    QVERIFY(g);
    QCOMPARE(g->Range.XMin, 0.0);
    QVERIFY(g->Range.XMax > 2);
    QVERIFY(!g->Mirrow1Btn->isEnabled() && !g->Mirrow2Btn->isEnabled());
    auto empty = Shown(PointTable{}, true);
    QVERIFY(empty);
    QCOMPARE(empty->Range, (TPlotRange{0, 1, -1, 1}));
    // A point dragged left of the time axis stays at time 0.
    QTest::mouseClick(g->MoveBtn, Qt::LeftButton);
    DragOn(*g, PixelOf(*g, 2, 1), PixelOf(*g, 2, 1) + QPoint(-3000, 0));
    QCOMPARE(g->Table.Points[1].x, 0.0);
  }

  // ---- reflections

  void OddCompletionJoinsAtTheAxisEnd() {
    TEditorRig rig;
    auto f = Shown(Points({{0, 0}, {1, 1}, {2, 1}}));
    QVERIFY(f);
    f->Mirrow1BtnClick();
    QCOMPARE(f->Table.Points, Points({{-2, -1}, {-1, -1}, {0, 0}, {1, 1}, {2, 1}}).Points);
    for (double x : {0.25, 0.5, 1.5, 2.0})
      QCOMPARE(Interpolate(f->Table, -x), -Interpolate(f->Table, x));
    // The range now takes in the reflected half.
    QVERIFY(f->Range.XMin < -2 && f->Range.YMin < -1);

    // Drawn from the outside in: the reflection goes after the last point.
    auto g = Shown(Points({{2, 1}, {1, 1}, {0, 0}}));
    QVERIFY(g);
    g->Mirrow1BtnClick();
    QCOMPARE(g->Table.Points, Points({{2, 1}, {1, 1}, {0, 0}, {-1, -1}, {-2, -1}}).Points);

    // A jump at zero (a relay): the point above the origin is kept and its
    // reflection below joins it with a vertical step.
    auto h = Shown(Points({{0, 0.5}, {1, 1}}));
    QVERIFY(h);
    h->Mirrow1BtnClick();
    QCOMPARE(h->Table.Points, Points({{-1, -1}, {0, -0.5}, {0, 0.5}, {1, 1}}).Points);
  }

  void EvenCompletionReflectsAboutTheOrdinate() {
    TEditorRig rig;
    auto f = Shown(Points({{0, 1}, {1, 2}, {3, 0}}));
    QVERIFY(f);
    f->Mirrow2BtnClick();
    QCOMPARE(f->Table.Points, Points({{-3, 0}, {-1, 2}, {0, 1}, {1, 2}, {3, 0}}).Points);
    for (double x : {0.5, 1.0, 2.0, 3.0})
      QCOMPARE(Interpolate(f->Table, -x), Interpolate(f->Table, x));
    // Through the button, on an empty table: nothing happens.
    auto g = Shown(PointTable{});
    QVERIFY(g);
    QTest::mouseClick(g->Mirrow2Btn, Qt::LeftButton);
    QCOMPARE(g->Table.Count(), 0);
  }

  // ---- drawing range dialog

  void RangesDialogShowsTheRange() {
    TEditorRig rig;
    TPlotRange r{-0.5, 2, 1e-7, 100};
    TRangesDlg dlg(r, false);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Размеры поля"));
    QCOMPARE(dlg.Label1->text(), QStringLiteral("X min:"));
    QCOMPARE(dlg.Label2->text(), QStringLiteral("Y min:"));
    QCOMPARE(dlg.Label3->text(), QStringLiteral("X max:"));
    QCOMPARE(dlg.Label4->text(), QStringLiteral("Y max:"));
    QCOMPARE(dlg.Edit1->text(), QStringLiteral("-0.5"));
    QCOMPARE(dlg.Edit2->text(), QString::fromStdString(FormatNumber(1e-7)));
    QCOMPARE(dlg.Edit3->text(), QStringLiteral("2"));
    QCOMPARE(dlg.Edit4->text(), QStringLiteral("100"));
    QVERIFY(dlg.Edit1->isEnabled());
    QCOMPARE(dlg.HelpContext(), 702);

    TPlotRange g{0, 5, -1, 1};
    TRangesDlg gen(g, true);
    QCOMPARE(gen.Edit1->text(), QStringLiteral("0"));
    QVERIFY(!gen.Edit1->isEnabled());
    QCOMPARE(gen.Label1->text(), QStringLiteral("t min"));
    QCOMPARE(gen.Label3->text(), QStringLiteral("t max"));
    QCOMPARE(gen.HelpContext(), 703);
    gen.Edit3->setText(QStringLiteral("7"));
    gen.OkBtnClick();
    QVERIFY(gen.Confirmed);
    QCOMPARE(g, (TPlotRange{0, 7, -1, 1}));
  }

  void RangesDialogChecksInOrder() {
    TEditorRig rig;
    TPlotRange r{0, 1, 0, 1};
    TRangesDlg dlg(r, false);
    dlg.show();
    dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    auto fill = [&](const char* a, const char* b, const char* c, const char* d) {
      dlg.Edit1->setText(QString::fromUtf8(a));
      dlg.Edit2->setText(QString::fromUtf8(b));
      dlg.Edit3->setText(QString::fromUtf8(c));
      dlg.Edit4->setText(QString::fromUtf8(d));
    };
    // Y min is checked before X max; X min is stored at once.
    fill("-3", "y", "x", "2");
    QTest::mouseClick(dlg.OkBtn, Qt::LeftButton);
    QCOMPARE(Msg(rig, 0), QString::fromUtf8(kBadNumberFormat));
    QVERIFY(dlg.Edit2->hasFocus());
    QVERIFY(!dlg.Confirmed && dlg.isVisible());
    QCOMPARE(r, (TPlotRange{-3, 1, 0, 1}));
    // The abscissa order is checked before Y max parses.
    fill("5", "0", "2", "bad");
    dlg.OkBtnClick();
    QCOMPARE(Msg(rig, 1), QString::fromUtf8(kBadParameter));
    QVERIFY(dlg.Edit3->hasFocus());
    QCOMPARE(r.XMin, 5.0);
    QCOMPARE(r.XMax, 2.0);
    fill("5", "0", "5", "1");
    dlg.OkBtnClick();
    QCOMPARE(Msg(rig, 2), QString::fromUtf8(kBadParameter));
    QVERIFY(dlg.Edit3->hasFocus());
    // Y max must parse.
    fill("1", "0", "5", "1e");
    dlg.OkBtnClick();
    QCOMPARE(Msg(rig, 3), QString::fromUtf8(kBadNumberFormat));
    QVERIFY(dlg.Edit4->hasFocus());
    // Y min below Y max.
    fill("1", "3", "5", "3");
    dlg.OkBtnClick();
    QCOMPARE(Msg(rig, 4), QString::fromUtf8(kBadParameter));
    QVERIFY(dlg.Edit4->hasFocus());
    QVERIFY(!dlg.Confirmed && dlg.isVisible());
    // All good.
    fill("1", "-2.5", "5", "3");
    dlg.OkBtnClick();
    QCOMPARE(rig.Dialogs.Messages.size(), size_t(5));
    QVERIFY(dlg.Confirmed);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(r, (TPlotRange{1, 5, -2.5, 3}));
  }

  void ZoomButtonSetsTheRangeAndCancelKeepsIt() {
    TEditorRig rig;
    auto f = Shown(Points({{0, 0}, {1, 1}}));
    QVERIFY(f);
    f->HPaintBox->SetSelection(200, 600);
    WhenOpen<TRangesDlg>([](TRangesDlg& d) {
      d.Edit1->setText(QStringLiteral("-10"));
      d.Edit2->setText(QStringLiteral("-20"));
      d.Edit3->setText(QStringLiteral("10"));
      d.Edit4->setText(QStringLiteral("20"));
      QTest::mouseClick(d.OkBtn, Qt::LeftButton);
    });
    QTest::mouseClick(f->ZoomBtn, Qt::LeftButton);
    QCOMPARE(f->Range, (TPlotRange{-10, 10, -20, 20}));
    // The new range is shown whole.
    QCOMPARE(f->HPaintBox->Low(), 0);
    QCOMPARE(f->HPaintBox->High(), TRangeSlider::kFull);
    const TTablePicture pic = f->VisiblePicture();
    QCOMPARE(pic.XFrom, -10.0);
    QCOMPARE(pic.YTo, 20.0);
    // A failed OK stores X min, then Cancel: the range stays as it was.
    WhenOpen<TRangesDlg>([](TRangesDlg& d) {
      d.Edit1->setText(QStringLiteral("3"));
      d.Edit2->setText(QStringLiteral("?"));
      d.OkBtnClick();
      QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
    });
    f->ZoomBtnClick();
    QCOMPARE(Msg(rig, 0), QString::fromUtf8(kBadNumberFormat));
    QCOMPARE(f->Range, (TPlotRange{-10, 10, -20, 20}));
  }

  // ---- file, clipboard, new

  void SaveThenLoadGivesTheSamePoints() {
    TEditorRig rig;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("curve.txt"));
    const PointTable five = Points({{-2, -1}, {-1, -0.25}, {0, 0}, {1e-9, 3.5e7}, {2, 1}});
    auto f = Shown(five);
    QVERIFY(f);
    QStringList titles;
    f->ChooseFile = [&](QWidget*, const QString& title, bool save) {
      titles << title + (save ? "|save" : "|open");
      return name;
    };
    QTest::mouseClick(f->SaveBtn, Qt::LeftButton);
    QVERIFY(rig.Dialogs.Messages.empty());

    auto g = Shown(Points({{7, 7}}));
    QVERIFY(g);
    g->ChooseFile = f->ChooseFile;
    QTest::mouseClick(g->LoadBtn, Qt::LeftButton);
    QCOMPARE(g->Table.Points, five.Points);
    QCOMPARE(titles, QStringList({QStringLiteral("Сохранить \"нелинейность\"|save"),
                                  QStringLiteral("Загрузить \"нелинейность\"|open")}));
    // The range was fitted to the loaded points.
    QVERIFY(g->Range.XMin < -2 && g->Range.XMax > 2);
    QVERIFY(g->Range.YMin < -1 && g->Range.YMax > 3.5e7);
    QVERIFY(rig.Dialogs.Messages.empty());

    // Cancelling the file dialog does nothing.
    g->ChooseFile = [](QWidget*, const QString&, bool) { return QString(); };
    QTest::mouseClick(g->LoadBtn, Qt::LeftButton);
    QCOMPARE(g->Table.Points, five.Points);
  }

  void FileFailuresSaySo() {
    TEditorRig rig;
    QTemporaryDir dir;
    auto f = Shown(Points({{1, 2}, {3, 4}}));
    QVERIFY(f);
    QVERIFY(!f->LoadFromFile(dir.filePath(QStringLiteral("missing.txt"))));
    QCOMPARE(Msg(rig, 0), QStringLiteral("Ошибка в чтении файла!"));
    QCOMPARE(f->Table.Count(), 0);
    QCOMPARE(f->Range, (TPlotRange{-1, 1, -1, 1}));
    f->Table = Points({{1, 2}});
    QVERIFY(!f->SaveToFile(dir.filePath(QStringLiteral("no/such/dir/x.txt"))));
    QCOMPARE(Msg(rig, 1), QStringLiteral("Ошибка в записи файла!"));
    QCOMPARE(f->Table.Count(), 1);
  }

  void CopyPasteRoundTrip() {
    TEditorRig rig;
    const PointTable t = Points({{0, 0}, {0.5, 0.125}, {1, 1}});
    auto f = Shown(t);
    QVERIFY(f);
    QTest::mouseClick(f->CopyBtn, Qt::LeftButton);
    const QMimeData* md = QApplication::clipboard()->mimeData();
    QVERIFY(md && md->hasFormat(QString::fromLatin1(kPointTableMime)));
    QCOMPARE(md->text(), QString::fromStdString(FormatPointTableText(t)));

    auto g = Shown(PointTable{});
    QVERIFY(g);
    QTest::mouseClick(g->PasteBtn, Qt::LeftButton);
    QCOMPARE(g->Table.Points, t.Points);
    QVERIFY(g->Range.XMin < 0 && g->Range.XMax > 1);

    // Text from elsewhere: the lines holding two numbers.
    QApplication::clipboard()->setText(QStringLiteral("header\n1 2\r\n3  4\nnot a point\n"));
    g->PasteBtnClick();
    QCOMPARE(g->Table.Points, Points({{1, 2}, {3, 4}}).Points);
    // Text without a point changes nothing.
    QApplication::clipboard()->setText(QStringLiteral("hello"));
    g->PasteBtnClick();
    QCOMPARE(g->Table.Points, Points({{1, 2}, {3, 4}}).Points);
    // A damaged private copy falls back to its text.
    auto* bad = new QMimeData;
    bad->setData(QString::fromLatin1(kPointTableMime), QByteArray("\x05\x00\x00\x00", 4));
    bad->setText(QStringLiteral("5 6"));
    QApplication::clipboard()->setMimeData(bad);
    g->PasteBtnClick();
    QCOMPARE(g->Table.Points, Points({{5, 6}}).Points);
  }

  void NewAsksFirst() {
    TEditorRig rig;
    auto f = Shown(Points({{1, 2}, {3, 4}}));
    QVERIFY(f);
    rig.Dialogs.YesNoAnswer = false;
    QTest::mouseClick(f->NewBtn, Qt::LeftButton);
    QCOMPARE(rig.Dialogs.Questions.size(), size_t(1));
    QCOMPARE(QString::fromStdString(rig.Dialogs.Questions[0]),
             QStringLiteral("Удалить текущий график?"));
    QCOMPARE(f->Table.Count(), 2);
    rig.Dialogs.YesNoAnswer = true;
    QTest::mouseClick(f->NewBtn, Qt::LeftButton);
    QCOMPARE(f->Table.Count(), 0);
    QVERIFY(f->Changed());
  }

  void PictureCopyAndGrid() {
    TEditorRig rig;
    auto f = Shown(Points({{-1, -1}, {1, 1}}));
    QVERIFY(f);
    QCOMPARE(f->N1->parent(), f->PopupMenu1);
    QCOMPARE(f->CheckBox1->text(), QStringLiteral("Сетка"));
    QVERIFY(f->CheckBox1->isChecked());
    f->N1->trigger();
    const QImage img = QApplication::clipboard()->image();
    QCOMPARE(img.size(), f->PaintBox->size());
    QVERIFY(HasNonWhite(img));
    QCOMPARE(f->Picture(false).text(QStringLiteral("Title")),
             QStringLiteral("График \"нелинейности\""));
    // Without the grid fewer grey pixels are drawn.
    auto grey = [](const QImage& im) {
      int n = 0;
      for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x) n += im.pixel(x, y) == qRgb(192, 192, 192);
      return n;
    };
    f->Table = Points({{-1, -1}, {-0.5, -0.8}, {0, 0}, {0.5, 0.8}, {1, 1}});
    SaveShot(*f, QStringLiteral("nl_editor"));
    TPlotRange r{-1, 2, 0, 1};
    TRangesDlg dlg(r, true);
    dlg.show();
    SaveShot(dlg, QStringLiteral("ranges_dlg_generator"));
    const int withGrid = grey(f->Picture(false));
    f->CheckBox1->setChecked(false);
    QVERIFY(grey(f->Picture(false)) < withGrid);
  }

  // ---- opened from the structure editor

  void StructureEditorOpensTheTableEditor_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("caption");
    QTest::newRow("nonlinearity") << 37 << QStringLiteral("\"Нелинейность\" пользователя");
    QTest::newRow("generator") << 51 << QStringLiteral("Генератор сигнала пользователя");
  }

  void StructureEditorOpensTheTableEditor() {
    QFETCH(int, code);
    QFETCH(QString, caption);
    TEditorRig rig;
    TMDIChild* e = rig.New();
    Place(e, uint16_t(code), 3, 3);
    auto table = [&] { return dynamic_cast<TTableBlock*>(e->Field().Cell(3, 3)); };
    QVERIFY(table());
    QCOMPARE(table()->Table.Count(), 0);
    const PointTable start = Points({{0.5, 0.25}});
    table()->Table = start;
    e->Field().Modified = 0;
    const int steps = e->History.UndoCount();

    // Looking without drawing records nothing.
    PointTable shown;
    WhenOpen<TnlEditorForm>([&shown](TnlEditorForm& f) {
      shown = f.Table;
      f.close();
    });
    RightClick(e, 3, 3);
    QCOMPARE(shown.Points, start.Points);
    QCOMPARE(e->History.UndoCount(), steps);
    QCOMPARE(int(e->Field().Modified), 0);

    QString seen;
    WhenOpen<TnlEditorForm>([&seen](TnlEditorForm& f) {
      seen = f.windowTitle();
      Click(f, PixelOf(f, 0.25, 0.5));
      Click(f, PixelOf(f, 0.75, -0.5));
      f.close();
    });
    RightClick(e, 3, 3);
    QCOMPARE(seen, caption);
    QVERIFY(table());
    QCOMPARE(table()->Table.Count(), 3);
    QCOMPARE(table()->Table.Points[0], start.Points[0]);
    const PointTable drawn = table()->Table;
    QCOMPARE(e->History.UndoCount(), steps + 1);
    QCOMPARE(int(e->Field().Modified), 1);
    e->UndoStep();
    QCOMPARE(table()->Table.Points, start.Points);
    e->RedoStep();
    QCOMPARE(table()->Table.Points, drawn.Points);
  }
};

QTEST_MAIN(NlEditorTest)
#include "nl_editor_test.moc"
