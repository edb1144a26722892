#include "frequency/fraction_matrix.h"

#include <algorithm>
#include <cfenv>
#include <stdexcept>
#include <utility>

namespace vemo {

namespace {

const TFraction& ZeroFraction() {
  static const TFraction zero = FracZero();
  return zero;
}

// True when the fraction is the exact 0 that normalisation makes of every
// vanishing sum: such entries need not be stored.
bool ExactZero(const TFraction& f) {
  return f.Num.Degree == 0 && PolyCoef(f.Num, 0) == 0.0L && f.Den.Degree == 0 && PolyCoef(f.Den, 0) == 1.0L;
}

}  // namespace

TFractionMatrix::TFractionMatrix(int32_t n)
    : N_(n < 0 ? 0 : n), Columns_(static_cast<size_t>(N_)), RowColumns_(static_cast<size_t>(N_) + 1) {
  for (int32_t c = 0; c < N_; ++c) Set(c, c, FracMinusOne());
}

void TFractionMatrix::Check(int32_t r, int32_t c) const {
  if (r < 0 || r > N_ || c < 0 || c >= N_) throw std::out_of_range("TFractionMatrix entry");
}

TFractionMatrix::TColumn::iterator TFractionMatrix::Find(int32_t r, int32_t c) {
  TColumn& col = Columns_[static_cast<size_t>(c)];
  return std::lower_bound(col.begin(), col.end(), r, [](const auto& e, int32_t row) { return e.first < row; });
}

void TFractionMatrix::Set(int32_t r, int32_t c, TFraction f) { Get(r, c) = std::move(f); }

TFraction& TFractionMatrix::Get(int32_t r, int32_t c) {
  Check(r, c);
  auto it = Find(r, c);
  if (it != Columns_[static_cast<size_t>(c)].end() && it->first == r) return it->second;
  std::vector<int32_t>& cols = RowColumns_[static_cast<size_t>(r)];
  auto at = std::lower_bound(cols.begin(), cols.end(), c);
  if (at == cols.end() || *at != c) cols.insert(at, c);
  return Columns_[static_cast<size_t>(c)].insert(it, {r, FracZero()})->second;
}

const TFraction& TFractionMatrix::Get(int32_t r, int32_t c) const {
  Check(r, c);
  const TColumn& col = Columns_[static_cast<size_t>(c)];
  auto it = std::lower_bound(col.begin(), col.end(), r, [](const auto& e, int32_t row) { return e.first < row; });
  return it != col.end() && it->first == r ? it->second : ZeroFraction();
}

const TFractionMatrix::TColumn& TFractionMatrix::Column(int32_t c) const {
  Check(0, c);
  return Columns_[static_cast<size_t>(c)];
}

std::vector<int32_t> TFractionMatrix::ColumnsWithRow(int32_t r) const {
  if (r < 0 || r > N_) throw std::out_of_range("TFractionMatrix row");
  std::vector<int32_t> out;
  for (int32_t c : RowColumns_[static_cast<size_t>(r)]) {
    const TColumn& col = Columns_[static_cast<size_t>(c)];
    auto it = std::lower_bound(col.begin(), col.end(), r, [](const auto& e, int32_t row) { return e.first < row; });
    if (it != col.end() && it->first == r) out.push_back(c);
  }
  return out;
}

void TFractionMatrix::Erase(int32_t r, int32_t c) {
  Check(r, c);
  auto it = Find(r, c);
  if (it != Columns_[static_cast<size_t>(c)].end() && it->first == r) Columns_[static_cast<size_t>(c)].erase(it);
}

namespace {

constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

// Stores f at (r, c), or drops the entry when f is 0/1.
void Store(TFractionMatrix& m, int32_t r, int32_t c, TFraction f) {
  if (ExactZero(f))
    m.Erase(r, c);
  else
    m.Set(r, c, std::move(f));
}

// The rows below row k (right-hand side included) where column a or column
// b has a stored entry, ascending.
std::vector<int32_t> RowsBelow(const TFractionMatrix& m, int32_t k, int32_t a, int32_t b) {
  std::vector<int32_t> rows;
  for (int32_t col : {a, b})
    for (const auto& [r, f] : m.Column(col))
      if (r > k) rows.push_back(r);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

}  // namespace

bool MatrixSolve(TFractionMatrix& m) {
  // Watch for faults of this computation alone: put the caller's flags
  // aside and raise them again at the end.
  std::fexcept_t saved;
  std::fegetexceptflag(&saved, kFaults);
  std::feclearexcept(kFaults);
  auto faulted = [] { return std::fetestexcept(kFaults) != 0; };
  bool ok = true;

  const int32_t n = m.N();
  // Forward: clear row k in every column to the right of column k. Only
  // the rows where column c or column k hold an entry can change; the
  // others stay 0 * ratio - 0 = 0.
  for (int32_t k = 0; ok && k + 1 < n; ++k) {
    for (int32_t c : m.ColumnsWithRow(k)) {
      if (c <= k || FracIsZero(m.Get(k, c))) continue;
      const TFraction ratio = FracDiv(m.Get(k, k), m.Get(k, c));
      // Row k becomes M(k, c) ratio - M(k, k) = 0 by construction.
      m.Erase(k, c);
      for (int32_t r : RowsBelow(m, k, c, k)) {
        const TFraction& mrc = static_cast<const TFractionMatrix&>(m).Get(r, c);
        const TFraction& mrk = static_cast<const TFractionMatrix&>(m).Get(r, k);
        Store(m, r, c, FracSub(FracMul(mrc, ratio), mrk));
      }
      if (faulted()) {
        ok = false;
        break;
      }
    }
  }

  // Back substitution: x_k = (M(n, k) - sum over i > k of M(i, k) x_i) / M(k, k).
  const TFractionMatrix& cm = m;
  for (int32_t k = n - 1; ok && k >= 0; --k) {
    TFraction sum = FracZero();
    for (const auto& [i, f] : cm.Column(k))
      if (i > k && i < n) sum = FracAdd(sum, FracMul(f, cm.Get(n, i)));
    TFraction x = FracDiv(FracSub(cm.Get(n, k), sum), cm.Get(k, k));
    Store(m, n, k, std::move(x));
    if (faulted()) ok = false;
  }

  const int raised = std::fetestexcept(kFaults);
  std::fesetexceptflag(&saved, kFaults);
  if (raised) std::feraiseexcept(raised);
  return ok;
}

}  // namespace vemo
