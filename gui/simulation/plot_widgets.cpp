#include "simulation/plot_widgets.h"

#include <QGridLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace vemo {

TPlotBox::TPlotBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(120, 80);
}

void TPlotBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (OnPaint)
    OnPaint(p, rect());
  else
    p.fillRect(rect(), Qt::white);
}

void TPlotBox::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && OnCursor) OnCursor(e->position().toPoint());
  QWidget::mousePressEvent(e);
}

void TPlotBox::mouseMoveEvent(QMouseEvent* e) {
  if ((e->buttons() & Qt::LeftButton) && OnCursor) OnCursor(e->position().toPoint());
}

TRangeSlider::TRangeSlider(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), orientation_(orientation) {
  if (orientation == Qt::Horizontal)
    setFixedHeight(14);
  else
    setFixedWidth(14);
}

QSize TRangeSlider::sizeHint() const {
  return orientation_ == Qt::Horizontal ? QSize(200, 14) : QSize(14, 200);
}

void TRangeSlider::SetSelection(int low, int high) {
  low = std::clamp(low, 0, kFull);
  high = std::clamp(high, 0, kFull);
  if (high < low) std::swap(low, high);
  if (low == low_ && high == high_) return;
  low_ = low;
  high_ = high;
  update();
  if (OnChange) OnChange();
}

void TRangeSlider::ResetQuietly() {
  if (low_ == 0 && high_ == kFull) return;
  low_ = 0;
  high_ = kFull;
  update();
}

void MakePlotSliders(QWidget* parent, TRangeSlider*& horizontal, TRangeSlider*& vertical,
                     const std::function<void()>& changed) {
  horizontal = new TRangeSlider(Qt::Horizontal, parent);
  horizontal->setObjectName(QStringLiteral("HPaintBox"));
  vertical = new TRangeSlider(Qt::Vertical, parent);
  vertical->setObjectName(QStringLiteral("VPaintBox"));
  horizontal->OnChange = changed;
  vertical->OnChange = changed;
}

QGridLayout* LayOutPlotWindow(QWidget* window, QLayout* buttons, QWidget* plot,
                              TRangeSlider* horizontal, TRangeSlider* vertical,
                              QWidget* statusBar) {
  auto* grid = new QGridLayout;
  grid->setSpacing(2);
  grid->addWidget(vertical, 0, 0);
  grid->addWidget(plot, 0, 1);
  grid->addWidget(horizontal, 1, 1);
  auto* top = new QVBoxLayout(window);
  top->setContentsMargins(4, 4, 4, 0);
  top->addLayout(buttons);
  top->addLayout(grid, 1);
  top->addWidget(statusBar);
  return grid;
}

int TRangeSlider::Length() const {
  return std::max(1, orientation_ == Qt::Horizontal ? width() : height());
}

// The vertical slider grows upward, like the value axis beside it.
double TRangeSlider::PixelOf(int value) const {
  const double px = value * double(Length() - 1) / kFull;
  return orientation_ == Qt::Horizontal ? px : (Length() - 1) - px;
}

int TRangeSlider::ValueOf(double pixel) const {
  const double along = orientation_ == Qt::Horizontal ? pixel : (Length() - 1) - pixel;
  const double v = along * kFull / std::max(1, Length() - 1);
  return static_cast<int>(std::lround(std::clamp(v, 0.0, double(kFull))));
}

double TRangeSlider::Along(QPoint p) const {
  return orientation_ == Qt::Horizontal ? p.x() : p.y();
}

void TRangeSlider::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  p.setPen(palette().dark().color());
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  const double a = PixelOf(low_), b = PixelOf(high_);
  QRectF sel = orientation_ == Qt::Horizontal
                   ? QRectF(a, 2, std::max(2.0, b - a), height() - 4)
                   : QRectF(2, std::min(a, b), width() - 4, std::max(2.0, std::fabs(a - b)));
  p.fillRect(sel, palette().highlight());
}

void TRangeSlider::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  const double pos = Along(e->position().toPoint());
  const double a = PixelOf(low_), b = PixelOf(high_);
  const double lo = std::min(a, b), hi = std::max(a, b);
  grab_ = pos;
  grabLow_ = low_;
  grabHigh_ = high_;
  const bool nearLow = std::fabs(pos - a) <= 15, nearHigh = std::fabs(pos - b) <= 15;
  if (nearLow && nearHigh)
    drag_ = std::fabs(pos - a) <= std::fabs(pos - b) ? TDrag::Low : TDrag::High;
  else if (nearLow)
    drag_ = TDrag::Low;
  else if (nearHigh)
    drag_ = TDrag::High;
  else if (pos > lo && pos < hi)
    drag_ = TDrag::Move;
  else {
    drag_ = TDrag::None;
    Reset();
  }
}

void TRangeSlider::mouseMoveEvent(QMouseEvent* e) {
  if (!(e->buttons() & Qt::LeftButton)) return;
  const double pos = Along(e->position().toPoint());
  switch (drag_) {
    case TDrag::Low: {
      const int v = ValueOf(pos);
      SetSelection(std::min(v, high_ - 1), high_);
      break;
    }
    case TDrag::High: {
      const int v = ValueOf(pos);
      SetSelection(low_, std::max(v, low_ + 1));
      break;
    }
    case TDrag::Move: {
      int delta = ValueOf(pos) - ValueOf(grab_);
      delta = std::clamp(delta, -grabLow_, kFull - grabHigh_);
      SetSelection(grabLow_ + delta, grabHigh_ + delta);
      break;
    }
    case TDrag::None:
      break;
  }
}

void TRangeSlider::mouseReleaseEvent(QMouseEvent*) { drag_ = TDrag::None; }

TPanelBar::TPanelBar(QWidget* parent) : QWidget(parent) { setFixedHeight(20); }

QSize TPanelBar::sizeHint() const { return QSize(400, 20); }

void TPanelBar::SetText(size_t panel, const QString& text) {
  if (panel >= Panels.size()) return;
  Panels[panel].Text = text;
  update();
}

QString TPanelBar::Text(size_t panel) const {
  return panel < Panels.size() ? Panels[panel].Text : QString();
}

void TPanelBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  int x = 0;
  for (const TPanel& panel : Panels) {
    const QRect r(x, 1, panel.Width - 2, height() - 2);
    p.setPen(palette().mid().color());
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setPen(palette().windowText().color());
    int textX = r.left() + 4;
    if (panel.HasSquare) {
      const QRect sq(panel.SquareX, 6, 8, 8);
      p.fillRect(sq, panel.Square);
      p.drawRect(sq.adjusted(0, 0, -1, -1));
      textX = std::max(textX, sq.right() + 4);
    }
    p.drawText(QRect(textX, r.top(), r.right() - textX, r.height()), Qt::AlignVCenter,
               panel.Text);
    x += panel.Width;
  }
}

}  // namespace vemo
