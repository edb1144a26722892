#include "optimisation/optimize_dlg.h"

#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "model/field.h"
#include "model/history.h"
#include "model/mdi_child.h"
#include "optimisation/opt_form.h"
#include "optimisation/opt_param_dlg.h"
#include "optimisation/opt_params.h"
#include "optimisation/opt_range_dlg.h"
#include "shell/main_form.h"
#include "shell/program.h"
#include "simulation/engine.h"
#include "simulation/plot_form.h"
#include "simulation/setup_checks.h"

namespace vemo {

namespace {

constexpr int kEntryRole = Qt::UserRole + 1;

QString RangeText(const TOptParam& p) {
  return QStringLiteral("%1 .. %2%3")
      .arg(NumberText(p.Lower), NumberText(p.Upper), p.LogScale ? QStringLiteral(" [0; +∞]") : QString());
}

}  // namespace

TOptimizeDlg::TOptimizeDlg(TField& field, QWidget* parent) : QDialog(parent), field_(field) {
  setWindowTitle(QStringLiteral("Оптимизация"));
  auto* top = new QVBoxLayout(this);
  TreeView1 = new QTreeWidget(this);
  TreeView1->setObjectName(QStringLiteral("TreeView1"));
  TreeView1->setColumnCount(2);
  TreeView1->setHeaderLabels({QStringLiteral("Параметр"), QStringLiteral("Диапазон")});
  TreeView1->header()->setStretchLastSection(true);
  TreeView1->setMinimumSize(420, 180);
  top->addWidget(TreeView1);

  // The table by position: entry i is the i-th marked parameter.
  const std::vector<TMarkedParam> marked = MarkedParams(field);
  BindMarkedParams(marked);
  QTreeWidgetItem* blockNode = nullptr;
  const TParamBlock* lastBlock = nullptr;
  for (size_t i = 0; i < marked.size(); ++i) {
    if (marked[i].Block != lastBlock) {
      lastBlock = marked[i].Block;
      blockNode = new QTreeWidgetItem(TreeView1, {QString::fromStdString(lastBlock->GetName())});
      blockNode->setData(0, kEntryRole, -1);
      blockNode->setExpanded(true);
    }
    auto* node = new QTreeWidgetItem(
        blockNode, {QString::fromStdString(lastBlock->GetParamName(marked[i].Index)),
                    RangeText(OptState().Params[i])});
    node->setData(0, kEntryRole, static_cast<int>(i));
    items_.push_back(node);
  }
  TreeView1->expandAll();
  TreeView1->resizeColumnToContents(0);
  connect(TreeView1, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { EditRange(EntryOf(item)); });
  PopupMenu1 = new QMenu(this);
  QAction* range = PopupMenu1->addAction(QStringLiteral("Диапазон"));
  connect(range, &QAction::triggered, this, [this] { EditRange(EntryOf(TreeView1->currentItem())); });
  TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(TreeView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    if (QTreeWidgetItem* item = TreeView1->itemAt(pos)) {
      TreeView1->setCurrentItem(item);
      if (EntryOf(item) >= 0) PopupMenu1->popup(TreeView1->viewport()->mapToGlobal(pos));
    }
  });

  auto* grid = new QGridLayout;
  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  ListBox1->setMaximumHeight(90);
  for (int k = 0; k < kPointCount; ++k) {
    if (!field.Points[k].Placed) continue;
    auto* item = new QListWidgetItem(QStringLiteral("Точка ") + QChar(PointLetter(k)), ListBox1);
    item->setData(Qt::UserRole, k);
    if (k == OptState().ErrorPoint) ListBox1->setCurrentItem(item);
  }
  if (!ListBox1->currentItem() && ListBox1->count() > 0) ListBox1->setCurrentRow(0);
  grid->addWidget(new QLabel(QStringLiteral("Точка ошибки:"), this), 0, 0);
  grid->addWidget(ListBox1, 1, 0, 3, 1);
  Edit3 = new QLineEdit(NumberText(Prog.Clock.ViewTime), this);
  Edit3->setObjectName(QStringLiteral("Edit3"));
  Edit4 = new QLineEdit(NumberText(field.Step), this);
  Edit4->setObjectName(QStringLiteral("Edit4"));
  Button1 = new QPushButton(QStringLiteral("Авто"), this);
  grid->addWidget(new QLabel(QStringLiteral("Время просмотра (сек):"), this), 0, 1);
  grid->addWidget(Edit3, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Шаг расчета (сек):"), this), 2, 1);
  grid->addWidget(Edit4, 3, 1);
  grid->addWidget(Button1, 3, 2);
  top->addLayout(grid);
  connect(Button1, &QPushButton::clicked, this, &TOptimizeDlg::Button1Click);

  auto* box = new QDialogButtonBox(this);
  Button2 = box->addButton(QStringLiteral("Дополнительно >>"), QDialogButtonBox::ActionRole);
  OKBtn = box->addButton(QStringLiteral("Оптимизация"), QDialogButtonBox::AcceptRole);
  OKBtn->setDefault(true);
  CancelBtn = box->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
  connect(Button2, &QPushButton::clicked, this, [this] {
    TOptParamDlg dlg(PlotSettings(), this);
    dlg.exec();
  });
  connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  top->addWidget(box);
}

int TOptimizeDlg::ParamCount() const { return static_cast<int>(items_.size()); }

int TOptimizeDlg::EntryOf(const QTreeWidgetItem* item) const {
  return item ? item->data(0, kEntryRole).toInt() : -1;
}

bool TOptimizeDlg::EditRange(int entry) {
  if (entry < 0 || entry >= ParamCount()) return false;
  TOptParam& p = OptState().Params[entry];
  TOptRangeDlg dlg(p, items_[entry]->text(0), this);
  if (dlg.exec() != QDialog::Accepted) return false;
  items_[entry]->setText(1, RangeText(p));
  return true;
}

void TOptimizeDlg::Button1Click() {
  TOptState& st = OptState();
  std::vector<double> kept;
  for (int i = 0; i < st.OptParamCount; ++i) {
    kept.push_back(*st.Params[i].Value);
    *st.Params[i].Value = st.Params[i].Lower;
  }
  field_.Step = MinStepHint(field_);
  for (int i = 0; i < st.OptParamCount; ++i) *st.Params[i].Value = kept[static_cast<size_t>(i)];
  Edit4->setText(NumberText(field_.Step));
}

bool TOptimizeDlg::OKBtnClick() {
  double viewTime = 0, step = 0;
  if (!EditAtLeast(Edit3, 1e-10, viewTime)) return false;
  if (!EditNumber(Edit4, step)) return false;
  if (step < 1e-10 || step > viewTime) return RejectEdit(Edit4);
  if (!RunLengthAllowed(Edit4, viewTime, step)) return false;
  Prog.Clock.ViewTime = viewTime;
  field_.Step = step;
  if (QListWidgetItem* item = ListBox1->currentItem())
    OptState().ErrorPoint = item->data(Qt::UserRole).toInt();
  const TOptOutcome out = RunOptForm(field_, this);
  if (out.Runs > 0) changed_ = true;
  return true;
}

bool ShowOptimizeDialog(TField& field, QWidget* parent) {
  TOptimizeDlg dlg(field, parent);
  if (dlg.ParamCount() == 0) {
    ShowMessage(kNoOptParams);
    return false;
  }
  dlg.exec();
  return dlg.Changed();
}

bool OptimizeSetup(TField& field, QWidget* parent) {
  // The cells of the blocks the runs may change, kept for the edit history.
  int left = kGridSize, top = kGridSize, right = -1, bottom = -1;
  for (const TMarkedParam& m : MarkedParams(field)) {
    const int col = m.Cell / kGridSize, row = m.Cell % kGridSize;
    left = std::min(left, col);
    right = std::max(right, col);
    top = std::min(top, row);
    bottom = std::max(bottom, row);
  }
  std::unique_ptr<THistoryStep> step;
  if (right >= 0) step = MakeBlockStep(field, left, top, right, bottom);
  if (ShowOptimizeDialog(field, parent) && step) {
    TMainForm* main = TMainForm::Instance();
    if (TMDIChild* editor = main ? main->EditorOf(&field) : nullptr) editor->PushStep(std::move(step));
    else field.Modified = 1;
  }
  return false;
}

}  // namespace vemo
