#include "neural/neuro_box.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "help/help_window.h"
#include "model/field.h"
#include "neural/layer_property_dlg.h"
#include "neural/net_file.h"
#include "neural/neural_block.h"
#include "neural/neural_training.h"
#include "optimisation/field_evaluator.h"
#include "optimisation/opt_form.h"
#include "optimisation/opt_param_dlg.h"
#include "shell/numtext.h"
#include "shell/program.h"
#include "shell/qt_dialogs.h"
#include "shell/settings.h"
#include "simulation/engine.h"
#include "simulation/plot_form.h"
#include "simulation/setup_checks.h"

namespace vemo {

namespace {

constexpr int kShownNeurons = 10;  // neurons drawn per layer at most
constexpr int kHeader = 18, kFooter = 30;
constexpr const char* kNetFilter = "Файлы нейросети (*.txt);;Все файлы (*)";

}  // namespace

// ---- TNetPicture

TNetPicture::TNetPicture(TNeuroNet& net, QWidget* parent) : QWidget(parent), net_(net) {
  setMinimumSize(320, 180);
  setAutoFillBackground(false);
}

int TNetPicture::Columns() const { return static_cast<int>(net_.Layers.size()) + 1; }

QPoint TNetPicture::NeuronCentre(int layer, int neuron) const {
  const int count = layer < 0 ? 3
                              : std::min<int>(static_cast<int>(net_.Layers[layer].NeuronCount),
                                              kShownNeurons);
  const double w = static_cast<double>(width()) / Columns();
  const double x = (layer + 1 + 0.5) * w;
  const double h = static_cast<double>(height() - kHeader - kFooter) / count;
  return QPoint(static_cast<int>(x), static_cast<int>(kHeader + (neuron + 0.5) * h));
}

void TNetPicture::Paint(QPainter& p, const QRect& area) const {
  p.save();
  p.fillRect(area, Qt::white);
  p.translate(area.topLeft());
  p.setRenderHint(QPainter::Antialiasing);
  const int cols = Columns();
  const double w = static_cast<double>(area.width()) / cols;
  auto centre = [&](int layer, int neuron) {
    const int count = layer < 0 ? 3
                                : std::min<int>(static_cast<int>(net_.Layers[layer].NeuronCount),
                                                kShownNeurons);
    const double h = static_cast<double>(area.height() - kHeader - kFooter) / count;
    return QPointF((layer + 1.5) * w, kHeader + (neuron + 0.5) * h);
  };
  auto shown = [&](int layer) {
    return layer < 0 ? 3 : std::min<int>(static_cast<int>(net_.Layers[layer].NeuronCount), kShownNeurons);
  };
  if (SelectedLayer >= 0 && SelectedLayer < cols - 1)
    p.fillRect(QRectF((SelectedLayer + 1) * w + 2, 1, w - 4, area.height() - 2), QColor(255, 255, 200));
  // Connections between neighbouring columns.
  p.setPen(QPen(QColor(150, 150, 150), 1));
  for (int l = 0; l < cols - 1; ++l)
    for (int a = 0; a < shown(l - 1); ++a)
      for (int b = 0; b < shown(l); ++b) p.drawLine(centre(l - 1, a), centre(l, b));
  QFont small = p.font();
  small.setPixelSize(10);
  p.setFont(small);
  // Inputs: top, left, bottom.
  p.setPen(Qt::black);
  for (int i = 0; i < 3; ++i) {
    const QPointF c = centre(-1, i);
    p.setBrush(QColor(220, 220, 220));
    p.drawRect(QRectF(c.x() - 7, c.y() - 7, 14, 14));
    p.drawText(QRectF(c.x() - 7, c.y() - 7, 14, 14), Qt::AlignCenter, QString::number(i + 1));
  }
  p.drawText(QRectF(0, 0, w, kHeader), Qt::AlignCenter, QStringLiteral("Входы"));
  for (int l = 0; l < cols - 1; ++l) {
    const TNeuroLayer& layer = net_.Layers[l];
    const int n = shown(l);
    const double h = static_cast<double>(area.height() - kHeader - kFooter) / n;
    const double r = std::clamp(h / 2 - 2, 3.0, 10.0);
    for (int j = 0; j < n; ++j) {
      const bool sel = l == SelectedLayer && j == SelectedNeuron;
      p.setPen(Qt::black);
      p.setBrush(sel ? QColor(220, 0, 0) : QColor(0, 128, 0));
      p.drawEllipse(centre(l, j), r, r);
    }
    p.setPen(Qt::black);
    const bool output = l == cols - 2;
    p.drawText(QRectF((l + 1) * w, 0, w, kHeader), Qt::AlignCenter,
               output ? QStringLiteral("Выход") : QStringLiteral("Слой %1").arg(l));
    p.drawText(QRectF((l + 1) * w, area.height() - kFooter, w, kFooter / 2), Qt::AlignCenter,
               QStringLiteral("нейронов: %1").arg(layer.NeuronCount));
    p.drawText(QRectF((l + 1) * w, area.height() - kFooter / 2, w, kFooter / 2), Qt::AlignCenter,
               QStringLiteral("функция %1").arg(layer.Function));
  }
  p.restore();
}

QImage TNetPicture::Picture() const {
  QImage img(size(), QImage::Format_RGB32);
  QPainter p(&img);
  Paint(p, img.rect());
  return img;
}

void TNetPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Paint(p, rect());
  p.setPen(Qt::gray);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

int TNetPicture::LayerAt(QPoint pos) const {
  const int col = pos.x() * Columns() / std::max(width(), 1);
  return col >= 1 && col < Columns() ? col - 1 : -1;
}

int TNetPicture::NeuronAt(QPoint pos, int layer) const {
  if (layer < 0 || layer >= static_cast<int>(net_.Layers.size())) return -1;
  const int n = std::min<int>(static_cast<int>(net_.Layers[layer].NeuronCount), kShownNeurons);
  for (int j = 0; j < n; ++j) {
    const QPoint d = pos - NeuronCentre(layer, j);
    if (d.x() * d.x() + d.y() * d.y() <= 12 * 12) return j;
  }
  return -1;
}

void TNetPicture::mousePressEvent(QMouseEvent* e) {
  const QPoint pos = e->position().toPoint();
  SelectedLayer = LayerAt(pos);
  SelectedNeuron = NeuronAt(pos, SelectedLayer);
  update();
  emit Clicked();
}

void TNetPicture::mouseDoubleClickEvent(QMouseEvent* e) {
  mousePressEvent(e);
  if (SelectedLayer >= 0) emit DoubleClicked();
}

// ---- TNeuroBox

TNeuroBox::TNeuroBox(TNeuralBlock& block, TField& field, QWidget* parent)
    : QDialog(parent), block_(block), field_(field), original_(NetFileText(block.Net)) {
  setWindowTitle(QStringLiteral("Нейросеть"));
  ChooseFile = [](QWidget* p, const QString& title, bool save) {
    const QString filter = QString::fromUtf8(kNetFilter);
    return save ? QFileDialog::getSaveFileName(p, title, QString(), filter)
                : QFileDialog::getOpenFileName(p, title, QString(), filter);
  };
  ShowSchemeError = [this](int code) { ShowErrorBox(code, this); };
  auto* top = new QVBoxLayout(this);
  Tab = new QTabWidget(this);
  top->addWidget(Tab);

  // Page "Стуктура".
  auto* structure = new QWidget(Tab);
  auto* sl = new QHBoxLayout(structure);
  PaintBox1 = new TNetPicture(block.Net, structure);
  sl->addWidget(PaintBox1, 1);
  auto* buttons = new QVBoxLayout;
  AddBtn = new QPushButton(QStringLiteral("Добавить слой"), structure);
  EditBtn = new QPushButton(QStringLiteral("Изменить слой"), structure);
  DeleteBtn = new QPushButton(QStringLiteral("Удалить слой"), structure);
  WeightsBtn = new QPushButton(QStringLiteral("Веса нейрона"), structure);
  SaveBtn = new QPushButton(QStringLiteral("Сохранить"), structure);
  LoadBtn = new QPushButton(QStringLiteral("Загрузить"), structure);
  for (QPushButton* b : {AddBtn, EditBtn, DeleteBtn, WeightsBtn}) buttons->addWidget(b);
  buttons->addStretch();
  buttons->addWidget(SaveBtn);
  buttons->addWidget(LoadBtn);
  sl->addLayout(buttons);
  StringGrid1 = new QTableWidget(PaintBox1);
  StringGrid1->setColumnCount(1);
  StringGrid1->horizontalHeader()->setStretchLastSection(true);
  StringGrid1->setMinimumWidth(150);
  StringGrid1->verticalHeader()->setDefaultSectionSize(20);
  StringGrid1->hide();
  Tab->addTab(structure, QStringLiteral("Стуктура"));
  InstallHelpKey(structure, kNeuroHelp);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->addAction(QStringLiteral("Добавить слой"), this, &TNeuroBox::AddLayerClick);
  PopupMenu1->addAction(QStringLiteral("Изменить слой"), this, &TNeuroBox::EditLayerClick);
  PopupMenu1->addAction(QStringLiteral("Удалить слой"), this, &TNeuroBox::DeleteLayerClick);
  PopupMenu1->addAction(QStringLiteral("Удалить все слои"), this, &TNeuroBox::DeleteAllClick);
  PopupMenu1->addAction(QStringLiteral("Веса нейрона"), this, &TNeuroBox::WeightsClick);
  PopupMenu1->addSeparator();
  PopupMenu1->addAction(QStringLiteral("Копировать картинку"), this, [this] {
    QApplication::clipboard()->setImage(PaintBox1->Picture());
  });
  PaintBox1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(PaintBox1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu1->popup(PaintBox1->mapToGlobal(pos)); });
  connect(AddBtn, &QPushButton::clicked, this, &TNeuroBox::AddLayerClick);
  connect(EditBtn, &QPushButton::clicked, this, &TNeuroBox::EditLayerClick);
  connect(DeleteBtn, &QPushButton::clicked, this, &TNeuroBox::DeleteLayerClick);
  connect(WeightsBtn, &QPushButton::clicked, this, &TNeuroBox::WeightsClick);
  connect(SaveBtn, &QPushButton::clicked, this, &TNeuroBox::SaveClick);
  connect(LoadBtn, &QPushButton::clicked, this, &TNeuroBox::LoadClick);
  connect(PaintBox1, &TNetPicture::Clicked, this, [this] {
    StringGrid1->hide();
    Refresh();
  });
  connect(PaintBox1, &TNetPicture::DoubleClicked, this, &TNeuroBox::EditLayerClick);
  connect(StringGrid1, &QTableWidget::itemChanged, this, [this] { WriteBackWeights(); });

  // Page "Обучение".
  auto* learn = new QWidget(Tab);
  auto* ll = new QGridLayout(learn);
  ListBox1 = new QListWidget(learn);
  ListBox2 = new QListWidget(learn);
  ll->addWidget(new QLabel(QStringLiteral("Эталонный сигнал:"), learn), 0, 0);
  ll->addWidget(ListBox1, 1, 0, 4, 1);
  ll->addWidget(new QLabel(QStringLiteral("Выход нейросети:"), learn), 0, 1);
  ll->addWidget(ListBox2, 1, 1, 4, 1);
  Label7 = new QLabel(learn);
  Label8 = new QLabel(learn);
  ll->addWidget(Label7, 5, 0);
  ll->addWidget(Label8, 5, 1);
  Edit1 = new QLineEdit(NumberText(Prog.Clock.ViewTime), learn);
  Edit2 = new QLineEdit(NumberText(field.Step), learn);
  Button1 = new QPushButton(QStringLiteral("Авто"), learn);
  ll->addWidget(new QLabel(QStringLiteral("Время переходного процесса (сек):"), learn), 0, 2, 1, 2);
  ll->addWidget(Edit1, 1, 2, 1, 2);
  ll->addWidget(new QLabel(QStringLiteral("Шаг интегрирования (сек):"), learn), 2, 2, 1, 2);
  ll->addWidget(Edit2, 3, 2);
  ll->addWidget(Button1, 3, 3);
  GroupBox2 = new QGroupBox(QStringLiteral("Диапазон изменения весов"), learn);
  auto* range = new QGridLayout(GroupBox2);
  const TSettings& s = PlotSettings();
  Edit3 = new QLineEdit(NumberText(s.NetMinWeight), GroupBox2);
  Edit4 = new QLineEdit(NumberText(s.NetMaxWeight), GroupBox2);
  range->addWidget(new QLabel(QStringLiteral("Мин.:"), GroupBox2), 0, 0);
  range->addWidget(Edit3, 0, 1);
  range->addWidget(new QLabel(QStringLiteral("Макс.:"), GroupBox2), 1, 0);
  range->addWidget(Edit4, 1, 1);
  ll->addWidget(GroupBox2, 4, 2, 2, 2);
  MoreBtn = new QPushButton(QStringLiteral("Дополнительно >>"), learn);
  LearnBtn = new QPushButton(QStringLiteral("Обучение"), learn);
  LearnBtn->setEnabled(false);
  ll->addWidget(MoreBtn, 6, 2);
  ll->addWidget(LearnBtn, 6, 3);
  Tab->addTab(learn, QStringLiteral("Обучение"));
  InstallHelpKey(learn, kNeuroLearnHelp);
  connect(Button1, &QPushButton::clicked, this,
          [this] { Edit2->setText(NumberText(MinStepHint(field_))); });
  connect(MoreBtn, &QPushButton::clicked, this, [this] {
    TOptParamDlg dlg(PlotSettings(), this);
    dlg.exec();
  });
  connect(ListBox2, &QListWidget::currentRowChanged, this,
          [this](int row) { LearnBtn->setEnabled(row >= 0); });
  connect(LearnBtn, &QPushButton::clicked, this, [this] { LearnBtnClick(); });
  connect(Tab, &QTabWidget::currentChanged, this, [this](int page) {
    if (page == 1) ShowLearnPage();
  });

  auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(close);
  top->addLayout(bottom);
  resize(559, 349);
  Refresh();
}

TNeuroBox::~TNeuroBox() {
  if (prepared_) ReleaseMacroBodies(field_);
}

bool TNeuroBox::Changed() const { return NetFileText(block_.Net) != original_; }

void TNeuroBox::Refresh() {
  TNeuroNet& net = block_.Net;
  if (PaintBox1->SelectedLayer >= static_cast<int>(net.Layers.size())) {
    PaintBox1->SelectedLayer = -1;
    PaintBox1->SelectedNeuron = -1;
  }
  const int l = PaintBox1->SelectedLayer;
  const bool output = l >= 0 && l == static_cast<int>(net.Layers.size()) - 1;
  EditBtn->setEnabled(l >= 0);
  DeleteBtn->setEnabled(l >= 0 && !output);
  WeightsBtn->setEnabled(l >= 0 && PaintBox1->SelectedNeuron >= 0);
  uint64_t neurons = 0;
  for (const TNeuroLayer& layer : net.Layers) neurons += layer.NeuronCount;
  Label7->setText(QStringLiteral("Нейронов: %1").arg(neurons));
  Label8->setText(QStringLiteral("Весов: %1").arg(net.WeightTotal()));
  PaintBox1->update();
}

void TNeuroBox::AddLayerClick() {
  TLayerPropertyDlg dlg(QStringLiteral("Новый слой"), 1, 0, true, this);
  if (dlg.exec() != QDialog::Accepted) return;
  TNeuroNet& net = block_.Net;
  // The new layer goes before the output layer, which is made anew.
  const uint8_t outFunction = net.Layers.empty() ? 4 : net.Layers.back().Function;
  if (!net.Layers.empty()) DeleteLayer(net, net.Layers.size() - 1);
  AddLayer(net, dlg.Neurons, dlg.Function);
  AddLayer(net, 1, outFunction);
  StringGrid1->hide();
  Refresh();
}

void TNeuroBox::EditLayerClick() {
  TNeuroNet& net = block_.Net;
  const int l = PaintBox1->SelectedLayer;
  if (l < 0 || l >= static_cast<int>(net.Layers.size())) return;
  const bool output = l == static_cast<int>(net.Layers.size()) - 1;
  TLayerPropertyDlg dlg(QStringLiteral("Слой %1").arg(l), net.Layers[l].NeuronCount,
                        net.Layers[l].Function, !output, this);
  if (dlg.exec() != QDialog::Accepted) return;
  SetLayerSize(net, static_cast<size_t>(l), dlg.Neurons);
  net.Layers[l].Function = dlg.Function;
  StringGrid1->hide();
  Refresh();
}

void TNeuroBox::DeleteLayerClick() {
  TNeuroNet& net = block_.Net;
  const int l = PaintBox1->SelectedLayer;
  if (l < 0 || l >= static_cast<int>(net.Layers.size()) - 1) return;  // not the output layer
  DeleteLayer(net, static_cast<size_t>(l));
  PaintBox1->SelectedNeuron = -1;
  StringGrid1->hide();
  Refresh();
}

void TNeuroBox::DeleteAllClick() {
  if (!Prog.Dialogs || !Prog.Dialogs->AskYesNo("Удалить все слой?")) return;
  TNeuroNet& net = block_.Net;
  const uint8_t outFunction = net.Layers.empty() ? 4 : net.Layers.back().Function;
  ClearNet(net);
  AddLayer(net, 1, outFunction);
  PaintBox1->SelectedLayer = PaintBox1->SelectedNeuron = -1;
  StringGrid1->hide();
  Refresh();
}

void TNeuroBox::WeightsClick() {
  const TNeuroNet& net = block_.Net;
  const int l = PaintBox1->SelectedLayer, j = PaintBox1->SelectedNeuron;
  if (l < 0 || l >= static_cast<int>(net.Layers.size()) || j < 0) return;
  const size_t nIn = net.LayerInputs(static_cast<size_t>(l));
  gridLayer_ = -1;  // no write-back while the grid is filled
  StringGrid1->setRowCount(static_cast<int>(nIn + 1));
  StringGrid1->setHorizontalHeaderLabels({QStringLiteral("Нейрон %1:%2").arg(l).arg(j)});
  for (size_t i = 0; i <= nIn; ++i) {
    StringGrid1->setVerticalHeaderItem(static_cast<int>(i), new QTableWidgetItem(QString::number(i)));
    const double w = net.Layers[l].Weights[j * (nIn + 1) + i];
    StringGrid1->setItem(static_cast<int>(i), 0, new QTableWidgetItem(NumberText(w)));
  }
  gridLayer_ = l;
  gridNeuron_ = j;
  // Beside the neuron, inside the picture.
  const QPoint c = PaintBox1->NeuronCentre(l, j);
  const int h = std::min(PaintBox1->height(),
                         StringGrid1->horizontalHeader()->sizeHint().height() + 4 +
                             20 * static_cast<int>(nIn + 1));
  StringGrid1->resize(160, h);
  int x = c.x() + 16;
  if (x + StringGrid1->width() > PaintBox1->width()) x = c.x() - 16 - StringGrid1->width();
  StringGrid1->move(std::max(x, 0), std::clamp(c.y() - h / 2, 0, std::max(PaintBox1->height() - h, 0)));
  StringGrid1->show();
  StringGrid1->setFocus();
}

void TNeuroBox::WriteBackWeights() {
  TNeuroNet& net = block_.Net;
  if (gridLayer_ < 0 || gridLayer_ >= static_cast<int>(net.Layers.size())) return;
  const size_t nIn = net.LayerInputs(static_cast<size_t>(gridLayer_));
  std::vector<double>& w = net.Layers[gridLayer_].Weights;
  for (int i = 0; i < StringGrid1->rowCount() && static_cast<size_t>(i) <= nIn; ++i) {
    QTableWidgetItem* item = StringGrid1->item(i, 0);
    const size_t k = gridNeuron_ * (nIn + 1) + static_cast<size_t>(i);
    double v = 0;
    if (!item || k >= w.size()) continue;
    if (ParseNumber(item->text().trimmed().toStdString(), v)) {
      w[k] = v;
    } else {
      ShowMessage(kBadNumberFormat);
      const int keep = gridLayer_;
      gridLayer_ = -1;
      item->setText(NumberText(w[k]));
      gridLayer_ = keep;
    }
  }
}

bool TNeuroBox::SaveClick() {
  const QString name = ChooseFile(this, QStringLiteral("Сохранить нейросеть"), true);
  if (name.isEmpty()) return false;
  if (SaveNetFile(block_.Net, name.toStdString())) return true;
  ShowMessage(kNetSaveError);
  return false;
}

bool TNeuroBox::LoadClick() {
  const QString name = ChooseFile(this, QStringLiteral("Загрузить нейросеть"), false);
  if (name.isEmpty()) return false;
  const bool ok = LoadNetFile(block_.Net, name.toStdString());
  if (!ok) ShowMessage(kNetLoadError);
  PaintBox1->SelectedLayer = PaintBox1->SelectedNeuron = -1;
  StringGrid1->hide();
  Refresh();
  return ok;
}

void TNeuroBox::ShowLearnPage() {
  resize(559, 349);
  if (learnShown_) return;
  learnShown_ = true;
  // The scheme is prepared as for the transient response.
  PrepareRun(field_);
  prepared_ = true;
  if (Prog.Err.ErrorCode) {
    LearnBtn->setEnabled(false);
    ListBox2->setEnabled(false);
    ShowSchemeError(Prog.Err.ErrorCode);
    return;
  }
  Edit2->setText(NumberText(field_.Step));
  for (int k = 0; k < kPointCount; ++k) {
    if (!field_.Points[k].Placed) continue;
    const QString text = QStringLiteral("точка ") + QChar(PointLetter(k));
    for (QListWidget* list : {ListBox1, ListBox2}) {
      auto* item = new QListWidgetItem(text, list);
      item->setData(Qt::UserRole, k);
    }
  }
  if (ListBox1->count() > 0) ListBox1->setCurrentRow(0);
}

bool TNeuroBox::LearnBtnClick() {
  double lo = 0, hi = 0, time = 0, step = 0;
  if (!EditRange(Edit3, Edit4, lo, hi)) return false;
  if (!EditNumber(Edit1, time)) return false;
  if (!(time > 1e-8)) return RejectEdit(Edit1);
  if (!EditNumber(Edit2, step)) return false;
  if (step < 1e-8) return RejectEdit(Edit2);
  if (!RunLengthAllowed(Edit2, time, step)) return false;
  QListWidgetItem* ref = ListBox1->currentItem();
  QListWidgetItem* out = ListBox2->currentItem();
  if (!ref || !out) return false;
  if (ref->data(Qt::UserRole) == out->data(Qt::UserRole)) {
    ShowMessage(kSamePoints);
    ListBox2->setFocus();
    return false;
  }
  Prog.Clock.ViewTime = time;
  field_.Step = step;
  TSettings& s = PlotSettings();
  s.NetMinWeight = lo;
  s.NetMaxWeight = hi;
  TTrainRequest r;
  r.ReferencePoint = ref->data(Qt::UserRole).toInt();
  r.OutputPoint = out->data(Qt::UserRole).toInt();
  r.MinWeight = lo;
  r.MaxWeight = hi;
  r.Time = time;
  r.Workers = DefaultWorkers();
  if (!BindNetWeights(field_, block_, lo, hi)) {
    ShowMessage(kTooManyWeights);
    return false;
  }
  bool bound = true;
  TOptForm form(
      [&](TOptProgress& progress, const std::function<void()>& display) {
        TOptOutcome outcome;
        bound = TrainNetwork(field_, block_, s, r, progress, outcome, display);
        return outcome;
      },
      this);
  if (OnTrainingProgress) form.OnProgress = [this, &form] { OnTrainingProgress(form); };
  form.exec();
  StringGrid1->hide();
  Refresh();
  return bound;
}

bool EditNeuralBlock(TNeuralBlock& block, TField& field, QWidget* parent) {
  TNeuroBox box(block, field, parent);
  box.exec();
  return box.Changed();
}

}  // namespace vemo
