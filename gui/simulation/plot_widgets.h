// The controls shared by the time-domain windows: the plot area, the range
// sliders and the status bar of fixed-width panels with colour squares.
#pragma once
#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QGridLayout;
class QLayout;

namespace vemo {

// A surface whose painting and mouse handling belong to the window.
class TPlotBox : public QWidget {
  Q_OBJECT
 public:
  explicit TPlotBox(QWidget* parent = nullptr);
  std::function<void(QPainter&, const QRect&)> OnPaint;
  // Left button pressed or dragged (position in this widget).
  std::function<void(QPoint)> OnCursor;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
};

// A range slider: a selection inside 0..1000. Dragging within 15 pixels of
// an end moves that end, dragging inside moves the selection, a click
// outside it resets the full range.
class TRangeSlider : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kFull = 1000;
  TRangeSlider(Qt::Orientation orientation, QWidget* parent = nullptr);
  int Low() const { return low_; }
  int High() const { return high_; }
  // The selection as fractions 0..1 of the range (the vertical slider has
  // its 0 at the bottom).
  double LowFraction() const { return low_ / double(kFull); }
  double HighFraction() const { return high_ / double(kFull); }
  void SetSelection(int low, int high);
  void Reset() { SetSelection(0, kFull); }
  // The full range again without OnChange: the caller redraws once.
  void ResetQuietly();
  std::function<void()> OnChange;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  enum class TDrag { None, Low, High, Move };
  int Length() const;
  double PixelOf(int value) const;  // along the slider
  int ValueOf(double pixel) const;
  double Along(QPoint p) const;
  Qt::Orientation orientation_;
  int low_ = 0, high_ = kFull;
  TDrag drag_ = TDrag::None;
  double grab_ = 0;
  int grabLow_ = 0, grabHigh_ = 0;
};

// The two sliders of a plot window, "HPaintBox" and "VPaintBox", each
// calling changed when the user moves it.
void MakePlotSliders(QWidget* parent, TRangeSlider*& horizontal, TRangeSlider*& vertical,
                     const std::function<void()>& changed);

// The layout of a plot window: its buttons on top, the plot with the
// vertical slider on its left and the horizontal one below, the status bar
// at the bottom. Returns the grid of the plot and its sliders (row 1,
// column 0 is the free corner between the sliders).
QGridLayout* LayOutPlotWindow(QWidget* window, QLayout* buttons, QWidget* plot,
                              TRangeSlider* horizontal, TRangeSlider* vertical,
                              QWidget* statusBar);

// The status bar of the plot windows: panels of given widths, each with a
// text and an optional 8 x 8 colour square.
class TPanelBar : public QWidget {
  Q_OBJECT
 public:
  explicit TPanelBar(QWidget* parent = nullptr);
  struct TPanel {
    int Width = 80;
    QString Text;
    bool HasSquare = false;
    QColor Square;
    int SquareX = 0;  // from the left of the bar
  };
  std::vector<TPanel> Panels;
  void SetText(size_t panel, const QString& text);
  QString Text(size_t panel) const;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;
};

}  // namespace vemo
