// The transient response window and its setup dialog on a shipped example:
// the dialog's checks in their order, segments with "Далее", cancelling at a
// progress point, and curves saved as the batch program writes them.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "model/field.h"
#include "model/project_file.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/engine.h"
#include "simulation/plot_form.h"
#include "simulation/time_windows.h"
#include "simulation/transient_form.h"
#include "simulation/transient_plot.h"
#include "simulation/transient_setup.h"
#include "time_window_support.h"

using namespace vemo;
using vemo::testing::Example;
using vemo::testing::ReadFile;

namespace {

// The steps of a segment from t = k·h while k·h < end, counted as the run
// counts them; t becomes the time reached.
size_t StepsUntil(double& t, double end, double h) {
  auto k = static_cast<int64_t>(std::llround(t / h));
  size_t n = 0;
  for (; static_cast<double>(k) * h < end; ++k) ++n;
  t = static_cast<double>(k) * h;
  return n;
}

int Shell(const std::string& cmd) { return std::system((cmd + " 2>/dev/null").c_str()); }

ThtForm* OpenForm() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* f = qobject_cast<ThtForm*>(w)) return f;
  return nullptr;
}

}  // namespace

class TransientWindowTest : public QObject {
  Q_OBJECT
  TScriptedDialogs dialogs_;
  std::unique_ptr<TField> field_;
  QTemporaryDir dir_;

  void CloseForms() {
    // Collected first: a form's own popup menu is a top-level widget too.
    QList<QPointer<QWidget>> forms;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<ThtForm*>(w)) forms.append(w);
    for (const QPointer<QWidget>& w : forms) delete w.data();
  }

 private slots:
  void init() {
    vemo::testing::PrepareExampleRun(dialogs_, field_);
  }
  void cleanup() {
    CloseForms();
    field_.reset();
  }

  void SetupChecksRunInOrderAndKeepTheDialogOpen() {
    ThtSetupDlg dlg(*field_);
    dlg.show();
    QCOMPARE(dlg.Rows.size(), size_t(2));  // A and B are placed
    QCOMPARE(dlg.ViewTimeEdit->text(), QStringLiteral("5"));
    QCOMPARE(dlg.StepEdit->text(), QStringLiteral("0.002"));
    struct TCase {
      QLineEdit* edit;
      const char* text;
      const char* message;
    };
    dlg.AutoScaleCheck->setChecked(false);
    dlg.SingleScaleCheck->setChecked(true);
    const TCase cases[] = {
        {dlg.ViewTimeEdit, "5,5", kBadNumberFormat}, {dlg.ViewTimeEdit, "1e-6", kBadParameter},
        {dlg.StepEdit, "", kBadNumberFormat},        {dlg.StepEdit, "1e-9", kBadParameter},
        {dlg.ViewTimeEdit, "2e7", kBadParameter},  // 2·10^9 steps of 0.01
        {dlg.MinEdit, "a", kBadNumberFormat},        {dlg.MaxEdit, "0", kBadParameter},
    };
    // Each case leaves the edits before it valid, so the failing check is
    // the one of that edit.
    dlg.ViewTimeEdit->setText("2");
    dlg.StepEdit->setText("0.01");
    dlg.MinEdit->setText("0");
    dlg.MaxEdit->setText("1");
    for (const TCase& c : cases) {
      const QString good = c.edit->text();
      c.edit->setText(QString::fromUtf8(c.text));
      dialogs_.Messages.clear();
      QVERIFY(!dlg.OkBtnClick());
      QCOMPARE(dialogs_.Messages.size(), size_t(1));
      QCOMPARE(dialogs_.Messages[0], std::string(c.message));
      QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(c.edit));
      QVERIFY(dlg.isVisible());
      c.edit->setText(good);
    }
    // Nothing was stored by the failed attempts.
    QCOMPARE(field_->Step, 0.002);
    QCOMPARE(Prog.Clock.ViewTime, 5.0);

    // Per-point scales: each row's high must exceed its low.
    dlg.SingleScaleCheck->setChecked(false);
    QVERIFY(dlg.Rows[1].LowEdit->isEnabled() && !dlg.MinEdit->isEnabled());
    dlg.Rows[1].LowEdit->setText("3");
    dlg.Rows[1].HighEdit->setText("2");
    dialogs_.Messages.clear();
    QVERIFY(!dlg.OkBtnClick());
    QCOMPARE(dialogs_.Messages, std::vector<std::string>{kBadParameter});
    QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(dlg.Rows[1].HighEdit));
    dlg.Rows[1].HighEdit->setText("4");
    dlg.Rows[0].ShownCheck->setChecked(false);
    QVERIFY(dlg.OkBtnClick());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(field_->Step, 0.01);
    QCOMPARE(Prog.Clock.ViewTime, 2.0);
    QCOMPARE(field_->Points[1].Low, 3.0);
    QCOMPARE(field_->Points[1].High, 4.0);
    QCOMPARE(int(field_->Points[0].Shown), 0);
    QVERIFY(!PlotSettings().HtSingleScale && !PlotSettings().HtAutoScale);
  }

  void StepButtonStoresTheRecommendedStep() {
    ThtSetupDlg dlg(*field_);
    dlg.StepBtn->click();
    const double h = MinStepHint(*field_);
    QCOMPARE(field_->Step, h);
    QCOMPARE(dlg.StepEdit->text(), QString::fromStdString(FormatNumber(h)));
  }

  void SegmentsFollowEachOtherWithDalee() {
    Prog.Clock.ViewTime = 1.0;
    OpenTransientWindow(*field_);
    ThtForm* form = OpenForm();
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Переходный процесс"));
    QCOMPARE(form->Run.Observed, (std::vector<int>{0, 1}));
    double t = 0;
    size_t steps = StepsUntil(t, 1.0, form->Run.Dt);
    QCOMPARE(form->Run.StepCount(), steps);
    QCOMPARE(form->Run.ViewStart, -0.05);
    QCOMPARE(form->Run.ViewEnd, t);
    QVERIFY(form->PlayBtn1->isEnabled() && !form->Running());
    QVERIFY(form->ProgressBar->isHidden() && form->CancelBtn->isHidden());
    QVERIFY(form->PrintBtn->isEnabled() && form->PlayBtn2->isEnabled());
    QCOMPARE(form->StatusBar->Panels.size(), size_t(3));
    QCOMPARE(form->StatusBar->Panels[0].Text, QStringLiteral("Время:"));
    QCOMPARE(form->StatusBar->Panels[2].Text, QStringLiteral("B:     "));
    QCOMPARE(form->StatusBar->Panels[2].SquareX, 84 + 90);
    QVERIFY(form->SaveItems[1]->isEnabled() && !form->SaveItems[2]->isEnabled());

    // The second segment shows [t - 0.05 VT, t + VT]; the third keeps the
    // end minus the clamped start (1.05 VT) as its span.
    const double t1 = t;
    form->PlayBtn1->click();
    steps += StepsUntil(t, t1 + t1, form->Run.Dt);
    QCOMPARE(form->Run.StepCount(), steps);
    QVERIFY(std::fabs(form->Run.ViewStart - (t1 - 0.05)) < 1e-12);
    QCOMPARE(form->Run.ViewEnd, t);
    const double t2 = t, span = t - (t1 - 0.05);
    form->PlayBtn1->click();
    steps += StepsUntil(t, t2 + span, form->Run.Dt);
    QCOMPARE(form->Run.StepCount(), steps);
    QVERIFY(std::fabs(form->Run.ViewStart - (t2 - 0.05)) < 1e-12);
    QVERIFY(std::fabs(form->Run.ViewEnd - 3.05) < 0.003);
    // The single scale includes 0 and the overshoot of the step response.
    QCOMPARE(form->Run.Scale.Min, 0.0);
    QVERIFY(form->Run.Scale.Max > 1.4 && form->Run.Scale.Max < 1.7);
  }

  void CancelStopsTheRunAtAProgressPoint() {
    Prog.Clock.ViewTime = 2000.0;  // a million steps
    bool sawRunning = false;
    QTimer::singleShot(0, [&] {
      ThtForm* form = OpenForm();
      QVERIFY(form);
      sawRunning = form->Running() && !form->PlayBtn1->isEnabled() &&
                   !form->PropertyBtn->isEnabled() && form->CancelBtn->isVisible();
      form->CancelBtn->click();
    });
    OpenTransientWindow(*field_);
    ThtForm* form = OpenForm();
    QVERIFY(form);
    QVERIFY(sawRunning);
    QVERIFY(form->Run.Aborted);
    // Stopped at the first progress point after the click.
    QVERIFY(form->Run.StepCount() > 0 && form->Run.StepCount() % 201 == 0);
    QVERIFY(form->Run.StepCount() <= 201 * 12);
    QVERIFY(!form->Running() && form->PlayBtn1->isEnabled());
  }

  void ClosingDuringARunWaitsForTheProgressPoint() {
    Prog.Clock.ViewTime = 2000.0;
    QPointer<ThtForm> form;
    QTimer::singleShot(0, [&] {
      form = OpenForm();
      form->close();  // must not free the window under its own run loop
      QVERIFY(form);
    });
    OpenTransientWindow(*field_);
    QVERIFY(form);
    QVERIFY(form->Run.Aborted);
    QTRY_VERIFY(form.isNull());
  }

  void SavedCurvesMatchTheBatchProgram() {
    Prog.Clock.ViewTime = 1.0;
    OpenTransientWindow(*field_);
    ThtForm* form = OpenForm();
    QVERIFY(form);
    const QString cli = QStringLiteral(VEMO_BIN_DIR "/vemo-cli");
    for (int k : {0, 1}) {
      const QChar letter(PointLetter(k));
      const QString mine = dir_.filePath(QStringLiteral("gui_%1.txt").arg(letter));
      const QString theirs = dir_.filePath(QStringLiteral("cli_%1.txt").arg(letter));
      QVERIFY(form->SaveCurve(k, mine));
      QCOMPARE(Shell((cli + " simulate " + QString::fromStdString(Example("oscillatory_step.vmo")) +
                      " --time 1 --points " + letter + " -o " + theirs)
                         .toStdString()),
               0);
      const std::string a = ReadFile(mine), b = ReadFile(theirs);
      QCOMPARE(a.size(), size_t(500 * 49));
      QVERIFY(a == b);
    }
    // Every second sample of the store belongs to B.
    const std::string b = ReadFile(dir_.filePath("gui_B.txt"));
    QCOMPARE(b.substr(24, 23), FormatReal23(form->Run.Samples.At(1)));
    // A point that is not observed has nothing to save; a write failure
    // shows the message.
    QVERIFY(!form->SaveCurve(5, dir_.filePath("f.txt")));
    QVERIFY(!form->SaveCurve(0, dir_.filePath("missing/a.txt")));
    QCOMPARE(dialogs_.Messages, std::vector<std::string>{kWriteError});
  }

  void PicturesInColourAndBlackAndWhite() {
    Prog.Clock.ViewTime = 2.0;
    OpenTransientWindow(*field_);
    ThtForm* form = OpenForm();
    QVERIFY(form);
    form->resize(700, 480);
    QApplication::processEvents();
    const QImage colour = form->Picture(false, false);
    const QImage mono = form->Picture(true, true);
    QCOMPARE(colour.size(), form->PaintBox->size());
    auto count = [](const QImage& img, auto pred) {
      int n = 0;
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += pred(img.pixelColor(x, y));
      return n;
    };
    auto coloured = [](QColor c) { return c.red() != c.green() || c.green() != c.blue(); };
    QVERIFY(count(colour, [](QColor c) { return c == QColor(255, 0, 0); }) > 100);  // B
    QVERIFY(count(colour, [](QColor c) { return c == QColor(0, 128, 0); }) > 100);  // axes
    QCOMPARE(count(mono, coloured), 0);
    // Bold graphs draw more ink.
    auto dark = [](QColor c) { return c == QColor(255, 0, 0); };
    const int thin = count(colour, dark);
    BoldGraphs() = true;
    const int bold = count(form->Picture(false, false), dark);
    BoldGraphs() = false;
    QVERIFY(bold > 2 * thin);
    // The whole picture spans from the first view start to the reached time
    // after a second segment; the visible one only the last segment.
    form->PlayBtn1->click();
    QVERIFY(form->Picture(true, false) != form->Picture(false, false));
    form->grab().save(dir_.filePath("window.png"));
    if (qEnvironmentVariableIsSet("VEMO_KEEP_PICTURES")) {
      form->grab().save(QStringLiteral(VEMO_BINARY_DIR "/transient_window.png"));
      form->Picture(false, true).save(QStringLiteral(VEMO_BINARY_DIR "/transient_mono.png"));
    }
  }

  void PerPointScalesDrawInPercent() {
    // B is the unit step: its own scale is 1 +- 1e-7, so it lies on 100 %;
    // the cursor reads percent back in each point's units.
    PlotSettings().HtSingleScale = false;
    Prog.Clock.ViewTime = 1.0;
    OpenTransientWindow(*field_);
    ThtForm* form = OpenForm();
    form->resize(700, 480);
    QApplication::processEvents();
    QVERIFY(std::fabs(field_->Points[1].High - 1.0) < 1e-6);
    const TTransientPicture pic = TransientPicture(form->Run, nullptr);
    QVERIFY(pic.Percent);
    const TPlotFrame f = TransientFrame(form->PaintBox->rect(), pic);
    const QImage img = form->Picture(false, false);
    QCOMPARE(img.pixelColor(f.Column(0.8), f.Line(100)), QColor(255, 0, 0));
    QTest::mousePress(form->PaintBox, Qt::LeftButton, {}, QPoint(f.Column(0.5), f.Line(50)));
    double a = 0, b = 0;
    QVERIFY(ParseNumber(form->StatusBar->Text(2).mid(3).toStdString(), b));
    QVERIFY(ParseNumber(form->StatusBar->Text(1).mid(3).toStdString(), a));
    QVERIFY(std::fabs(b - 0.5) < 0.02);
    QVERIFY(std::fabs(a - 0.5 * field_->Points[0].High) < 0.03);
    QTest::mouseRelease(form->PaintBox, Qt::LeftButton, {}, QPoint(f.Column(0.5), f.Line(50)));
    if (qEnvironmentVariableIsSet("VEMO_KEEP_PICTURES")) {
      form->grab().save(QStringLiteral(VEMO_BINARY_DIR "/transient_percent.png"));
      ThtSetupDlg dlg(*field_);
      dlg.show();
      QApplication::processEvents();
      dlg.grab().save(QStringLiteral(VEMO_BINARY_DIR "/transient_setup.png"));
    }
  }

  void CursorReadOutShowsTimeAndValues() {
    Prog.Clock.ViewTime = 1.0;
    OpenTransientWindow(*field_);
    ThtForm* form = OpenForm();
    form->resize(700, 480);
    QApplication::processEvents();
    QTest::mousePress(form->PaintBox, Qt::LeftButton, {}, QPoint(300, 200));
    QVERIFY(form->StatusBar->Text(0).startsWith(QStringLiteral("Время: ")));
    QVERIFY(form->StatusBar->Text(1).startsWith(QStringLiteral("A: ")));
    double t = 0;
    QVERIFY(ParseNumber(form->StatusBar->Text(0).mid(7).toStdString(), t));
    QVERIFY(t > 0 && t < 1);
    QTest::mouseRelease(form->PaintBox, Qt::LeftButton, {}, QPoint(300, 200));
  }

  void RangeSlidersSelectAndReset() {
    TRangeSlider s(Qt::Horizontal);
    s.resize(1001, 14);
    int changes = 0;
    s.OnChange = [&] { ++changes; };
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(5, 7));  // near the low end
    QTest::mouseMove(&s, QPoint(200, 7));
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(200, 7));
    QCOMPARE(s.Low(), 200);
    QCOMPARE(s.High(), 1000);
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(600, 7));  // inside: move
    QTest::mouseMove(&s, QPoint(500, 7));
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(500, 7));
    QCOMPARE(s.Low(), 100);
    QCOMPARE(s.High(), 900);
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(50, 7));  // outside: reset
    QCOMPARE(s.Low(), 0);
    QCOMPARE(s.High(), 1000);
    QVERIFY(changes >= 3);
  }
};

QTEST_MAIN(TransientWindowTest)
#include "transient_window_test.moc"
