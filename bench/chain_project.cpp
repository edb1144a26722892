// Writes a chain of bench/chain_scheme.h as a project, for measuring the
// whole batch program against bench/plain_chain.c:
//   chain_project aperiodic 990 0.0005 10 chain.vmo
//   vemo-cli simulate chain.vmo        (one line per step, point A)
//   plain_chain aperiodic 990 0.0005 10 (the same lines from plain C)
#include <cstdlib>
#include <iostream>
#include <string>

#include "chain_scheme.h"
#include "model/project_file.h"
#include "shell/program.h"

using namespace vemo;

int main(int argc, char** argv) {
  if (argc != 6) {
    std::cerr << "usage: chain_project aperiodic|linear|mixed|limited BLOCKS STEP VIEWTIME OUT.vmo\n";
    return 2;
  }
  ResetProgramState();
  auto f = CreateField();
  if (!bench::BuildChain(*f, argv[1], std::atoi(argv[2]))) {
    std::cerr << "chain_project: 1.." << bench::kLongestChain << " blocks\n";
    return 2;
  }
  f->Step = std::atof(argv[3]);
  Prog.Clock.ViewTime = std::atof(argv[4]);
  return SaveField(*f, argv[5]) ? 0 : 1;
}
