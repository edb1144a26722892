#include "help/help_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "help/help_pages.h"

namespace vemo {

namespace {
QPointer<THelpWindow>& TheWindow() {
  static QPointer<THelpWindow> window;
  return window;
}
}  // namespace

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Vemo — справка"));
  auto* top = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  ContentsBtn = new QPushButton(QStringLiteral("Содержание"), this);
  BackBtn = new QPushButton(QStringLiteral("Назад"), this);
  bar->addWidget(ContentsBtn);
  bar->addWidget(BackBtn);
  bar->addStretch(1);
  top->addLayout(bar);
  Browser = new QTextBrowser(this);
  Browser->setOpenLinks(false);
  top->addWidget(Browser, 1);
  resize(560, 520);

  connect(ContentsBtn, &QPushButton::clicked, this, &THelpWindow::ContentsBtnClick);
  connect(BackBtn, &QPushButton::clicked, this, &THelpWindow::BackBtnClick);
  connect(Browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    if (url.scheme() == QLatin1String("ctx")) {
      bool ok = false;
      const int context = url.path().toInt(&ok);
      if (ok) ShowPage(context);
    } else if (url.hasFragment()) {
      Browser->scrollToAnchor(url.fragment());
    }
  });
  Display(kHelpContents);
}

THelpWindow* THelpWindow::Instance() { return TheWindow().data(); }

void THelpWindow::Display(int context) {
  QString html = context == kHelpContents ? QString() : HelpPageHtml(context);
  if (html.isEmpty()) {
    context = kHelpContents;
    html = HelpContentsHtml();
  }
  current_ = context;
  Browser->setHtml(html);
  BackBtn->setEnabled(!history_.empty());
}

void THelpWindow::ShowPage(int context) {
  history_.push_back(current_);
  // A long walk keeps only the latest pages to go back to.
  if (history_.size() > 100) history_.erase(history_.begin());
  Display(context);
}

void THelpWindow::BackBtnClick() {
  if (history_.empty()) return;
  const int context = history_.back();
  history_.pop_back();
  Display(context);
}

void ShowHelpContext(int context, QWidget* parent) {
  (void)parent;  // the window is top level and outlives the dialog that asked
  QPointer<THelpWindow>& window = TheWindow();
  if (!window) {
    window = new THelpWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    // Help alone never keeps the program running.
    window->setAttribute(Qt::WA_QuitOnClose, false);
  }
  // Over a modal dialog the help window must be modal itself, or it could
  // not be scrolled or followed while the dialog is open; once that dialog
  // is gone it becomes an ordinary window again.
  QWidget* modal = QApplication::activeModalWidget();
  const bool overModal = modal && modal != window;
  const Qt::WindowModality modality = overModal ? Qt::ApplicationModal : Qt::NonModal;
  if (window->windowModality() != modality) {
    window->hide();
    window->setWindowModality(modality);
  }
  if (overModal) {
    THelpWindow* w = window;
    QObject::connect(modal, &QObject::destroyed, w, [w] {
      if (QApplication::activeModalWidget() && QApplication::activeModalWidget() != w) return;
      const bool shown = w->isVisible();
      w->hide();
      w->setWindowModality(Qt::NonModal);
      if (shown) w->show();
    });
  }
  window->ShowPage(context);
  window->show();
  window->raise();
  window->activateWindow();
}

bool HasHelpPage(int context) { return !HelpPageHtml(context).isEmpty(); }

void InstallHelpKey(QWidget* window, int context) {
  auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
  key->setContext(Qt::WidgetWithChildrenShortcut);
  QObject::connect(key, &QShortcut::activated, window,
                   [window, context] { ShowHelpContext(context, window); });
}

}  // namespace vemo
