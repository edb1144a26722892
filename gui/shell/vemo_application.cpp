#include "shell/vemo_application.h"

#include <cstdio>
#include <new>

#include "model/errors.h"
#include "shell/program.h"

namespace vemo {

bool TVemoApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::bad_alloc&) {
    // The work that ran out has been unwound and its memory given back.
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    try {
      ShowMessage(kNoMemory);
    } catch (const std::bad_alloc&) {
      std::fputs("Недостаточно памяти\n", stderr);
    }
    return false;
  }
}

}  // namespace vemo
