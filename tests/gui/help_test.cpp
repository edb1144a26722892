// Every block of the palette, every error and every form has a help page;
// the window shows pages by context, follows links and goes back.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>

#include "blocks/cell_object.h"
#include "blocks/property_dlg.h"
#include "help/help_pages.h"
#include "help/help_window.h"
#include "model/errors.h"
#include "shell/palette.h"

using namespace vemo;

namespace {

// The block codes of the main window's palette pages.
const std::vector<uint16_t> kPaletteCodes = [] {
  std::vector<uint16_t> codes;
  for (const TPalettePage& page : PalettePages())
    codes.insert(codes.end(), page.Codes.begin(), page.Codes.end());
  return codes;
}();
const std::vector<int> kFormContexts = {0,   30,  31,  32,  33,    34,    35,   36,
                                        500, 501, 700, 701, 702, 703, 42001, 42002, 51000,
                                        400, 401, 402, 403};

std::vector<int> AllContexts() {
  std::vector<int> all = kFormContexts;
  for (uint16_t code : kPaletteCodes) all.push_back(kBlockHelpBase + code);
  for (int e = 1; e <= kErrorMessageCount; ++e) all.push_back(kErrorHelpBase + e);
  return all;
}

}  // namespace

class HelpTest : public QObject {
  Q_OBJECT
 private slots:
  void EveryPaletteBlockHasAPageWithItsName() {
    QCOMPARE(kPaletteCodes.size(), size_t(62));
    for (uint16_t code : kPaletteCodes) {
      QVERIFY2(HasHelpPage(kBlockHelpBase + code), qPrintable(QString::number(code)));
      QVERIFY(!HelpPageHtml(kBlockHelpBase + code).contains(QStringLiteral("<h2></h2>")));
    }
    QVERIFY(HelpPageHtml(kBlockHelpBase + 11).contains(QStringLiteral("Колебательное звено")));
    // Parameters with their defaults come from the block table.
    const QString relay = HelpPageHtml(kBlockHelpBase + 24);
    QVERIFY(relay.contains(QStringLiteral("Порог отпускания Xотпуск")));
    QVERIFY(relay.contains(QStringLiteral("<td>-0.1</td>")));
    QVERIFY(!HasHelpPage(kBlockHelpBase + 14));  // a code that names no block
  }

  void EveryErrorHasAPageWithItsMessage() {
    std::vector<int> codes;
    for (int e = 1; e <= kErrorMessageCount; ++e) codes.push_back(e);
    codes.push_back(kNoMemoryCode);  // "Недостаточно памяти", beyond the table
    for (int e : codes) {
      const QString page = HelpPageHtml(kErrorHelpBase + e);
      QVERIFY2(!page.isEmpty(), qPrintable(QString::number(e)));
      QVERIFY(page.contains(QString::fromUtf8(ErrorMessage(e)).toHtmlEscaped()));
      QVERIFY(page.contains(QStringLiteral("Что делать")));
    }
    QVERIFY(!HasHelpPage(kErrorHelpBase));
    QVERIFY(!HasHelpPage(kErrorHelpBase + kNoMemoryCode + 1));
  }

  void FormsHaveTheirPages() {
    for (int context : kFormContexts) QVERIFY2(HasHelpPage(context), qPrintable(QString::number(context)));
    QCOMPARE(HelpPageHtml(33), HelpPageHtml(30));  // the parts of one dialog share its page
    QVERIFY(!HasHelpPage(12345));
  }

  void EveryLinkLeadsToAPage() {
    const QRegularExpression link(QStringLiteral("href=\"ctx:(-?\\d+)\""));
    std::vector<int> pages = AllContexts();
    pages.push_back(kHelpContents);
    for (int context : pages) {
      const QString html = HelpPageHtml(context);
      for (auto it = link.globalMatch(html); it.hasNext();) {
        const int target = it.next().captured(1).toInt();
        QVERIFY2(target == kHelpContents || HasHelpPage(target),
                 qPrintable(QStringLiteral("%1 -> %2").arg(context).arg(target)));
      }
    }
    // The contents reaches every block and error page.
    const QString contents = HelpContentsHtml();
    for (int context : AllContexts())
      if (context >= kBlockHelpBase)
        QVERIFY2(contents.contains(QStringLiteral("ctx:%1\"").arg(context)),
                 qPrintable(QString::number(context)));
  }

  void WindowShowsContextsFollowsLinksAndGoesBack() {
    ShowHelpContext(kBlockHelpBase + 11);
    THelpWindow* w = THelpWindow::Instance();
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->CurrentContext(), kBlockHelpBase + 11);
    QVERIFY(w->Browser->toPlainText().contains(QStringLiteral("Колебательное звено")));

    emit w->Browser->anchorClicked(QUrl(QStringLiteral("ctx:10004")));
    QCOMPARE(w->CurrentContext(), kErrorHelpBase + 4);
    QVERIFY(w->Browser->toPlainText().contains(QStringLiteral("Постоян.времени должна быть больше нуля!")));

    ShowHelpContext(777);  // no page of its own: the contents
    QCOMPARE(THelpWindow::Instance(), w);  // one window, brought forward
    QCOMPARE(w->CurrentContext(), kHelpContents);
    QVERIFY(w->Browser->toPlainText().contains(QStringLiteral("Сообщения об ошибках")));

    w->BackBtn->click();
    QCOMPARE(w->CurrentContext(), kErrorHelpBase + 4);
    w->BackBtn->click();
    QCOMPARE(w->CurrentContext(), kBlockHelpBase + 11);
    w->ContentsBtn->click();
    QCOMPARE(w->CurrentContext(), kHelpContents);
    w->ShowPage(kBlockHelpBase + 24);
    QDir().mkpath(QStringLiteral(VEMO_BINARY_DIR "/dialog-shots"));
    QVERIFY(w->grab().save(QStringLiteral(VEMO_BINARY_DIR "/dialog-shots/help_relay.png")));
  }

  void HelpOverADialogIsModalOnlyWhileTheDialogLasts() {
    auto block = CreateCellObject(6);
    auto* params = static_cast<TParamBlock*>(block->AsBlock());
    QTimer::singleShot(0, [] {
      auto* dlg = qobject_cast<TPropertyDlg*>(QApplication::activeModalWidget());
      QVERIFY(dlg);
      dlg->HelpBtn->click();
      THelpWindow* w = THelpWindow::Instance();
      QVERIFY(w && w->isVisible());
      QCOMPARE(w->CurrentContext(), kBlockHelpBase + 6);
      QCOMPARE(w->windowModality(), Qt::ApplicationModal);
      dlg->CancelBtn->click();
    });
    QVERIFY(!TPropertyDlg::Edit(*params));
    THelpWindow* w = THelpWindow::Instance();
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->windowModality(), Qt::NonModal);
  }

  void EveryPageOpens() {
    for (int context : AllContexts()) {
      ShowHelpContext(context);
      QCOMPARE(THelpWindow::Instance()->CurrentContext(), context);
      QVERIFY(!THelpWindow::Instance()->Browser->toPlainText().isEmpty());
    }
    THelpWindow::Instance()->close();
    QTRY_VERIFY(THelpWindow::Instance() == nullptr);  // closing releases the window
  }
};

QTEST_MAIN(HelpTest)
#include "help_test.moc"
