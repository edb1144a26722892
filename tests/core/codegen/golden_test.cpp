// The text of every target for one contour against files reviewed by hand
// (tests/core/codegen/golden/, CP866 with CR LF as written). Setting
// VEMO_UPDATE_GOLDEN=1 rewrites them for a new review.
#include <gtest/gtest.h>

#include <cstdlib>

#include "codegen_support.h"
#include "model/compile.h"

namespace vemo::testing {
namespace {

class Golden : public ProgramTest {};

TEST_F(Golden, EveryTargetWritesTheReviewedText) {
  ResetCodegenSettings();
  auto f = CreateField();
  BuildMixed(*f);
  Prog.Wiring.ZeroListed = 0;
  CompileScheme(*f, nullptr);
  CheckAlgebraicLoops(*f);
  ASSERT_EQ(Prog.Err.ErrorCode, 0);
  const std::string dir = std::string(VEMO_SOURCE_DIR) + "/tests/core/codegen/golden";
  const bool update = std::getenv("VEMO_UPDATE_GOLDEN") != nullptr;
  TempDir tmp;
  for (int i = 0; i < kTargetCount; ++i) {
    const TTarget t = static_cast<TTarget>(i);
    SCOPED_TRACE(TargetInfo(t).Item);
    TGenerationChoice c;
    c.Target = t;
    c.Inputs = {kA, kC};
    c.Outputs = {kB, kD};
    TWriterOptions o;
    o.Address = CodegenSettings().Address[i];
    const std::string name = std::string("mixed.") + TargetInfo(t).Extension;
    Dialogs.Messages.clear();
    ASSERT_EQ(GenerateFile(*f, c, 0.01, o, tmp.File(name)), TGenerationOutcome::Written);
    const std::string text = ReadText(tmp.File(name));
    if (update) WriteText(dir + "/" + name, text);
    EXPECT_EQ(text, ReadText(dir + "/" + name));
  }
}

}  // namespace
}  // namespace vemo::testing
