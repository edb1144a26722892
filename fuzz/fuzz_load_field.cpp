// Fuzz target for the project file reader. An input either stands as a whole
// file, or (first byte odd) is taken as a cell stream behind a valid header,
// padded with empty cells, so that the fuzzer reaches the records quickly.
// A file that loads must save and load again to the same image.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "model/project_file.h"
#include "shell/program.h"

using namespace vemo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetProgramState();
  std::vector<uint8_t> file;
  if (size > 0 && (data[0] & 1)) {
    file.assign(kHeaderV3, kHeaderV3 + kHeaderSize);
    file.insert(file.end(), data + 1, data + size);
    file.resize(file.size() + 80000 + 400, 0xFF);
  } else {
    file.assign(data, data + size);
  }
  auto field = CreateField();
  if (LoadFieldFromMemory(*field, file.data(), file.size()) != TLoadResult::Ok) return 0;
  const std::vector<uint8_t> image = FieldImage(*field, Prog.Clock.ViewTime);
  auto again = CreateField();
  if (LoadFieldFromMemory(*again, image.data(), image.size()) != TLoadResult::Ok) std::abort();
  if (FieldImage(*again, Prog.Clock.ViewTime) != image) std::abort();
  return 0;
}
