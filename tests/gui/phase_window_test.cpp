// The phase portrait window and its setup dialog: the checks of OK, pages
// with "Далее", the derivative portrait and the saved text compared with
// the batch program's.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

#include "model/field.h"
#include "model/project_file.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "shell/settings.h"
#include "simulation/engine.h"
#include "simulation/phase_form.h"
#include "simulation/phase_setup.h"
#include "simulation/plot_form.h"
#include "simulation/time_windows.h"
#include "time_window_support.h"

using namespace vemo;
using vemo::testing::Example;
using vemo::testing::ReadFile;

namespace {

TPhaseFaceForm* OpenForm() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* f = qobject_cast<TPhaseFaceForm*>(w)) return f;
  return nullptr;
}

}  // namespace

class PhaseWindowTest : public QObject {
  Q_OBJECT
  TScriptedDialogs dialogs_;
  std::unique_ptr<TField> field_;
  QTemporaryDir dir_;

 private slots:
  void init() {
    vemo::testing::PrepareExampleRun(dialogs_, field_);
    PhaseChoice() = TPhaseChoice();
  }
  void cleanup() {
    // Collected first: a form's own popup menu is a top-level widget too.
    QList<QPointer<QWidget>> forms;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<TPhaseFaceForm*>(w)) forms.append(w);
    for (const QPointer<QWidget>& w : forms) delete w.data();
    field_.reset();
  }

  void SetupChecksRunInOrder() {
    TpfSetupDlg dlg(*field_);
    dlg.show();
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Настройка фазового портрета"));
    QCOMPARE(dlg.ListBox1->count(), 2);  // A, B
    QCOMPARE(dlg.ListBox2->count(), 3);  // A, B, dx/dt
    QCOMPARE(dlg.ListBox2->item(2)->text(), QStringLiteral("dx/dt"));
    QCOMPARE(dlg.XMinEdit->text(), QStringLiteral("авто"));
    QVERIFY(!dlg.XMinEdit->isEnabled());
    dlg.AutoscaleCheck->setChecked(false);
    QCOMPARE(dlg.XMinEdit->text(), QStringLiteral("-2"));
    QCOMPARE(dlg.YMaxEdit->text(), QStringLiteral("2"));
    struct TCase {
      QLineEdit* edit;
      const char* text;
      const char* message;
    };
    const TCase cases[] = {
        {dlg.XMinEdit, "q", kBadNumberFormat},   {dlg.XMaxEdit, "-3", kBadParameter},
        {dlg.YMinEdit, "1..", kBadNumberFormat}, {dlg.YMaxEdit, "-2", kBadParameter},
        {dlg.ViewTimeEdit, "0", kBadParameter},  {dlg.StepEdit, "s", kBadNumberFormat},
        {dlg.StepEdit, "1e-10", kBadParameter},  {dlg.ViewTimeEdit, "1e9", kBadParameter},
    };
    for (const TCase& c : cases) {
      const QString good = c.edit->text();
      c.edit->setText(QString::fromUtf8(c.text));
      dialogs_.Messages.clear();
      QVERIFY(!dlg.OkBtnClick());
      QCOMPARE(dialogs_.Messages, std::vector<std::string>{c.message});
      QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(c.edit));
      c.edit->setText(good);
    }
    dlg.ListBox1->setCurrentRow(1);  // B
    dlg.ListBox2->setCurrentRow(2);  // dx/dt
    dlg.XMaxEdit->setText("3");
    dlg.ViewTimeEdit->setText("4");
    QVERIFY(dlg.OkBtnClick());
    QCOMPARE(PhaseChoice().Abscissa, 1);
    QCOMPARE(int(PhaseChoice().Ordinate), int(kDerivativeOrdinate));
    QCOMPARE(PlotSettings().PhaseMaxX, 3.0);
    QVERIFY(!PlotSettings().PhaseAutoscale);
    QCOMPARE(Prog.Clock.ViewTime, 4.0);
  }

  void PagesAndTheDerivativePortrait() {
    Prog.Clock.ViewTime = 1.0;
    PhaseChoice() = {0, kDerivativeOrdinate};
    OpenPhaseWindow(*field_);
    TPhaseFaceForm* form = OpenForm();
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Фазовый портрет"));
    QCOMPARE(form->StatusBar->Text(0), QStringLiteral("A"));
    QCOMPARE(form->StatusBar->Text(2), QStringLiteral("dA"));
    double t = 0;
    size_t steps = 0;
    for (; t < 1.0; t += field_->Step) ++steps;
    QCOMPARE(form->Run.PairCount(), steps - 1);  // the first step has no derivative

    const QString mine = dir_.filePath("gui.txt"), theirs = dir_.filePath("cli.txt");
    QVERIFY(form->SavePortrait(mine));
    const QString cmd = QStringLiteral(VEMO_BIN_DIR "/vemo-cli phase ") +
                        QString::fromStdString(Example("oscillatory_step.vmo")) +
                        " --x A --y dx/dt --time 1 -o " + theirs + " 2>/dev/null";
    QCOMPARE(std::system(cmd.toStdString().c_str()), 0);
    QVERIFY(ReadFile(mine) == ReadFile(theirs));
    // The ordinate comes first on every line.
    QCOMPARE(ReadFile(mine).substr(0, 23), FormatReal23(form->Run.Samples.At(1)));
    QVERIFY(!form->SavePortrait(dir_.filePath("missing/x.txt")));
    QCOMPARE(dialogs_.Messages, std::vector<std::string>{kWriteError});
    const double t1 = t;
    for (; t < t1 + 1.0; t += field_->Step) ++steps;
    form->NextBtn->click();
    QCOMPARE(form->Run.PairCount(), steps - 1);
    QVERIFY(form->NextBtn->isEnabled() && form->PrintBtn->isEnabled());

    form->resize(600, 500);
    QApplication::processEvents();
    const QImage img = form->Picture(false, false);
    int blue = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) blue += img.pixelColor(x, y) == QColor(0, 0, 255);
    QVERIFY(blue > 200);
    if (qEnvironmentVariableIsSet("VEMO_KEEP_PICTURES"))
      form->grab().save(QStringLiteral(VEMO_BINARY_DIR "/phase_window.png"));
  }

  void StopEndsAPage() {
    Prog.Clock.ViewTime = 2000.0;
    PhaseChoice() = {0, 1};
    QTimer::singleShot(0, [] { OpenForm()->StopBtn->click(); });
    OpenPhaseWindow(*field_);
    TPhaseFaceForm* form = OpenForm();
    QVERIFY(form->Run.Aborted);
    QCOMPARE(form->Run.PairCount(), size_t(201));
    QVERIFY(!form->Running());
  }
};

QTEST_MAIN(PhaseWindowTest)
#include "phase_window_test.moc"
