// The step loop over run records against the plain reference — every
// block's own Step in run-list order: the outputs of every block after every
// step, and the fault flags each step raises, agree to the bit, on every
// shipped example, on random schemes holding every kind of block, and when
// parameter controls and a new step change the constants during a run.
#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <filesystem>
#include <random>

#include "blocks/linear.h"
#include "blocks/param_control.h"
#include "blocks/registry.h"
#include "blocks/table_blocks.h"
#include "core/fuzzy/fuzzy_test_support.h"
#include "core/model/test_support.h"
#include "fuzzy/fuzzy_block.h"
#include "model/project_file.h"
#include "model/scheme_builder.h"
#include "neural/neural_block.h"
#include "simulation/engine.h"
#include "simulation/run_plan.h"
#include "simulation/transient.h"

namespace vemo {
namespace {

constexpr int kSteps = 2000;

// After each step: every block's output in run-list order, then the fault
// flags the step raised.
std::vector<uint64_t> Trace(TField& f, bool reference, double dt, int steps = kSteps) {
  std::vector<uint64_t> trace;
  Prog.Clock.TimeStep = dt;
  SimInit(f);
  for (int k = 0; k < steps; ++k) {
    Prog.Clock.TimeStep = dt;
    Prog.Clock.SimTime = StepTime(k, dt);
    std::feclearexcept(FE_ALL_EXCEPT);
    if (reference) {
      for (TBlock* b : f.RunArray) b->Step();
    } else {
      SimStepAll(f);
      SyncRunOutputs(f.Plan);
    }
    for (TBlock* b : f.RunArray) trace.push_back(std::bit_cast<uint64_t>(b->Output));
    trace.push_back(static_cast<uint64_t>(std::fetestexcept(kRunFaults)));
  }
  std::feclearexcept(FE_ALL_EXCEPT);
  SimDone(f);
  return trace;
}

// The first step (and block) where two traces differ, for the message.
std::string FirstDifference(const std::vector<uint64_t>& a, const std::vector<uint64_t>& b,
                            size_t perStep) {
  if (a.size() != b.size()) return "lengths " + std::to_string(a.size()) + " / " + std::to_string(b.size());
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i])
      return "step " + std::to_string(i / perStep) + ", entry " + std::to_string(i % perStep) + ": " +
             std::to_string(std::bit_cast<double>(a[i])) + " / " + std::to_string(std::bit_cast<double>(b[i]));
  return "none";
}

class RunPlanTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    Projects.SearchDirs = {std::string(VEMO_SOURCE_DIR) + "/examples"};
    Prog.Projects = &Projects;
    Prog.ProgramDir = std::string(VEMO_BIN_DIR) + "/";  // the sample plug-in
  }
  // The loop and the reference on two fields made the same way.
  template <class Make>
  void ExpectSameRun(Make make, double dt, const std::string& what) {
    auto a = make(), b = make();
    ASSERT_TRUE(a && b) << what;
    const auto fast = Trace(*a, false, dt), slow = Trace(*b, true, dt);
    ASSERT_FALSE(slow.empty()) << what;
    EXPECT_TRUE(fast == slow) << what << ": first difference at "
                              << FirstDifference(fast, slow, a->RunArray.size() + 1);
    ReleaseMacroBodies(*a);
    ReleaseMacroBodies(*b);
  }
  TFileProjects Projects;
};

TEST_F(RunPlanTest, EveryExampleRunsAsItsBlocksOwnSteps) {
  int count = 0;
  for (const auto& e : std::filesystem::directory_iterator(std::string(VEMO_SOURCE_DIR) + "/examples")) {
    if (e.path().extension() != ".vmo") continue;
    const std::string path = e.path().string();
    double dt = 0;
    auto make = [&]() -> std::unique_ptr<TField> {
      auto f = CreateField();
      if (LoadField(*f, path) != TLoadResult::Ok) return nullptr;
      PrepareRun(*f);
      if (Prog.Err.ErrorCode) return nullptr;
      dt = Prog.Clock.TimeStep;
      return f;
    };
    // The step the example runs with; a macro body is no scheme of its own.
    if (!make() && Prog.Err.ErrorCode == 10) continue;
    ExpectSameRun(make, dt, path);
    ++count;
  }
  EXPECT_GE(count, 9);
}

// Every kind of block (a macro block needs a body file; the examples have
// one), each several times with its parameters scaled by a random factor
// (exactly 1 a third of the time, so unit gains occur), fuzzy controllers
// with rules on each of their inputs, neural networks with random weights,
// wired at random:
// mostly from earlier blocks, sometimes back from later ones, two-argument
// kinds on their left and bottom sides, parameter controls aimed at random
// blocks with parameters. The wiring is set directly; the run list is
// ordered by the engine.
std::unique_ptr<TField> RandomScheme(uint32_t seed) {
  std::mt19937 rng(seed);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  auto below = [&](size_t n) { return static_cast<size_t>(rng() % n); };
  int kindCount = 0;
  const TKindInfo* kinds = KindTable(kindCount);
  std::vector<uint16_t> codes;
  for (int round = 0; round < 3; ++round)
    for (int k = 0; k < kindCount; ++k)
      if (kinds[k].Code != kMacroCode) codes.push_back(kinds[k].Code);
  std::shuffle(codes.begin(), codes.end(), rng);

  auto f = CreateField();
  std::vector<TBlock*> blocks;
  for (size_t i = 0; i < codes.size(); ++i) {
    const int col = static_cast<int>(i % kGridSize), row = static_cast<int>(i / kGridSize);
    f->SetCell(col, row, CreateCellObject(codes[i]));
    TBlock* b = f->Cell(col, row)->AsBlock();
    if (auto* p = dynamic_cast<TParamBlock*>(b)) {
      const double factor = below(3) == 0 ? 1.0 : uniform(0.5, 2.0);
      for (int k = 0; k < p->ParamCount; ++k) p->Params[k] *= factor;
    }
    if (auto* t = dynamic_cast<TTableBlock*>(b))
      for (double x = -2.0; x <= 2.0; x += uniform(0.2, 0.7)) t->Table.Add(x, uniform(-1.5, 1.5));
    if (auto* fz = dynamic_cast<TFuzzyBlock*>(b)) {
      fz->Model = fuzzytest::SmallModel();
      const char* rules = "ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z\nЕСЛИ X2 ЕСТЬ B ТО Y ЕСТЬ W\nЕСЛИ X3 ЕСТЬ C ТО Y ЕСТЬ W\n";
      if (CompileRules(fz->Model, rules).Line != -1) return nullptr;
    }
    if (auto* nn = dynamic_cast<TNeuralBlock*>(b))
      for (TNeuroLayer& l : nn->Net.Layers)
        for (double& w : l.Weights) w = uniform(-1.0, 1.0);
    blocks.push_back(b);
  }
  const auto isSource = [](uint16_t c) { return FindKind(c)->Kind == 0 && c != 40; };
  const auto feeder = [&](size_t i) {
    // Mostly an earlier block, now and then a later one (a loop).
    if (i > 0 && below(7) != 0) return blocks[below(i)];
    return blocks[below(blocks.size())];
  };
  for (size_t i = 0; i < blocks.size(); ++i) {
    TBlock* b = blocks[i];
    const uint16_t c = b->TypeCode;
    if (isSource(c)) continue;
    if (c == 41 || c == 55 || c == 35 || c == 36) {
      b->Inputs[Left] = feeder(i);
      b->Inputs[Bottom] = feeder(i);
    } else if ((c >= 1 && c <= 5) || c == 34 || c == 52 || c == 53 || c == 54) {
      for (int s = 0; s < 4; ++s)
        if (below(2) == 0) b->Inputs[s] = feeder(i);
    } else {
      b->Inputs[below(4)] = feeder(i);
    }
    if (c == 40) {
      // A block with parameters somewhere on the field.
      TParamBlock* target = nullptr;
      while (!target) {
        auto* p = dynamic_cast<TParamBlock*>(blocks[below(blocks.size())]);
        if (p && p->TypeCode <= 34 && p->ParamCount > 0) target = p;
      }
      auto* pc = static_cast<TParamControl*>(b);
      const size_t t = std::find(blocks.begin(), blocks.end(), target) - blocks.begin();
      pc->TargetCol = static_cast<int32_t>(t % kGridSize);
      pc->TargetRow = static_cast<int32_t>(t / kGridSize);
      pc->ParamIndex = static_cast<uint8_t>(below(target->ParamCount));
      pc->Prepare(f.get());
      if (!pc->Target) return nullptr;
    }
  }
  TBlock* prev = nullptr;
  for (TBlock* b : blocks) {
    b->RunPrev = prev;
    if (prev) {
      prev->RunNext = b;
    } else {
      f->RunList = b;
    }
    prev = b;
  }
  SortRunList(*f);
  f->Step = 0.01;
  f->AutoStep = 0;
  return f;
}

TEST_F(RunPlanTest, RandomSchemesOfEveryKindRunAsTheirBlocksOwnSteps) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    // Steps that are exact in binary and steps that are not.
    const double dt = seed % 2 ? 0.01 : 1.0 / 1024;
    ExpectSameRun([&] { return RandomScheme(seed); }, dt, "seed " + std::to_string(seed));
  }
}

TEST_F(RunPlanTest, OutputsKeptInTheRecordsReachTheBlocksWhenTheRunEnds) {
  // The traces above bring every Output up to date after each step; here
  // nothing does until SimDone, so the outputs the loop kept in its
  // records, and the switches between keeping and storing that parameter
  // controls cause during a run, must come out right by themselves.
  int kept = 0;
  // One run after the other: some sources draw from one program-wide
  // random sequence that a run starts again.
  auto finalOutputs = [&](TField& f, bool reference) {
    Prog.Clock.TimeStep = 0.01;
    SimInit(f);
    for (int k = 0; k < kSteps; ++k) {
      Prog.Clock.TimeStep = 0.01;
      Prog.Clock.SimTime = StepTime(k, 0.01);
      if (reference) {
        for (TBlock* blk : f.RunArray) blk->Step();
      } else {
        SimStepAll(f);
      }
    }
    std::feclearexcept(FE_ALL_EXCEPT);
    for (const TRunRecord& r : f.Plan.Records) kept += !reference && r.OutputKept;
    SimDone(f);
    std::vector<uint64_t> out;
    for (TBlock* blk : f.RunArray) out.push_back(std::bit_cast<uint64_t>(blk->Output));
    return out;
  };
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    auto a = RandomScheme(seed), b = RandomScheme(seed);
    ASSERT_TRUE(a && b);
    const auto fast = finalOutputs(*a, false), slow = finalOutputs(*b, true);
    EXPECT_TRUE(fast == slow) << "seed " << seed << ": first difference at "
                              << FirstDifference(fast, slow, fast.size());
  }
  EXPECT_GT(kept, 0);
}

TEST_F(RunPlanTest, CopiesRunAsTheOriginalWithParametersWrittenBetweenRuns) {
  // As the optimiser does: a copy of the scheme compiled on its own, new
  // parameter values written between runs, each run started afresh.
  for (const char* name : {"feedback_loop.vmo", "saturation_loop.vmo", "fuzzy_pd.vmo", "pwm_loop.vmo"}) {
    const std::string path = std::string(VEMO_SOURCE_DIR) + "/examples/" + name;
    auto original = CreateField();
    ASSERT_EQ(LoadField(*original, path), TLoadResult::Ok) << name;
    PrepareRun(*original);
    ASSERT_EQ(Prog.Err.ErrorCode, 0) << name;
    const double dt = Prog.Clock.TimeStep;
    auto copy = Clone(*original);
    copy->Step = dt;
    copy->AutoStep = 0;
    PrepareRun(*copy);
    ASSERT_EQ(Prog.Err.ErrorCode, 0) << name;
    for (double factor : {1.0, 0.75, 1.5}) {
      for (TField* f : {original.get(), copy.get()})
        for (TBlock* b = f->RunList; b; b = b->RunNext)
          if (auto* p = dynamic_cast<TParamBlock*>(b); p && p->TypeCode != 40)
            for (int k = 0; k < p->ParamCount; ++k) p->Params[k] *= factor;
      const auto fast = Trace(*copy, false, dt), slow = Trace(*original, true, dt);
      EXPECT_TRUE(fast == slow) << name << " × " << factor << ": first difference at "
                                << FirstDifference(fast, slow, copy->RunArray.size() + 1);
    }
    ReleaseMacroBodies(*original);
    ReleaseMacroBodies(*copy);
  }
}

// constant 1 -> aperiodic (T, K) -> stub, observed at A; a parameter
// control below-right of the aperiodic element, fed by a ramp that starts
// at t0, writes its parameter `index`.
std::unique_ptr<TField> ControlledLag(uint8_t index, double t0) {
  auto f = CreateField();
  TSchemeBuilder b(*f);
  b.Block(2, 2, 0, {1.0});
  b.Block(4, 2, 10, {0.5, 1.0, 0.0});
  b.Line({{2, 2}, {4, 2}});
  b.Line({{4, 2}, {6, 2}});
  b.Point(0, 6, 2);
  b.Block(2, 6, 29, {2.0, 4.0, t0});  // a slow triangle wave: the new parameter
  auto* pc = static_cast<TParamControl*>(b.Block(5, 3, 40));
  pc->AimFrom(5, 3);
  pc->ParamIndex = index;
  b.Line({{2, 6}, {5, 6}, {5, 3}});
  f->Step = 0.01;
  f->AutoStep = 0;
  PrepareRun(*f);
  return Prog.Err.ErrorCode ? nullptr : std::move(f);
}

TEST_F(RunPlanTest, ParameterControlsChangeTheConstantsOfTheirTargetDuringARun) {
  // The gain leaves exactly 1 (the loop's unit-gain form) and the time
  // constant changes while the lag runs.
  for (uint8_t index : {uint8_t{0}, uint8_t{1}}) {
    ExpectSameRun([&] { return ControlledLag(index, 0.0); }, 0.01,
                  "parameter " + std::to_string(index));
  }
  // The output follows the new gain: the lag steps before the control in
  // each step, so it multiplies its state by the gain written a step before.
  auto f = ControlledLag(1, 0.0);
  ASSERT_TRUE(f);
  Prog.Clock.TimeStep = 0.01;
  SimInit(*f);
  auto* lag = static_cast<TAperiodic*>(testing::BlockAt(*f, 4, 2));
  for (int k = 0; k < 300; ++k) {
    const double K = lag->Params[1];
    Prog.Clock.SimTime = StepTime(k, 0.01);
    SimStepAll(*f);
    SyncRunOutputs(f->Plan);
    ASSERT_EQ(lag->Output, K * lag->S) << k;
    if (k > 0) {
      ASSERT_NE(K, 1.0) << k;
    }
  }
  SimDone(*f);
}

TEST_F(RunPlanTest, AConstantThatFaultsFaultsInTheStepThatUsesIt) {
  // The control writes 0 into the time constant: the lag's next step
  // divides by zero, and so does the loop, in that same step.
  ExpectSameRun([&] { return ControlledLag(0, -1.0); }, 0.01, "T = 0");
}

TEST_F(RunPlanTest, ANewStepDuringARunGivesNewConstants) {
  auto a = ControlledLag(0, 100.0), b = ControlledLag(0, 100.0);
  ASSERT_TRUE(a && b);
  Prog.Clock.TimeStep = 0.01;
  SimInit(*a);
  SimInit(*b);
  TBlock* la = testing::BlockAt(*a, 4, 2);
  TBlock* lb = testing::BlockAt(*b, 4, 2);
  for (int k = 0; k < 400; ++k) {
    Prog.Clock.TimeStep = k < 200 ? 0.01 : 0.02;
    SimStepAll(*a);
    SyncRunOutputs(a->Plan);
    for (TBlock* blk : b->RunArray) blk->Step();
    ASSERT_EQ(std::bit_cast<uint64_t>(la->Output), std::bit_cast<uint64_t>(lb->Output)) << k;
  }
  SimDone(*a);
  SimDone(*b);
}

}  // namespace
}  // namespace vemo
