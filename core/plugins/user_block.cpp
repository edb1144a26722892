#include "plugins/user_block.h"

#include "model/compile.h"
#include "model/field.h"
#include "shell/program.h"

namespace vemo {

namespace {
// Plug-in side order: up, right, down, left.
constexpr int kInterfaceSide[4] = {Top, Right, Bottom, Left};
}  // namespace

bool TUserBlock::Load(TLoadCursor& c) {
  UnloadDLLLink(Link);
  Link.FileName = c.ShortString(127);
  if (!c.Ok) return false;
  // Reading runs no library code: the library is bound when a scheme that
  // holds the block is checked.
  Link.Pending = !Link.FileName.empty();
  return true;
}

void TUserBlock::Prepare(TField* owner) {
  TKindBlock::Prepare(owner);
  const TField* project = CompilingProject();
  if (!BindNamedLibrary(Link, project ? project->FileName : std::string()))
    Prog.Err.ErrorCode = 37;
}

void TUserBlock::Check() {
  if (!Link.Bound() || !Link.OnCompile) return;
  unsigned char code[4];
  for (int s = 0; s < 4; ++s) code[s] = Inputs[s] ? 1 : 0;
  if (OutSide < 4) code[OutSide] = 2;
  if (!Link.OnCompile(code[kInterfaceSide[0]], code[kInterfaceSide[1]], code[kInterfaceSide[2]],
                      code[kInterfaceSide[3]]))
    Prog.Err.ErrorCode = 37;
}

void TUserBlock::Start() {
  Output = 0.0;
  if (Link.Bound() && Link.OnRun) Link.OnRun(Prog.Clock.TimeStep);
}

void TUserBlock::Step() {
  if (!Link.Bound()) {
    Output = 0.0;
    return;
  }
  double x[4];
  for (int s = 0; s < 4; ++s) x[s] = Inputs[s] ? Inputs[s]->Output : 0.0;
  Output = Link.OnTick(Prog.Clock.SimTime, Prog.Clock.TimeStep, x[Top], x[Right], x[Bottom], x[Left]);
}

void TUserBlock::Stop() {
  if (Link.Bound() && Link.OnStop) Link.OnStop();
}

double TUserBlock::GetStepHint() { return Link.Bound() ? Link.GetTickStep() : 100.0; }

}  // namespace vemo
