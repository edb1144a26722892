// The generated programs are built with real toolchains and run on the
// inputs a model run saw at the contour's input points; their outputs must
// follow the model's at the output points. C: the system compiler; Pascal:
// Free Pascal in Turbo Pascal mode; QBasic: bwbasic; Asm51: as31 with our
// mathFIX.a51, run on the s51 simulator. A missing tool skips its tests
// with a message (scripts/deps.sh installs them).
#include <gtest/gtest.h>

#include <functional>

#include "codegen_support.h"
#include "blocks/linear.h"
#include "codegen/code_writer.h"
#include "model/macro.h"
#include "model/project_file.h"

namespace vemo::testing {
namespace {

constexpr double kStep = 0.01;
constexpr int kSteps = 200;

struct TCase {
  const char* Name;
  std::function<void(TField&)> Build;
  std::vector<int> In, Out;
};

TCase Single(const char* name, uint16_t code, std::vector<double> params, std::vector<int> sides = {Left},
             int outSide = Right) {
  static const int letters[3] = {kA, kC, kE};
  std::vector<int> in(letters, letters + sides.size());
  return {name, [=](TField& f) { BuildSingle(f, code, params, sides, outSide); }, in, {kB}};
}

std::string ExamplesDir() { return std::string(VEMO_SOURCE_DIR) + "/examples"; }

const std::vector<TCase>& Cases() {
  static const std::vector<TCase> cases = {
      {"Constant",
       [](TField& f) {
         TSchemeBuilder b(f);
         Source(b, 5, 10, 0);
         b.Line({{5, 10}, {8, 10}});
         b.Point(kA, 6, 10);
         b.Block(10, 14, 0, {2.5});
         b.Line({{10, 14}, {14, 14}});
         b.Point(kB, 12, 14);
       },
       {kA},
       {kB}},
      Single("PositiveSummer", 1, {}, {Top, Left, Bottom}),
      Single("SummerNegatedBottom", 2, {}, {Top, Left, Bottom}),
      Single("SummerNegatedTop", 3, {}, {Top, Left, Bottom}),
      Single("SummerNegatedTopAndBottom", 4, {}, {Top, Left, Bottom}),
      Single("SummerNegatedLeftAndRight", 5, {}, {Top, Left}, Bottom),
      Single("Proportional", 6, {2.5}),
      Single("IntegratorWithGain", 7, {2.0, 0.0}),
      Single("IntegratorWithStart", 7, {1.0, 0.5}),
      Single("Differentiating", 8, {0.5}),
      Single("Forcing", 9, {0.2, 1.5}),
      Single("Aperiodic", 10, {0.3, 2.0, 0.4}),
      Single("AperiodicFasterThanStep", 10, {0.005, 2.0, 0.0}),
      Single("AperiodicUnitGain", 10, {0.3, 1.0, 0.2}),
      Single("Oscillatory", 11, {0.1, 0.3, 1.5}),
      Single("OscillatoryCoarseStep", 11, {0.015, 0.9, 1.0}),
      Single("Delay", 12, {0.05, 2.0}),
      Single("DelayShorterThanHalfAStep", 12, {0.004, 2.0}),
      Single("RealDifferentiating", 95, {0.2, 0.7}),
      Single("RealDifferentiatingFast", 95, {0.005, 0.7}),
      Single("DeadZone", 20, {0.3}),
      Single("Limit", 21, {0.8, -0.6}),
      Single("DeadZoneLimit", 22, {0.3, 0.8, -0.6}),
      Single("Relay2", 23, {1.0, -1.0, 0.2}),
      Single("Relay2Hysteresis", 24, {1.5, -0.5, 0.4, -0.3}),
      Single("Relay3", 25, {1.0, -2.0, 0.5, -0.4}),
      Single("Relay3Hysteresis", 26, {1.2, 0.2, 0.5, -0.4}),
      Single("Backlash", 28, {0.3}),
      Single("Multiplier", 34, {}, {Top, Left, Bottom}),
      Single("SwitchOn", 35, {0.1}, {Left, Bottom}),
      Single("SwitchOff", 36, {0.1}, {Left, Bottom}),
      Single("OneOverX", 42, {}),
      Single("Max", 52, {}, {Top, Left, Bottom}),
      Single("Min", 53, {}, {Top, Left, Bottom}),
      Single("WaitingMultivibrator", 81, {0.1, -0.5, 1.0, 0.5}),
      // The divisor is a three-position relay's output, exactly 0 between
      // its thresholds.
      {"DividerWithZeroDivisor",
       [](TField& f) {
         TSchemeBuilder b(f);
         b.Block(10, 10, 41);
         Source(b, 5, 10, 0);
         b.Line({{5, 10}, {10, 10}});
         b.Point(kA, 6, 10);
         b.Block(10, 15, 25, {1.0, -2.0, 0.5, -0.4});
         Source(b, 10, 20, 1);
         b.Line({{10, 20}, {10, 15}});
         b.Point(kC, 10, 19);
         b.Line({{10, 15}, {10, 10}});
         b.Line({{10, 10}, {15, 10}});
         b.Point(kB, 12, 10);
       },
       {kA, kC},
       {kB}},
      // Two inputs, two outputs, and the summer reached by both outputs.
      {"TwoInputsTwoOutputs",
       [](TField& f) {
         TSchemeBuilder b(f);
         b.Block(10, 10, 1);
         Source(b, 5, 10, 0);
         b.Line({{5, 10}, {10, 10}});
         b.Point(kA, 6, 10);
         Source(b, 10, 5, 1);
         b.Line({{10, 5}, {10, 10}});
         b.Point(kC, 10, 6);
         b.Block(14, 10, 10, {0.2, 3.0, 0.0});
         b.Line({{10, 10}, {14, 10}});
         b.Point(kB, 12, 10);
         b.Line({{14, 10}, {18, 10}});
         b.Point(kD, 16, 10);
       },
       {kA, kC},
       {kB, kD}},
      // A loop inside the contour: input -> summer -> integrator -> output,
      // the integrator fed back to the summer's negated input. The
      // integrator stands first in the grid, so a run orders the loop as
      // the generated program does (summer, then integrator).
      {"FeedbackLoop",
       [](TField& f) {
         TSchemeBuilder b(f);
         Source(b, 2, 4, 0);
         b.Block(4, 4, 2);
         b.Block(6, 2, 7, {3.0, 0.0});
         b.Line({{2, 4}, {4, 4}});
         b.Line({{4, 4}, {6, 4}, {6, 2}});
         b.Line({{6, 2}, {9, 2}});
         b.Line({{7, 2}, {7, 6}, {4, 6}, {4, 4}});
         b.Point(kA, 3, 4);
         b.Point(kB, 8, 2);
       },
       {kA},
       {kB}},
      // A macro block whose body is an aperiodic element (T 0.5, K 2).
      {"MacroBlock",
       [](TField& f) {
         TSchemeBuilder b(f);
         Source(b, 5, 10, 0);
         auto* m = static_cast<TMacroBlock*>(b.Block(10, 10, kMacroCode));
         m->BodyFile = "macro_body_lag.vmo";
         b.Line({{5, 10}, {10, 10}});
         b.Point(kA, 6, 10);
         b.Line({{10, 10}, {15, 10}});
         b.Point(kB, 12, 10);
       },
       {kA},
       {kB}},
  };
  return cases;
}

class CompiledProgram : public ProgramTest, public ::testing::WithParamInterface<TCase> {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    projects_.SearchDirs = {ExamplesDir()};
    Prog.Projects = &projects_;
    field_ = CreateField();
    GetParam().Build(*field_);
    run_ = RunModel(*field_, GetParam().In, GetParam().Out, kStep, kSteps);
    ASSERT_EQ(Prog.Err.ErrorCode, 0);
    ASSERT_EQ(run_.Out.size(), static_cast<size_t>(kSteps));
  }
  void TearDown() override {
    if (field_) ReleaseMacroBodies(*field_);
    field_.reset();
    ProgramTest::TearDown();
  }
  std::string Generate(TTarget t, const TWriterOptions& o = {}) {
    return GenerateInto(*field_, t, GetParam().In, GetParam().Out, kStep, dir_.Path, "ctl", o);
  }
  // The agreement is printed for the record.
  void Expect(const TProgramRun& r, double tolerance, const char* what) {
    ASSERT_TRUE(r.Ok) << r.Log;
    const double worst = WorstDifference(r.Rows, run_);
    std::printf("[ agreement ] %s %s: %.3g\n", what, GetParam().Name, worst);
    EXPECT_LE(worst, tolerance) << r.Log.substr(0, 2000);
  }

  TFileProjects projects_;
  std::unique_ptr<TField> field_;
  TModelRun run_;
  TempDir dir_;
};

// Single precision: each step's statements in float against the model's
// doubles.
TEST_P(CompiledProgram, CAgreesWithTheModel) {
  if (!HaveTool("cc")) GTEST_SKIP() << "no C compiler (cc)";
  const std::string src = Generate(TTarget::C);
  ASSERT_FALSE(src.empty());
  Expect(RunC(dir_.Path, src, run_), 2e-5, "C");
}

TEST_P(CompiledProgram, PascalAgreesWithTheModel) {
  if (!HaveTool("fpc")) GTEST_SKIP() << "no Free Pascal (fpc); scripts/deps.sh installs fp-compiler";
  ASSERT_FALSE(Generate(TTarget::Pascal).empty());
  Expect(RunPascal(dir_.Path, "ctl", run_), 2e-5, "Pascal");
}

// bwbasic computes in double precision and prints 7 decimals.
TEST_P(CompiledProgram, QBasicAgreesWithTheModel) {
  if (!HaveTool("bwbasic")) GTEST_SKIP() << "no bwbasic; scripts/deps.sh installs it";
  const std::string src = Generate(TTarget::QBasic);
  ASSERT_FALSE(src.empty());
  Expect(RunQBasic(dir_.Path, src, run_), 2e-6, "QBasic");
}

// FIX numbers resolve 2^-16; the constants of the statements are rounded
// to that too, so a recurrence drifts by a few of them per step at most.
TEST_P(CompiledProgram, Asm51AgreesWithTheModel) {
  if (!HaveTool("as31") || !HaveTool("s51"))
    GTEST_SKIP() << "no as31 or s51; scripts/deps.sh installs as31 and sdcc-ucsim";
  TWriterOptions o;
  o.Address = 0x30;
  const std::string src = Generate(TTarget::Asm51, o);
  ASSERT_FALSE(src.empty());
  Expect(RunAsm51(dir_.Path, src, run_), 1e-3, "Asm51");
}

INSTANTIATE_TEST_SUITE_P(EveryKind, CompiledProgram, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<TCase>& i) { return std::string(i.param.Name); });

// The writer's operations no block of the table uses (constant arrays,
// fixed-place array reads, labels and jumps, abs, negation, division by a
// variable) run in a block of the test's own: y = |x| * 7.5 + max(x, 0),
// where 7.5 is summed from a constant array, and 0 for x = 0 by a jump.
class TOperationsBlock : public TTableParamBlock {
 public:
  TOperationsBlock() : TTableParamBlock(6) { TypeCode = 6; }
  void GenerateCode(TCodeWriter& w, std::string& v) override {
    if (!w.BeginBlock(*this, v)) return;
    w.UseFirstInput(*this);
    w.ReserveTemps(2);
    w.NewStateVar(*this, 0.0);
    w.NewConstArray("Tab", {"1.5", "-2", "4"});
    w.NewArray("Arr", 3);
    w.NewVarWithValue("Acc", "0");
    w.Abs("", "%1");
    w.Neg("Z1", "");
    w.Sub("Z2", "%1", "Z1");
    w.Div("Z2", "Z2", "2");
    w.Loop(3);
    w.LoadFromArray("Z1", "Tab", -1);
    w.StoreToArray("Arr", -1, "Z1");
    w.EndLoop();
    w.Assign("Acc", "0");
    w.Loop(3);
    w.LoadFromArray("Z1", "Arr", -1);
    w.Add("Acc", "Acc", "Z1");
    w.EndLoop();
    w.LoadFromArrayAt("Z1", "Tab", 2);
    w.Add("Acc", "Acc", "Z1");
    w.If("%1", TRelation::Equal, "0");
    w.Goto("Past");
    w.EndIf();
    w.Mul("", "", "Acc");
    w.Label("Past");
    w.Add("", "", "Z2");
  }
};

class WriterOperations : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    source_ = CreateCellObject(115);
    block_.Inputs[Left] = source_->AsBlock();
    for (int k = -12; k <= 12; ++k) {
      const double x = 0.25 * k;
      run_.In.push_back({x});
      run_.Out.push_back({(x == 0.0 ? 0.0 : std::fabs(x) * 7.5) + std::max(x, 0.0)});
    }
  }
  std::string Generate(TTarget t, const TWriterOptions& o = {}) {
    const std::string path = dir_.File(std::string("ops.") + TargetInfo(t).Extension);
    auto w = MakeWriter(t, path, kStep, o);
    w->Inputs = {source_->AsBlock()};
    w->Outputs = {&block_};
    GenerateProgram(*w, nullptr);
    EXPECT_EQ(Prog.Err.ErrorCode, 0);
    EXPECT_TRUE(w->Close());
    return path;
  }
  void Expect(const TProgramRun& r, double tolerance) {
    ASSERT_TRUE(r.Ok) << r.Log;
    EXPECT_LE(WorstDifference(r.Rows, run_), tolerance) << r.Log.substr(0, 2000);
  }

  std::unique_ptr<TCellObject> source_;
  TOperationsBlock block_;
  TModelRun run_;
  TempDir dir_;
};

TEST_F(WriterOperations, RunInC) {
  if (!HaveTool("cc")) GTEST_SKIP() << "no C compiler (cc)";
  Expect(RunC(dir_.Path, Generate(TTarget::C), run_), 1e-6);
}

TEST_F(WriterOperations, RunInPascal) {
  if (!HaveTool("fpc")) GTEST_SKIP() << "no Free Pascal (fpc); scripts/deps.sh installs fp-compiler";
  Generate(TTarget::Pascal);
  Expect(RunPascal(dir_.Path, "ops", run_), 1e-6);
}

TEST_F(WriterOperations, RunInQBasic) {
  if (!HaveTool("bwbasic")) GTEST_SKIP() << "no bwbasic; scripts/deps.sh installs it";
  Expect(RunQBasic(dir_.Path, Generate(TTarget::QBasic), run_), 1e-6);
}

TEST_F(WriterOperations, RunOnThe8051) {
  if (!HaveTool("as31") || !HaveTool("s51"))
    GTEST_SKIP() << "no as31 or s51; scripts/deps.sh installs as31 and sdcc-ucsim";
  TWriterOptions o;
  o.Address = 0x30;
  Expect(RunAsm51(dir_.Path, Generate(TTarget::Asm51, o), run_), 1e-4);
}

}  // namespace
}  // namespace vemo::testing
