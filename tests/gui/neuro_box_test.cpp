// TNeuroBox and TLayerPropertyDlg: layer edits, the weights of a neuron,
// the network file, the checks of the training in their order, a training
// ended by "Отмена", and the editor opening the box with an undoable step.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include "main_support.h"
#include "model/scheme_builder.h"
#include "neural/layer_property_dlg.h"
#include "neural/net_file.h"
#include "neural/neural_block.h"
#include "neural/neural_training.h"
#include "neural/neuro_box.h"
#include "optimisation/opt_form.h"
#include "optimisation/opt_params.h"
#include "shell/numtext.h"
#include "shell/settings.h"
#include "simulation/plot_form.h"

using namespace vemo;
using namespace vemo::testing;

namespace {

// Calls `act` on the first modal widget of type D to come up.
template <class D>
void OnModalOf(std::function<void(D&)> act) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
    if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) {
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

// Confirms the next layer dialog with a neuron count and a function.
void AnswerLayerDialog(int neurons, int function, QString* caption = nullptr,
                       bool* countEnabled = nullptr) {
  OnModalOf<TLayerPropertyDlg>([=](TLayerPropertyDlg& dlg) {
    TLayerPropertyDlg* d = &dlg;
    if (caption) *caption = d->windowTitle();
    if (countEnabled) *countEnabled = d->SpinEdit1->isEnabled();
    d->SpinEdit1->setValue(neurons);
    d->DrawGrid1->Selected = function;
    d->OKBtnClick();
  });
}

void Activate(QWidget& w) {
  w.show();
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
}

}  // namespace

class NeuroBoxTest : public QObject {
  Q_OBJECT
  TScriptedDialogs dialogs_;
  std::unique_ptr<TField> field_;
  TNeuralBlock* block_ = nullptr;

  // A saw into the network at (8,2) (point B on its output) and into an
  // arctangent (point A); `rightOutput` off lays the network's output down.
  void Scheme(bool rightOutput = true) {
    field_ = CreateField();
    TSchemeBuilder b(*field_);
    b.Block(2, 2, 29, {2.0, 2.0, 0.0});
    block_ = static_cast<TNeuralBlock*>(b.Block(8, 2, 102));
    b.Block(4, 5, 48);
    b.Line({{2, 2}, {8, 2}});
    if (rightOutput) b.Line({{8, 2}, {10, 2}});
    else b.Line({{8, 2}, {8, 4}});
    b.Line({{4, 2}, {4, 5}});
    b.Line({{4, 5}, {6, 5}});
    b.Point(0, 5, 5);
    b.Point(1, rightOutput ? 9 : 8, rightOutput ? 2 : 3);
    field_->AutoStep = 0;
    field_->Step = 0.02;
  }
  QString Message(size_t k) const {
    return k < dialogs_.Messages.size() ? QString::fromStdString(dialogs_.Messages[k]) : QString();
  }

 private slots:
  void init() {
    ResetProgramState();
    dialogs_ = TScriptedDialogs{};
    Prog.Dialogs = &dialogs_;
    PlotSettings() = TSettings{};
  }

  void LayersAreAddedEditedAndDeleted() {
    Scheme();
    TNeuroBox box(*block_, *field_);
    QCOMPARE(box.windowTitle(), QStringLiteral("Нейросеть"));
    QCOMPARE(box.Tab->tabText(0), QStringLiteral("Стуктура"));
    QCOMPARE(box.Tab->tabText(1), QStringLiteral("Обучение"));
    TNeuroNet& net = block_->Net;
    net.Layers[1].Function = 1;
    QString caption;
    AnswerLayerDialog(3, 2, &caption);
    box.AddLayerClick();
    QCOMPARE(caption, QStringLiteral("Новый слой"));
    // Inserted before the output layer, which is made anew with its function.
    QCOMPARE(net.Layers.size(), size_t(3));
    QCOMPARE(net.Layers[1].NeuronCount, 3u);
    QCOMPARE(int(net.Layers[1].Function), 2);
    QCOMPARE(net.Layers[2].NeuronCount, 1u);
    QCOMPARE(int(net.Layers[2].Function), 1);
    QCOMPARE(net.Layers[2].Weights, (std::vector<double>{1, 1, 1, 0}));
    QCOMPARE(box.Label8->text(), QStringLiteral("Весов: 21"));
    QVERIFY(box.Changed());

    // The output layer: its neuron count cannot change, nor can it go.
    box.PaintBox1->SelectedLayer = 2;
    bool countEnabled = true;
    AnswerLayerDialog(5, 4, &caption, &countEnabled);
    box.EditLayerClick();
    QCOMPARE(caption, QStringLiteral("Слой 2"));
    QVERIFY(!countEnabled);
    QCOMPARE(net.Layers[2].NeuronCount, 1u);
    QCOMPARE(int(net.Layers[2].Function), 4);
    box.DeleteLayerClick();
    QCOMPARE(net.Layers.size(), size_t(3));
    // A hidden layer goes; the next one gets weights for its new inputs.
    box.PaintBox1->SelectedLayer = 0;
    box.DeleteLayerClick();
    QCOMPARE(net.Layers.size(), size_t(2));
    QCOMPARE(net.Layers[0].Weights.size(), size_t(12));
    // Everything: asked first, then one output neuron with its function.
    dialogs_.YesNoAnswer = false;
    box.DeleteAllClick();
    QCOMPARE(net.Layers.size(), size_t(2));
    dialogs_.YesNoAnswer = true;
    box.DeleteAllClick();
    QCOMPARE(QString::fromStdString(dialogs_.Questions.back()), QStringLiteral("Удалить все слой?"));
    QCOMPARE(net.Layers.size(), size_t(1));
    QCOMPARE(int(net.Layers[0].Function), 4);
    box.resize(560, 350);
    box.Tab->setCurrentIndex(0);
    QVERIFY(box.grab().save(QStringLiteral(VEMO_BINARY_DIR "/dialog-shots/neuro_box_one_layer.png")));
  }

  void TheWeightsOfANeuronAreEditedInTheGrid() {
    Scheme();
    TNeuroBox box(*block_, *field_);
    Activate(box);
    box.PaintBox1->SelectedLayer = 0;
    box.PaintBox1->SelectedNeuron = 1;
    box.WeightsClick();
    QVERIFY(box.StringGrid1->isVisible());
    QCOMPARE(box.StringGrid1->horizontalHeaderItem(0)->text(), QStringLiteral("Нейрон 0:1"));
    QCOMPARE(box.StringGrid1->rowCount(), 4);  // three inputs and the bias
    QCOMPARE(box.StringGrid1->item(3, 0)->text(), QStringLiteral("0"));
    QVERIFY(box.grab().save(QStringLiteral(VEMO_BINARY_DIR "/dialog-shots/neuro_box_weights.png")));
    box.StringGrid1->item(3, 0)->setText("-2.5");
    QCOMPARE(block_->Net.Layers[0].Weights[7], -2.5);
    box.StringGrid1->item(0, 0)->setText("x");
    QCOMPARE(Message(0), QString::fromUtf8(kBadNumberFormat));
    QCOMPARE(box.StringGrid1->item(0, 0)->text(), QStringLiteral("1"));
    QCOMPARE(block_->Net.Layers[0].Weights[4], 1.0);
  }

  void TheNetworkGoesToItsFileAndBack() {
    Scheme();
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/net.txt");
    TNeuroBox box(*block_, *field_);
    QStringList answers{path, path, dir.path() + QStringLiteral("/bad.txt"), QString()};
    box.ChooseFile = [&answers](QWidget*, const QString&, bool) { return answers.takeFirst(); };
    block_->Net.Layers[0].Weights[2] = 0.125;
    QVERIFY(box.SaveClick());
    const std::string saved = NetFileText(block_->Net);
    ClearNet(block_->Net);
    QVERIFY(box.LoadClick());
    QCOMPARE(NetFileText(block_->Net), saved);
    QFile bad(dir.path() + QStringLiteral("/bad.txt"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("Vemo Neuro Netware file\r\n");
    bad.close();
    QVERIFY(!box.LoadClick());
    QCOMPARE(Message(0), QStringLiteral("Ошибка в загрузке файла!"));
    QVERIFY(block_->Net.Layers.empty());
    QVERIFY(!box.LoadClick());  // cancelled: no message
    QCOMPARE(dialogs_.Messages.size(), size_t(1));
  }

  void TrainingChecksItsFieldsInOrder() {
    Scheme();
    TNeuroBox box(*block_, *field_);
    Activate(box);
    box.Tab->setCurrentIndex(1);
    QCOMPARE(box.size(), QSize(559, 349));
    QCOMPARE(box.ListBox1->count(), 2);
    QCOMPARE(box.ListBox2->item(1)->text(), QStringLiteral("точка B"));
    QVERIFY(!box.LearnBtn->isEnabled());
    box.ListBox2->setCurrentRow(0);
    QVERIFY(box.LearnBtn->isEnabled());
    QCOMPARE(box.Edit3->text(), QStringLiteral("-10"));
    QCOMPARE(box.Edit4->text(), QStringLiteral("10"));
    QCOMPARE(box.Label7->text(), QStringLiteral("Нейронов: 3"));
    QVERIFY(box.grab().save(QStringLiteral(VEMO_BINARY_DIR "/dialog-shots/neuro_box_learn.png")));
    struct Step {
      QLineEdit* Edit;
      QString Text;
      const char* Message;
      QWidget* Focus;
    };
    box.Edit1->setText("x");  // checked after the weights, so not yet reached
    const Step steps[] = {
        {box.Edit3, "a", kBadNumberFormat, box.Edit3},
        {box.Edit3, "10", kBadParameter, box.Edit4},  // the maximum must exceed it
        {box.Edit3, "-1", kBadNumberFormat, box.Edit1},
        {box.Edit1, "1e-9", kBadParameter, box.Edit1},
        {box.Edit1, "2", nullptr, nullptr},
        {box.Edit2, "1e-9", kBadParameter, box.Edit2},
        {box.Edit2, "0.02", kSamePoints, box.ListBox2},  // A against A
    };
    size_t k = 0;
    for (const Step& s : steps) {
      s.Edit->setText(s.Text);
      if (!s.Message) continue;
      QVERIFY(!box.LearnBtnClick());
      QCOMPARE(Message(k++), QString::fromUtf8(s.Message));
      QVERIFY(s.Focus->hasFocus());
    }
  }

  void TrainingRunsInTheProgressWindowUntilCancelled() {
    Scheme();
    TNeuroBox box(*block_, *field_);
    const std::string before = NetFileText(block_->Net);
    box.Tab->setCurrentIndex(1);
    box.ListBox1->setCurrentRow(0);
    box.ListBox2->setCurrentRow(1);
    box.Edit1->setText("2");
    box.Edit3->setText("-5");
    box.Edit4->setText("5");
    int shown = 0;
    box.OnTrainingProgress = [&shown](QDialog& form) {
      // The first display: the run is under way; "Отмена" ends it.
      if (shown++ == 0) static_cast<TOptForm&>(form).CancelBtnClick();
    };
    QVERIFY(box.LearnBtnClick());
    QVERIFY(shown > 0);
    QVERIFY(OptState().RunsDone >= 1);
    QVERIFY(OptState().RunsDone < 11000);
    QCOMPARE(OptState().OptParamCount, 11);
    QCOMPARE(OptState().Params[0].Lower, -5.0);
    QCOMPARE(PlotSettings().NetMaxWeight, 5.0);
    QCOMPARE(Prog.Clock.ViewTime, 2.0);
    QCOMPARE(int(OptState().TargetMode), 0);
    QVERIFY(NetFileText(block_->Net) != before);  // the weights the descent set
  }

  void ASchemeErrorStopsTheTrainingPage() {
    Scheme(false);
    TNeuroBox box(*block_, *field_);
    int shownCode = 0;
    box.ShowSchemeError = [&shownCode](int code) { shownCode = code; };
    box.Tab->setCurrentIndex(1);
    QCOMPARE(shownCode, 40);
    QVERIFY(!box.LearnBtn->isEnabled());
    QCOMPARE(box.ListBox2->count(), 0);
  }

  void TheEditorOpensTheBoxAndKeepsAnUndoStep() {
    TMainRig rig;
    TMDIChild* e = rig.Form->NewEditor();
    TSchemeBuilder(e->Field()).Block(8, 2, 102);
    e->PressCol = 8;
    e->PressRow = 2;
    OnModalOf<TNeuroBox>([](TNeuroBox& b) {
      TNeuroBox* box = &b;
      box->PaintBox1->SelectedLayer = 0;
      AnswerLayerDialog(4, 3);
      box->EditLayerClick();
      box->accept();
    });
    e->ShowProperties();
    auto* n = static_cast<TNeuralBlock*>(e->Field().Cell(8, 2));
    QCOMPARE(n->Net.Layers[0].NeuronCount, 4u);
    QVERIFY(e->Field().Modified);
    rig.Form->UndoItemClick();
    n = static_cast<TNeuralBlock*>(e->Field().Cell(8, 2));
    QCOMPARE(n->Net.Layers[0].NeuronCount, 2u);
  }
};

QTEST_MAIN(NeuroBoxTest)
#include "neuro_box_test.moc"
