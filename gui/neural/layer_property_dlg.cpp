#include "neural/layer_property_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "neural/neural_net.h"

namespace vemo {

TFunctionCells::TFunctionCells(QWidget* parent) : QWidget(parent) {
  setFixedSize(sizeHint());
  setFocusPolicy(Qt::StrongFocus);
}

void TFunctionCells::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  for (int f = 0; f < kFunctionCount; ++f) {
    const QRect cell(f * kCell, 0, kCell, kCell);
    if (f == Selected) p.fillRect(cell.adjusted(1, 1, 0, 0), QColor(0, 0, 128));
    const QColor ink = f == Selected ? Qt::white : Qt::black;
    // Axes through the middle, the function over s in [-3, 3], y in [-1.5, 1.5].
    p.setPen(QPen(f == Selected ? QColor(160, 160, 220) : QColor(170, 170, 170), 1));
    const int cx = cell.left() + kCell / 2, cy = cell.top() + kCell / 2;
    p.drawLine(cell.left() + 3, cy, cell.right() - 3, cy);
    p.drawLine(cx, cell.top() + 3, cx, cell.bottom() - 3);
    p.setPen(QPen(ink, 1.5));
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    for (int i = 0; i <= 36; ++i) {
      const double s = -3.0 + i / 6.0;
      double y = Activation(static_cast<uint8_t>(f), s);
      if (y > 1.5) y = 1.5;
      if (y < -1.5) y = -1.5;
      const QPointF pt(cx + s * (kCell - 8) / 6.0, cy - y * (kCell - 8) / 3.0);
      if (i == 0) path.moveTo(pt);
      else path.lineTo(pt);
    }
    p.drawPath(path);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::gray);
    p.setBrush(Qt::NoBrush);
    p.drawRect(cell);
  }
}

void TFunctionCells::mousePressEvent(QMouseEvent* e) {
  const int f = static_cast<int>(e->position().x()) / kCell;
  if (f < 0 || f >= kFunctionCount) return;
  Selected = f;
  update();
  emit Chosen(f);
}

TLayerPropertyDlg::TLayerPropertyDlg(const QString& caption, uint32_t neurons, uint8_t function,
                                     bool countEnabled, QWidget* parent)
    : QDialog(parent), Neurons(neurons), Function(function) {
  setWindowTitle(caption);
  auto* top = new QVBoxLayout(this);
  top->addWidget(new QLabel(QStringLiteral("Число нейронов в слое:"), this));
  SpinEdit1 = new QSpinBox(this);
  SpinEdit1->setRange(1, static_cast<int>(kMaxNeurons));
  SpinEdit1->setValue(static_cast<int>(neurons));
  SpinEdit1->setEnabled(countEnabled);
  top->addWidget(SpinEdit1);
  top->addWidget(new QLabel(QStringLiteral("Функция нейронов в слое:"), this));
  DrawGrid1 = new TFunctionCells(this);
  DrawGrid1->Selected = function < kFunctionCount ? function : 0;
  top->addWidget(DrawGrid1);
  auto* box = new QDialogButtonBox(this);
  QPushButton* ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setDefault(true);
  QPushButton* cancel = box->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  connect(ok, &QPushButton::clicked, this, &TLayerPropertyDlg::OKBtnClick);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  top->addWidget(box);
}

void TLayerPropertyDlg::OKBtnClick() {
  if (SpinEdit1->isEnabled()) Neurons = static_cast<uint32_t>(SpinEdit1->value());
  Function = static_cast<uint8_t>(DrawGrid1->Selected);
  accept();
}

}  // namespace vemo
