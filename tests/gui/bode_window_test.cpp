// The Bode window and its setup dialog: the dialog's checks in their order,
// the command from the menu on a shipped example, the read-out at known
// pixels, the sliders, "Св-ва", picture copies and the curves saved as the
// batch program writes them.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "frequency/frequency_state.h"
#include "frequency/lach_setup.h"
#include "frequency/lafc_form.h"
#include "frequency_support.h"
#include "model/errors.h"
#include "scheme_fixtures.h"
#include "shell/numtext.h"
#include "shell/settings.h"
#include "simulation/plot_form.h"

using namespace vemo;
using namespace vemo::testing;
using vemo::testing::BuildFeedbackLoop;

namespace {

// The contour B -> A of the feedback loop: the open loop 1/(0.5 s^2 + s).
void ChooseOpenLoop(TLACHSetupDlg& d) {
  d.Lists.SelectPoints(1, 0);
  QVERIFY(d.OkBtnClick());
}

}  // namespace

class BodeWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { FrequencyChoices() = TFrequencyChoices(); }

  void SetupChecksRunInOrder() {
    TMainRig rig;
    TMDIChild* e = rig.Form->OpenProjectFile(ExamplePath("feedback_loop.vmo"));
    QVERIFY(e);
    TLACHSetupDlg dlg(e->Field(), rig.Form.get());
    dlg.show();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Настройка ЛАЧХ/ФЧХ"));
    QCOMPARE(dlg.Lists.Start->count(), 2);
    QCOMPARE(dlg.Lists.Start->item(1)->text(), QStringLiteral("Точка B"));
    QCOMPARE(dlg.StartPoint(), 0);
    QCOMPARE(dlg.EndPoint(), 1);
    // Autoscaled plots take no limits; their edits are off.
    QVERIFY(!dlg.Edit1->isEnabled() && !dlg.Edit3->isEnabled());

    dlg.Lists.SelectPoints(1, 1);
    QVERIFY(!dlg.OkBtnClick());
    QCOMPARE(rig.Dialogs.Messages.back(), std::string("Начало и конец контура не должны совпадать."));
    QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(dlg.Lists.End));
    dlg.Lists.SelectPoints(1, 0);

    dlg.LAutoscaleCheck->setChecked(false);
    QVERIFY(dlg.Edit1->isEnabled() && dlg.Edit2->isEnabled());
    struct TCase {
      QLineEdit* edit;
      const char* text;
      const char* message;
      QLineEdit* focus;
    };
    const TCase cases[] = {{dlg.Edit1, "-6O", kBadNumberFormat, dlg.Edit1},
                           {dlg.Edit2, "", kBadNumberFormat, dlg.Edit2},
                           {dlg.Edit2, "-60", kBadParameter, dlg.Edit2}};
    for (const TCase& c : cases) {
      const QString good = c.edit->text();
      c.edit->setText(QString::fromUtf8(c.text));
      rig.Dialogs.Messages.clear();
      QVERIFY(!dlg.OkBtnClick());
      QCOMPARE(rig.Dialogs.Messages, std::vector<std::string>{c.message});
      QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(c.focus));
      c.edit->setText(good);
    }
    // A plot not shown takes no limits either.
    dlg.FAutoscaleCheck->setChecked(false);
    dlg.Edit3->setText("x");
    dlg.CheckBox2->setChecked(false);
    QVERIFY(!dlg.Edit3->isEnabled());
    // At least one plot is always shown.
    dlg.CheckBox1->setChecked(false);
    QVERIFY(dlg.CheckBox2->isChecked());
    dlg.CheckBox2->setChecked(false);
    QVERIFY(dlg.CheckBox1->isChecked());
    dlg.Edit1->setText("-40");
    dlg.Edit2->setText("20");
    QVERIFY(dlg.OkBtnClick());
    const TSettings& s = rig.Form->Settings();
    QVERIFY(!s.LafcAutoscale && !s.PfcAutoscale);
    QCOMPARE(s.LafcMin, -40.0);
    QCOMPARE(s.LafcMax, 20.0);
    QCOMPARE(s.PfchMin, -60.0);  // not taken: the phase plot is not shown
    QVERIFY(FrequencyChoices().LShown && !FrequencyChoices().PhiShown);
    QCOMPARE(FrequencyChoices().BodeStartRow, 1);
    QCOMPARE(FrequencyChoices().BodeEndRow, 0);
  }

  // The window on the open loop: the read-out at the plots' corners, the
  // slider positions of lg w -3..3, the saved curves byte for byte as
  // vemo-cli writes them, "Св-ва" with its contour locked, picture copies.
  void WindowOnTheExample() {
    TMainRig rig;
    QVERIFY(rig.Form->OpenProjectFile(ExamplePath("feedback_loop.vmo")));
    RunWithDialog<TLACHSetupDlg>(rig, "LACHItem", ChooseOpenLoop);
    TLAFCForm* w = OnlyWindow<TLAFCForm>(rig);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("ЛАЧХ/ФЧХ"));
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(w->HPaintBox->Low(), 312);
    QCOMPARE(w->HPaintBox->High(), 688);
    QVERIFY(!w->PrintBtn->isEnabled());
    // Autoscale: L from the evaluation (it contains 0 dB), phi down to -180.
    QVERIFY(w->Ranges.LMax > 59.99 && w->Ranges.LMax < 60.0);
    QCOMPARE(w->Ranges.PhiMin, -3.14159265358979323846);

    // Pressing at the top-left data pixel of a plot reads its top value and
    // lg w min; the bottom-left of the phase plot reads -180 degrees.
    const TBodeFrame fl = BodeFrame(w->PaintBox1->rect(), w->Picture(false));
    QTest::mousePress(w->PaintBox1, Qt::LeftButton, {}, QPoint(fl.Plot.left(), fl.Plot.top() + 16));
    QCOMPARE(w->StatusBar->Text(0), QStringLiteral("ЛАЧХ[ДБ]"));
    QCOMPARE(w->StatusBar->Text(1), QString::fromStdString(FormatNumber(w->Ranges.LMax)));
    QCOMPARE(w->StatusBar->Text(2), QStringLiteral("lgw:"));
    QCOMPARE(w->StatusBar->Text(3), QStringLiteral("-3"));
    QCOMPARE(w->StatusBar->Text(5), QStringLiteral("0.001"));
    QTest::mouseRelease(w->PaintBox1, Qt::LeftButton);
    const TBodeFrame fp = BodeFrame(w->PaintBox2->rect(), w->Picture(true));
    QTest::mousePress(w->PaintBox2, Qt::LeftButton, {}, QPoint(fp.Plot.right(), fp.Plot.bottom() - 16));
    QCOMPARE(w->StatusBar->Text(0), QStringLiteral("ФЧХ[°]"));
    QCOMPARE(w->StatusBar->Text(1), QStringLiteral("-180"));
    QCOMPARE(w->StatusBar->Text(3), QStringLiteral("3"));
    QCOMPARE(w->StatusBar->Text(5), QStringLiteral("1000"));
    QTest::mouseRelease(w->PaintBox2, Qt::LeftButton);

    QTemporaryDir dir;
    const QString lFile = dir.path() + "/l.txt", phiFile = dir.path() + "/phi.txt";
    QVERIFY(w->SaveCurve(false, lFile));
    QVERIFY(w->SaveCurve(true, phiFile));
    const std::string cliL = CliFile("bode examples/feedback_loop.vmo --from B --to A");
    QVERIFY(!cliL.empty());
    QCOMPARE(ReadFile(lFile), cliL);
    QCOMPARE(ReadFile(phiFile), CliFile("bode examples/feedback_loop.vmo --from B --to A --phase"));
    // Through the menu's save dialog (answered by the test).
    rig.FileAnswers << dir.path() + "/menu.txt";
    QMenu* save = Submenu(w->PopupMenu1, QStringLiteral("Сохранить в текстовый файл"));
    QVERIFY(save);
    save->actions().at(0)->trigger();
    QCOMPARE(rig.FileRequests.back().Title, QStringLiteral("Сохранить ЛАЧХ"));
    QCOMPARE(ReadFile(dir.path() + "/menu.txt"), cliL);
    // A file that cannot be written: the message, and false.
    QVERIFY(!w->SaveCurve(false, dir.path() + "/no/such/dir/l.txt"));
    QCOMPARE(rig.Dialogs.Messages.back(), std::string(kWriteError));

    // Moving the horizontal slider maps its positions back: -3.008..3.008.
    w->HPaintBox->SetSelection(312, 687);
    w->HPaintBox->SetSelection(312, 688);
    QCOMPARE(w->LgwMin, -3.008);
    QCOMPARE(w->LgwMax, 3.008);
    // A vertical slider shows a part of its plot's range.
    w->VPaintBox1->SetSelection(500, 1000);
    const TBodePicture upper = w->Picture(false);
    QCOMPARE(upper.Top, w->Ranges.LMax);
    QCOMPARE(upper.Bottom, w->Ranges.LMin + (w->Ranges.LMax - w->Ranges.LMin) * 0.5);

    // Copies: one plot at its box's size, both one above the other.
    QCOMPARE(w->PlotPicture(TLAFCForm::LPlot, false).size(), w->PaintBox1->size());
    const QSize both = w->PlotPicture(TLAFCForm::Both, false).size();
    QCOMPARE(both, QSize(w->PaintBox1->width(), 2 * w->PaintBox1->height()));
    w->CopyPicture(TLAFCForm::PhiPlot);
    QCOMPARE(QApplication::clipboard()->image().size(), w->PaintBox2->size());

    // "Св-ва": the dialog shows the window's contour locked; without phi the
    // L plot takes the whole height.
    OnNextModal([](QWidget* m) {
      auto* d = qobject_cast<TLACHSetupDlg*>(m);
      QVERIFY(d);
      QVERIFY(!d->Lists.Start->isEnabled() && !d->Lists.End->isEnabled());
      QCOMPARE(d->StartPoint(), 1);
      QCOMPARE(d->EndPoint(), 0);
      d->CheckBox2->setChecked(false);
      QVERIFY(d->OkBtnClick());
    });
    w->PropertyBtn->click();
    QVERIFY(!w->PaintBox2->isVisible() && !w->VPaintBox2->isVisible());
    QVERIFY(w->PaintBox1->isVisible());
    // The window's lg w range went into the settings on the way.
    QCOMPARE(rig.Form->Settings().LgwMin, -3.008);
  }

  // A contour error ends the command in the error box at its cell and opens
  // no window: a delay element inside the loop of the contour (error 38).
  void ContourErrorsEndInTheErrorBox() {
    TMainRig rig;
    TMDIChild* e = rig.Form->NewEditor();
    BuildFeedbackLoop(e->Field(), 12, {0.5, 1.0});
    QString text;
    OnNextModal([&text](QWidget* m) {
      auto* d = qobject_cast<TLACHSetupDlg*>(m);
      QVERIFY(d);
      AnswerErrorBox(text);
      QVERIFY(d->OkBtnClick());  // A -> B
    });
    rig.Form->Item("LACHItem")->trigger();
    QTRY_COMPARE(text, QString::fromUtf8(ErrorMessage(38)));
    QCOMPARE(e->CurrentCol(), 6);
    QCOMPARE(e->CurrentRow(), 2);
    QVERIFY(rig.Form->ResultWindows().empty());
    QVERIFY(!QApplication::overrideCursor());
  }
};

QTEST_MAIN(BodeWindowTest)
#include "bode_window_test.moc"
