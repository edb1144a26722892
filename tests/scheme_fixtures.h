// Schemes the tests build again and again.
#pragma once
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "blocks/cell_object.h"
#include "model/scheme_builder.h"

namespace vemo::testing {

using TChainBlocks = std::initializer_list<std::pair<uint16_t, std::initializer_list<double>>>;

// A unit constant at (2,2), then the blocks in a row joined by lines, ending
// in a stub: point A on the constant's output, point B at the end.
inline void BuildOpenChain(TField& f, TChainBlocks blocks) {
  TSchemeBuilder b(f);
  b.Block(2, 2, 0, {1.0});
  int col = 2;
  for (const auto& [code, params] : blocks) {
    b.Block(col + 2, 2, code, params);
    b.Line({{col, 2}, {col + 2, 2}});
    col += 2;
  }
  b.Line({{col, 2}, {col + 2, 2}});
  b.Point(0, 3, 2);
  b.Point(1, col + 2, 2);
}

// The open chain constant -> summer -> block -> stub, with the block's output
// fed back to the summer's lower input (negated by the default summer, code
// 2): point A on the constant's output, point B at the end (8,2).
inline void BuildFeedbackLoop(TField& f, uint16_t code, std::initializer_list<double> params,
                              uint16_t summer = 2) {
  BuildOpenChain(f, {{summer, {}}, {code, params}});
  TSchemeBuilder(f).Line({{7, 2}, {7, 4}, {4, 4}, {4, 2}});
}

// Negative unit feedback around gain 0.3, an integrator, ten lags T = 0.1
// .. 1.0, forcing blocks (Ts + 1) on the lags T = 0.2 .. 0.5, oscillatory
// blocks (T 0.1, xi 0.3) and (T 0.05, xi 0.5) and gain 1: a healthy loop
// whose open loop has four exactly cancelling pole-zero pairs. Point A is
// the summer's output (the loop opened there), B the loop's output.
inline void BuildCancellingLoop(TField& f) {
  std::vector<std::pair<uint16_t, std::vector<double>>> blocks = {{2, {}}, {6, {0.3}}, {7, {1, 0}}};
  for (int i = 1; i <= 10; ++i) blocks.push_back({10, {0.1 * i, 1, 0}});
  for (double T : {0.2, 0.3, 0.4, 0.5}) blocks.push_back({9, {T, 1}});
  blocks.push_back({11, {0.1, 0.3, 1}});
  blocks.push_back({11, {0.05, 0.5, 1}});
  blocks.push_back({6, {1}});
  TSchemeBuilder b(f);
  b.Block(2, 2, 0, {1.0});
  int col = 2;
  for (const auto& [code, params] : blocks) {
    auto* block = static_cast<TParamBlock*>(b.Block(col + 2, 2, code));
    for (size_t i = 0; i < params.size(); ++i) block->Params[i] = params[i];
    b.Line({{col, 2}, {col + 2, 2}});
    col += 2;
  }
  b.Line({{col, 2}, {col + 2, 2}});
  b.Line({{col + 1, 2}, {col + 1, 4}, {4, 4}, {4, 2}});
  b.Point(0, 5, 2);
  b.Point(1, col + 2, 2);
}

// A chain of `count` equal blocks winding over the whole field: blocks in
// the odd columns 1..197 of the even rows, right along one row and left
// along the next, each turn through a block in column 198 or 0 of the odd
// row between. A unit constant at (0, 1) feeds the first block; point A is
// on its output, point B on the stub after the last block. At most 9,999
// blocks (with the constant, 10,000 cells of blocks); returns the count
// placed.
inline int BuildSnakeChain(TField& f, int count, uint16_t code, std::initializer_list<double> params) {
  std::vector<std::pair<int, int>> path;  // the block cells in signal order
  for (int row = 0; row < kGridSize; row += 2) {
    const bool right = row % 4 == 0;
    for (int k = 0; k < 99; ++k) path.emplace_back(right ? 1 + 2 * k : 197 - 2 * k, row);
    // The turn, or past the last row a cell beyond the field that only
    // shows where the stub goes.
    if (row + 2 < kGridSize)
      path.emplace_back(right ? 198 : 0, row + 1);
    else
      path.emplace_back(right ? 199 : -1, row);
  }
  count = std::clamp(count, 1, static_cast<int>(path.size()) - 1);
  TSchemeBuilder b(f);
  b.Block(0, 1, 0, {1.0});
  b.Line({{0, 1}, {0, 0}, {1, 0}});
  b.Point(0, 0, 0);
  // The corner between two successive cells of the path: none in a row;
  // from a row into a turn the turn's column, out of a turn the next row.
  auto link = [&](std::pair<int, int> p, std::pair<int, int> q, bool toBlock) {
    if (p.second == q.second) {
      b.Line({p, q});
      return;
    }
    const bool fromTurn = p.first == 0 || p.first == 198;
    const std::pair<int, int> corner = fromTurn ? std::make_pair(p.first, q.second) : std::make_pair(q.first, p.second);
    if (toBlock)
      b.Line({p, corner, q});
    else
      b.Line({p, corner});
  };
  for (int i = 0; i < count; ++i) {
    b.Block(path[i].first, path[i].second, code, params);
    if (i > 0) link(path[i - 1], path[i], true);
  }
  // The stub: the first wire cell on the way to the next cell of the path.
  const std::pair<int, int> last = path[count - 1], next = path[count];
  std::pair<int, int> stub;
  if (last.second == next.second)
    stub = {(last.first + next.first) / 2, last.second};
  else if (last.first == 0 || last.first == 198)
    stub = {last.first, next.second};
  else
    stub = {next.first, last.second};
  link(last, stub, false);
  b.Point(1, stub.first, stub.second);
  return count;
}

}  // namespace vemo::testing

namespace vemo::testing {

// The error of a gain: a unit constant at (2,2) into the summer at (6,2)
// (code 2, lower input negated), and the constant through a proportional
// block of gain K at (4,5) into the summer's lower input; point A on the
// summer's output. The error is 1 - K at every step, so the integral-square
// criterion over the view time T is (1 - K)² T. Returns the gain block.
inline TCellObject* BuildGainError(TField& f, double K) {
  TSchemeBuilder b(f);
  b.Block(2, 2, 0, {1.0});
  b.Block(6, 2, 2, {});
  TCellObject* gain = b.Block(4, 5, 6, {K});
  b.Line({{2, 2}, {6, 2}});
  b.Line({{4, 2}, {4, 5}});
  b.Line({{4, 5}, {6, 5}, {6, 2}});
  b.Line({{6, 2}, {8, 2}});
  b.Point(0, 7, 2);
  return gain;
}

}  // namespace vemo::testing
