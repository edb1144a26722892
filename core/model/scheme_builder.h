// Builds schemes in code: places blocks, lays lines through cells with the
// wire sides a person would draw, and sets view points. Used by the
// example generator, the synthesis of structures and the tests.
#pragma once
#include <initializer_list>
#include <utility>
#include <vector>

#include "model/field.h"

namespace vemo {

class TSchemeBuilder {
 public:
  explicit TSchemeBuilder(TField& field) : F(field) {}

  // Places a block of the type code; params replace the defaults in order.
  TCellObject* Block(int col, int row, uint16_t code, std::initializer_list<double> params = {});
  // A line through the given corner cells, straight between them. The first
  // cell is the source (a block, or a wire cell to branch from), the last the
  // consumer block or an empty cell where the line ends as a stub.
  // Returns false when a corner pair is not in one row or column.
  bool Line(std::initializer_list<std::pair<int, int>> corners);
  // Places point k (0 = A) on a cell.
  void Point(int k, int col, int row);

 private:
  TField& F;
};

}  // namespace vemo
