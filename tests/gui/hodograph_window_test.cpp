// The hodograph window and its setup dialog: the dialog's checks in their
// order, the curves saved as the batch program writes them, "О системе"
// with the oscillations of a relay loop, the Popov report, the locator at
// known pixels, and the errors that open no window.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "frequency/frequency_state.h"
#include "frequency/godo_form.h"
#include "frequency/godo_reports.h"
#include "frequency/godo_setup.h"
#include "frequency/lach_setup.h"
#include "frequency/ws_form.h"
#include "frequency_support.h"
#include "model/errors.h"
#include "shell/numtext.h"
#include "shell/settings.h"

using namespace vemo;
using namespace vemo::testing;

namespace {

// The contour B -> A with the describing-function curve and a manual
// rectangle -2..1 x -2..2 ("авто").
void ChooseLoopWithCurve(TGodoSetupDlg& d) {
  d.Lists.SelectPoints(1, 0);
  d.NeCheck->setChecked(true);
  d.AutoscaleGroup->button(kAutoscaleManual)->click();
  d.AutoBtn->click();
  QVERIFY(d.OkBtnClick());
}

QString Lines(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

class HodographWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { FrequencyChoices() = TFrequencyChoices(); }

  void SetupChecksRunInOrder() {
    TMainRig rig;
    TMDIChild* e = rig.Form->OpenProjectFile(ExamplePath("relay_loop.vmo"));
    QVERIFY(e);
    TGodoSetupDlg dlg(e->Field(), false, rig.Form.get());
    dlg.show();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Настройка годографа"));
    QVERIFY(dlg.WsCheck->isChecked() && !dlg.NeCheck->isChecked());
    QCOMPARE(dlg.AutoscaleGroup->checkedId(), int(kAutoscaleBoth));
    QCOMPARE(dlg.LgwMinLabel->text(), QStringLiteral("lgw min=-3"));
    QCOMPARE(dlg.FrequencySlider->Low(), 312);
    // Ok only with both lists chosen; the limits only for "Вручную".
    dlg.Lists.Start->clearSelection();
    QVERIFY(!dlg.OkBtn->isEnabled());
    dlg.Lists.SelectPoints(1, 1);
    QVERIFY(dlg.OkBtn->isEnabled());
    QVERIFY(!dlg.ReMinEdit->isEnabled());
    QVERIFY(!dlg.OkBtnClick());
    QCOMPARE(rig.Dialogs.Messages.back(), std::string("Начало и конец контура не должны совпадать."));
    dlg.Lists.SelectPoints(1, 0);

    dlg.AutoscaleGroup->button(kAutoscaleManual)->click();
    QVERIFY(dlg.ReMinEdit->isEnabled());
    dlg.AutoBtn->click();
    QCOMPARE(dlg.ReMinEdit->text(), QStringLiteral("-2"));
    QCOMPARE(dlg.ImMinEdit->text(), QStringLiteral("-2"));
    QCOMPARE(dlg.ReMaxEdit->text(), QStringLiteral("1"));
    QCOMPARE(dlg.ImMaxEdit->text(), QStringLiteral("2"));
    struct TCase {
      QLineEdit* edit;
      const char* text;
      const char* message;
    };
    const TCase cases[] = {{dlg.ImMinEdit, "-2,5", kBadNumberFormat},
                           {dlg.StepEdit, "0.0l", kBadNumberFormat},
                           {dlg.StepEdit, "1e-8", kBadParameter},
                           {dlg.ReMaxEdit, "-2", kBadParameter},
                           {dlg.ImMaxEdit, "-3", kBadParameter}};
    for (const TCase& c : cases) {
      const QString good = c.edit->text();
      c.edit->setText(QString::fromUtf8(c.text));
      rig.Dialogs.Messages.clear();
      QVERIFY(!dlg.OkBtnClick());
      QCOMPARE(rig.Dialogs.Messages, std::vector<std::string>{c.message});
      QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(c.edit));
      c.edit->setText(good);
    }
    // The slider spans lg w -8..8; moving it shows the new range.
    dlg.FrequencySlider->SetSelection(250, 750);
    QCOMPARE(dlg.LgwMaxLabel->text(), QStringLiteral("lgw max=4"));
    dlg.NeCheck->setChecked(true);
    dlg.StepEdit->setText("0.5");
    QVERIFY(dlg.OkBtnClick());
    const TSettings& s = rig.Form->Settings();
    QVERIFY(s.GodoWne);
    QCOMPARE(s.GodoAutoscaleType, int(kAutoscaleManual));
    QCOMPARE(s.GodoReMax, 1.0);
    QCOMPARE(s.GodoNeStep, 0.5);
    QCOMPARE(s.LgwMin, -4.0);
    QCOMPARE(s.LgwMax, 4.0);

    TGodoSetupDlg popov(e->Field(), true, rig.Form.get());
    QCOMPARE(popov.windowTitle(), QStringLiteral("Настройка критерия Попова"));
    QVERIFY(!popov.NeCheck->isEnabled() && !popov.NeCheck->isChecked());
  }

  // The dialogs start from Vemo.ini and what they take goes back into it
  // when the program ends.
  void DialogsKeepTheirSettingsInTheIniFile() {
    const QByteArray ini =
        "[Godograph]\r\nRe min=-5\r\nAutoscale Type=3\r\nWne(jw)=1\r\nGodo NE step=0.5\r\n"
        "[LAFC/PFC]\r\nlgw min=-2\r\nLAFCAutoscale=0\r\nLAFCMin=-30\r\n[W(S)]\r\nType=0\r\n";
    TMainRig rig(&ini);
    TMDIChild* e = rig.Form->OpenProjectFile(ExamplePath("relay_loop.vmo"));
    QVERIFY(e);
    {
      TGodoSetupDlg dlg(e->Field(), false, rig.Form.get());
      QCOMPARE(dlg.ReMinEdit->text(), QStringLiteral("-5"));
      QVERIFY(dlg.NeCheck->isChecked() && dlg.ReMinEdit->isEnabled());
      QCOMPARE(dlg.StepEdit->text(), QStringLiteral("0.5"));
      QCOMPARE(dlg.LgwMinLabel->text(), QStringLiteral("lgw min=-2"));
      dlg.ImMaxEdit->setText("3.5");
      dlg.AutoscaleGroup->button(kAutoscaleHodograph)->click();
      dlg.ImMaxEdit->setEnabled(true);  // taken only for "Вручную"
      dlg.AutoscaleGroup->button(kAutoscaleManual)->click();
      dlg.Lists.SelectPoints(1, 0);
      QVERIFY(dlg.OkBtnClick());
    }
    {
      TLACHSetupDlg dlg(e->Field(), rig.Form.get());
      QVERIFY(!dlg.LAutoscaleCheck->isChecked());
      QCOMPARE(dlg.Edit1->text(), QStringLiteral("-30"));
    }
    rig.Form->Item("WsItem")->trigger();
    TWSForm* ws = OnlyWindow<TWSForm>(rig);
    QVERIFY(ws);
    QCOMPARE(ws->KindGroup->checkedId(), int(TWSForm::Polynomial));
    ws->KindGroup->button(TWSForm::Factored)->click();
    ws->Lists.SelectPoints(1, 0);
    QVERIFY(ws->BitBtn2Click());

    QVERIFY(rig.Form->close());
    const QByteArray text = rig.IniText();
    QVERIFY2(text.contains("Im max=3.5\r\n"), text.constData());
    QVERIFY(text.contains("Re min=-5\r\n"));
    QVERIFY(text.contains("Autoscale Type=3\r\n"));
    QVERIFY(text.contains("Godo NE step=0.5\r\n"));
    QVERIFY(text.contains("LAFCMin=-30\r\n"));
    QVERIFY(text.contains("[W(S)]\r\nType=1\r\n"));  // the form last shown
  }

  // The relay loop: the hodograph and the curve saved as vemo-cli nyquist
  // writes them, the report of "О системе" as vemo-cli margins prints it,
  // the locator at the corners of the manual rectangle.
  void HodographWithTheCurveOfARelay() {
    TMainRig rig;
    QVERIFY(rig.Form->OpenProjectFile(ExamplePath("relay_loop.vmo")));
    RunWithDialog<TGodoSetupDlg>(rig, "GodoItem", ChooseLoopWithCurve);
    TGodoForm* w = OnlyWindow<TGodoForm>(rig);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Годограф"));
    QVERIFY(w->Curves.HaveHodograph && w->Curves.HaveCurve);
    QVERIFY(!w->ProgressBar->isVisible());
    QVERIFY(!QApplication::overrideCursor());

    QTemporaryDir dir;
    QVERIFY(w->SaveCurve(false, dir.path() + "/h.txt"));
    QVERIFY(w->SaveCurve(true, dir.path() + "/e.txt"));
    const std::string cliH = CliFile("nyquist examples/relay_loop.vmo --from B --to A");
    QVERIFY(!cliH.empty());
    QCOMPARE(ReadFile(dir.path() + "/h.txt"), cliH);
    QCOMPARE(ReadFile(dir.path() + "/e.txt"),
             CliFile("nyquist examples/relay_loop.vmo --from B --to A --dfc"));
    rig.FileAnswers << dir.path() + "/menu.txt";
    w->SaveCurveItem->trigger();
    QCOMPARE(rig.FileRequests.back().Title, QStringLiteral("Сохранить ЭККУ"));

    const std::string margins = CliOutput("margins examples/relay_loop.vmo --from B --to A");
    QVERIFY(margins.find("Возможны колебания:") != std::string::npos);
    // The batch program adds the crossover frequencies after the window's text.
    QVERIFY2(Lines(margins).startsWith(w->ClosedLoopReport()), margins.c_str());
    QVERIFY(w->ClosedLoopReport().endsWith(QStringLiteral("Устойчивы (автоколебания)\n")));
    QString verdict, details;
    OnNextModal([&](QWidget* m) {
      auto* f7 = qobject_cast<TForm7*>(m);
      QVERIFY(f7);
      QCOMPARE(f7->windowTitle(), QStringLiteral("О замкнутой системе"));
      verdict = f7->Verdict->text();
      details = f7->Details->text();
      f7->accept();
    });
    w->AboutBtn->click();
    QCOMPARE(verdict, QStringLiteral("Устойчива"));
    QVERIFY(details.contains(QStringLiteral("Устойчивы (автоколебания)")));

    // The locator: the bottom-left data pixel is (-2, -2).
    const TPlotFrame f = PlaneFrame(w->PaintBox->rect(), w->Picture(false));
    QTest::mouseMove(w->PaintBox, QPoint(f.Plot.left(), f.Plot.bottom()));
    QTRY_COMPARE(w->ReLabel->text(), QStringLiteral("-2"));
    QCOMPARE(w->ImLabel->text(), QStringLiteral("-2"));
    QCOMPARE(w->PhiLabel->text(), QStringLiteral("-135°"));
    QCOMPARE(w->ALabel->text(), QString::fromStdString(FormatNumber(std::sqrt(8.0))));

    // "Все" is autoscaled over every curve, the visible part is the manual
    // rectangle.
    QCOMPARE(w->Picture(false).Rect.ReMin, -2.0);
    QVERIFY(w->Picture(true).Rect.ReMin < -100);  // the relay's curve runs far left
    w->CopyPicture(false);
    QCOMPARE(QApplication::clipboard()->image().size(), w->PaintBox->size());

    // "Свойства" without the curve: the same window, the curve gone.
    OnNextModal([](QWidget* m) {
      auto* d = qobject_cast<TGodoSetupDlg*>(m);
      QVERIFY(d);
      QVERIFY(!d->Lists.Start->isEnabled());
      QVERIFY(d->NeCheck->isChecked());
      d->NeCheck->setChecked(false);
      QVERIFY(d->OkBtnClick());
    });
    w->PropertyBtn->click();
    QVERIFY(!w->Curves.HaveCurve && w->Curves.HaveHodograph);
    QVERIFY(!w->SaveCurveItem->isEnabled());
    QVERIFY(!w->ClosedLoopReport().contains(QStringLiteral("колебания")));
  }

  // The Popov command on the saturation loop: the modified hodograph, the
  // line through -1/K, and the report as vemo-cli popov prints it.
  void PopovLine() {
    TMainRig rig;
    QVERIFY(rig.Form->OpenProjectFile(ExamplePath("saturation_loop.vmo")));
    RunWithDialog<TGodoSetupDlg>(rig, "N8", [](TGodoSetupDlg& d) {
      d.Lists.SelectPoints(1, 0);
      QVERIFY(d.OkBtnClick());
    });
    TGodoForm* w = OnlyWindow<TGodoForm>(rig);
    QVERIFY(w && w->Popov);
    QVERIFY(w->Curves.Popov.Sector.Fits && w->Curves.Popov.Line.Found);
    QVERIFY(w->Picture(false).HasPopovLine);
    QCOMPARE(w->Picture(false).PopovLabel, QStringLiteral("-1/k=-1"));
    QTemporaryDir dir;
    QVERIFY(w->SaveCurve(false, dir.path() + "/p.txt"));
    QCOMPARE(ReadFile(dir.path() + "/p.txt"),
             CliFile("nyquist examples/saturation_loop.vmo --from B --to A --popov"));
    QStringList seen;
    OnNextModal([&seen](QWidget* m) {
      auto* p = qobject_cast<TPopovWnd*>(m);
      QVERIFY(p);
      seen << p->windowTitle() << p->NonlinearityValue->text() << p->LineValue->text()
           << p->ConclusionValue->text();
      p->accept();
    });
    w->AboutBtn->click();
    const QString cli = Lines(CliOutput("popov examples/saturation_loop.vmo --from B --to A"));
    QCOMPARE(cli, QStringLiteral("Нелинейность: ") + seen.value(1) + "\n" +
                      QStringLiteral("Прямая Попова: ") + seen.value(2) + "\n" +
                      QStringLiteral("Вывод: ") + seen.value(3) + "\n");
    QCOMPARE(seen.value(0), QStringLiteral("Критерий Попова"));
  }

  // The curve asked of a linear contour: the error box of the nonlinear
  // part (16 or 19, as core finds it), no window. Without a hodograph
  // "О системе" only says so.
  void ErrorsAndAReportWithoutHodograph() {
    TMainRig rig;
    QVERIFY(rig.Form->OpenProjectFile(ExamplePath("feedback_loop.vmo")));
    QString text;
    OnNextModal([&text](QWidget* m) {
      auto* d = qobject_cast<TGodoSetupDlg*>(m);
      QVERIFY(d);
      d->Lists.SelectPoints(1, 0);
      d->NeCheck->setChecked(true);
      AnswerErrorBox(text);
      QVERIFY(d->OkBtnClick());
    });
    rig.Form->Item("GodoItem")->trigger();
    QTRY_VERIFY(text == QString::fromUtf8(ErrorMessage(19)) ||
                text == QString::fromUtf8(ErrorMessage(16)));
    QVERIFY(rig.Form->ResultWindows().empty());

    RunWithDialog<TGodoSetupDlg>(rig, "GodoItem", [](TGodoSetupDlg& d) {
      d.Lists.SelectPoints(1, 0);
      d.WsCheck->setChecked(false);
      d.NeCheck->setChecked(false);
      QVERIFY(d.OkBtnClick());
    });
    TGodoForm* w = OnlyWindow<TGodoForm>(rig);
    QVERIFY(w && !w->Curves.HaveHodograph);
    rig.Dialogs.Messages.clear();
    w->AboutBtn->click();
    QCOMPARE(rig.Dialogs.Messages, std::vector<std::string>{kNoHodographText});
  }
};

QTEST_MAIN(HodographWindowTest)
#include "hodograph_window_test.moc"
