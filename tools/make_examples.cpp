// Writes the example projects of examples/ with the program's own saving.
// Usage: make_examples OUTPUT_DIR
#include <iostream>
#include <string>

#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "plugins/user_block.h"
#include "shell/program.h"

using namespace vemo;

namespace {

bool Save(TField& f, const std::string& dir, const char* name, double viewTime) {
  Prog.Clock.ViewTime = viewTime;
  const std::string path = dir + "/" + name;
  if (!SaveField(f, path)) return false;
  std::cout << path << "\n";
  return true;
}

// A first-order lag 1/(s + 1) driven by a unit constant.
bool FirstOrderLag(const std::string& dir) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(2, 2, 0, {1.0});
  b.Block(4, 2, 10, {1.0, 1.0, 0.0});
  b.Line({{2, 2}, {4, 2}});
  b.Line({{4, 2}, {6, 2}});
  b.Point(0, 6, 2);
  f->Step = 0.01;
  f->AutoStep = 0;
  return Save(*f, dir, "first_order_lag.vmo", 5.0);
}

// A unit step into a unity negative feedback loop around an integrator and
// an aperiodic element: W = 1 / (0.5 s^2 + s + 1).
bool FeedbackLoop(const std::string& dir) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(2, 2, 0, {1.0});
  b.Block(4, 2, 2);  // summer, bottom input negated
  b.Block(6, 2, 7, {1.0, 0.0});
  b.Block(8, 2, 10, {0.5, 1.0, 0.0});
  b.Line({{2, 2}, {4, 2}});
  b.Line({{4, 2}, {6, 2}});
  b.Line({{6, 2}, {8, 2}});
  b.Line({{8, 2}, {11, 2}});
  b.Line({{9, 2}, {9, 4}, {4, 4}, {4, 2}});
  b.Point(0, 11, 2);  // output
  b.Point(1, 5, 2);   // error signal
  f->Step = 0.01;
  f->AutoStep = 0;
  return Save(*f, dir, "feedback_loop.vmo", 10.0);
}

// An oscillatory element (T = 0.2 s, damping 0.2) driven by a unit step.
bool OscillatoryStep(const std::string& dir) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(2, 2, 0, {1.0});
  b.Block(4, 2, 11, {0.2, 0.2, 1.0});
  b.Line({{2, 2}, {4, 2}});
  b.Line({{4, 2}, {6, 2}});
  b.Point(0, 6, 2);
  b.Point(1, 3, 2);
  f->Step = 0.002;
  f->AutoStep = 0;
  return Save(*f, dir, "oscillatory_step.vmo", 5.0);
}

// A user block computed by the sample plug-in: the arc tangent of a
// constant 1 on its top input over a constant -1 on its bottom input: 3/4 pi.
bool SamplePlugin(const std::string& dir) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  auto* user = static_cast<TUserBlock*>(b.Block(4, 3, 54));
  user->Link.FileName = "Tiklo.so";  // found beside the program
  b.Block(4, 1, 0, {1.0});
  b.Line({{4, 1}, {4, 3}});
  b.Block(4, 5, 0, {-1.0});
  b.Line({{4, 5}, {4, 3}});
  b.Line({{4, 3}, {6, 3}});
  b.Point(0, 6, 3);
  f->Step = 0.1;
  f->AutoStep = 0;
  return Save(*f, dir, "sample_plugin.vmo", 1.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_examples OUTPUT_DIR\n";
    return 2;
  }
  ResetProgramState();
  const std::string dir = argv[1];
  const bool ok = FirstOrderLag(dir) && FeedbackLoop(dir) && OscillatoryStep(dir) && SamplePlugin(dir);
  return ok ? 0 : 1;
}
