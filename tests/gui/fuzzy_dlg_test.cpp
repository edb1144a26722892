// The fuzzy editor: variables and the output side, membership functions
// drawn with the mouse, the rule text with its error message and caret,
// the debugger, the model files in both formats, and the editor opened from
// the structure editor.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "editor_support.h"
#include "fuzzy/fuzzy_block.h"
#include "fuzzy/fuzzy_dlg.h"
#include "fuzzy/fuzzy_file.h"
#include "fuzzy/fuzzy_rules.h"
#include "fuzzy/winfact.h"
#include "shell/numtext.h"

using namespace vemo;
using namespace vemo::testing;

namespace {

// A dialog shown on screen, with the person's choices scripted: file names
// come from `files`, the name dialogs are filled by `name` and confirmed
// with their own OK, and errors are collected.
struct TRig {
  TScriptedDialogs Dialogs;
  std::unique_ptr<TFuzzyDlg> Dlg;
  std::vector<int> Errors;
  int NoErrors = 0;
  QString File;
  int FilterIndex = 1;
  std::function<void(QDialog&)> Fill;

  explicit TRig(const TFuzzyModel& m = TFuzzyBlock().Model, uint8_t side = 3) {
    ResetProgramState();
    Prog.Dialogs = &Dialogs;
    Dlg = std::make_unique<TFuzzyDlg>(m, side);
    Dlg->ShowError = [this](int code) { Errors.push_back(code); };
    Dlg->ShowNoErrors = [this] { ++NoErrors; };
    Dlg->ChooseFile = [this](QWidget*, const QString&, const QStringList&, const QString&, bool, int& index) {
      index = FilterIndex;
      return File;
    };
    Dlg->RunDialog = [this](QDialog& d) {
      if (Fill) Fill(d);
      if (auto* n = qobject_cast<TFuncNameDlg*>(&d)) n->OkBtnClick();
      if (auto* s = qobject_cast<TFieldSizeDlg*>(&d)) s->OkBtnClick();
      return d.result() == QDialog::Accepted;
    };
    Dlg->resize(700, 600);
    Dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(Dlg.get()));
  }
  ~TRig() {
    Dlg.reset();
    Prog.Dialogs = nullptr;
    ResetProgramState();
  }
  // The name dialog answered with a name (and a variable, by index).
  void Answer(const QString& name, int var = -1) {
    Fill = [name, var](QDialog& d) {
      auto* n = qobject_cast<TFuncNameDlg*>(&d);
      if (!n) return;
      n->Edit1->setText(name);
      if (var >= 0) n->SetVar(var);
    };
  }
};

QPoint PixelOf(TFuzzyDlg& d, size_t var, double x, double y) {
  const TPlotFrame f = d.GraphFrame(var);
  return QPoint(f.Column(x), f.Line(y));
}

// The rule text replaced as typed (so that it counts as modified).
void Type(TFuzzyDlg& d, const QString& text) {
  d.Memo1->selectAll();
  d.Memo1->textCursor().insertText(text);
}

void Name(TFuzzyDlg& d, int k, const QString& name) {
  d.Edits[static_cast<size_t>(k)]->setText(name);
  QVERIFY(d.ApplyVariableNames());
}

}  // namespace

class FuzzyDlgTest : public QObject {
  Q_OBJECT
 private slots:
  void VariablesAndTheOutputSide() {
    TRig r;
    TFuzzyDlg& d = *r.Dlg;
    QCOMPARE(d.windowTitle(), QStringLiteral("Нечеткий регулятор"));
    QCOMPARE(d.Edits[3]->text(), QStringLiteral("Y"));
    // A name with a blank is refused; the model keeps its names.
    d.Edits[0]->setText(QStringLiteral("Ошибка 1"));
    QVERIFY(!d.ApplyVariableNames());
    QCOMPARE(r.Dialogs.Messages.back(), std::string(kBadFuzzyName));
    QCOMPARE(d.Model.Variables[0].Name, std::string("X1"));
    Name(d, 0, QStringLiteral("Ошибка_1"));
    QCOMPARE(d.Model.Variables[0].Name, std::string("Ошибка_1"));

    // Clicks near the edges of the block picture choose the output side;
    // a corner chooses none.
    QWidget* box = d.PaintBox1;
    const int w = box->width(), h = box->height();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(int(d.OutputSide), 3);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, h / 2));
    QCOMPARE(int(d.OutputSide), 1);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(w / 2, h - 3));
    QCOMPARE(int(d.OutputSide), 2);
    QCOMPARE(SideAt(40, 39, 200, 160), 0);
    QCOMPARE(SideAt(39, 39, 200, 160), -1);
    QCOMPARE(SideAt(10, 41, 200, 160), 1);
    QCOMPARE(SideAt(10, 40, 200, 160), -1);
  }

  void TermsAreAddedAndDrawnWithTheMouse() {
    TRig r;
    TFuzzyDlg& d = *r.Dlg;
    Name(d, 1, QStringLiteral("E"));
    d.Tab->setCurrentIndex(1);
    d.Ranges[1] = {-2.0, 2.0};
    // A click on the graph of a variable without functions asks for a new
    // one of that variable.
    r.Answer(QStringLiteral("NB"));
    QTest::mouseClick(d.Graphs[1], Qt::LeftButton, {}, PixelOf(d, 1, 0, 0.5));
    QCOMPARE(int(d.Model.Terms.size()), 1);
    QCOMPARE(d.Model.Terms[0].Name, std::string("NB"));
    QCOMPARE(int(d.Model.Terms[0].VarIndex), 1);
    QCOMPARE(d.Current, 0);
    QCOMPARE(d.ComboBox1->currentText(), QStringLiteral("NB"));
    // A second function of another name; the same name is refused.
    r.Answer(QStringLiteral("nb"));
    d.NewFuncClick();
    QCOMPARE(int(d.Model.Terms.size()), 1);
    QVERIFY(QString::fromStdString(r.Dialogs.Messages.back())
                .startsWith(QStringLiteral("Функция прмнадлежности с именем \"nb\" уже существует!")));

    // Drawing: each press adds a point, dragged while the button is held.
    QWidget* g = d.Graphs[1];
    QTest::mouseClick(g, Qt::LeftButton, {}, PixelOf(d, 1, -1.5, 0));
    QTest::mousePress(g, Qt::LeftButton, {}, PixelOf(d, 1, 0, 0.5));
    QTest::mouseMove(g, PixelOf(d, 1, -1, 1));
    QTest::mouseRelease(g, Qt::LeftButton, {}, PixelOf(d, 1, -1, 1));
    QTest::mouseClick(g, Qt::LeftButton, {}, PixelOf(d, 1, -0.5, 0));
    const auto& p = d.Model.Terms[0].Shape.Points;
    QCOMPARE(int(p.size()), 3);
    const TPlotFrame f = d.GraphFrame(1);
    const double px = (f.X1 - f.X0) / (f.Plot.width() - 1), py = (f.Y1 - f.Y0) / (f.Plot.height() - 1);
    const double want[3][2] = {{-1.5, 0}, {-1, 1}, {-0.5, 0}};
    for (int i = 0; i < 3; ++i) {
      QVERIFY(std::fabs(p[size_t(i)].X - want[i][0]) <= 1.5 * px);
      QVERIFY(std::fabs(p[size_t(i)].Y - want[i][1]) <= 1.5 * py);
    }
    // Moving the peak, inserting a point on a segment, cutting it again.
    d.MoveBtn->click();
    QTest::mousePress(g, Qt::LeftButton, {}, PixelOf(d, 1, p[1].X, p[1].Y));
    QTest::mouseMove(g, PixelOf(d, 1, -0.8, 0.9));
    QTest::mouseRelease(g, Qt::LeftButton, {}, PixelOf(d, 1, -0.8, 0.9));
    QVERIFY(std::fabs(p[1].X + 0.8) <= 1.5 * px);
    d.InsertBtn->click();
    const double mx = (p[1].X + p[2].X) / 2, my = (p[1].Y + p[2].Y) / 2;
    QTest::mouseClick(g, Qt::LeftButton, {}, PixelOf(d, 1, mx, my));
    QCOMPARE(int(p.size()), 4);
    d.CutBtn->click();
    QTest::mouseClick(g, Qt::LeftButton, {}, PixelOf(d, 1, p[2].X, p[2].Y));
    QCOMPARE(int(p.size()), 3);
    // Cutting every point removes the function.
    for (int i = 0; i < 3; ++i) QTest::mouseClick(g, Qt::LeftButton, {}, PixelOf(d, 1, p[0].X, p[0].Y));
    QVERIFY(d.Model.Terms.empty());
    QCOMPARE(d.Current, -1);
  }

  void AWrongRuleShowsItsErrorWithTheCaretOnTheToken() {
    TFuzzyModel m = TFuzzyBlock().Model;
    AddTerm(m, "A", 0, TFuzzyShape{{{0, 0}, {1, 1}, {2, 0}}});
    AddTerm(m, "Z", 3, TFuzzyShape{{{0, 0}, {1, 1}, {2, 0}}});
    TRig r(m);
    TFuzzyDlg& d = *r.Dlg;
    d.Tab->setCurrentIndex(2);
    // Words from the lists: no blank at the start of the text or of a line.
    d.InsertWord(QStringLiteral("ЕСЛИ"));
    d.InsertWord(QStringLiteral("X1"));
    QCOMPARE(d.Memo1->toPlainText(), QStringLiteral("ЕСЛИ X1"));
    Type(d, QStringLiteral("ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z\nЕСЛИ X1 ЕСТЬ B ТО Y ЕСТЬ Z"));
    QTest::mouseClick(d.CheckBtn, Qt::LeftButton);
    QCOMPARE(r.Errors, std::vector<int>{23});
    QCOMPARE(r.NoErrors, 0);
    const int second = d.Memo1->document()->findBlockByNumber(1).position();
    QCOMPARE(d.Memo1->textCursor().position(), second + 14);  // B starts at 14
    QVERIFY(d.Model.Rules.empty());
    QVERIFY(d.Memo1->document()->isModified());
    // Uncompiled changes: the close question; "Yes" keeps the dialog open.
    r.Dialogs.YesNoAnswer = true;
    d.reject();
    QCOMPARE(r.Dialogs.Questions.back(), std::string("Правила были изменины, но не скомпилированы. Остановится?"));
    QVERIFY(d.isVisible());
    // Mended: "Ошибок нет!", and closing asks nothing.
    d.Memo1->setPlainText(QStringLiteral("ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z\n"));
    d.Memo1->moveCursor(QTextCursor::End);
    d.InsertWord(QStringLiteral("И"));
    QCOMPARE(d.Memo1->toPlainText(), QStringLiteral("ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z\nИ"));
    d.Memo1->setPlainText(QStringLiteral("ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z"));
    d.Memo1->moveCursor(QTextCursor::End);
    d.InsertWord(QStringLiteral("И"));
    QCOMPARE(d.Memo1->toPlainText(), QStringLiteral("ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z И"));
    Type(d, QStringLiteral("ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z"));
    d.CheckBtnClick();
    QCOMPARE(r.NoErrors, 1);
    QCOMPARE(int(d.Model.Rules.size()), 2);
    const size_t questions = r.Dialogs.Questions.size();
    d.reject();
    QCOMPARE(r.Dialogs.Questions.size(), questions);
    QVERIFY(!d.isVisible());
  }

  void TheDebuggerStepsRuleByRule() {
    TFuzzyModel m = TFuzzyBlock().Model;
    AddTerm(m, "A", 0, TFuzzyShape{{{0, 0}, {1, 1}, {2, 0}}});
    AddTerm(m, "Z", 3, TFuzzyShape{{{0, 0}, {1, 1}, {2, 0}}});
    AddTerm(m, "W", 3, TFuzzyShape{{{2, 0}, {3, 1}, {4, 0}}});
    QCOMPARE(CompileRules(m, "ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z\nЕСЛИ НЕ X1 ЕСТЬ A ТО Y ЕСТЬ W\nЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ W\n").Line, -1);
    TRig r(m);
    TFuzzyDlg& d = *r.Dlg;
    d.Tab->setCurrentIndex(3);
    d.ValueEdits[0]->setText(QStringLiteral("0.25"));
    QTest::keyClick(d.ValueEdits[0], Qt::Key_5);  // typing sets the value: 0.255
    QCOMPARE(d.Model.Variables[0].Value, 0.255);
    d.ValueEdits[0]->setText(QStringLiteral("0.25"));
    emit d.ValueEdits[0]->textEdited(d.ValueEdits[0]->text());
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    d.Edit9->setFocus();
    for (int step = 1; step <= 3; ++step) {
      QTest::keyClick(d.Edit9, Qt::Key_F8);
      QCOMPARE(d.RulesStepped(), step);
    }
    QCOMPARE(d.Edit9->text(), QStringLiteral("0.25"));  // the truth of the third rule
    // The result of all three: Z at 0.25 and W at max(0.75, 0.25).
    TFuzzyModel ref = m;
    ref.Variables[0].Value = 0.25;
    Infer(ref);
    QCOMPARE(d.Model.Variables[3].Value, ref.Variables[3].Value);
    QCOMPARE(int(d.Debugger().AccumulatorCount()), 1);
    // The fourth step starts again with the first rule and fresh accumulators.
    d.StepClick();
    QCOMPARE(d.RulesStepped(), 1);
    QCOMPARE(d.Edit9->text(), QStringLiteral("0.25"));
    QCOMPARE(d.Model.Variables[3].Value, 1.0);
    QTest::keyClick(d.Edit9, Qt::Key_F2, Qt::ControlModifier);
    QCOMPARE(d.RulesStepped(), 0);
    QCOMPARE(int(d.Debugger().AccumulatorCount()), 0);
  }

  void TheModelIsSavedAndReopenedInBothFormats() {
    QTemporaryDir dir;
    TFuzzyModel m = TFuzzyBlock().Model;
    m.Variables[0].Name = "Ошибка";
    AddTerm(m, "Мало", 0, TFuzzyShape{{{-1, 0}, {0, 1}, {1, 0}}});
    AddTerm(m, "Много", 0, TFuzzyShape{{{0, 0}, {1, 1}, {2, 1}, {3, 0}}});
    AddTerm(m, "Z", 3, TFuzzyShape{{{0, 0}, {1, 1}, {2, 0}}});
    m.Method = kMaxMin;
    TRig r(m);
    TFuzzyDlg& d = *r.Dlg;
    Type(d, QStringLiteral("ЕСЛИ Ошибка ЕСТЬ Мало ТО Y ЕСТЬ Z\nЕСЛИ НЕ Ошибка ЕСТЬ Много ТО Y ЕСТЬ Z"));
    // Saving compiles the rules first.
    r.File = dir.filePath(QStringLiteral("m.fz"));
    d.SaveBtnClick();
    QVERIFY(!d.Memo1->document()->isModified());
    r.File = dir.filePath(QStringLiteral("m.fuz"));
    r.FilterIndex = 2;
    d.SaveBtnClick();
    QVERIFY(r.Dialogs.Messages.empty());

    for (int format : {1, 2}) {
      TRig o;
      o.File = dir.filePath(format == 1 ? QStringLiteral("m.fz") : QStringLiteral("m.fuz"));
      o.FilterIndex = format;
      o.Dlg->BitBtn2->click();
      QCOMPARE(o.Dlg->Edits[0]->text(), QStringLiteral("Ошибка"));
      QCOMPARE(int(o.Dlg->Model.Terms.size()), 3);
      QCOMPARE(o.Dlg->Model.Terms[1].Shape, d.Model.Terms[1].Shape);
      QCOMPARE(int(o.Dlg->Model.Method), int(kMaxMin));
      QCOMPARE(o.Dlg->ComboBox4->count(), 3);
      // The rules as text; negation is not part of the text format.
      QCOMPARE(o.Dlg->Memo1->toPlainText(),
               format == 1 ? QStringLiteral("ЕСЛИ Ошибка ЕСТЬ Мало ТО Y ЕСТЬ Z\nЕСЛИ НЕ Ошибка ЕСТЬ Много ТО Y ЕСТЬ Z")
                           : QStringLiteral("ЕСЛИ Ошибка ЕСТЬ Мало ТО Y ЕСТЬ Z\nЕСЛИ Ошибка ЕСТЬ Много ТО Y ЕСТЬ Z"));
      QCOMPARE(int(o.Dlg->OutputSide), 3);
    }
    Prog.Dialogs = &r.Dialogs;  // the second rig's are gone
    // A model the text format cannot hold: its message, no file.
    Type(d, QStringLiteral("ЕСЛИ Ошибка ЕСТЬ Мало ИЛИ Ошибка ЕСТЬ Много ТО Y ЕСТЬ Z"));
    r.File = dir.filePath(QStringLiteral("or.fuz"));
    d.SaveBtnClick();
    QVERIFY(!r.Dialogs.Messages.empty());
    QCOMPARE(r.Dialogs.Messages.back(), std::string(kWinFACTRefused));
    QVERIFY(!QFile::exists(r.File));
    // A damaged model file keeps the working model and says so.
    QFile bad(dir.filePath(QStringLiteral("bad.fz")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("Fuzzy model file. Version 1.0\r\n\x01\x01");
    bad.close();
    r.File = bad.fileName();
    r.FilterIndex = 1;
    d.LoadBtnClick();
    QCOMPARE(r.Dialogs.Messages.back(), std::string(kReadError));
    QCOMPARE(int(d.Model.Terms.size()), 3);
  }

  void TheStructureEditorOpensItAndKeepsTheResultOnOk() {
    TEditorRig rig;
    TMDIChild* e = rig.New();
    e->DefaultPlaceType = 38;
    DoubleClick(e, 3, 3);
    e->Dialogs = DefaultEditorDialogs();
    QTimer::singleShot(0, [] {
      auto* d = qobject_cast<TFuzzyDlg*>(QApplication::activeModalWidget());
      QVERIFY(d);
      d->PaintBox1Side(0);
      d->Edits[2]->setText(QStringLiteral("Z3"));
      d->Memo1->setPlainText(QString());
      d->BitBtn3->click();
    });
    RightClick(e, 3, 3);
    auto* b = static_cast<TFuzzyBlock*>(e->Field().Cell(3, 3));
    QCOMPARE(int(b->OutputSide), 0);
    QCOMPARE(b->Model.Variables[2].Name, std::string("Z3"));
    QCOMPARE(int(e->Field().Modified), 1);
    e->UndoStep();
    b = static_cast<TFuzzyBlock*>(e->Field().Cell(3, 3));
    QCOMPARE(int(b->OutputSide), 3);
  }
};

QTEST_MAIN(FuzzyDlgTest)
#include "fuzzy_dlg_test.moc"
