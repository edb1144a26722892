#include "blocks/sources.h"

#include "shell/program.h"

namespace vemo {

bool CheckNoInput(TBlock& b) {
  if (b.InputCount() > 0) {
    Prog.Err.ErrorCode = 1;
    return false;
  }
  return true;
}

}  // namespace vemo
