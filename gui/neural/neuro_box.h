// TNeuroBox ("Нейросеть"): the editor of a neural block's network. Page
// "Стуктура" shows and edits the layers and the weights of a neuron, page
// "Обучение" trains the weights through the optimiser; the network can be
// saved to and loaded from its text file. Changes act on the block directly.
#pragma once
#include <QDialog>
#include <QImage>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTableWidget;
class QTabWidget;

namespace vemo {

class TNeuralBlock;
struct TField;
struct TNeuroNet;

inline constexpr int kNeuroHelp = 42001;
inline constexpr int kNeuroLearnHelp = 42002;

// The picture of a network: a column of neurons per layer after the three
// inputs, each layer with its number, neuron count and function; the
// selected layer on a highlight.
class TNetPicture : public QWidget {
  Q_OBJECT
 public:
  TNetPicture(TNeuroNet& net, QWidget* parent = nullptr);
  int SelectedLayer = -1;
  int SelectedNeuron = -1;
  // Draws the picture into a rectangle (the widget, the clipboard copy).
  void Paint(QPainter& p, const QRect& area) const;
  QImage Picture() const;
  // The layer and the neuron drawn at a point (-1 when none).
  int LayerAt(QPoint pos) const;
  int NeuronAt(QPoint pos, int layer) const;
  // Where the centre of a neuron is drawn.
  QPoint NeuronCentre(int layer, int neuron) const;
  QSize sizeHint() const override { return {440, 220}; }

 signals:
  void Clicked();
  void DoubleClicked();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  int Columns() const;
  TNeuroNet& net_;
};

class TNeuroBox : public QDialog {
  Q_OBJECT
 public:
  // field: the scheme holding the block (the one the training runs).
  TNeuroBox(TNeuralBlock& block, TField& field, QWidget* parent = nullptr);
  ~TNeuroBox() override;

  QTabWidget* Tab = nullptr;
  // "Стуктура"
  TNetPicture* PaintBox1 = nullptr;
  QPushButton *AddBtn = nullptr, *EditBtn = nullptr, *DeleteBtn = nullptr, *WeightsBtn = nullptr;
  QPushButton *SaveBtn = nullptr, *LoadBtn = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QTableWidget* StringGrid1 = nullptr;
  // "Обучение"
  QListWidget* ListBox1 = nullptr;  // reference point
  QListWidget* ListBox2 = nullptr;  // output point
  QLabel* Label7 = nullptr;         // neurons
  QLabel* Label8 = nullptr;         // weights
  QLineEdit* Edit1 = nullptr;       // transient time
  QLineEdit* Edit2 = nullptr;       // step
  QPushButton* Button1 = nullptr;   // "Авто"
  QGroupBox* GroupBox2 = nullptr;   // "Диапазон изменения весов"
  QLineEdit* Edit3 = nullptr;       // weight minimum
  QLineEdit* Edit4 = nullptr;       // weight maximum
  QPushButton* MoreBtn = nullptr;
  QPushButton* LearnBtn = nullptr;

  // The file dialogs (tests answer instead); an empty name is a cancel.
  std::function<QString(QWidget*, const QString& title, bool save)> ChooseFile;
  // The box of a scheme error found when the training page is first shown.
  std::function<void(int code)> ShowSchemeError;
  // Lets a test act in the progress window of the training.
  std::function<void(QDialog& form)> OnTrainingProgress;

  void AddLayerClick();
  void EditLayerClick();
  void DeleteLayerClick();
  void DeleteAllClick();
  void WeightsClick();
  bool SaveClick();
  bool LoadClick();
  // The checks of the training in their order, then the progress window.
  // False when a check refused (its message shown, its field focused).
  bool LearnBtnClick();
  // The training page as first shown: the scheme prepared, the points listed.
  void ShowLearnPage();
  // The network changed while the box was open.
  bool Changed() const;

 private:
  void Refresh();
  void WriteBackWeights();
  TNeuralBlock& block_;
  TField& field_;
  std::string original_;
  bool prepared_ = false;
  bool learnShown_ = false;
  int gridLayer_ = -1, gridNeuron_ = -1;
};

// Runs TNeuroBox on the block; true when its network changed.
bool EditNeuralBlock(TNeuralBlock& block, TField& field, QWidget* parent);

}  // namespace vemo
