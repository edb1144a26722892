// The block palette: a tab control of eight pages, each a row of 44 x 44
// buttons with the pictures of its block kinds, scrolled page-wise by two
// narrow buttons when the row does not fit.
#pragma once
#include <QWidget>
#include <cstdint>
#include <vector>

class QButtonGroup;
class QFrame;
class QTabBar;
class QToolButton;

namespace vemo {

inline constexpr int kPaletteButtonSize = 44;
inline constexpr int kPalettePageCount = 8;

// The tab captions and type codes of the pages, in button order.
struct TPalettePage {
  const char* Caption;
  std::vector<uint16_t> Codes;
};
const std::vector<TPalettePage>& PalettePages();

class TBlockPalette : public QWidget {
  Q_OBJECT
 public:
  explicit TBlockPalette(QWidget* parent = nullptr);

  QTabBar* Tabs() const { return tabs_; }
  QToolButton* SpeedButton5 = nullptr;  // back
  QToolButton* SpeedButton6 = nullptr;  // forward
  const std::vector<QToolButton*>& Buttons() const { return buttons_; }

  std::vector<uint16_t> PaletteCodes;
  int PaletteCount = 0;
  int PaletteFirst = 0;
  int PaletteVisible = 0;

  // Rebuilds the buttons of the selected page for the current width; the
  // first button goes down unless keepSelection finds the one that was down
  // still in view (a rebuild for a new width).
  void TabControl1Change(bool keepSelection = false);
  void SpeedButton5Click();
  void SpeedButton6Click();
  void SetFlat(bool flat);

 signals:
  void TypeSelected(uint16_t code);
  // 7000 + the type code over a button, 0 when the mouse leaves it.
  void HelpContextChanged(int context);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowVisibleButtons();
  int ButtonTop() const;

  QTabBar* tabs_ = nullptr;
  QFrame* page_ = nullptr;  // the frame of the page under the tabs
  QButtonGroup* group_ = nullptr;
  std::vector<QToolButton*> buttons_;
  bool flat_ = true;
};

}  // namespace vemo
