#include "frequency/fraction_matrix.h"

#include <cfenv>
#include <stdexcept>
#include <utility>

namespace vemo {

TFractionMatrix::TFractionMatrix(int32_t n) : N_(n < 0 ? 0 : n) {
  const size_t rows = static_cast<size_t>(N_) + 1;
  Entries_.reserve(rows * static_cast<size_t>(N_));
  for (int32_t c = 0; c < N_; ++c)
    for (int32_t r = 0; r <= N_; ++r) Entries_.push_back(r == c ? FracMinusOne() : FracZero());
}

size_t TFractionMatrix::Index(int32_t r, int32_t c) const {
  if (r < 0 || r > N_ || c < 0 || c >= N_) throw std::out_of_range("TFractionMatrix entry");
  return static_cast<size_t>(c) * (static_cast<size_t>(N_) + 1) + static_cast<size_t>(r);
}

void TFractionMatrix::Set(int32_t r, int32_t c, TFraction f) { Entries_[Index(r, c)] = std::move(f); }

TFraction& TFractionMatrix::Get(int32_t r, int32_t c) { return Entries_[Index(r, c)]; }

const TFraction& TFractionMatrix::Get(int32_t r, int32_t c) const { return Entries_[Index(r, c)]; }

namespace {

constexpr int kFaults = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

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
  // Forward: clear row k in every column to the right of column k.
  for (int32_t k = 0; ok && k + 1 < n; ++k) {
    for (int32_t c = k + 1; c < n; ++c) {
      if (FracIsZero(m.Get(k, c))) continue;
      const TFraction ratio = FracDiv(m.Get(k, k), m.Get(k, c));
      // Row k becomes M(k, c) ratio - M(k, k) = 0 by construction.
      m.Set(k, c, FracZero());
      for (int32_t r = k + 1; r <= n; ++r)
        m.Set(r, c, FracSub(FracMul(m.Get(r, c), ratio), m.Get(r, k)));
      if (faulted()) {
        ok = false;
        break;
      }
    }
  }

  // Back substitution: x_k = (M(n, k) - sum over i > k of M(i, k) x_i) / M(k, k).
  for (int32_t k = n - 1; ok && k >= 0; --k) {
    TFraction sum = FracZero();
    for (int32_t i = k + 1; i < n; ++i) sum = FracAdd(sum, FracMul(m.Get(i, k), m.Get(n, i)));
    m.Set(n, k, FracDiv(FracSub(m.Get(n, k), sum), m.Get(k, k)));
    if (faulted()) ok = false;
  }

  const int raised = std::fetestexcept(kFaults);
  std::fesetexceptflag(&saved, kFaults);
  if (raised) std::feraiseexcept(raised);
  return ok;
}

}  // namespace vemo
