// Membership functions, their normalisation, the premise expression and the
// whole inference, checked against references computed independently here:
// a recursive evaluation of the premises as the language defines it, and
// the centroid of the aggregated membership by dense sampling.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>

#include "core/fuzzy/fuzzy_test_support.h"
#include "core/model/test_support.h"
#include "fuzzy/fuzzy_infer.h"

namespace vemo {
namespace {

using fuzzytest::Shape;
using fuzzytest::SmallModel;
using fuzzytest::Triangle;

TEST(FuzzyShapeTest, MembershipInterpolatesAndLaterSegmentsWin) {
  const TFuzzyShape t = Triangle(0, 1, 2);
  EXPECT_DOUBLE_EQ(MembershipAt(t, 0.5), 0.5);
  EXPECT_DOUBLE_EQ(MembershipAt(t, 1.5), 0.5);
  EXPECT_DOUBLE_EQ(MembershipAt(t, 1.0), 1.0);
  EXPECT_EQ(MembershipAt(t, -1.0), 0.0);
  EXPECT_EQ(MembershipAt(t, 3.0), 0.0);
  // A vertical step: the later segment decides at the shared point, and a
  // segment narrower than 1e-8 gives its second Y.
  EXPECT_EQ(MembershipAt(Shape({{0, 0}, {1, 1}, {1, 0.25}, {2, 0.25}}), 1.0), 0.25);
  EXPECT_EQ(MembershipAt(Shape({{0, 0.5}, {0, 0.75}}), 0.0), 0.75);
  EXPECT_EQ(MembershipAt(Shape({{1, 1}}), 1.0), 0.0);
}

TEST(FuzzyShapeTest, NormalisationSortsSpacesAndGroundsTheShape) {
  TFuzzyTerm t;
  t.Shape = Shape({{1, 0.8}, {1.00005, 0.3}});
  NormalizeTerm(t);
  ASSERT_EQ(t.Shape.Points.size(), 3u);  // a spike of width 0.0002 at the second point
  EXPECT_DOUBLE_EQ(t.Shape.Points[0].X, 1.00005 - 0.0001);
  EXPECT_EQ(t.Shape.Points[1], (TShapePoint{1.00005, 0.3}));
  EXPECT_NEAR(t.Shape.Points[2].X - t.Shape.Points[0].X, 0.0002, 1e-15);
  EXPECT_EQ(t.Shape.Points[2].Y, 0.0);

  t.Shape = Shape({{2, 1}, {1, 1}, {1, 0.5}, {0, 0.002}});  // drawn right to left
  NormalizeTerm(t);
  const std::vector<TShapePoint>& p = t.Shape.Points;
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(p[0], (TShapePoint{-0.0001, 0}));
  EXPECT_EQ(p[1], (TShapePoint{0, 0.002}));
  EXPECT_EQ(p[2], (TShapePoint{1, 0.5}));
  EXPECT_DOUBLE_EQ(p[3].X, 1.0001);
  EXPECT_EQ(p[4], (TShapePoint{2, 1}));
  EXPECT_DOUBLE_EQ(p[5].X, 2.0001);

  t.Shape = Shape({{0, 0.001}, {1, 0.0005}});  // feet low enough already
  NormalizeTerm(t);
  EXPECT_EQ(t.Shape.Points.size(), 2u);

  // NormalizeAll drops empty terms and keeps the rules pointing at the
  // same terms.
  TFuzzyModel m = SmallModel();
  m.Terms[1].Shape.Points.clear();
  ASSERT_EQ(CompileRule(m, "ЕСЛИ X1 ЕСТЬ A И X2 ЕСТЬ B ТО Y ЕСТЬ W"), 0);
  NormalizeAll(m);
  EXPECT_EQ(m.Terms.size(), 4u);
  size_t cursor = 0;
  EXPECT_EQ(RuleToText(m, cursor), "ЕСЛИ X1 ЕСТЬ A И X2 ЕСТЬ ??? ТО Y ЕСТЬ W");
}

TEST(FuzzyShapeTest, CentroidIsExactOverEachSegment) {
  EXPECT_DOUBLE_EQ(Centroid(nullptr, 0), 0.0);
  const TFuzzyShape trap = Shape({{0, 0}, {0.5, 0.5}, {1.5, 0.5}, {2, 0}});
  EXPECT_DOUBLE_EQ(Centroid(trap.Points.data(), 4), 1.0);
  // A right triangle (0,0) (3,1) (3,0): centroid at 2.
  const TFuzzyShape right = Shape({{0, 0}, {3, 1}, {3, 0}});
  EXPECT_NEAR(Centroid(right.Points.data(), 3), 2.0, 1e-15);
  // No area: the first point's X.
  const TFuzzyShape flat = Shape({{5, 0}, {6, 0}});
  EXPECT_EQ(Centroid(flat.Points.data(), 2), 5.0);
}

// ---- premises

class FuzzyInferTest : public testing::ProgramTest {
 protected:
  TFuzzyModel m = SmallModel();
  TFuzzyInference work;
  // The truth of the first rule with these degrees of A, B, C.
  double Truth(const std::string& rule, double a, double b, double c) {
    ClearRules(m);
    EXPECT_EQ(CompileRule(m, rule), 0) << rule;
    m.Terms[0].Degree = a, m.Terms[1].Degree = b, m.Terms[2].Degree = c;
    TRuleSpan r;
    NextRule(m.Rules, 0, r);
    return work.Truth(m, r.First, r.Conclusions);
  }
};

// The premise expression as the language defines it: a run split at its
// connective of lowest rank (the later one on ties), both halves evaluated
// alike, with the grouping and negation rules of stored rule bases.
double RecursiveTruth(const TFuzzyModel& m, size_t f, size_t l) {
  const TRuleItem& head = m.Rules[f];
  const bool neg = head.Flags & kRuleNot;
  if (f == l) {
    const double v = m.Terms[head.TermIndex].Degree;
    return neg && head.Opens() == head.Closes() ? 1 - v : v;
  }
  int depth = 0, best = INT_MAX;
  size_t split = f;
  for (size_t i = f; i < l; ++i) {
    depth += m.Rules[i].Opens();
    const int rank = 2 * depth + (m.Rules[i].Flags & kRuleAnd ? 1 : 0);
    if (rank <= best) best = rank, split = i;
    depth -= m.Rules[i].Closes();
  }
  const double a = RecursiveTruth(m, f, split), b = RecursiveTruth(m, split + 1, l);
  double v = m.Rules[split].Flags & kRuleAnd ? std::min(a, b) : std::max(a, b);
  if (neg && head.Opens() != head.Closes() && depth == 0) v = 1 - v;
  return v;
}

TEST_F(FuzzyInferTest, PremisesCombineByRankWithTheGivenGrouping) {
  const double a = 0.2, b = 0.7, c = 0.4;
  EXPECT_DOUBLE_EQ(Truth("ЕСЛИ НЕ X1 ЕСТЬ A И X2 ЕСТЬ B ТО Y ЕСТЬ Z", a, b, c), std::min(1 - a, b));
  EXPECT_DOUBLE_EQ(Truth("ЕСЛИ X1 ЕСТЬ A ИЛИ X2 ЕСТЬ B И X3 ЕСТЬ C ТО Y ЕСТЬ Z", a, b, c),
                   std::max(a, std::min(b, c)));
  EXPECT_DOUBLE_EQ(Truth("ЕСЛИ X1 ЕСТЬ A И X2 ЕСТЬ B ИЛИ X3 ЕСТЬ C ТО Y ЕСТЬ Z", a, b, c),
                   std::max(std::min(a, b), c));
  EXPECT_DOUBLE_EQ(Truth("ЕСЛИ X1 ЕСТЬ A И X2 ЕСТЬ B И X3 ЕСТЬ C ТО Y ЕСТЬ Z", a, b, c), a);
  // A connective right after ")" still ranks inside the group.
  EXPECT_DOUBLE_EQ(Truth("ЕСЛИ (X1 ЕСТЬ A ИЛИ X2 ЕСТЬ B) И X3 ЕСТЬ C ТО Y ЕСТЬ Z", a, b, c),
                   std::max(a, std::min(b, c)));
  // A group does lift a connective inside it above one outside.
  EXPECT_DOUBLE_EQ(Truth("ЕСЛИ X1 ЕСТЬ A И (X2 ЕСТЬ B ИЛИ X3 ЕСТЬ C) ТО Y ЕСТЬ Z", a, b, c),
                   std::min(a, std::max(b, c)));
  // "НЕ" before a group: the run's result is negated only where the
  // bookkeeping is balanced.
  EXPECT_DOUBLE_EQ(Truth("ЕСЛИ НЕ (X1 ЕСТЬ A) ТО Y ЕСТЬ Z", a, b, c), 1 - a);
  EXPECT_DOUBLE_EQ(Truth("ЕСЛИ НЕ (X1 ЕСТЬ A И X2 ЕСТЬ B) ТО Y ЕСТЬ Z", a, b, c), std::min(a, b));
  EXPECT_DOUBLE_EQ(Truth("ЕСЛИ НЕ (X1 ЕСТЬ A И X2 ЕСТЬ B) ИЛИ X3 ЕСТЬ C ТО Y ЕСТЬ Z", a, b, c),
                   1 - std::max(std::min(a, b), c));
}

TEST_F(FuzzyInferTest, PremiseEvaluationAgreesWithTheRecursiveDefinition) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> small(0, 3), coin(0, 1), len(1, 9);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int trial = 0; trial < 3000; ++trial) {
    ClearRules(m);
    const int n = len(rng);
    for (int i = 0; i < n; ++i) {
      TRuleItem it;
      it.VarIndex = static_cast<uint16_t>(i % 3);
      it.TermIndex = it.VarIndex;
      it.Flags = static_cast<uint16_t>(coin(rng) * kRuleAnd | coin(rng) * kRuleNot);
      if (trial % 2) it.Flags |= static_cast<uint16_t>(small(rng) << 8 | small(rng) << 12);
      m.Rules.push_back(it);
    }
    for (int i = 0; i < 3; ++i) m.Terms[static_cast<size_t>(i)].Degree = unit(rng);
    ASSERT_DOUBLE_EQ(work.Truth(m, 0, m.Rules.size()), RecursiveTruth(m, 0, m.Rules.size() - 1))
        << "trial " << trial;
  }
}

// ---- inference

TEST_F(FuzzyInferTest, OneRuleOfHalfTruthGivesTheCentreOfTheSymmetricTerm) {
  m.Variables[0].Value = 0.5;  // A = 0.5
  ASSERT_EQ(CompileRule(m, "ЕСЛИ X1 ЕСТЬ A ТО Y ЕСТЬ Z"), 0);
  for (uint8_t method : {kMaxDot, kMaxMin}) {
    m.Method = method;
    m.Variables[3].Value = -7;
    work.Infer(m);
    EXPECT_DOUBLE_EQ(m.Variables[3].Value, 1.0) << MethodName(method);
    ASSERT_EQ(work.AccumulatorCount(), 1u);
    const auto& acc = work.Accumulator(0).Points;
    if (method == kMaxMin) {
      // Clipped: the trapezoid (0,0) (0.5,0.5) (1,0.5) (1.5,0.5) (2,0).
      ASSERT_EQ(acc.size(), 5u);
      EXPECT_EQ(acc[1], (TShapePoint{0.5, 0.5}));
      EXPECT_EQ(acc[2], (TShapePoint{1, 0.5}));
    } else {
      ASSERT_EQ(acc.size(), 3u);
      EXPECT_EQ(acc[1], (TShapePoint{1, 0.5}));
    }
  }
  // Below the firing level nothing is concluded and Y keeps its value.
  m.Variables[0].Value = 0.0005;
  m.Variables[3].Value = -7;
  work.Infer(m);
  EXPECT_EQ(work.AccumulatorCount(), 0u);
  EXPECT_EQ(m.Variables[3].Value, -7);
}

// An independent reference: the aggregated membership at x is the largest
// scaled (MAX_DOT) or clipped (MAX_MIN) membership of the fired
// conclusions; its centroid comes from a fine trapezoidal sum.
double Interp(const TFuzzyShape& s, double x) {
  const auto& p = s.Points;
  for (size_t i = 0; i + 1 < p.size(); ++i)
    if (x >= p[i].X && x <= p[i + 1].X) return p[i].Y + (x - p[i].X) * (p[i + 1].Y - p[i].Y) / (p[i + 1].X - p[i].X);
  return 0.0;
}

// The union must keep the crossing of a clipped (horizontal) top with a
// slope even when the numbers do not fall on binary fractions, as after a
// trip through a text file: two triangles at thirds written to 15 digits.
TEST_F(FuzzyInferTest, UnionKeepsCrossingsWithClippedTops) {
  TFuzzyModel f;
  AddVariable(f, "U");
  AddTerm(f, "N", 0, Triangle(-1.33333333333333, 0, 1.33333333333333));
  AddTerm(f, "P", 0, Triangle(0, 1.33333333333333, 2.66666666666667));
  f.Method = kMaxMin;
  work.Reset();
  work.Conclude(f, 0, 0, 0.85);
  work.Conclude(f, 0, 1, 0.15);
  const auto& acc = work.Accumulator(0).Points;
  // The slope of N comes down to the top of P at x = 1.33333333333333 * 0.85.
  bool crossing = false;
  for (const TShapePoint& q : acc) crossing = crossing || std::fabs(q.X - 1.33333333333333 * 0.85) < 1e-9;
  EXPECT_TRUE(crossing);
  for (double x = -1.5; x < 3; x += 0.01)
    EXPECT_NEAR(MembershipAt(acc.data(), acc.size(), x),
                std::max(std::min(Interp(f.Terms[0].Shape, x), 0.85), std::min(Interp(f.Terms[1].Shape, x), 0.15)),
                1e-12) << x;
}

TEST_F(FuzzyInferTest, InferenceMatchesTheSampledCentroidOfTheAggregate) {
  std::mt19937 rng(2024);
  std::uniform_real_distribution<double> u(0, 1);
  for (uint8_t method : {kMaxDot, kMaxMin}) {
    for (int trial = 0; trial < 6; ++trial) {
      SCOPED_TRACE(std::string(MethodName(method)) + " trial " + std::to_string(trial));
      TFuzzyModel f;
      AddVariable(f, "E");
      AddVariable(f, "D");
      AddVariable(f, "U");
      f.Method = method;
      // Three overlapping terms per variable: random triangles and trapezoids
      // with feet on 0.
      for (uint32_t v = 0; v < 3; ++v)
        for (int k = 0; k < 3; ++k) {
          const double c = -1 + k + 0.4 * (u(rng) - 0.5);
          const double l = c - 0.6 - u(rng), r = c + 0.6 + u(rng);
          const double h = 0.6 + 0.4 * u(rng);
          TFuzzyShape s = u(rng) < 0.5 ? Triangle(l, c, r, h)
                                       : Shape({{l, 0}, {c - 0.2, h}, {c + 0.25, h}, {r, 0}});
          AddTerm(f, std::string(1, char('a' + k)) + char('0' + v), v, s);
        }
      std::string rules;
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
          const int out = (i + j + static_cast<int>(u(rng) * 2)) % 3;
          rules += "ЕСЛИ E ЕСТЬ " + std::string(1, char('a' + i)) + "0 " +
                   (u(rng) < 0.3 ? "ИЛИ" : "И") + " D ЕСТЬ " + char('a' + j) + "1 ТО U ЕСТЬ " +
                   char('a' + out) + "2\n";
        }
      ASSERT_EQ(CompileRules(f, rules).Line, -1);
      f.Variables[0].Value = 2 * u(rng) - 1;
      f.Variables[1].Value = 2 * u(rng) - 1;
      Infer(f);

      // Reference.
      std::vector<std::pair<size_t, double>> fired;  // term, truth
      for (size_t i = 0; i < f.Rules.size(); i += 3) {
        const double a = Interp(f.Terms[f.Rules[i].TermIndex].Shape, f.Variables[0].Value);
        const double b = Interp(f.Terms[f.Rules[i + 1].TermIndex].Shape, f.Variables[1].Value);
        const double w = f.Rules[i].Flags & kRuleAnd ? std::min(a, b) : std::max(a, b);
        if (w >= 0.001) fired.push_back({f.Rules[i + 2].TermIndex, w});
      }
      ASSERT_FALSE(fired.empty());
      auto aggregate = [&](double x) {
        double y = 0;
        for (auto [t, w] : fired) {
          const double mu = Interp(f.Terms[t].Shape, x);
          y = std::max(y, method == kMaxDot ? mu * w : std::min(mu, w));
        }
        return y;
      };
      const double x0 = -4, x1 = 4;
      const int n = 1 << 18;
      const double h = (x1 - x0) / n;
      double area = 0, moment = 0;
      for (int i = 0; i <= n; ++i) {
        const double x = x0 + i * h, y = aggregate(x) * (i == 0 || i == n ? 0.5 : 1.0);
        area += y;
        moment += x * y;
      }
      EXPECT_NEAR(f.Variables[2].Value, moment / area, 1e-6);
    }
  }
}

}  // namespace
}  // namespace vemo
