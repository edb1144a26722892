// The three methods evaluate exactly the described sequence of points: a
// recording evaluator with a criterion known in closed form stands for the
// simulations.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "optimisation/methods.h"
#include "shell/settings.h"

namespace vemo {
namespace {

// Evaluates f at each point asked for, in the order asked, and records the
// points; from evaluation number StopAt (1-based) on the cancel flag reads set.
class TRecorder : public TEvaluator {
 public:
  explicit TRecorder(std::function<double(const std::vector<double>&)> f) : f_(std::move(f)) {}
  void Submit(std::vector<std::vector<double>> points) override { batch_ = std::move(points); }
  TEvalResult Result(size_t i) override {
    Points.push_back(batch_.at(i));
    const bool stopped = StopAt > 0 && static_cast<long>(Points.size()) >= StopAt;
    return {f_(batch_[i]), stopped};
  }
  std::vector<std::vector<double>> Points;
  long StopAt = 0;

 private:
  std::function<double(const std::vector<double>&)> f_;
  std::vector<std::vector<double>> batch_;
};

double Bowl(const std::vector<double>& p) {
  double s = (p[0] - 0.3) * (p[0] - 0.3);
  if (p.size() > 1) s += (p[1] + 0.2) * (p[1] + 0.2);
  return s;
}

struct TParams {
  std::vector<double> Values;
  std::vector<TOptParam> List;
  // Parameters of the given ranges, each starting at `start`.
  TParams(std::initializer_list<std::pair<double, double>> ranges, double start = 0.0)
      : Values(ranges.size(), start) {
    size_t i = 0;
    for (auto [lo, hi] : ranges) {
      TOptParam p;
      p.Value = &Values[i++];
      p.Lower = lo;
      p.Upper = hi;
      List.push_back(p);
    }
  }
};

// The grid of one probing iteration in odometer order, first coordinate fastest.
std::vector<std::vector<double>> Grid(const std::vector<double>& lo, const std::vector<double>& hi,
                                      int count) {
  std::vector<std::vector<double>> g;
  for (int b = 0; b < count; ++b)
    for (int a = 0; a < count; ++a)
      g.push_back({lo[0] + a * (hi[0] - lo[0]) / (count - 1), lo[1] + b * (hi[1] - lo[1]) / (count - 1)});
  return g;
}

TEST(ProbeSearch, WalksTheGridThenNarrowsAroundTheBestPoint) {
  TSettings s;
  s.ZondCount = 5;
  s.ZondIterCount = 2;
  TParams p({{-1, 1}, {-1, 1}});
  TRecorder rec(Bowl);
  TOptimiser opt(p.List, s, false, rec);
  opt.ProbeBatch = 7;  // batches that cut the grid anywhere change nothing
  opt.ProbeSearch();
  // First grid step 0.5: best (0.5, 0); the second grid is that point ± 0.5
  // within the range, step 0.25, best (0.25, -0.25).
  auto expected = Grid({-1, -1}, {1, 1}, 5);
  for (auto& q : Grid({0, -0.5}, {1, 0.5}, 5)) expected.push_back(q);
  ASSERT_EQ(rec.Points.size(), 50u);
  for (size_t i = 0; i < 50; ++i) {
    EXPECT_DOUBLE_EQ(rec.Points[i][0], expected[i][0]) << i;
    EXPECT_DOUBLE_EQ(rec.Points[i][1], expected[i][1]) << i;
  }
  EXPECT_EQ(opt.RunsDone(), 50);
  EXPECT_EQ(opt.RunsDone(), EstimateRuns(kProbeSearch, s, 2));
  opt.Apply();
  EXPECT_DOUBLE_EQ(p.Values[0], 0.25);
  EXPECT_DOUBLE_EQ(p.Values[1], -0.25);
}

TEST(ProbeSearch, CancelAppliesTheBestPointFoundSoFar) {
  TSettings s;
  s.ZondCount = 5;
  TParams p({{-1, 1}, {-1, 1}}, 0.7);
  TRecorder rec(Bowl);
  rec.StopAt = 10;  // (0.5, -0.5) is the best of the first nine
  TOptimiser opt(p.List, s, false, rec);
  opt.ProbeSearch();
  EXPECT_TRUE(opt.Stopped());
  EXPECT_EQ(opt.RunsDone(), 10);
  opt.Apply();
  EXPECT_DOUBLE_EQ(p.Values[0], 0.5);
  EXPECT_DOUBLE_EQ(p.Values[1], -0.5);

  // Cancelled at the very first run: the parameters stay as they were.
  TParams q({{-1, 1}}, 0.7);
  TRecorder first(Bowl);
  first.StopAt = 1;
  TOptimiser opt2(q.List, s, false, first);
  opt2.ProbeSearch();
  opt2.Apply();
  EXPECT_DOUBLE_EQ(q.Values[0], 0.7);
}

TEST(Methods, LogScaleWithLowerBoundAtZeroSearchesFrom1e30) {
  TSettings s;
  s.ZondCount = 3;
  s.ZondIterCount = 1;
  TParams p({{0, 100}}, 1.0);
  p.List[0].LogScale = 1;
  EXPECT_DOUBLE_EQ(ToInternal(p.List[0], 0.0), std::log(1e-30));
  EXPECT_DOUBLE_EQ(ToInternal(p.List[0], -5.0), std::log(1e-30));
  EXPECT_DOUBLE_EQ(FromInternal(p.List[0], std::log(100.0)), 100.0);
  TRecorder rec([](const std::vector<double>& v) { return std::fabs(std::log10(v[0]) - 1.0); });
  TOptimiser opt(p.List, s, false, rec);
  opt.ProbeSearch();
  // The grid is uniform in ln: 1e-30, the geometric middle 1e-14, and 100.
  ASSERT_EQ(rec.Points.size(), 3u);
  EXPECT_NEAR(rec.Points[0][0] / 1e-30, 1.0, 1e-12);
  EXPECT_NEAR(std::log10(rec.Points[1][0]), -14.0, 1e-12);
  EXPECT_NEAR(rec.Points[2][0], 100.0, 1e-10);
}

TEST(Methods, ARangeStillAtZeroKeepsTheParameterAtZero) {
  TSettings s;
  s.ZondCount = 4;
  s.ZondIterCount = 2;
  s.SpeedDownIters = 3;
  s.GradDownIters = 10;
  for (int method : {kProbeSearch, kCoordinateDescent, kGradientDescent}) {
    SCOPED_TRACE(method);
    TParams p({{-1, 1}, {0, 0}}, 0.0);
    TRecorder rec(Bowl);
    TOptimiser opt(p.List, s, false, rec);
    opt.Run(method);
    opt.Apply();
    EXPECT_EQ(p.Values[1], 0.0);
    if (method == kProbeSearch) {
      // Four points on the fixed coordinate all the same, still walked.
      EXPECT_EQ(rec.Points.size(), 32u);
      EXPECT_EQ(rec.Points[4][1], 0.0);
      EXPECT_EQ(rec.Points[4][0], -1.0);
    }
  }
}

TEST(CoordinateDescent, RefinesEachLineThenStopsOnTheAccuracy) {
  TSettings s;
  s.SpeedDown = 5;
  s.SpeedDownSingleIters = 2;
  s.SpeedDownIters = 3;
  TParams p({{-1, 1}});
  TRecorder rec(Bowl);
  TOptimiser opt(p.List, s, false, rec);
  opt.CoordinateDescent();
  // Each pass: -1..1 in steps of 0.5 (best 0.5), then 0..1 in steps of 0.25.
  const std::vector<double> pass = {-1, -0.5, 0, 0.5, 1, 0, 0.25, 0.5, 0.75, 1};
  ASSERT_EQ(rec.Points.size(), 30u);
  for (size_t i = 0; i < 30; ++i) EXPECT_DOUBLE_EQ(rec.Points[i][0], pass[i % 10]) << i;
  opt.Apply();
  EXPECT_DOUBLE_EQ(p.Values[0], 0.25);

  // A criterion that never changes stalls: the method ends after the
  // eleventh pass without progress.
  s.SpeedDownIters = 50;
  TRecorder flat([](const std::vector<double>&) { return 1.0; });
  TOptimiser still(p.List, s, false, flat);
  still.CoordinateDescent();
  EXPECT_EQ(still.RunsDone(), 12 * 2 * 5);

  // In training mode it ends as soon as a pass goes below the accuracy.
  s.SpeedDownEps = 0.01;
  TRecorder target(Bowl);
  TOptimiser trained(p.List, s, true, target);
  trained.CoordinateDescent();
  EXPECT_EQ(trained.RunsDone(), 10);
}

TEST(CoordinateDescent, CancelSetsTheMiddleOfTheLine) {
  TSettings s;
  TParams p({{-1, 1}});
  TRecorder rec(Bowl);
  rec.StopAt = 7;  // inside the second line search, over 0..1
  TOptimiser opt(p.List, s, false, rec);
  opt.CoordinateDescent();
  EXPECT_TRUE(opt.Stopped());
  opt.Apply();
  EXPECT_DOUBLE_EQ(p.Values[0], 0.5);
}

TEST(GradientDescent, StepsAlongTheNormalisedGradientAndHalvesTheRate) {
  TSettings s;
  s.GradDownIters = 10;  // the fewest the dialog allows
  TParams p({{-1, 1}});
  TRecorder rec(Bowl);
  TOptimiser opt(p.List, s, false, rec);
  opt.GradientDescent();
  // Rate 0.05 of the range (2): steps of 0.1 towards 0.3; past it the
  // criterion rises, the step goes back and the rate halves to 0.025.
  const double expected[] = {0, 0.001, 0.1, 0.101, 0.2, 0.201, 0.3, 0.301, 0.2, 0.201, 0.25};
  ASSERT_GE(rec.Points.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i)
    EXPECT_NEAR(rec.Points[i][0], expected[i], 1e-12) << i;
  EXPECT_EQ(opt.RunsDone(), 20);
  EXPECT_EQ(EstimateRuns(kGradientDescent, s, 1), 20);
}

TEST(GradientDescent, CancelLeavesTheParametersAtTheLastUpdate) {
  TSettings s;
  TParams p({{-1, 1}, {-1, 1}});
  TRecorder rec(Bowl);
  rec.StopAt = 5;  // the first perturbed point of the second iteration
  TOptimiser opt(p.List, s, false, rec);
  opt.GradientDescent();
  EXPECT_TRUE(opt.Stopped());
  EXPECT_EQ(opt.RunsDone(), 5);
  opt.Apply();
  // The first update: the unit gradient direction (0.6, -0.4)/|.| times 0.1.
  const double gx = 1000 * (Bowl({0, 0}) - Bowl({0.001, 0}));
  const double gy = 1000 * (Bowl({0, 0}) - Bowl({0, 0.001}));
  const double norm = std::hypot(gx, gy);
  EXPECT_DOUBLE_EQ(p.Values[0], gx / norm * 0.05 * 2);
  EXPECT_DOUBLE_EQ(p.Values[1], gy / norm * 0.05 * 2);
  EXPECT_EQ(rec.Points[4][0], p.Values[0] + 0.001);
}

TEST(GradientDescent, TrainingModeEndsBelowTheAccuracy) {
  TSettings s;
  s.GradDownEps = 0.05;
  TParams p({{-1, 1}});
  TRecorder rec(Bowl);
  TOptimiser opt(p.List, s, true, rec);
  opt.GradientDescent();
  // f(0) = 0.09, f(0.1) = 0.04 < 0.05: two iterations, the second one's
  // first run only.
  EXPECT_EQ(opt.RunsDone(), 3);
}

TEST(EstimateRuns, FollowsEachMethodsCounts) {
  TSettings s;
  EXPECT_EQ(EstimateRuns(kProbeSearch, s, 3), 125 * 3);
  EXPECT_EQ(EstimateRuns(kCoordinateDescent, s, 3), 50 * 4 * 5 * 3);
  EXPECT_EQ(EstimateRuns(kGradientDescent, s, 3), 4 * 1000);
  s.ZondCount = 1;  // out of the dialog's limits: taken as the nearest limit
  EXPECT_EQ(EstimateRuns(kProbeSearch, s, 2), 9 * 3);
}

}  // namespace
}  // namespace vemo
