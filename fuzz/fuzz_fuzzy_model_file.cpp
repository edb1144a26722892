// libFuzzer harness for the fuzzy model file reader. An input is a whole
// file, or (first byte odd) the lists behind a valid header. A refused file
// leaves an empty model; a read model writes back and reads again alike.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzzy_exercise.h"

using namespace vemo;
using vemo::fuzzcheck::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> file;
  if (size > 0 && (data[0] & 1)) {
    file.assign(kFuzzyFileHeader, kFuzzyFileHeader + kFuzzyHeaderSize);
    file.insert(file.end(), data + 1, data + size);
  } else {
    file.assign(data, data + size);
  }
  TFuzzyModel m;
  AddVariable(m, "stale");
  if (!ParseModelFile(file.data(), file.size(), m)) {
    Check(m.Terms.empty() && m.Rules.empty() && m.Variables.empty());
    return 0;
  }
  fuzzcheck::ExerciseModel(m);
  return 0;
}
