// A system of n linear equations whose coefficients are fractions of s,
// solved by elimination: the reduction of a whole block diagram to the
// outputs of its blocks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "frequency/fraction.h"

namespace vemo {

// n variables, n (n + 1) entries stored column after column. Column c holds
// one equation: row r < n is the coefficient of variable r in it, row n its
// right-hand side,
//   sum over r < n of M(r, c) x_r = M(n, c).
// A new matrix has -1/1 on the diagonal and 0/1 everywhere else (right-hand
// sides included). The matrix owns its entries: Set releases the fraction
// that was there and takes over the new one; Get gives the stored fraction
// itself, without copying. Row and column outside the matrix throw
// std::out_of_range.
class TFractionMatrix {
 public:
  explicit TFractionMatrix(int32_t n);

  int32_t N() const { return N_; }
  void Set(int32_t r, int32_t c, TFraction f);
  TFraction& Get(int32_t r, int32_t c);
  const TFraction& Get(int32_t r, int32_t c) const;

 private:
  size_t Index(int32_t r, int32_t c) const;

  int32_t N_ = 0;
  std::vector<TFraction> Entries_;
};

// Gaussian elimination on the columns, without pivoting, then back
// substitution: on return M(n, k) holds the solution x_k of every variable.
// A zero pivot makes a division by the zero fraction, which raises
// FE_DIVBYZERO. A floating-point fault (division by zero, invalid operation,
// overflow) ends the computation at once: the function returns false and
// the flags stay raised for the caller; flags raised before the call are
// kept as they were. Returns true when the elimination ran to its end.
bool MatrixSolve(TFractionMatrix& m);

}  // namespace vemo
