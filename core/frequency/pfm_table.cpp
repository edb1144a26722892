#include "frequency/pfm_table.h"

#include <numbers>

#include "blocks/pulse.h"
#include "frequency/describing.h"
#include "shell/program.h"

namespace vemo {

namespace {

struct TRankRun {
  uint8_t Rank;
  uint8_t Pulses;
  int Count;
};

// Entries per rank in table order; they add up to kPfmTableSize.
constexpr TRankRun kRuns[] = {{1, 1, 162}, {2, 2, 92}, {3, 3, 24}, {4, 4, 31}, {5, 5, 24}, {6, 6, 31},
                              {7, 7, 24},  {8, 8, 31}, {9, 9, 24}, {10, 10, 30}, {kPfmRankMany, 12, 1}};

// -1/N of entry e, measured on the block.
void Measure(TPfmTablePoint& e) {
  constexpr double kTurn = 2.0 * std::numbers::pi;
  const double dTheta = kTurn / kPfmStepsPerTurn;
  TBlock source;
  TPulseFrequencyModulator m;
  m.ModKind = 1;
  m.Polarity = 1;
  m.Quantum = 1.0;
  m.Height = 1.0 / dTheta;       // a one-step pulse of area d
  m.PulseLength = dTheta / 2.0;  // ends before the next step
  m.Inputs[Left] = &source;
  m.Start();
  m.Accumulator = e.Pulses / 2.0 - e.Factor;  // the symmetric periodic state
  TComplexD n, p;
  if (ChainFirstHarmonic({&m}, &source, e.Factor, dTheta, n, false) && NegativeInverse(n, 0.0, p)) {
    e.Re = p.real();
    e.Im = p.imag();
  }
  m.Stop();
}

}  // namespace

TPfmTablePoint PfmTableEntry(int i) {
  TPfmTablePoint e;
  if (i < 0) return e;
  for (const TRankRun& r : kRuns) {
    if (i < r.Count) {
      e.Rank = r.Rank;
      e.Pulses = r.Pulses;
      e.Factor = r.Pulses / 2.0 + (i + 0.5) / r.Count;
      return e;
    }
    i -= r.Count;
  }
  return TPfmTablePoint{};
}

const std::vector<TPfmTablePoint>& PulseFrequencyTable() {
  static const std::vector<TPfmTablePoint> table = [] {
    const TRunClock clock = Prog.Clock;
    std::vector<TPfmTablePoint> t;
    t.reserve(kPfmTableSize);
    for (int i = 0; i < kPfmTableSize; ++i) {
      TPfmTablePoint e = PfmTableEntry(i);
      Measure(e);
      t.push_back(e);
    }
    Prog.Clock = clock;
    return t;
  }();
  return table;
}

}  // namespace vemo
