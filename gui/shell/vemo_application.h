// The desktop program's application object. Every event of the program
// passes through it, so that memory running out anywhere — reading a
// project, checking a scheme, a run, an analysis or a picture — ends as the
// message "Недостаточно памяти" and the program goes on, never as an abort.
#pragma once
#include <QApplication>

namespace vemo {

class TVemoApplication : public QApplication {
 public:
  TVemoApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vemo
