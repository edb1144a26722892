// The help window: short pages shipped with the program, looked up by
// numeric context (0 the main window, 7000 + a block's type code,
// 10000 + an error code, and the forms' own contexts).
#pragma once
#include <QWidget>
#include <vector>

class QTextBrowser;
class QPushButton;

namespace vemo {

inline constexpr int kBlockHelpBase = 7000;
inline constexpr int kErrorHelpBase = 10000;
// The page listing every other page.
inline constexpr int kHelpContents = -1;

// Shows (or brings forward) the help window at the page of the context; a
// context without a page of its own shows the contents page.
void ShowHelpContext(int context, QWidget* parent = nullptr);
// Whether a page exists for the context (tests).
bool HasHelpPage(int context);
// F1 in the window (and its children) opens the help of the context.
void InstallHelpKey(QWidget* window, int context);

// The one top-level help window.
class THelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit THelpWindow(QWidget* parent = nullptr);
  // The existing window, or nullptr before the first ShowHelpContext.
  static THelpWindow* Instance();

  // Shows the page (the contents for a context without one) and remembers
  // the page shown before for "Назад".
  void ShowPage(int context);
  void ContentsBtnClick() { ShowPage(kHelpContents); }
  void BackBtnClick();
  // The context of the page shown (kHelpContents for the contents).
  int CurrentContext() const { return current_; }

  QTextBrowser* Browser = nullptr;
  QPushButton* ContentsBtn = nullptr;
  QPushButton* BackBtn = nullptr;

 private:
  void Display(int context);
  int current_ = kHelpContents;
  std::vector<int> history_;
};

}  // namespace vemo
