// The describing-function table of the pulse-frequency modulator.
//
// Seen from its input, the modulator is an integrate-and-fire sampler
// followed by a pulse shaper: every quantum d of the input's integral fires
// one pulse of height h and length Tи. The shaper, (h/d)(1 - e^{-jwTи})/(jw),
// is moved into the hodograph; what remains turns the input into impulses
// of weight d. For the input A sin(wt) its first harmonic depends only on
// the factor mu = A / (w d), the input's integral over one radian of phase
// in quanta, and on n, the number of pulses in each half-period: the rank.
// A symmetric periodic pattern of rank n exists for n/2 <= mu < n/2 + 1
// (the accumulator then starts each rising half at d (n/2 - mu)).
//
// The table holds -1/N for 474 (rank, factor) pairs: rank 1 at 162 factors,
// rank 2 at 92, ranks 3..10 at 24, 31, 24, 31, 24, 31, 24, 30 (entries
// 0..161, 162..253, 254..277, 278..308, 309..332, 333..363, 364..387,
// 388..418, 419..442, 443..472) and one entry of rank 100 (more than ten
// pulses: twelve at factor 6.5). Within a rank the factors are the
// midpoints of equal parts of [n/2, n/2 + 1). Each N is measured by
// stepping the modulator block itself (kind II, two-sided, d = 1) over one
// period of its input with 8192 steps and pulses one step long.
#pragma once
#include <cstdint>
#include <vector>

namespace vemo {

inline constexpr int kPfmTableSize = 474;
inline constexpr int kPfmStepsPerTurn = 8192;
// Rank of the entries with more than ten pulses per half-period.
inline constexpr uint8_t kPfmRankMany = 100;

struct TPfmTablePoint {
  double Re = 0.0, Im = 0.0;  // -1/N
  double Factor = 0.0;        // mu = A / (w d)
  uint8_t Rank = 0;
  uint8_t Pulses = 0;         // pulses per half-period (the rank, 12 for rank 100)
};

// The table, computed on first use (a few million block steps) and kept.
const std::vector<TPfmTablePoint>& PulseFrequencyTable();

// The (rank, factor, pulses) of entry i, without the measurement.
TPfmTablePoint PfmTableEntry(int i);

}  // namespace vemo
