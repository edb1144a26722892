// The optimisation dialogs: the parameter tree and the points, the checks
// of every dialog, "Авто", "По умолчанию", and runs from Анализ › Оптимизация
// in the progress window, one to its end and one ended by "Отмена".
#include <QAction>
#include <QMdiArea>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTreeWidget>

#include "main_support.h"
#include "model/scheme_builder.h"
#include "optimisation/opt_form.h"
#include "optimisation/opt_param_dlg.h"
#include "optimisation/opt_params.h"
#include "optimisation/opt_range_dlg.h"
#include "optimisation/optimize_dlg.h"
#include "scheme_fixtures.h"
#include "shell/numtext.h"
#include "shell/settings.h"
#include "simulation/engine.h"
#include "simulation/plot_form.h"

using namespace vemo;
using namespace vemo::testing;

namespace {

// Calls `act` on the first modal widget of type D to come up (polling the
// event loop, which the progress window lets run at its progress points).
template <class D>
void OnModalOf(std::function<void(D&)> act, std::function<bool(D&)> ready = {}) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, act, ready] {
    auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
    if (d && (!ready || ready(*d))) {
      timer->stop();
      timer->deleteLater();
      act(*d);
    } else if (++*tries > 500) {
      timer->stop();
      timer->deleteLater();
      qWarning("the modal widget did not appear");
    }
  });
  timer->start(10);
}

// Shows a dialog as the active window, so that the focus can be checked.
void Activate(QWidget& w) {
  w.show();
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
}

void SaveShot(QWidget& w, const QString& name) {
  const QString dir = QStringLiteral(VEMO_BINARY_DIR "/dialog-shots");
  QDir().mkpath(dir);
  w.adjustSize();
  QVERIFY(w.grab().save(dir + "/" + name + ".png"));
}

}  // namespace

class OptimisationTest : public QObject {
  Q_OBJECT
  TScriptedDialogs dialogs_;
  std::unique_ptr<TField> field_;

  // The gain-error scheme, the gain marked and the scheme prepared.
  TParamBlock* Prepared(double K = 0.3) {
    field_ = CreateField();
    auto* g = static_cast<TParamBlock*>(BuildGainError(*field_, K));
    g->OptMask = 1;
    field_->AutoStep = 0;
    field_->Step = 0.1;
    PrepareRun(*field_);
    return g;
  }
  QString Message(size_t k = 0) const {
    return k < dialogs_.Messages.size() ? QString::fromStdString(dialogs_.Messages[k]) : QString();
  }

 private slots:
  void init() {
    ResetProgramState();
    dialogs_ = TScriptedDialogs{};
    Prog.Dialogs = &dialogs_;
  }

  void TheDialogListsTheMarkedParametersUnderTheirBlocks() {
    TParamBlock* g = Prepared();
    auto* c = static_cast<TParamBlock*>(field_->Cell(2, 2));
    c->OptMask = 1;
    Prog.Clock.ViewTime = 2.5;
    OptState().ErrorPoint = 0;
    TOptimizeDlg dlg(*field_);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Оптимизация"));
    QCOMPARE(dlg.ParamCount(), 2);
    QCOMPARE(dlg.TreeView1->topLevelItemCount(), 2);
    QCOMPARE(dlg.TreeView1->topLevelItem(1)->text(0), QString::fromStdString(g->GetName()));
    QCOMPARE(dlg.TreeView1->topLevelItem(1)->child(0)->text(0), QStringLiteral("Коэф.усиления K"));
    QCOMPARE(dlg.EntryOf(dlg.TreeView1->topLevelItem(1)->child(0)), 1);
    QCOMPARE(dlg.EntryOf(dlg.TreeView1->topLevelItem(1)), -1);
    QCOMPARE(dlg.ListBox1->count(), 1);
    QCOMPARE(dlg.ListBox1->currentItem()->text(), QStringLiteral("Точка A"));
    QCOMPARE(dlg.Edit3->text(), QStringLiteral("2.5"));
    QCOMPARE(dlg.Edit4->text(), QStringLiteral("0.1"));
    QCOMPARE(dlg.OKBtn->text(), QStringLiteral("Оптимизация"));
    QCOMPARE(dlg.CancelBtn->text(), QStringLiteral("Закрыть"));
    SaveShot(dlg, "optimize_dlg");

    // Without a marked parameter: the message, and no dialog.
    g->OptMask = 0;
    c->OptMask = 0;
    QVERIFY(!ShowOptimizeDialog(*field_, nullptr));
    QCOMPARE(Message(), QString::fromUtf8(kNoOptParams));
  }

  void StartChecksTheViewTimeAndTheStep() {
    Prepared();
    TOptimizeDlg dlg(*field_);
    Activate(dlg);
    dlg.Edit3->setText("1,5");
    QVERIFY(!dlg.OKBtnClick());
    QCOMPARE(Message(0), QString::fromUtf8(kBadNumberFormat));
    dlg.Edit3->setText("1");
    dlg.Edit4->setText("2");  // above the view time
    QVERIFY(!dlg.OKBtnClick());
    QCOMPARE(Message(1), QString::fromUtf8(kBadParameter));
    QVERIFY(dlg.Edit4->hasFocus());
    dlg.Edit4->setText("1e-11");
    QVERIFY(!dlg.OKBtnClick());
    QCOMPARE(Message(2), QString::fromUtf8(kBadParameter));
    QCOMPARE(field_->Step, 0.1);
  }

  void AutoTakesTheStepAtTheLowerBounds() {
    field_ = CreateField();
    TSchemeBuilder b(*field_);
    b.Block(2, 2, 0, {1.0});
    auto* lag = static_cast<TParamBlock*>(b.Block(4, 2, 10, {1.0, 1.0}));
    b.Line({{2, 2}, {4, 2}});
    b.Line({{4, 2}, {6, 2}});
    b.Point(0, 5, 2);
    lag->OptMask = 1;
    PrepareRun(*field_);
    TOptimizeDlg dlg(*field_);
    OptState().Params[0].Lower = 0.2;
    dlg.Button1Click();
    QCOMPARE(field_->Step, 0.1 * 0.2);
    QCOMPARE(dlg.Edit4->text(), QStringLiteral("0.02"));
    QCOMPARE(lag->Params[0], 1.0);
  }

  void RangeDialogChecksItsBounds() {
    double value = 3.0;
    TOptParam p;
    p.Value = &value;
    TOptRangeDlg dlg(p, QStringLiteral("Коэф.усиления K"));
    Activate(dlg);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Диапазон"));
    QCOMPARE(dlg.TitleLabel->text(), QStringLiteral("Коэф.усиления K"));
    QCOMPARE(dlg.ValueLabel->text(), QStringLiteral("3"));
    QVERIFY(dlg.LinearBtn->isChecked());
    QCOMPARE(dlg.LogBtn->text(), QStringLiteral("[0; +∞]"));
    dlg.Edit1->setText("a");
    QVERIFY(!dlg.OKBtnClick());
    QCOMPARE(Message(0), QString::fromUtf8(kBadNumberFormat));
    dlg.Edit1->setText("5");
    dlg.Edit2->setText("5");
    QVERIFY(!dlg.OKBtnClick());
    QCOMPARE(Message(1), QString::fromUtf8(kBadParameter));
    QVERIFY(dlg.Edit2->hasFocus());
    QCOMPARE(p.Upper, 0.0);
    dlg.Edit1->setText("0");
    dlg.Edit2->setText("1E2");
    dlg.LogBtn->setChecked(true);
    QVERIFY(dlg.OKBtnClick());
    QCOMPARE(int(p.LogScale), 1);
    QCOMPARE(p.Lower, 0.0);
    QCOMPARE(p.Upper, 100.0);
    SaveShot(dlg, "opt_range_dlg");
  }

  void ParamDialogChecksAndKeepsTheSettingsOfTheChosenMethod() {
    TSettings s;
    s.ZondCount = 7;
    TOptParamDlg dlg(s);
    Activate(dlg);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Параметры оптимизации"));
    QCOMPARE(dlg.ListBox1->currentRow(), 1);
    QVERIFY(!dlg.TrackBars[2]->isVisibleTo(&dlg) && dlg.TrackBars[1]->isVisibleTo(&dlg));
    QCOMPARE(dlg.WeightLabels[2]->text(), QStringLiteral("Вес второй производной оишбки:"));
    // Weights are kept per criterion when another one is chosen.
    dlg.TrackBars[0]->setValue(40);
    QCOMPARE(dlg.WeightValues[0]->text(), QStringLiteral("40"));
    dlg.ListBox1->setCurrentRow(2);
    QVERIFY(dlg.TrackBars[2]->isVisibleTo(&dlg));
    QCOMPARE(dlg.TrackBars[0]->value(), 5);
    dlg.TrackBars[2]->setValue(9);
    // The method page: gradient descent with its step as a percentage.
    dlg.ListBox2->setCurrentRow(2);
    QCOMPARE(dlg.Notebook1->currentIndex(), 2);
    QCOMPARE(dlg.GradDownVolumEdit->text(), QStringLiteral("5%"));
    dlg.GradDownVolumEdit->setText("96%");
    QVERIFY(!dlg.OKBtnClick());
    QCOMPARE(Message(0), QString::fromUtf8(kBadParameter));
    QVERIFY(dlg.GradDownVolumEdit->hasFocus());
    dlg.GradDownVolumEdit->setText("%");
    QVERIFY(!dlg.OKBtnClick());
    QCOMPARE(Message(1), QString::fromUtf8(kBadNumberFormat));
    dlg.GradDownVolumEdit->setText("12.5 %");
    dlg.GradDownEpsEdit->setText("1e-11");
    QVERIFY(!dlg.OKBtnClick());
    QCOMPARE(Message(2), QString::fromUtf8(kBadParameter));
    QCOMPARE(s.OptMethod, 1);  // nothing stored yet
    dlg.DefaultBtns[2]->click();
    QCOMPARE(dlg.GradDownVolumEdit->text(), QStringLiteral("5%"));
    QCOMPARE(dlg.GradDownEpsEdit->text(), QString::fromStdString(FormatNumber(1e-6)));
    dlg.GradDownVolumEdit->setText("12.5%");
    dlg.GradDownItersEdit->setValue(500);
    dlg.ZondCountEdit->setValue(11);  // another method's page: not stored
    SaveShot(dlg, "opt_param_dlg");
    QVERIFY(dlg.OKBtnClick());
    QCOMPARE(s.OptMethod, 2);
    QCOMPARE(s.OptCritery, 2);
    QCOMPARE(s.GradDownVolum, 12.5);
    QCOMPARE(s.GradDownIters, 500);
    QCOMPARE(s.ZondCount, 7);
    QCOMPARE(s.Sqr1DWeightY, 40);
    QCOMPARE(s.Sqr2DWeightD2Y, 9);

    // Coordinate descent's accuracy; "Отмена" keeps everything.
    TOptParamDlg again(s);
    Activate(again);
    again.ListBox2->setCurrentRow(1);
    again.SpeedDownEpsEdit->setText("0");
    QVERIFY(!again.OKBtnClick());
    QVERIFY(again.SpeedDownEpsEdit->hasFocus());
    again.TrackBars[0]->setValue(77);
    again.reject();
    QCOMPARE(s.Sqr2DWeightY, 5);
  }

  void AnOptimisationRunsFromTheMenuAndIsUndone() {
    TMainRig rig;
    rig.Dialogs = TScriptedDialogs{};
    TMDIChild* e = rig.Form->NewEditor();
    auto* g = static_cast<TParamBlock*>(BuildGainError(e->Field(), 0.3));
    g->OptMask = 1;
    e->Field().AutoStep = 0;
    e->Field().Step = 0.1;
    Prog.Clock.ViewTime = 1.0;
    TSettings& s = rig.Form->Settings();
    s.OptMethod = 0;
    s.OptCritery = 0;
    s.ZondCount = 9;
    OnModalOf<TOptimizeDlg>([&](TOptimizeDlg& dlg) {
      OptState().Params[0].Lower = -2;
      OptState().Params[0].Upper = 2;
      QVERIFY(dlg.OKBtnClick());
      dlg.CancelBtn->click();
    });
    rig.Form->Item("N30")->trigger();
    QCOMPARE(g->Params[0], 1.0);
    QCOMPARE(OptState().RunsDone, 27L);
    QVERIFY(e->Field().Modified);
    QVERIFY(rig.Dialogs.Messages.empty());
    rig.Form->UndoItemClick();
    QCOMPARE(static_cast<TParamBlock*>(e->Field().Cell(4, 5))->Params[0], 0.3);
  }

  void TheProgressWindowStartsItsRunOnce() {
    int calls = 0;
    TOptForm form([&](TOptProgress& p, const std::function<void()>& display) {
      ++calls;
      p.Start(10, 1.0);
      p.Update(5.0);
      display();
      TOptOutcome o;
      o.Runs = 5;
      return o;
    });
    QCOMPARE(form.windowTitle(), QStringLiteral("Оптимизация..."));
    QCOMPARE(form.Gauge1->maximum(), 1000);
    QCOMPARE(form.Label2->text(), QStringLiteral("-- мин -- сек"));
    QCOMPARE(form.CancelBtn->text(), QStringLiteral("Отмена"));
    QCOMPARE(form.Timer1->interval(), 10);
    QVERIFY(form.Timer1->isActive());
    SaveShot(form, "opt_form");
    QCOMPARE(form.exec(), int(QDialog::Accepted));
    QCOMPARE(calls, 1);
    // "Отмена" before the first tick: the run does not start at all.
    TOptForm early([&](TOptProgress&, const std::function<void()>&) {
      ++calls;
      return TOptOutcome{};
    });
    early.CancelBtnClick();
    early.exec();
    QCOMPARE(calls, 1);
    QCOMPARE(form.Gauge1->value(), 500);
    QCOMPARE(form.Outcome().Runs, 5L);
    QVERIFY(!form.Timer1->isActive());
  }

  void CancelEndsTheRunInTheProgressWindow() {
    Prepared(0.3);
    TOptimizeDlg dlg(*field_);
    OptState().Params[0].Lower = -2;
    OptState().Params[0].Upper = 2;
    dlg.Edit3->setText("1e6");  // runs far too long to end by themselves
    PlotSettings().OptMethod = 2;
    bool cancelled = false;
    QString label;
    OnModalOf<TOptForm>(
        [&](TOptForm& form) {
      QVERIFY(form.Animate1->Running());
      form.CancelBtn->click();
      cancelled = true;
      QVERIFY(!form.CancelBtn->isEnabled());
      QVERIFY(!form.Animate1->Running());
      label = form.Label2->text();
        },
        [](TOptForm& form) { return form.Running(); });
    QVERIFY(dlg.OKBtnClick());
    QVERIFY(cancelled);
    QVERIFY(label.endsWith(QStringLiteral(" сек")) || label == QStringLiteral("До вечера не управлюсь!"));
    QCOMPARE(OptState().RunsDone, 1L);
    QCOMPARE(g_gain(), 0.3);
    PlotSettings() = TSettings{};
  }

 private:
  double g_gain() const { return static_cast<TParamBlock*>(field_->Cell(4, 5))->Params[0]; }
};

QTEST_MAIN(OptimisationTest)
#include "optimisation_test.moc"
