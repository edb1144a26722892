#include "shell/palette.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFrame>
#include <QPixmap>
#include <QTabBar>
#include <QToolButton>

#include "blocks/cell_object.h"
#include "help/help_window.h"
#include "model/scheme_render.h"

namespace vemo {

namespace {

constexpr int kPageButtonWidth = 16;
constexpr int kFirstButtonX = 23;
// Room the two page buttons take beside the row.
constexpr int kPageButtonsRoom = 46;
constexpr const char* kCodeProperty = "vemoTypeCode";

QString BlockHint(uint16_t code) {
  std::unique_ptr<TCellObject> obj = CreateCellObject(code);
  if (!obj) return {};
  QString name = QString::fromStdString(obj->GetName());
  obj->Done();
  return name;
}

QToolButton* MakePageButton(QWidget* parent, const char* name, const char* hint,
                            Qt::ArrowType arrow) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setArrowType(arrow);
  b->setToolTip(QString::fromUtf8(hint));
  b->setStatusTip(QString::fromUtf8(hint));
  b->setAutoRepeat(true);
  return b;
}

}  // namespace

const std::vector<TPalettePage>& PalettePages() {
  static const std::vector<TPalettePage> pages = {
      {"Генераторы", {0, 29, 30, 115, 32, 33, 51}},
      {"Сумматоры", {1, 2, 3, 4, 5, 34}},
      {"Линейные", {6, 7, 8, 9, 10, 11, 12, 95}},
      {"Нелинейные", {20, 21, 22, 23, 24, 25, 26, 27, 28, 37}},
      {"Импульсные", {13, 100, 101}},
      {"Математические", {41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 52, 53, 55, 56, 80}},
      {"Макросы", {8192, 16384, 16385, 16386, 16387}},
      {"Прочие", {38, 54, 102, 39, 40, 35, 36, 81}},
  };
  return pages;
}

TBlockPalette::TBlockPalette(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TabControl1"));
  tabs_ = new QTabBar(this);
  tabs_->setObjectName(QStringLiteral("TabControl1Tabs"));
  tabs_->setDrawBase(true);
  tabs_->setExpanding(false);
  for (const TPalettePage& page : PalettePages()) tabs_->addTab(QString::fromUtf8(page.Caption));
  page_ = new QFrame(this);
  page_->setFrameShape(QFrame::StyledPanel);
  page_->setFrameShadow(QFrame::Raised);
  page_->lower();
  group_ = new QButtonGroup(this);
  group_->setExclusive(true);
  SpeedButton5 = MakePageButton(this, "SpeedButton5", "Пролистать назад", Qt::LeftArrow);
  SpeedButton6 = MakePageButton(this, "SpeedButton6", "Пролистать вперед", Qt::RightArrow);
  connect(SpeedButton5, &QToolButton::clicked, this, &TBlockPalette::SpeedButton5Click);
  connect(SpeedButton6, &QToolButton::clicked, this, &TBlockPalette::SpeedButton6Click);
  connect(tabs_, &QTabBar::currentChanged, this, [this] { TabControl1Change(); });
  setMinimumHeight(ButtonTop() + kPaletteButtonSize + 4);
}

int TBlockPalette::ButtonTop() const { return tabs_->sizeHint().height() + 2; }

void TBlockPalette::resizeEvent(QResizeEvent*) {
  const int tabsHeight = tabs_->sizeHint().height();
  tabs_->setGeometry(0, 0, width(), tabsHeight);
  page_->setGeometry(0, tabsHeight - 1, width(), height() - tabsHeight + 1);
  TabControl1Change(true);
}

void TBlockPalette::TabControl1Change(bool keepSelection) {
  QAbstractButton* wasDown = keepSelection ? group_->checkedButton() : nullptr;
  const QVariant keptCode = wasDown ? wasDown->property(kCodeProperty) : QVariant();
  const int page = std::clamp(tabs_->currentIndex(), 0, kPalettePageCount - 1);
  PaletteCodes = PalettePages()[page].Codes;
  PaletteCount = static_cast<int>(PaletteCodes.size());
  const int top = ButtonTop();
  const int tabWidth = width();
  bool hidden = false;
  if (tabWidth < kPaletteButtonSize * PaletteCount + kPageButtonsRoom) {
    PaletteVisible = std::max(0, (tabWidth - kPageButtonsRoom) / kPaletteButtonSize);
    SpeedButton6->setGeometry(kPaletteButtonSize * PaletteVisible + 24, top, kPageButtonWidth,
                              kPaletteButtonSize);
    hidden = true;
  } else {
    PaletteVisible = PaletteCount;
    SpeedButton6->setGeometry(tabWidth - 23, top, kPageButtonWidth, kPaletteButtonSize);
  }
  SpeedButton5->setGeometry(4, top, kPageButtonWidth, kPaletteButtonSize);
  PaletteFirst = 0;
  SpeedButton5->setEnabled(false);
  SpeedButton6->setEnabled(hidden);

  while (static_cast<int>(buttons_.size()) > PaletteCount) {
    delete buttons_.back();
    buttons_.pop_back();
  }
  while (static_cast<int>(buttons_.size()) < PaletteCount) {
    auto* b = new QToolButton(this);
    b->setCheckable(true);
    b->setIconSize(QSize(41, 41));
    b->installEventFilter(this);
    group_->addButton(b);
    connect(b, &QToolButton::clicked, this,
            [this, b] { emit TypeSelected(static_cast<uint16_t>(b->property(kCodeProperty).toUInt())); });
    buttons_.push_back(b);
  }
  for (int i = 0; i < PaletteCount; ++i) {
    QToolButton* b = buttons_[i];
    const uint16_t code = PaletteCodes[i];
    b->setObjectName(QStringLiteral("PaletteButton%1").arg(code));
    b->setProperty(kCodeProperty, code);
    b->setIcon(QIcon(QPixmap::fromImage(BlockPicture(code))));
    const QString hint = BlockHint(code);
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setAutoRaise(flat_);
    b->setGeometry(kPaletteButtonSize * i + kFirstButtonX, top, kPaletteButtonSize,
                   kPaletteButtonSize);
  }
  ShowVisibleButtons();
  // Resizing the window keeps the block chosen on the page when its button
  // stays in view; otherwise the first button is down.
  for (int i = 0; keptCode.isValid() && i < PaletteVisible; ++i)
    if (buttons_[i]->property(kCodeProperty) == keptCode) {
      buttons_[i]->setChecked(true);
      emit TypeSelected(PaletteCodes[i]);
      return;
    }
  if (!buttons_.empty()) {
    buttons_.front()->setChecked(true);
    emit TypeSelected(PaletteCodes.front());
  }
}

void TBlockPalette::ShowVisibleButtons() {
  for (int i = 0; i < PaletteCount; ++i) {
    const int shown = i - PaletteFirst;
    buttons_[i]->move(kPaletteButtonSize * shown + kFirstButtonX, ButtonTop());
    buttons_[i]->setVisible(shown >= 0 && shown < PaletteVisible);
  }
  SpeedButton5->setEnabled(PaletteFirst > 0);
  SpeedButton6->setEnabled(PaletteFirst + PaletteVisible < PaletteCount);
  SpeedButton5->raise();
  SpeedButton6->raise();
}

void TBlockPalette::SpeedButton5Click() {
  if (PaletteFirst <= 0) return;
  --PaletteFirst;
  ShowVisibleButtons();
}

void TBlockPalette::SpeedButton6Click() {
  if (PaletteFirst + PaletteVisible >= PaletteCount) return;
  ++PaletteFirst;
  ShowVisibleButtons();
}

void TBlockPalette::SetFlat(bool flat) {
  flat_ = flat;
  for (QToolButton* b : buttons_) b->setAutoRaise(flat);
  SpeedButton5->setAutoRaise(flat);
  SpeedButton6->setAutoRaise(flat);
}

bool TBlockPalette::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
    auto* b = qobject_cast<QToolButton*>(watched);
    if (b && b->parent() == this) {
      const int code = b->property(kCodeProperty).toInt();
      emit HelpContextChanged(event->type() == QEvent::Enter ? kBlockHelpBase + code : 0);
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vemo
