// A system of n linear equations whose coefficients are fractions of s,
// solved by elimination: the reduction of a whole block diagram to the
// outputs of its blocks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "frequency/fraction.h"

namespace vemo {

// n variables, n (n + 1) entries, column c holding one equation: row r < n
// is the coefficient of variable r in it, row n its right-hand side,
//   sum over r < n of M(r, c) x_r = M(n, c).
// A new matrix has -1/1 on the diagonal and 0/1 everywhere else (right-hand
// sides included). The matrix owns its entries: Set releases the fraction
// that was there and takes over the new one; Get gives the stored fraction
// itself, without copying. Row and column outside the matrix throw
// std::out_of_range.
//
// A block diagram gives a few entries per equation, so only the entries
// that are not 0/1 are stored, column by column in the order of their rows:
// the storage grows with the entries, not with n^2. Reading an entry that is
// not stored gives 0/1 (the non-const Get stores it first).
class TFractionMatrix {
 public:
  explicit TFractionMatrix(int32_t n);

  int32_t N() const { return N_; }
  void Set(int32_t r, int32_t c, TFraction f);
  TFraction& Get(int32_t r, int32_t c);
  const TFraction& Get(int32_t r, int32_t c) const;

  // The stored entries of column c, in the order of their rows.
  using TColumn = std::vector<std::pair<int32_t, TFraction>>;
  const TColumn& Column(int32_t c) const;
  // The columns that hold a stored entry in row r, in ascending order.
  std::vector<int32_t> ColumnsWithRow(int32_t r) const;
  // Drops the stored entry (r, c): it reads 0/1 again.
  void Erase(int32_t r, int32_t c);

 private:
  void Check(int32_t r, int32_t c) const;
  TColumn::iterator Find(int32_t r, int32_t c);

  int32_t N_ = 0;
  std::vector<TColumn> Columns_;
  // For every row, the columns that have held an entry in it (a column is
  // listed once; it may have been erased since).
  std::vector<std::vector<int32_t>> RowColumns_;
};

// Gaussian elimination on the columns, without pivoting, then back
// substitution: on return M(n, k) holds the solution x_k of every variable.
// Entries that are 0/1 are skipped, so the work follows the entries of the
// system and the ones its elimination fills in.
// A zero pivot makes a division by the zero fraction, which raises
// FE_DIVBYZERO. A floating-point fault (division by zero, invalid operation,
// overflow) ends the computation at once: the function returns false and
// the flags stay raised for the caller; flags raised before the call are
// kept as they were. Returns true when the elimination ran to its end.
bool MatrixSolve(TFractionMatrix& m);

}  // namespace vemo
