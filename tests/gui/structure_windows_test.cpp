// The transfer-function window and the structure commands: W(s) in both
// forms as vemo-cli tf prints it, the typed W(s) dialog, the contour
// dialogs' checks in their order, the input-output characteristic in its
// table window and the synthesised schemes in "<Cинтез>" windows, each the
// same bytes vemo-cli writes.
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>

#include "blocks/nl_editor.h"
#include "frequency/edit_ws_dlg.h"
#include "frequency/ws_form.h"
#include "frequency_support.h"
#include "model/project_file.h"
#include "shell/numtext.h"
#include "shell/settings.h"
#include "synthesis/contour_dialogs.h"

using namespace vemo;
using namespace vemo::testing;

namespace {

// The text of vemo-cli's output without its final line end.
QString Line(const std::string& s) {
  QString q = QString::fromStdString(s);
  while (q.endsWith(QLatin1Char('\n'))) q.chop(1);
  return q;
}

// The bytes of a field saved as a project.
std::string Saved(TField& field) {
  QTemporaryDir dir;
  const QString name = dir.path() + "/f.vmo";
  if (!SaveField(field, name.toStdString())) return {};
  return ReadFile(name);
}

TMDIChild* SynthesisEditor(TMainRig& rig) {
  for (TMDIChild* e : rig.Form->Editors())
    if (e->Caption() == QStringLiteral("<Cинтез>")) return e;
  return nullptr;
}

}  // namespace

class StructureWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    StructureChoices() = TStructureChoices();
    LastTypedTransfer().clear();
  }

  void TransferFunctionInBothForms() {
    TMainRig rig;
    QVERIFY(rig.Form->OpenProjectFile(ExamplePath("feedback_loop.vmo")));
    rig.Form->Item("WsItem")->trigger();
    TWSForm* w = OnlyWindow<TWSForm>(rig);
    QVERIFY(w);
    QCOMPARE(w->KindGroup->checkedId(), int(TWSForm::Factored));  // the setting's default
    QVERIFY(!w->CopyTextBtn->isEnabled() && !w->PrintBtn->isEnabled());
    w->Lists.SelectPoints(0, 0);
    QVERIFY(!w->BitBtn2Click());
    QCOMPARE(rig.Dialogs.Messages.back(), std::string("Начало и конец контура не должны совпадать."));

    w->Lists.SelectPoints(1, 0);
    QVERIFY(w->BitBtn2Click());
    QCOMPARE(w->Text(), Line(CliOutput("tf examples/feedback_loop.vmo --from B --to A --factored")));
    QVERIFY(!QApplication::overrideCursor());
    w->KindGroup->button(TWSForm::Polynomial)->click();
    QVERIFY(w->BitBtn2Click());
    QCOMPARE(w->Text(), QStringLiteral("WBA(s)=(1)/(0.5*s^2+s)"));
    QCOMPARE(w->Text(), Line(CliOutput("tf examples/feedback_loop.vmo --from B --to A")));
    QCOMPARE(rig.Form->Settings().WsType, int(TWSForm::Polynomial));
    QVERIFY(w->CopyTextBtn->isEnabled() && w->CopyPictureBtn->isEnabled());
    QVERIFY(w->PrintBtn->isEnabled());  // once W(s) is shown
    w->CopyTextBtn->click();
    QCOMPARE(QApplication::clipboard()->text(), w->Text());
    w->CopyPictureBtn->click();
    QCOMPARE(QApplication::clipboard()->image().size(), w->TextPicture().size());
  }

  void TypedTransferFunction() {
    TScriptedDialogs dialogs;
    Prog.Dialogs = &dialogs;
    {
      TEditWSDlg dlg;
      dlg.show();
      QCOMPARE(dlg.windowTitle(), QStringLiteral("Синтез структуры"));
      dlg.Edit1->setText("-s");  // there is no unary minus
      QVERIFY(!dlg.SynthBtnClick());
      QCOMPARE(dialogs.Messages, std::vector<std::string>{"Ошибка в выражении!"});
      QVERIFY(dlg.isVisible());
      dlg.Edit1->setText("2*(s+1)/(s^2+0.5*s+1)");
      QVERIFY(dlg.SynthBtnClick());
      QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }
    // The text is there the next time.
    TEditWSDlg again;
    QCOMPARE(again.Edit1->text(), QStringLiteral("2*(s+1)/(s^2+0.5*s+1)"));
    Prog.Dialogs = nullptr;
  }

  void ContourDialogChecks() {
    TMainRig rig;
    TMDIChild* e = rig.Form->OpenProjectFile(ExamplePath("feedback_loop.vmo"));
    QVERIFY(e);
    TStructEasyDlg easy(e->Field());
    QCOMPARE(easy.windowTitle(), QStringLiteral("Упрощение структуры"));
    QCOMPARE(easy.Label1->text(),
             QStringLiteral("Укажите две точки, между которыми находится упрощаемый контур:"));
    easy.Lists.SelectPoints(1, 1);
    QVERIFY(!easy.OkBtnClick());
    QCOMPARE(rig.Dialogs.Messages.back(), std::string("Начало и конец контура не должны совпадать."));

    TInOutUnlDlg inout(e->Field());
    QCOMPARE(inout.windowTitle(), QStringLiteral("Входо-выходная хар-ка"));
    QCOMPARE(inout.Edit1->text(), QStringLiteral("2"));
    QCOMPARE(inout.Edit2->text(), QStringLiteral("0.01"));
    inout.Edit1->setText("2..5");
    rig.Dialogs.Messages.clear();
    QVERIFY(!inout.OkBtnClick());
    QCOMPARE(rig.Dialogs.Messages, std::vector<std::string>{kBadNumberFormat});
    QCOMPARE(inout.focusWidget(), static_cast<QWidget*>(inout.Edit1));
    inout.Edit1->setText("0.0001");
    inout.Edit2->setText("0.0001");
    QVERIFY(inout.OkBtnClick());
    QCOMPARE(StructureChoices().XMax, 0.001);  // raised to 0.001
    QCOMPARE(StructureChoices().Step, 0.001);

    TSyntezDlg syntez(e->Field());
    QCOMPARE(syntez.windowTitle(), QStringLiteral("Синтез регулятора"));
    syntez.Edit1->setText("t");
    rig.Dialogs.Messages.clear();
    QVERIFY(!syntez.OkBtnClick());
    syntez.Edit1->setText("0.0001");
    QVERIFY(!syntez.OkBtnClick());
    QCOMPARE(rig.Dialogs.Messages, (std::vector<std::string>{kBadNumberFormat, kBadParameter}));
    syntez.Edit1->setText("0.5");
    QVERIFY(syntez.OkBtnClick());
    QCOMPARE(StructureChoices().T, 0.5);
  }

  // The characteristic of the user nonlinearity opens in the table window,
  // the same table vemo-cli inout writes; Escape closes the window.
  void InputOutputCharacteristic() {
    TMainRig rig;
    QVERIFY(rig.Form->OpenProjectFile(ExamplePath("table_nonlinearity.vmo")));
    RunWithDialog<TInOutUnlDlg>(rig, "InOutItem", [](TInOutUnlDlg& d) {
      d.Lists.SelectPoints(1, 0);
      d.Edit1->setText("3");
      d.Edit2->setText("0.05");
      QVERIFY(d.OkBtnClick());
    });
    TnlEditorForm* table = nullptr;
    for (QMdiSubWindow* sub : rig.Form->MdiArea()->subWindowList())
      if (auto* t = qobject_cast<TnlEditorForm*>(sub->widget())) table = t;
    QVERIFY(table);
    QCOMPARE(table->windowTitle(), QStringLiteral("Входо-выходная хар-ка"));
    const std::string cli = CliFile("inout examples/table_nonlinearity.vmo --from B --to A --xmax 3 --step 0.05");
    QVERIFY(!cli.empty());
    QCOMPARE(FormatPointTableText(table->Table), cli);
    // The Edit menu's copy serves the table window.
    QVERIFY(rig.Form->Item("CopyItem")->isEnabled());
    const int before = rig.WindowCount();
    QTest::keyClick(table, Qt::Key_Escape);
    QTRY_COMPARE(rig.WindowCount(), before - 1);
  }

  // The three syntheses open their scheme in "<Cинтез>": the same project
  // bytes as vemo-cli's synth, simplify and controller.
  void SynthesesOpenTheirScheme() {
    TMainRig rig;
    TMDIChild* e = rig.Form->OpenProjectFile(ExamplePath("feedback_loop.vmo"));
    QVERIFY(e);
    RunWithDialog<TEditWSDlg>(rig, "N23", [](TEditWSDlg& d) {
      d.Edit1->setText("2/(s*(s+1))");
      QVERIFY(d.SynthBtnClick());
    });
    TMDIChild* synth = SynthesisEditor(rig);
    QVERIFY(synth);
    QVERIFY(synth->Field().Modified);
    const std::string cliSynth = CliFile("synth \"2/(s*(s+1))\"");
    QVERIFY(!cliSynth.empty());
    QCOMPARE(Saved(synth->Field()), cliSynth);
    synth->Field().Modified = 0;
    qobject_cast<QMdiSubWindow*>(synth->parentWidget())->close();
    QTRY_VERIFY(!SynthesisEditor(rig));

    rig.Form->BringForward(e);
    RunWithDialog<TStructEasyDlg>(rig, "N4", [](TStructEasyDlg& d) {
      d.Lists.SelectPoints(1, 0);
      QVERIFY(d.OkBtnClick());
    });
    synth = SynthesisEditor(rig);
    QVERIFY(synth);
    QCOMPARE(Saved(synth->Field()), CliFile("simplify examples/feedback_loop.vmo --from B --to A"));
    synth->Field().Modified = 0;
    qobject_cast<QMdiSubWindow*>(synth->parentWidget())->close();
    QTRY_VERIFY(!SynthesisEditor(rig));

    rig.Form->BringForward(e);
    RunWithDialog<TSyntezDlg>(rig, "N100", [](TSyntezDlg& d) {
      d.Lists.SelectPoints(1, 0);
      d.Edit1->setText("0.5");
      QVERIFY(d.OkBtnClick());
    });
    synth = SynthesisEditor(rig);
    QVERIFY(synth);
    QCOMPARE(Saved(synth->Field()),
             CliFile("controller examples/feedback_loop.vmo --from B --to A --t 0.5"));
    // The analysed scheme is unchanged.
    QVERIFY(!e->Field().Modified);
    QVERIFY(!QApplication::overrideCursor());
  }

  // An unstable plant: error 33 in the error box, no window.
  void SynthesisErrorsEndInTheErrorBox() {
    TMainRig rig;
    rig.Form->NewEditor();
    QString text;
    OnNextModal([&text](QWidget* m) {
      auto* d = qobject_cast<TEditWSDlg*>(m);
      QVERIFY(d);
      d->Edit1->setText("1/(s-1)");
      AnswerErrorBox(text);
      QVERIFY(d->SynthBtnClick());
    });
    rig.Form->Item("N23")->trigger();
    QTRY_COMPARE(text, QStringLiteral("Синтез невозможен, т.к. контур неустойчив."));
    QVERIFY(!SynthesisEditor(rig));
    QVERIFY(!QApplication::overrideCursor());
  }
};

QTEST_MAIN(StructureWindowsTest)
#include "structure_windows_test.moc"
