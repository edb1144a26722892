// The long chains the speed measurements run: a unit constant followed by
// blocks of a repeating pattern, laid as a snake over the grid (rows 0, 2,
// 4, ... run alternately right and left, a block every other cell, the row
// ends joined through the odd rows), so up to 10,049 blocks fit.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/scheme_builder.h"

namespace vemo::bench {

inline constexpr int kLongestChain = 10049;

struct TStage {
  uint16_t Code;
  std::vector<double> Params;
};

// Linear chain: proportional, aperiodic, integrating, differentiating
// (keeps the integrals bounded), oscillatory.
inline const std::vector<TStage> kLinear = {
    {6, {1.0}}, {10, {0.5, 1.0, 0.0}}, {7, {1.0, 0.0}}, {8, {1.0}}, {11, {0.2, 0.3, 1.0}}};
// Mixed chain: saturation, aperiodic, dead zone, pulse-amplitude element,
// two-position relay.
inline const std::vector<TStage> kMixed = {
    {21, {1.0, -1.0}}, {10, {0.5, 1.0, 0.0}}, {20, {0.01}}, {13, {0.1, 1.0}}, {23, {1.0, -1.0, 0.0}}};

// Limited chain: aperiodic element, saturation, dead zone, proportional
// element (a gain other than one).
inline const std::vector<TStage> kLimited = {
    {10, {0.5, 1.0, 0.0}}, {21, {1.0, -1.0}}, {20, {0.01}}, {6, {1.5}}};

// The time constant of aperiodic block i of n in the aperiodic chain: spread
// evenly over 0.5 ... 1.5 s (gain 1).
inline double AperiodicT(int i, int n) { return n > 1 ? 0.5 + static_cast<double>(i) / (n - 1) : 0.5; }

// The stage of block i of a chain of kind "aperiodic", "linear", "mixed" or
// "limited".
inline TStage ChainStage(const std::string& kind, int i, int n) {
  if (kind == "aperiodic") return {10, {AperiodicT(i, n), 1.0, 0.0}};
  const auto& pattern = kind == "linear" ? kLinear : kind == "limited" ? kLimited : kMixed;
  return pattern[static_cast<size_t>(i) % pattern.size()];
}

// The cells of the snake in order.
inline std::vector<std::pair<int, int>> SnakeCells() {
  std::vector<std::pair<int, int>> cells;
  for (int r = 0; r < 100; ++r) {
    const bool right = r % 2 == 0;
    for (int k = 0; k < 200; ++k) cells.push_back({right ? k : 199 - k, 2 * r});
    if (r < 99) cells.push_back({right ? 199 : 0, 2 * r + 1});
  }
  return cells;
}

// Builds the chain of n blocks (1 ... kLongestChain) into an empty field:
// point A observes the last block. False when n is out of range.
inline bool BuildChain(TField& f, const std::string& kind, int n) {
  if (n < 1 || n > kLongestChain) return false;
  const auto cells = SnakeCells();
  TSchemeBuilder b(f);
  b.Block(cells[0].first, cells[0].second, 0, {1.0});
  for (int i = 0; i < n; ++i) {
    const auto prev = cells[2 * static_cast<size_t>(i)], mid = cells[2 * static_cast<size_t>(i) + 1],
               at = cells[2 * static_cast<size_t>(i) + 2];
    const TStage s = ChainStage(kind, i, n);
    TCellObject* obj = b.Block(at.first, at.second, s.Code);
    auto* p = static_cast<TParamBlock*>(obj->AsBlock());
    for (size_t k = 0; k < s.Params.size() && k < 4; ++k) p->Params[k] = s.Params[k];
    if (!b.Line({prev, mid, at})) return false;
  }
  const auto last = cells[2 * static_cast<size_t>(n)];
  b.Point(0, last.first, last.second);
  f.AutoStep = 0;
  return true;
}

}  // namespace vemo::bench
