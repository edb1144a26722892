#include "fuzzy/fuzzy_infer.h"

#include <algorithm>
#include <cmath>

namespace vemo {

namespace {

constexpr double kParallel = 1e-10;   // |direction determinant| below: parallel segments
constexpr double kSameX = 1e-7;       // union abscissas closer than this are one

double PremiseDegree(const TFuzzyModel& m, const TRuleItem& it) {
  return it.TermIndex < m.Terms.size() ? m.Terms[it.TermIndex].Degree : 0.0;
}

// The abscissa where segment a1-a2 meets segment b1-b2, when it does: not
// parallel, and the meeting point within both segments (ends included).
// A point of the line through a segment lies within the segment's X and Y
// ranges exactly when its parameter along the segment is in 0..1; the
// parameters are tested rather than the coordinates, which rounding puts
// just outside the range of a horizontal or vertical segment (a clipped
// top), losing the crossing.
bool Crossing(const TShapePoint& a1, const TShapePoint& a2, const TShapePoint& b1,
              const TShapePoint& b2, double& x) {
  const double rx = a2.X - a1.X, ry = a2.Y - a1.Y;
  const double sx = b2.X - b1.X, sy = b2.Y - b1.Y;
  const double det = rx * sy - ry * sx;
  if (std::fabs(det) < kParallel) return false;
  const double qx = b1.X - a1.X, qy = b1.Y - a1.Y;
  const double t = (qx * sy - qy * sx) / det;
  const double u = (qx * ry - qy * rx) / det;
  if (!(t >= 0.0 && t <= 1.0 && u >= 0.0 && u <= 1.0)) return false;
  x = a1.X + t * rx;
  return true;
}

// Sorts abscissas, leaving out those that are not numbers (only a damaged
// shape has them; they would break the ordering the sort relies on).
void SortAbscissas(std::vector<double>& xs) {
  xs.erase(std::remove_if(xs.begin(), xs.end(), [](double x) { return std::isnan(x); }), xs.end());
  std::sort(xs.begin(), xs.end());
}

bool Ascending(const std::vector<TShapePoint>& p) {
  for (size_t i = 0; i + 1 < p.size(); ++i)
    if (!(p[i].X <= p[i + 1].X)) return false;
  return true;
}

// MembershipAt of a shape with ascending X at ascending abscissas: the last
// segment holding x only moves forward, so one walk over the shape serves
// every abscissa, with the same arithmetic as MembershipAt.
class TAscendingWalk {
 public:
  explicit TAscendingWalk(const std::vector<TShapePoint>& p) : p_(p) {}
  double At(double x) {
    if (p_.size() < 2) return 0.0;
    while (k_ + 2 < p_.size() && p_[k_ + 1].X <= x) ++k_;
    const TShapePoint &a = p_[k_], &b = p_[k_ + 1];
    if (!(x >= a.X && x <= b.X)) return 0.0;
    return std::fabs(b.X - a.X) >= 1e-8 ? (x - a.X) * (b.Y - a.Y) / (b.X - a.X) + a.Y : b.Y;
  }

 private:
  const std::vector<TShapePoint>& p_;
  size_t k_ = 0;
};

}  // namespace

void TFuzzyInference::Fuzzify(TFuzzyModel& m) {
  for (TFuzzyTerm& t : m.Terms)
    t.Degree = t.VarIndex < m.Variables.size()
                   ? MembershipAt(t.Shape, m.Variables[t.VarIndex].Value)
                   : 0.0;
}

// The premises form an expression of "И" (min) and "ИЛИ" (max) with "И"
// binding more tightly. A run of premises is split at its connective of
// lowest rank, rank = 2 x nesting depth + (1 for "И", 0 for "ИЛИ"), ties
// going to the later connective; both halves are evaluated alike.
//
// Parentheses act as stored rule bases expect, which is not plain
// grouping:
// - a connective's depth counts the "(" of its own premise but not that
//   premise's ")", so a connective written right after ")" still ranks as
//   inside the group: "(A ИЛИ B) И C" is max(A, min(B, C));
// - "НЕ" on a single premise negates it when its "(" and ")" counts are
//   equal ("НЕ A И B" is min(1 - A, B));
// - "НЕ" on the first premise of a longer run negates the run's result
//   when that premise's "(" and ")" counts differ and the run's depth
//   bookkeeping (opens minus closes of all its premises but the last) is 0.
//
// The splitting is done with an operator stack, which gives the same tree
// as splitting recursively (the root of every run is its rightmost
// lowest-rank connective) in one pass and without recursion.
double TFuzzyInference::Truth(const TFuzzyModel& m, size_t first, size_t end) {
  end = std::min(end, m.Rules.size());
  if (first >= end) return 0.0;
  // Without parentheses the rank rule is the usual precedence, and min and
  // max do not depend on the grouping within a rank: the "ИЛИ" of the runs
  // joined by "И" (and "НЕ" negates its premise alone).
  {
    double result = 0.0, run = 0.0;
    bool runStarts = true, firstRun = true, grouped = false;
    for (size_t i = first; i < end; ++i) {
      const TRuleItem& it = m.Rules[i];
      if (it.Flags & 0xFF00) {
        grouped = true;
        break;
      }
      double v = PremiseDegree(m, it);
      if (it.Flags & kRuleNot) v = 1.0 - v;
      run = runStarts ? v : std::min(run, v);
      runStarts = !(it.Flags & kRuleAnd) || i + 1 == end;
      if (runStarts) {
        result = firstRun ? run : std::max(result, run);
        firstRun = false;
      }
    }
    if (!grouped) return result;
  }
  operands_.clear();
  connectives_.clear();
  int64_t depth = 0;  // opens minus closes of the premises before i
  for (size_t i = first; i < end; ++i) {
    const TRuleItem& it = m.Rules[i];
    double v = PremiseDegree(m, it);
    if ((it.Flags & kRuleNot) && it.Opens() == it.Closes()) v = 1.0 - v;
    operands_.push_back({v, i, depth, depth});
    if (i + 1 == end) break;
    const bool isAnd = (it.Flags & kRuleAnd) != 0;
    const int64_t rank = 2 * (depth + it.Opens()) + (isAnd ? 1 : 0);
    depth += it.Opens() - it.Closes();
    while (!connectives_.empty() && connectives_.back().Rank >= rank) Reduce(m);
    connectives_.push_back({rank, isAnd});
  }
  while (!connectives_.empty()) Reduce(m);
  return operands_.back().Value;
}

void TFuzzyInference::Reduce(const TFuzzyModel& m) {
  const TConnective c = connectives_.back();
  connectives_.pop_back();
  const TOperand right = operands_.back();
  operands_.pop_back();
  TOperand& left = operands_.back();
  double v = c.And ? std::min(left.Value, right.Value) : std::max(left.Value, right.Value);
  const TRuleItem& head = m.Rules[left.First];
  if ((head.Flags & kRuleNot) && head.Opens() != head.Closes() &&
      right.DepthLast - left.DepthFirst == 0)
    v = 1.0 - v;
  left.Value = v;
  left.DepthLast = right.DepthLast;
}

// The conclusion's shape scaled (MAX_DOT) or clipped (MAX_MIN) at w, into
// shape_.
void TFuzzyInference::Transform(const TFuzzyShape& shape, double w, uint8_t method) {
  const std::vector<TShapePoint>& p = shape.Points;
  shape_.clear();
  if (method == kMaxDot) {
    for (const TShapePoint& q : p) shape_.push_back({q.X, q.Y * w});
    return;
  }
  // Every point, and every crossing of the level w: where a point's side of
  // the level differs from the previous point's (the first point counts as
  // coming from below; when it lies above, its own X stands for the
  // crossing, which only a shape that was never normalised can need).
  xs_.clear();
  bool above = false;
  for (size_t i = 0; i < p.size(); ++i) {
    xs_.push_back(p[i].X);
    const bool a = p[i].Y > w;
    if (a != above) {
      if (i == 0)
        xs_.push_back(p[0].X);
      else
        xs_.push_back(p[i - 1].X + (w - p[i - 1].Y) * (p[i].X - p[i - 1].X) / (p[i].Y - p[i - 1].Y));
    }
    above = a;
  }
  SortAbscissas(xs_);
  for (double x : xs_) shape_.push_back({x, std::min(MembershipAt(shape, x), w)});
}

// shape_ united with acc: the upper envelope at every abscissa of both and
// at every crossing of their segments.
void TFuzzyInference::Unite(std::vector<TShapePoint>& acc) {
  if (acc.size() < 2) {
    acc.assign(shape_.begin(), shape_.end());
    return;
  }
  xs_.clear();
  for (const TShapePoint& q : acc) xs_.push_back(q.X);
  for (const TShapePoint& q : shape_) xs_.push_back(q.X);
  for (size_t i = 0; i + 1 < acc.size(); ++i) {
    const TShapePoint &a1 = acc[i], &a2 = acc[i + 1];
    const double aLo = std::min(a1.X, a2.X), aHi = std::max(a1.X, a2.X);
    for (size_t j = 0; j + 1 < shape_.size(); ++j) {
      const TShapePoint &b1 = shape_[j], &b2 = shape_[j + 1];
      // Segments apart in X cannot meet (a cheap test before the exact one).
      if (std::max(b1.X, b2.X) < aLo || std::min(b1.X, b2.X) > aHi) continue;
      double x;
      if (Crossing(a1, a2, b1, b2, x)) xs_.push_back(x);
    }
  }
  SortAbscissas(xs_);
  merged_.clear();
  const bool ascending = Ascending(acc) && Ascending(shape_);
  TAscendingWalk inAcc(acc), inShape(shape_);
  double kept = 0.0;
  for (double x : xs_) {
    if (!merged_.empty() && std::fabs(x - kept) < kSameX) continue;
    kept = x;
    const double a = ascending ? inAcc.At(x) : MembershipAt(acc.data(), acc.size(), x);
    const double b = ascending ? inShape.At(x) : MembershipAt(shape_.data(), shape_.size(), x);
    merged_.push_back({x, std::max(a, b)});
  }
  acc.swap(merged_);
}

void TFuzzyInference::Conclude(const TFuzzyModel& m, uint32_t var, size_t term, double w) {
  if (var >= m.Variables.size()) return;
  size_t k = 0;
  while (k < used_ && acc_[k].Var != var) ++k;
  if (k == used_) {
    if (used_ == acc_.size()) acc_.emplace_back();
    acc_[used_].Var = var;
    acc_[used_].Points.clear();
    ++used_;
  }
  // A term without points (or one that no longer exists) adds nothing.
  if (term >= m.Terms.size() || m.Terms[term].Shape.Points.empty()) return;
  Transform(m.Terms[term].Shape, w, m.Method);
  Unite(acc_[k].Points);
}

bool TFuzzyInference::ApplyRule(const TFuzzyModel& m, size_t& pos, double& truth) {
  TRuleSpan r;
  if (!NextRule(m.Rules, pos, r)) return false;
  truth = Truth(m, r.First, r.Conclusions);
  pos = r.End;
  if (r.Conclusions == r.End) return false;
  if (truth >= kFiringLevel)
    for (size_t i = r.Conclusions; i < r.End; ++i)
      Conclude(m, m.Rules[i].VarIndex, m.Rules[i].TermIndex, truth);
  return true;
}

void TFuzzyInference::Defuzzify(TFuzzyModel& m) const {
  for (size_t k = 0; k < used_; ++k) {
    const TFuzzyAccumulator& a = acc_[k];
    if (a.Var < m.Variables.size()) m.Variables[a.Var].Value = Centroid(a.Points.data(), a.Points.size());
  }
}

void TFuzzyInference::Infer(TFuzzyModel& m) {
  Reset();
  Fuzzify(m);
  double truth = 0.0;
  for (size_t pos = 0; ApplyRule(m, pos, truth);) {
  }
  Defuzzify(m);
}

void Infer(TFuzzyModel& m) {
  thread_local TFuzzyInference work;
  work.Infer(m);
}

}  // namespace vemo
