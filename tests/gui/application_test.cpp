// The desktop program's application object: memory that runs out inside any
// event handler ends as the message "Недостаточно памяти", and the program
// goes on handling events.
#include <QEvent>
#include <QTimer>
#include <QtTest>
#include <new>

#include "shell/program.h"
#include "shell/vemo_application.h"

using namespace vemo;

namespace {

// Throws as an allocation that finds no memory would, on its first event.
class TGreedy : public QObject {
 public:
  int Events = 0;
  bool event(QEvent* e) override {
    if (e->type() != QEvent::User) return QObject::event(e);
    if (++Events == 1) throw std::bad_alloc();
    return true;
  }
};

}  // namespace

class ApplicationTest : public QObject {
  Q_OBJECT
 private slots:
  void RunningOutOfMemoryEndsAsAMessage() {
    TScriptedDialogs dialogs;
    Prog.Dialogs = &dialogs;
    TGreedy greedy;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::postEvent(&greedy, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(dialogs.Messages, std::vector<std::string>{"Недостаточно памяти"});
    QVERIFY(!QApplication::overrideCursor());
    // The program goes on.
    QCoreApplication::postEvent(&greedy, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(greedy.Events, 2);
    QCOMPARE(dialogs.Messages.size(), size_t{1});
    Prog.Dialogs = nullptr;
  }
};

int main(int argc, char** argv) {
  TVemoApplication app(argc, argv);
  ApplicationTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
