// TLayerPropertyDlg: the neuron count of a layer and its activation
// function, chosen from a row of five small plots.
#pragma once
#include <QDialog>
#include <cstdint>

class QSpinBox;

namespace vemo {

// The row of five cells, each with the plot of one activation function
// (codes 0..4 from left to right); a click selects a cell.
class TFunctionCells : public QWidget {
  Q_OBJECT
 public:
  explicit TFunctionCells(QWidget* parent = nullptr);
  int Selected = 0;
  QSize sizeHint() const override { return {5 * kCell + 1, kCell + 1}; }
  static constexpr int kCell = 44;

 signals:
  void Chosen(int function);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
};

class TLayerPropertyDlg : public QDialog {
  Q_OBJECT
 public:
  TLayerPropertyDlg(const QString& caption, uint32_t neurons, uint8_t function,
                    bool countEnabled, QWidget* parent = nullptr);

  QSpinBox* SpinEdit1 = nullptr;     // "Число нейронов в слое:"
  TFunctionCells* DrawGrid1 = nullptr;  // "Функция нейронов в слое:"

  uint32_t Neurons = 1;
  uint8_t Function = 0;
  // Stores the two values and closes with success.
  void OKBtnClick();
};

}  // namespace vemo
