// The block dialogs write to their block only when confirmed, evaluate
// every parameter as an expression and keep the dialog open on a bad one.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QMenu>
#include <algorithm>
#include <QtTest>
#include <functional>
#include <memory>

#include "blocks/block_dialogs.h"
#include "blocks/dialog_support.h"
#include "blocks/dll_setup_dlg.h"
#include "blocks/dll_skeleton.h"
#include "blocks/macro_dlg.h"
#include "blocks/modulator_dlgs.h"
#include "blocks/param_control.h"
#include "blocks/param_ctrl_dlg.h"
#include "blocks/property_dlg.h"
#include "blocks/pulse.h"
#include "model/field.h"
#include "model/macro.h"
#include "plugins/user_block.h"
#include "shell/encoding.h"
#include "shell/program.h"

using namespace vemo;

namespace {

template <class T>
std::unique_ptr<T> Make(uint16_t code) {
  std::unique_ptr<TCellObject> obj = CreateCellObject(code);
  auto* typed = dynamic_cast<T*>(obj.get());
  if (!typed) return nullptr;
  obj.release();
  return std::unique_ptr<T>(typed);
}

// Runs `drive` on the modal dialog of type D as soon as it is open.
template <class D>
void WhenOpen(std::function<void(D&)> drive) {
  QTimer::singleShot(0, [drive] {
    auto* dlg = qobject_cast<D*>(QApplication::activeModalWidget());
    QVERIFY(dlg);
    drive(*dlg);
  });
}

void SaveShot(QWidget& w, const QString& name) {
  const QString dir = QStringLiteral(VEMO_BINARY_DIR "/dialog-shots");
  QDir().mkpath(dir);
  w.adjustSize();
  QVERIFY(w.grab().save(dir + "/" + name + ".png"));
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT
  TScriptedDialogs dialogs_;

 private slots:
  void init() {
    ResetProgramState();
    dialogs_ = TScriptedDialogs{};
    Prog.Dialogs = &dialogs_;
  }

  void PropertyDialogShowsEveryParameterRow() {
    auto b = Make<TParamBlock>(11);
    b->OptMask = 0b010;
    TPropertyDlg dlg(*b);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Свойства блока"));
    QCOMPARE(dlg.Label1->text(), QStringLiteral("Колебательное звено"));
    QCOMPARE(dlg.Labels[1]->text(), QStringLiteral("Коэф.демпфирования"));
    QCOMPARE(dlg.Edits[0]->text(), QStringLiteral("0.1"));
    QCOMPARE(dlg.Edits[1]->text(), QStringLiteral("0.05"));
    QVERIFY(!dlg.CheckBoxes[0]->isChecked() && dlg.CheckBoxes[1]->isChecked());
    QCOMPARE(dlg.CheckBoxes[2]->text(), QStringLiteral("Оптимиз."));
    QVERIFY(dlg.Edits[3] == nullptr);  // three parameters, three rows
    QCOMPARE(dlg.Label6->text(), QStringLiteral("Возможно использовать + — * / ( )"));
    QCOMPARE(dlg.HelpBtn->toolTip(), QStringLiteral("Выводит помощь по данному блоку"));
    QCOMPARE(dlg.Image1->pixmap().size(), QSize(40, 40));
    SaveShot(dlg, "property_oscillatory");
  }

  void OkEvaluatesExpressionsAndMarks() {
    auto b = Make<TParamBlock>(11);
    TPropertyDlg dlg(*b);
    dlg.Edits[0]->setText("2*3+1");
    dlg.Edits[1]->setText("1e-3*2");  // a small "e" marks an exponent too
    dlg.Edits[2]->setText("(2+3)*4");
    dlg.CheckBoxes[0]->setChecked(true);
    dlg.CheckBoxes[2]->setChecked(true);
    dlg.OKBtnClick();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(dlg.Changed());
    QCOMPARE(b->Params[0], 7.0);
    QCOMPARE(b->Params[1], 0.002);
    QCOMPARE(b->Params[2], 20.0);
    QCOMPARE(int(b->OptMask), 0b101);
    QVERIFY(dialogs_.Messages.empty());
  }

  void BadExpressionKeepsTheDialogOpenAndTheBlockUnchanged() {
    auto b = Make<TParamBlock>(10);
    TPropertyDlg dlg(*b);
    dlg.show();
    dlg.Edits[0]->setText("5");
    dlg.Edits[1]->setText("1/0");
    dlg.CheckBoxes[0]->setChecked(true);
    dlg.OKBtnClick();
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QVERIFY(dlg.isVisible());
    QCOMPARE(dialogs_.Messages, std::vector<std::string>{"Ошибка в выражении!"});
    // Nothing is stored until every row evaluates, so a later Cancel leaves
    // the block as it was.
    QCOMPARE(b->Params[0], 1.0);
    QCOMPARE(int(b->OptMask), 0);
    QVERIFY(!dlg.Changed());

    dlg.Edits[1]->setText("abc");
    dlg.OKBtnClick();
    QCOMPARE(dialogs_.Messages.back(), std::string("Неверный числовой формат!"));
    dlg.Edits[1]->setText("-2^2");
    dlg.OKBtnClick();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(b->Params[0], 5.0);
    QCOMPARE(b->Params[1], 4.0);
  }

  void UntouchedRowsKeepTheirExactValue() {
    auto b = Make<TParamBlock>(9);
    b->Params[0] = 1.0 / 3.0;  // longer than its text form
    b->OptMask = 0b1100;        // marks beyond the rows are dropped
    TPropertyDlg dlg(*b);
    dlg.OKBtnClick();
    QCOMPARE(b->Params[0], 1.0 / 3.0);
    QCOMPARE(int(b->OptMask), 0);
    QVERIFY(dlg.Changed());

    b->OptMask = 0;
    TPropertyDlg again(*b);
    again.OKBtnClick();
    QVERIFY(!again.Changed());
  }

  void EditReportsOnlyARealChange() {
    auto b = Make<TParamBlock>(6);
    WhenOpen<TPropertyDlg>([](TPropertyDlg& d) {
      d.Edits[0]->setText("2.5");
      d.OKBtn->click();
    });
    QVERIFY(TPropertyDlg::Edit(*b));
    QCOMPARE(b->Params[0], 2.5);

    WhenOpen<TPropertyDlg>([](TPropertyDlg& d) {
      d.Edits[0]->setText("99");
      d.CheckBoxes[0]->setChecked(true);
      d.CancelBtn->click();
    });
    QVERIFY(!TPropertyDlg::Edit(*b));
    QCOMPARE(b->Params[0], 2.5);
    QCOMPARE(int(b->OptMask), 0);

    WhenOpen<TPropertyDlg>([](TPropertyDlg& d) { d.OKBtn->click(); });
    QVERIFY(!TPropertyDlg::Edit(*b));
  }

  void PwmSettingsComeBackOnlyOnOk() {
    auto b = Make<TPulseWidthModulator>(100);
    WhenOpen<TPWMDialogBox>([](TPWMDialogBox& d) {
      d.PeriodEdit->setText("5");
      d.PolarityGroup->button(0)->click();
      d.CancelBtn->click();
    });
    QVERIFY(!EditPulseWidthModulator(*b));
    QCOMPARE(b->Period, 0.01);
    QCOMPARE(int(b->Polarity), 1);

    WhenOpen<TPWMDialogBox>([](TPWMDialogBox& d) {
      QVERIFY(!d.PauseEdit->isEnabled());
      d.PolarityGroup->button(3)->click();
      QVERIFY(d.PauseEdit->isEnabled());
      d.PeriodEdit->setText("1/50");
      d.PauseEdit->setText("2*0.001");
      d.SignalGroup->button(2)->click();
      d.KindGroup->button(0)->click();
      d.OKBtn->click();
    });
    QVERIFY(EditPulseWidthModulator(*b));
    QCOMPARE(b->Period, 0.02);
    QCOMPARE(b->ZeroPause, 0.002);
    QCOMPARE(int(b->Polarity), 3);
    QCOMPARE(int(b->Signal), 2);
    QCOMPARE(int(b->ModKind), 0);

    WhenOpen<TPWMDialogBox>([](TPWMDialogBox& d) { d.OKBtn->click(); });
    QVERIFY(!EditPulseWidthModulator(*b));  // confirmed, but nothing changed
  }

  void PwmDialogShowsItsChoices() {
    TPWMDialogBox dlg(TPWMSettings{});
    QCOMPARE(dlg.PolarityGroup->button(3)->text(), QStringLiteral("——//—— с  паузой на нуле"));
    QCOMPARE(dlg.KindGroup->button(1)->text(), QStringLiteral("II рода"));
    QCOMPARE(dlg.SignalGroup->button(0)->toolTip(),
             QStringLiteral("Импульсы формируются в конце периода"));
    QCOMPARE(dlg.SignalGroup->checkedId(), 1);
    dlg.PeriodEdit->setText("2/0");
    dlg.OKBtnClick();
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QCOMPARE(dialogs_.Messages, std::vector<std::string>{"Ошибка в выражении!"});
    SaveShot(dlg, "pwm");
  }

  void PfmDialogShowsItsChoices() {
    TFIMDialogBox dlg(TPFMSettings{});
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Частотно-импульсный модулятор"));
    QCOMPARE(dlg.PolarityGroup->button(1)->text(), QStringLiteral("Двуполярный"));
    QCOMPARE(dlg.KindGroup->button(0)->text(), QStringLiteral("I род"));
    QCOMPARE(dlg.QuantumEdit->text(), QStringLiteral("0.1"));
    SaveShot(dlg, "pfm");
  }

  void PfmSettingsComeBackOnlyOnOk() {
    auto b = Make<TPulseFrequencyModulator>(101);
    WhenOpen<TFIMDialogBox>([](TFIMDialogBox& d) {
      d.QuantumEdit->setText("0.5");
      d.CancelBtn->click();
    });
    QVERIFY(!EditPulseFrequencyModulator(*b));
    QCOMPARE(b->Quantum, 0.1);

    WhenOpen<TFIMDialogBox>([](TFIMDialogBox& d) {
      QVERIFY(!d.ShaperEdit->isEnabled());  // the second kind takes no clock
      d.KindGroup->button(0)->click();
      QVERIFY(d.ShaperEdit->isEnabled());
      d.QuantumEdit->setText("0.5");
      d.HeightEdit->setText("1/0");
      d.OKBtn->click();
      QCOMPARE(d.result(), int(QDialog::Rejected));
      d.HeightEdit->setText("3");
      d.PolarityGroup->button(0)->click();
      d.OKBtn->click();
    });
    QVERIFY(EditPulseFrequencyModulator(*b));
    QCOMPARE(dialogs_.Messages, std::vector<std::string>{"Ошибка в выражении!"});
    QCOMPARE(b->Quantum, 0.5);
    QCOMPARE(b->Height, 3.0);
    QCOMPARE(int(b->ModKind), 0);
    QCOMPARE(int(b->Polarity), 0);
  }

  void MacroDialogCutsTheNameAndTakesTheFile() {
    TMacroBlock b;
    TMacroDlg dlg(b);
    QCOMPARE(dlg.Edit1->text(), QStringLiteral("A"));
    QVERIFY(!dlg.Button1->isEnabled());  // no file to open yet
    SaveShot(dlg, "macro");
    dlg.Edit1->setText(QStringLiteral("Регулятор"));
    QCOMPARE(dlg.Edit1->text(), QStringLiteral("Регул"));
    dlg.Edit2->setText(QStringLiteral("body.vmo"));
    QVERIFY(dlg.Button1->isEnabled());
    dlg.OKBtnClick();
    QVERIFY(dlg.Changed());
    QCOMPARE(b.Caption, std::string("Регул"));
    QCOMPARE(b.BodyFile, std::string("body.vmo"));

    WhenOpen<TMacroDlg>([](TMacroDlg& d) {
      d.Edit2->setText(QStringLiteral("other.vmo"));
      d.CancelBtn->click();
    });
    QVERIFY(!EditMacroBlock(b));
    QCOMPARE(b.BodyFile, std::string("body.vmo"));
  }

  void MacroBodyThatCannotBeOpenedIsReported() {
    TMacroBlock b;
    b.BodyFile = "missing.vmo";
    Prog.Err.ErrorCode = 7;
    TMacroDlg dlg(b);
    dlg.Button1Click();  // no project source: the body is not found
    QCOMPARE(dialogs_.Messages, std::vector<std::string>{"Тело макровставки не найдено!"});
    QCOMPARE(int(Prog.Err.ErrorCode), 7);  // a look at a body is no analysis
  }

  void ParamControlOffersTheTargetsParameters() {
    TParamControl control;
    auto target = Make<TParamBlock>(11);
    TParamCtrlDlg dlg(control, *target);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Управление параметром"));
    QCOMPARE(dlg.RadioGroup1->buttons().size(), 3);
    QCOMPARE(dlg.RadioGroup1->button(2)->text(), QStringLiteral("Коэф.усиления K"));
    QCOMPARE(dlg.RadioGroup1->checkedId(), 0);
    SaveShot(dlg, "param_control");

    WhenOpen<TParamCtrlDlg>([](TParamCtrlDlg& d) {
      d.RadioGroup1->button(2)->click();
      d.OKBtn->click();
    });
    QVERIFY(EditParamControl(control, *target));
    QCOMPARE(int(control.ParamIndex), 2);

    WhenOpen<TParamCtrlDlg>([](TParamCtrlDlg& d) {
      d.RadioGroup1->button(1)->click();
      d.CancelBtn->click();
    });
    QVERIFY(!EditParamControl(control, *target));
    QCOMPARE(int(control.ParamIndex), 2);
  }

  void UserBlockBindsAndInspectsALibrary() {
    TUserBlock b;
    TDLLSetupDlg dlg(b);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Настройка блока пользователя"));
    QVERIFY(!dlg.AboutBtn->isEnabled() && !dlg.Button2->isEnabled() &&
            !dlg.PropertyBtn->isEnabled());
    QVERIFY(dlg.Edit1->text().isEmpty() && dlg.Memo1->isHidden());

    const QString tiklo = QStringLiteral(VEMO_BIN_DIR "/Tiklo.so");
    dlg.BindLibrary(tiklo);
    QVERIFY(b.Link.Bound());
    QCOMPARE(dlg.Edit1->text(), tiklo);
    QVERIFY(dlg.AboutBtn->isEnabled() && dlg.Button2->isEnabled());
    QVERIFY(!dlg.PropertyBtn->isEnabled());  // Tiklo has no settings of its own
    dlg.Button2Click();
    QVERIFY(!dlg.Memo1->isHidden());
    const QStringList lines = dlg.Memo1->toPlainText().split('\n');
    QCOMPARE(lines.value(0), QStringLiteral("Файл:   ") + tiklo);
    QVERIFY(lines.value(1).startsWith(QStringLiteral("Размер: ")));
    QVERIFY(lines.contains(QStringLiteral("  void _export OnInit():   Нет")));
    SaveShot(dlg, "dll_setup");

    dlg.BindLibrary(QStringLiteral("/nonexistent/lib.so"));
    QVERIFY(!b.Link.Bound());
    QCOMPARE(dialogs_.Messages.back(), std::string("Ошибка в DLL!"));
    QVERIFY(dlg.Edit1->text().isEmpty() && !dlg.AboutBtn->isEnabled());
  }

  void AProjectsLibraryShowsItsNameUntilTheSchemeIsChecked() {
    // Read through its record, as from a project: named, not loaded.
    TUserBlock b;
    b.Link.FileName = VEMO_BIN_DIR "/Tiklo.so";
    auto read = CloneObject(b);
    auto& link = static_cast<TUserBlock*>(read.get())->Link;
    QVERIFY(link.Pending && !link.Bound());
    TDLLSetupDlg dlg(*static_cast<TUserBlock*>(read.get()));
    QCOMPARE(dlg.Edit1->text(), QStringLiteral(VEMO_BIN_DIR "/Tiklo.so"));
    QVERIFY(!dlg.AboutBtn->isEnabled() && !dlg.Button2->isEnabled());
  }

  void UserBlockEditTellsWhetherTheBindingChanged() {
    TUserBlock b;
    WhenOpen<TDLLSetupDlg>([](TDLLSetupDlg& d) { d.OkBtn->click(); });
    QVERIFY(!EditUserBlock(b));
    WhenOpen<TDLLSetupDlg>([](TDLLSetupDlg& d) {
      d.BindLibrary(QStringLiteral(VEMO_BIN_DIR "/Tiklo.so"));
      d.OkBtn->click();
    });
    QVERIFY(EditUserBlock(b));
    QVERIFY(b.Link.Bound());
  }

  void SkeletonNamesComeFromTheFileName() {
    QCOMPARE(SkeletonLibraryName("/tmp/x/my.block.c"), std::string("my"));
    QCOMPARE(SkeletonDefPath("/tmp/x/my.block.c"), std::string("/tmp/x/my.def"));
    // A dot in a directory name is no extension.
    QCOMPARE(SkeletonDefPath("/tmp/a.b/ctl.c"), std::string("/tmp/a.b/ctl.def"));
  }

  void SkeletonsHoldEveryEntry() {
    const std::vector<std::string> delphi = DelphiSkeleton("my");
    QCOMPARE(delphi.front(), delphi[5]);  // the closing border matches the opening one
    for (int i = 0; i < 6; ++i) QCOMPARE(Utf8Length(delphi[i]), Utf8Length(delphi[0]));
    auto has = [](const std::vector<std::string>& v, const std::string& s) {
      return std::find(v.begin(), v.end(), s) != v.end();
    };
    QVERIFY(has(delphi, "Library my;"));
    QVERIFY(has(delphi, "    GetTickStep:=1;"));
    QVERIFY(has(delphi, "  OnParameters name 'OnParam',"));
    QCOMPARE(delphi.back(), std::string("end."));

    const std::vector<std::string> c = CSkeleton("my");
    QVERIFY(has(c, "    return 0.1;"));
    const std::string head = "  double far _pascal _export OnTick(double Time,";
    QVERIFY(has(c, head));
    QVERIFY(has(c, std::string(head.find('(') + 1, ' ') + "double x_bottom,"));
    QVERIFY(has(c, "  void far _pascal _export OnParameters()"));

    const std::vector<std::string> def = DefSkeleton("my.block.c", "my");
    QCOMPARE(def[0], std::string("; my.block.c"));
    QCOMPARE(def[1], std::string("LIBRARY     my"));
    QCOMPARE(def.size(), size_t(16));
    QCOMPARE(def.back(), std::string(12, ' ') + "OnStop");
  }

  void SetupDialogWritesTheSkeletonFiles() {
    TUserBlock b;
    TDLLSetupDlg dlg(b);
    QCOMPARE(dlg.PopupMenu1->actions().size(), 2);
    QCOMPARE(dlg.PopupMenu1->actions().at(1)->text(), QStringLiteral("C++"));
    QTemporaryDir dir;
    const QString cFile = dir.filePath("ctl.v1.c");
    QVERIFY(dlg.WriteSkeleton(true, cFile));
    QFile def(dir.filePath("ctl.def"));
    QVERIFY(def.open(QIODevice::ReadOnly));
    const QByteArray bytes = def.readAll();
    QVERIFY(bytes.startsWith("; ctl.v1.c\r\nLIBRARY     ctl\r\n"));
    QVERIFY(bytes.contains(QByteArray::fromStdString(Utf8ToCp1251("DLL для блока пользователя"))));
    QVERIFY(dialogs_.Messages.empty());
    QVERIFY(!dlg.WriteSkeleton(false, dir.filePath("no/such/dir/x.dpr")));
    QCOMPARE(dialogs_.Messages, std::vector<std::string>{"Ошибка в записи файла!"});
  }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
