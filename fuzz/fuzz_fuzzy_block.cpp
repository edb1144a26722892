// libFuzzer harness for the fuzzy block's project data: a record either
// loads or leaves an empty model; a loaded block saves a record that loads
// to the same bytes again, and steps with inputs on every side.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzzy/fuzzy_block.h"
#include "fuzzy_exercise.h"
#include "shell/program.h"

using namespace vemo;
using vemo::fuzzcheck::Check;

namespace {

std::vector<uint8_t> Image(TFuzzyBlock& b) {
  TMemCursor measure = TMemCursor::Measuring();
  b.Save(measure);
  std::vector<uint8_t> bytes(measure.Pos);
  TMemCursor w = TMemCursor::Writing(bytes);
  b.Save(w);
  Check(!w.Overrun && w.Pos == bytes.size());
  return bytes;
}

class TConstant : public TBlock {
 public:
  explicit TConstant(double v) { Output = v; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetProgramState();
  TFuzzyBlock b;
  TLoadCursor c(data, size);
  if (!b.Load(c)) {
    Check(b.Model.Terms.empty() && b.Model.Rules.empty() && b.Model.Variables.empty());
    return 0;
  }
  const std::vector<uint8_t> img = Image(b);
  TFuzzyBlock again;
  TLoadCursor c2(img);
  Check(again.Load(c2) && c2.Pos == img.size());
  Check(Image(again) == img);

  TConstant a(0.5), d(-1.0), e(2.0);
  b.Inputs[0] = &a;
  b.Inputs[1] = &d;
  b.Inputs[2] = &e;
  b.Start();
  for (int k = 0; k < 3; ++k) b.Step();
  b.OutSide = 3;
  b.Check();
  fuzzcheck::ExerciseModel(b.Model);
  return 0;
}
