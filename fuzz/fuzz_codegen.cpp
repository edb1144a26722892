// Fuzz target for program generation on any scheme a project file can
// hold. The first three bytes choose the target language and the input and
// output points (bit k = point k); the rest is the project file. A scheme
// that compiles is generated in memory: the walk must end, and a program
// that is written has both of its routines.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "codegen/generation.h"
#include "model/compile.h"
#include "model/project_file.h"
#include "shell/program.h"
#include "simulation/engine.h"

using namespace vemo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  ResetProgramState();
  ResetCodegenSettings();
  auto field = CreateField();
  if (LoadFieldFromMemory(*field, data + 3, size - 3) != TLoadResult::Ok) return 0;
  Prog.Err.ErrorCode = 0;
  CompileScheme(*field, nullptr);
  if (Prog.Err.ErrorCode == 0) CheckAlgebraicLoops(*field);
  if (Prog.Err.ErrorCode == 0) {
    std::vector<int> in, out;
    for (int k = 0; k < 8; ++k) {
      if (data[1] & (1u << k)) in.push_back(k);
      else if (data[2] & (1u << k)) out.push_back(k);
    }
    const TTarget t = static_cast<TTarget>(data[0] % kTargetCount);
    TWriterOptions o;
    o.Address = CodegenSettings().Address[static_cast<int>(t)];
    const std::string text = GenerateText(*field, t, in, out, 0.01, o);
    if (!text.empty() && text.find("ontroller") == std::string::npos) std::abort();
  }
  ReleaseMacroBodies(*field);
  return 0;
}
