// Schemes the tests build again and again.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <utility>

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
