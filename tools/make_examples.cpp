// Writes the example projects of examples/ with the program's own saving.
// Usage: make_examples OUTPUT_DIR
#include <algorithm>
#include <iostream>
#include <string>

#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "blocks/table_blocks.h"
#include "fuzzy/fuzzy_block.h"
#include "fuzzy/fuzzy_file.h"
#include "fuzzy/fuzzy_rules.h"
#include "model/macro.h"
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

struct TStage {
  uint16_t Code;
  std::initializer_list<double> Params;
};

// A source, a summer with its bottom input negated and a chain of forward
// stages, closed by a unity negative feedback from the output. Point A is
// the output, B the error signal. Returns the field for further edits.
std::unique_ptr<TField> Loop(const TStage& source, std::initializer_list<TStage> forward) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(2, 2, source.Code, source.Params);
  b.Block(4, 2, 2);
  b.Line({{2, 2}, {4, 2}});
  int col = 4;
  for (const TStage& s : forward) {
    b.Block(col + 2, 2, s.Code, s.Params);
    b.Line({{col, 2}, {col + 2, 2}});
    col += 2;
  }
  b.Line({{col, 2}, {col + 3, 2}});
  b.Line({{col + 1, 2}, {col + 1, 4}, {4, 4}, {4, 2}});
  b.Point(0, col + 3, 2);
  b.Point(1, 5, 2);
  f->AutoStep = 0;
  return f;
}

// A relay with hysteresis driving an aperiodic element and an integrator:
// the loop settles into a self-sustained oscillation.
bool RelayLoop(const std::string& dir) {
  auto f = Loop({0, {0.0}}, {{24, {1.0, -1.0, 0.1, -0.1}}, {10, {0.5, 1.0, 0.0}}, {7, {1.0, 0.0}}});
  f->Step = 0.001;
  return Save(*f, dir, "relay_loop.vmo", 10.0);
}

// A step of 5 into a loop whose actuator saturates at +-1.
bool SaturationLoop(const std::string& dir) {
  auto f = Loop({0, {5.0}}, {{21, {1.0, -1.0}}, {10, {1.0, 2.0, 0.0}}, {7, {1.0, 0.0}}});
  f->Step = 0.001;
  return Save(*f, dir, "saturation_loop.vmo", 15.0);
}

// A pulse-width modulated loop: the modulator drives a first-order lag.
bool PwmLoop(const std::string& dir) {
  auto f = Loop({0, {0.5}}, {{100, {}}, {10, {0.1, 1.0, 0.0}}});
  f->Step = 0.0005;
  return Save(*f, dir, "pwm_loop.vmo", 1.0);
}

// A harmonic signal through a drawn characteristic (a saturation at +-1
// with a linear part of slope 1).
bool TableNonlinearity(const std::string& dir) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(2, 2, 115, {2.0, 0.5, 0.0});
  auto* table = static_cast<TUserNonlinearity*>(b.Block(4, 2, 37));
  for (auto [x, y] : {std::pair{-3.0, -1.0}, {-1.0, -1.0}, {1.0, 1.0}, {3.0, 1.0}}) table->Table.Add(x, y);
  b.Line({{2, 2}, {4, 2}});
  b.Line({{4, 2}, {6, 2}});
  b.Point(0, 6, 2);
  b.Point(1, 3, 2);
  f->Step = 0.01;
  f->AutoStep = 0;
  return Save(*f, dir, "table_nonlinearity.vmo", 4.0);
}

// A macro block whose body, another project, is a first-order lag fed by
// the body's left input port; the main scheme drives it with a unit step.
bool MacroLag(const std::string& dir) {
  auto body = CreateField();
  TSchemeBuilder bb(*body);
  bb.Block(1, 2, kMacroPortFirst + 1);  // the macro block's left input
  bb.Block(3, 2, 10, {0.5, 2.0, 0.0});
  bb.Line({{1, 2}, {3, 2}});
  bb.Block(4, 2, kMacroOutputCode);     // fed by the block on its left
  body->Step = 0.01;
  body->AutoStep = 0;
  if (!Save(*body, dir, "macro_body_lag.vmo", 5.0)) return false;

  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(2, 2, 0, {1.0});
  auto* macro = static_cast<TMacroBlock*>(b.Block(4, 2, kMacroCode));
  macro->Caption = "Лаг";
  macro->BodyFile = "macro_body_lag.vmo";  // beside the project
  b.Line({{2, 2}, {4, 2}});
  b.Line({{4, 2}, {6, 2}});
  b.Point(0, 6, 2);
  f->Step = 0.01;
  f->AutoStep = 0;
  return Save(*f, dir, "macro_lag.vmo", 5.0);
}

// Seven terms per variable, from "ОБ" (negative big) to "ПБ" (positive big),
// centred at -3..3 times a third of the range; the outer terms of an input
// stay at 1 out to twice the range, the output's are triangles.
void SevenTerms(TFuzzyModel& m, uint32_t var, const char* suffix, double range, bool shoulders) {
  static const char* const kNames[] = {"ОБ", "ОС", "ОМ", "Н", "ПМ", "ПС", "ПБ"};
  const double w = range / 3;
  for (int k = 0; k < 7; ++k) {
    const double c = (k - 3) * w;
    TFuzzyShape s{{{c - w, 0}, {c, 1}, {c + w, 0}}};
    if (shoulders && k == 0) s = TFuzzyShape{{{-2 * range - w, 0}, {-2 * range, 1}, {c, 1}, {c + w, 0}}};
    if (shoulders && k == 6) s = TFuzzyShape{{{c - w, 0}, {c, 1}, {2 * range, 1}, {2 * range + w, 0}}};
    AddTerm(m, std::string(kNames[k]) + "_" + suffix, var, s);
  }
}

// The rules of a fuzzy PD controller: the control grows with the error and
// falls with the speed of the output, one term per step of either, limited
// at the outer terms.
std::string PdRules() {
  static const char* const kNames[] = {"ОБ", "ОС", "ОМ", "Н", "ПМ", "ПС", "ПБ"};
  std::string text;
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 7; ++j) {
      const int u = std::clamp(i - j + 3, 0, 6);
      text += std::string("ЕСЛИ Ошибка ЕСТЬ ") + kNames[i] + "_е И Скорость ЕСТЬ " + kNames[j] +
              "_с ТО Управление ЕСТЬ " + kNames[u] + "_у\n";
    }
  return text;
}

// A fuzzy PD controller (MAX_MIN, 7 x 7 rules) closing a unit step loop
// around the servo 1 / (s (0.5 s + 1)): the error enters on the left, the
// speed of the output (the lag's output) on top, the control leaves on the
// right. Point A is the output, B the error, C the control. The model is
// also written as fuzzy_pd.fz.
bool FuzzyPd(const std::string& dir) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(2, 4, 0, {1.0});
  b.Block(4, 4, 2);
  auto* fuzzy = static_cast<TFuzzyBlock*>(b.Block(7, 4, 38));
  b.Block(9, 4, 10, {0.5, 1.0, 0.0});
  b.Block(12, 4, 7, {1.0, 0.0});
  b.Line({{2, 4}, {4, 4}});
  b.Line({{4, 4}, {7, 4}});
  b.Line({{7, 4}, {9, 4}});
  b.Line({{9, 4}, {12, 4}});
  b.Line({{10, 4}, {10, 2}, {7, 2}, {7, 4}});
  b.Line({{12, 4}, {15, 4}});
  b.Line({{13, 4}, {13, 6}, {4, 6}, {4, 4}});
  b.Point(0, 15, 4);
  b.Point(1, 5, 4);
  b.Point(2, 8, 4);

  TFuzzyModel& m = fuzzy->Model;
  m.Clear();
  for (const char* n : {"Скорость", "Ошибка", "", "Управление"}) AddVariable(m, n);
  SevenTerms(m, 1, "е", 1.0, true);
  SevenTerms(m, 0, "с", 3.0, true);
  SevenTerms(m, 3, "у", 4.0, false);
  m.Method = kMaxMin;
  if (CompileRules(m, PdRules()).Line >= 0) return false;
  fuzzy->OutputSide = Right;
  f->Step = 0.005;
  f->AutoStep = 0;
  const std::string model = dir + "/fuzzy_pd.fz";
  if (!SaveModelFile(m, model)) return false;
  std::cout << model << "\n";
  return Save(*f, dir, "fuzzy_pd.vmo", 5.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_examples OUTPUT_DIR\n";
    return 2;
  }
  ResetProgramState();
  const std::string dir = argv[1];
  const bool ok = FirstOrderLag(dir) && FeedbackLoop(dir) && OscillatoryStep(dir) && SamplePlugin(dir) &&
                  RelayLoop(dir) && SaturationLoop(dir) && PwmLoop(dir) && TableNonlinearity(dir) &&
                  MacroLag(dir) && FuzzyPd(dir);
  return ok ? 0 : 1;
}
