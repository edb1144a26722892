// The program generation dialog: its lists and defaults, the controls each
// language shows, the checks of "Генерация" with the focus they leave, the
// save dialog, the help contexts, and the menu command writing a file.
#include <QCheckBox>
#include <QMdiArea>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "codegen/language_dlg.h"
#include "main_support.h"
#include "model/compile.h"
#include "model/project_file.h"
#include "shell/numtext.h"
#include "simulation/engine.h"

using namespace vemo;
using namespace vemo::testing;

namespace {

// A compiled example with the points A and B placed.
struct TCompiled {
  std::unique_ptr<TField> Field = CreateField();
  TFileProjects Projects;
  explicit TCompiled(const char* example) {
    Prog.Projects = &Projects;
    LoadField(*Field, ExamplePath(example).toStdString());
    Prog.Err.ErrorCode = 0;
    CompileScheme(*Field, nullptr);
  }
};

QStringList Items(QListWidget* l) {
  QStringList s;
  for (int i = 0; i < l->count(); ++i) s << l->item(i)->text();
  return s;
}

void Select(QListWidget* l, std::initializer_list<int> rows) {
  l->clearSelection();
  for (int r : rows) l->item(r)->setSelected(true);
}

}  // namespace

class LanguageDlgTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    ResetProgramState();
    ResetCodegenSettings();
    Prog.Dialogs = &dialogs_;
    dialogs_.Messages.clear();
    requests_.clear();
    answer_.clear();
    TLanguageDlg::SaveChooser = [this](const TSaveRequest& r) {
      requests_.push_back(r);
      return answer_;
    };
  }
  void cleanup() {
    TLanguageDlg::SaveChooser = nullptr;
    Prog.Dialogs = nullptr;
    ResetProgramState();
  }

  void OpensWithThePlacedPointsAndTheFirstLanguage() {
    TCompiled c("feedback_loop.vmo");
    TLanguageDlg dlg(*c.Field);
    QCOMPARE(Items(dlg.ListBox1), QStringList({"Pascal", "C++", "QBasic", "Assembler 80x86", "Asm51", "Asm96", "DEC"}));
    QCOMPARE(dlg.ListBox1->currentRow(), 0);
    QCOMPARE(Items(dlg.ListBox2), QStringList({"точка A", "точка B"}));
    QCOMPARE(Items(dlg.ListBox3), QStringList({"точка A", "точка B"}));
    QVERIFY(dlg.ListBox2->item(0)->isSelected() && !dlg.ListBox2->item(1)->isSelected());
    QVERIFY(!dlg.ListBox3->item(0)->isSelected() && dlg.ListBox3->item(1)->isSelected());
    QCOMPARE(dlg.Edit1->text(), QStringLiteral("0.01"));
    QVERIFY(dlg.CheckBox1->isHidden() && dlg.Label2->isHidden() && dlg.MaskEdit1->isHidden());
    QCOMPARE(dlg.OKBtn->text(), QStringLiteral("Генерация"));
    // With one point the first output item is chosen.
    TCompiled one("first_order_lag.vmo");
    TLanguageDlg single(*one.Field);
    QCOMPARE(single.ListBox3->count(), 1);
    QVERIFY(single.ListBox3->item(0)->isSelected());
  }

  void EachLanguageShowsItsSetting() {
    TCompiled c("feedback_loop.vmo");
    TLanguageDlg dlg(*c.Field);
    dlg.ListBox1->setCurrentRow(3);
    QVERIFY(!dlg.CheckBox1->isHidden() && dlg.MaskEdit1->isHidden());
    const struct {
      int Row;
      const char* Text;
      int Length;
    } rows[] = {{4, "64h", 5}, {5, "0034h", 5}, {6, "60000o", 7}};
    for (const auto& r : rows) {
      dlg.ListBox1->setCurrentRow(r.Row);
      QVERIFY(dlg.CheckBox1->isHidden() && !dlg.Label2->isHidden() && !dlg.MaskEdit1->isHidden());
      QCOMPARE(dlg.MaskEdit1->text(), QString::fromUtf8(r.Text));
      QCOMPARE(dlg.MaskEdit1->maxLength(), r.Length);
    }
    dlg.ListBox1->setCurrentRow(1);
    QVERIFY(dlg.CheckBox1->isHidden() && dlg.Label2->isHidden() && dlg.MaskEdit1->isHidden());
  }

  void RefusalsKeepTheDialogOpenWithTheFocusOnTheFault() {
    TCompiled c("feedback_loop.vmo");
    TLanguageDlg dlg(*c.Field);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    Select(dlg.ListBox2, {0, 1});
    dlg.OKBtnClick();
    QCOMPARE(dialogs_.Messages.back(), std::string(kSamePointMessage));
    Select(dlg.ListBox2, {});
    dlg.OKBtnClick();
    QCOMPARE(dialogs_.Messages.back(), std::string(kNoInputMessage));
    Select(dlg.ListBox2, {1});
    Select(dlg.ListBox3, {});
    dlg.OKBtnClick();
    QCOMPARE(dialogs_.Messages.back(), std::string(kNoOutputMessage));
    Select(dlg.ListBox3, {0});
    dlg.Edit1->setText("1e-12");
    dlg.OKBtn->setFocus();
    dlg.OKBtnClick();
    QCOMPARE(dialogs_.Messages.back(), std::string(kBadParameter));
    QCOMPARE(QApplication::focusWidget(), dlg.Edit1);
    dlg.Edit1->setText("0.02");
    dlg.ListBox1->setCurrentRow(6);
    dlg.MaskEdit1->setText("60080o");
    dlg.OKBtn->setFocus();
    dlg.OKBtnClick();
    QCOMPARE(dialogs_.Messages.back(), std::string(kBadAddressMessage));
    QCOMPARE(QApplication::focusWidget(), dlg.MaskEdit1);
    QVERIFY(requests_.empty());
    QVERIFY(dlg.isVisible());
  }

  void GenerationAsksForTheFileAndWritesIt() {
    TCompiled c("feedback_loop.vmo");
    QTemporaryDir dir;
    TLanguageDlg dlg(*c.Field);
    Select(dlg.ListBox2, {1});
    Select(dlg.ListBox3, {0});
    dlg.ListBox1->setCurrentRow(4);
    dlg.MaskEdit1->setText("40h");
    dlg.Edit1->setText("0.05");
    // Cancelling the save dialog writes nothing.
    dlg.OKBtnClick();
    QCOMPARE(requests_.size(), size_t(1));
    QCOMPARE(requests_[0].Title, QStringLiteral("Сохранить программу как..."));
    QCOMPARE(requests_[0].Filter, QStringLiteral("Файлы (*.a51);;Все файлы (*.*)"));
    QCOMPARE(requests_[0].FileName, QStringLiteral("Default.a51"));
    QCOMPARE(requests_[0].Suffix, QStringLiteral("a51"));
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    answer_ = dir.filePath("ctl.a51");
    dlg.OKBtnClick();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QFile f(answer_);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY(text.contains(".equ\tMemBase, 040h"));
    QVERIFY(text.contains("Controller:\r\n"));
    // The step and the address are remembered for the next opening, and
    // the next file is proposed beside the last one.
    TLanguageDlg next(*c.Field);
    QCOMPARE(next.Edit1->text(), QStringLiteral("0.05"));
    next.ListBox1->setCurrentRow(4);
    QCOMPARE(next.MaskEdit1->text(), QStringLiteral("40h"));
    next.ListBox1->setCurrentRow(0);
    answer_.clear();
    next.OKBtnClick();
    QCOMPARE(requests_.back().FileName, dir.filePath("ctl.pas"));
  }

  void HelpFollowsTheFocus() {
    TCompiled c("feedback_loop.vmo");
    TLanguageDlg dlg(*c.Field);
    dlg.ListBox1->setCurrentRow(4);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    const std::pair<QWidget*, int> rows[] = {{dlg.ListBox1, kLanguageListHelp}, {dlg.Edit1, kStepHelp},
                                             {dlg.MaskEdit1, kAddressHelp},     {dlg.ListBox2, kContourListsHelp},
                                             {dlg.ListBox3, kContourListsHelp}, {dlg.OKBtn, kGenerateHelp},
                                             {dlg.CancelBtn, kLanguageDlgHelp}};
    for (const auto& [w, context] : rows) {
      w->setFocus();
      QCOMPARE(dlg.HelpContextOfFocus(), context);
    }
    dlg.ListBox1->setCurrentRow(3);
    dlg.CheckBox1->setFocus();
    QCOMPARE(dlg.HelpContextOfFocus(), k386Help);
  }

  // The menu command compiles the active scheme, opens the dialog and
  // writes the file; an algebraic loop is refused before the dialog.
  void TheMenuCommandWritesTheProgram() {
    TMainRig rig;
    TLanguageDlg::SaveChooser = [this](const TSaveRequest& r) {
      requests_.push_back(r);
      return answer_;
    };
    QTemporaryDir dir;
    answer_ = dir.filePath("loop.pas");
    QVERIFY(rig.Form->OpenProjectFile(ExamplePath("feedback_loop.vmo")));
    OnNextModal([](QWidget* w) {
      auto* dlg = qobject_cast<TLanguageDlg*>(w);
      QVERIFY(dlg);
      Select(dlg->ListBox2, {1});
      Select(dlg->ListBox3, {0});
      dlg->OKBtnClick();
    });
    rig.Form->Item("N27")->trigger();
    QVERIFY(QFile::exists(answer_));
    QVERIFY(rig.Dialogs.Messages.empty());
  }

 private:
  TScriptedDialogs dialogs_;
  std::vector<TSaveRequest> requests_;
  QString answer_;
};

QTEST_MAIN(LanguageDlgTest)
#include "language_dlg_test.moc"
