// The fixture of the tests that run the contour commands on a scheme built
// in code: a fresh program state and an empty field, and the open chain
// prepared as the nonlinear-part commands see it.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "frequency/contour.h"
#include "model/field.h"
#include "scheme_fixtures.h"
#include "shell/program.h"

namespace vemo::testing {

class ContourFieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProgramState();
    F = CreateField();
  }
  // The contour commands load the bodies of macro blocks.
  void TearDown() override {
    ReleaseMacroBodies(*F);
    ResetProgramState();
  }

  // The open chain gen -> blocks -> stub on F, its W(s) with the zero-pole
  // form from A to B, and the nonlinear part of that contour.
  TNonlinearPart PrepareChain(TChainBlocks blocks) {
    BuildOpenChain(*F, blocks);
    EXPECT_TRUE(RunContourCommand(*F, 0, 1, true)) << int(Prog.Err.ErrorCode);
    TNonlinearPart p = FindNonlinearPart(*F, 0, 1);
    EXPECT_EQ(Prog.Err.ErrorCode, 0);
    return p;
  }

  std::unique_ptr<TField> F;
};

}  // namespace vemo::testing
