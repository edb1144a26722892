// The describing function (equivalent complex gain) of the nonlinear part of
// a loop and its curve -1/N(A), the ЭККУ of the hodograph window: closed
// forms for the standard nonlinearities, the first harmonic of any other
// chain stepped over one period of a sine, the pulse elements' shaper
// transformation of the hodograph and the table of the pulse-frequency
// modulator.
#pragma once
#include <complex>
#include <cstdint>
#include <functional>
#include <vector>

#include "frequency/hodograph.h"
#include "frequency/popov.h"

namespace vemo {

class TBlock;

using TComplexD = std::complex<double>;

// Type codes of the pulse elements that stand for a whole nonlinear part.
inline constexpr int kPulseAmplitudeChain = 13;
inline constexpr int kPulseFrequencyChain = 101;

// A point of the curve is kept while both coordinates are below this.
inline constexpr double kDescribingLimit = 100000.0;
// Amplitudes grow by this factor from one point to the next.
inline constexpr double kAmplitudeFactor = 1.2;
// Amplitude range of a chain handled numerically.
inline constexpr double kNumericAmplitudeMin = 0.001;
inline constexpr double kNumericAmplitudeMax = 1000.0;

// The closed-form describing function N(A) of a standard element (codes
// 20..28 with the parameters of TChainClass). False when A lies outside
// the range where the form holds, or the code has no closed form.
bool StandardDescribingFunction(const TChainClass& cls, double a, TComplexD& n);

// The amplitude range [Min, Max) of the curve of a classified chain: from
// the element's lowest working amplitude (its threshold) to a thousand
// times its largest parameter; 0.001..1000 for the numeric class. Empty
// (Min = Max = 0) for the refusing codes and the pulse elements.
struct TAmplitudeRange {
  double Min = 0.0, Max = 0.0;
};
TAmplitudeRange DescribingAmplitudeRange(const TChainClass& cls);

// The progress bar's maximum for a range: round(ln(max/min)/ln 1.2 * 0.1).
int DescribingProgressMax(const TAmplitudeRange& r);

// The first harmonic of the chain's output for the input A sin(theta): the
// chain's blocks (already started, outputs cleared) are stepped with the
// entry's output set to A sin(theta) at theta = 0, dTheta, ... while
// theta <= 2 pi; the model time and the run step follow theta. One turn is
// stepped first without being measured, so that elements with memory
// (hysteresis, backlash, accumulators) are measured in their periodic
// state (warmUp false skips it for a chain put into its periodic state by
// the caller). Returns N = (S + jC) / (pi A) with S, C the integrals of
// y sin(theta) and y cos(theta); false on a floating-point fault, a value
// that is not finite or a step count out of range.
bool ChainFirstHarmonic(const std::vector<TBlock*>& chain, TBlock* entry, double a, double dTheta,
                        TComplexD& n, bool warmUp = true);

// N(A) of any chain by ChainFirstHarmonic with a fresh start of the chain
// (Start, outputs 0); the phase step is given in degrees. The run clock
// and the entry's output are restored afterwards.
bool NumericDescribingFunction(TBlock* entry, TBlock* last, double a, double stepDegrees, TComplexD& n);

// -1/N, false when N is too small (|N|^2 <= 1e-5 for the numeric class,
// exactly 0 otherwise) or the point lies beyond kDescribingLimit.
bool NegativeInverse(TComplexD n, double smallest, TComplexD& point);

// The curve of a nonlinear part and what the hodograph needs to know of it.
struct TDescribingCurve {
  TChainClass Class;
  // (Re, Im, A) by growing A; for the pulse-frequency modulator the table
  // points (Re, Im, amplitude factor) in table order.
  TPointList Points;
  // Rank of each point: 0 for an ordinary curve, 1..10 or 100 for the table.
  std::vector<uint8_t> Ranks;
  bool PulseFrequencyTable = false;
  // Amplitude of an oscillation of the modulator per unit of table factor
  // and of frequency: its quantum.
  double AmplitudeScale = 1.0;
};

// Called every 10 amplitudes with the number done so far and the maximum.
using TDescribingProgress = std::function<void(int done, int max)>;

// Builds the curve of a classified chain (entry, last: the nonlinear part;
// they are stepped only for the numeric class). The refusing codes and the
// pulse-amplitude element give no points. stepDegrees is the phase step of
// the numeric class.
void BuildDescribingCurve(const TChainClass& cls, TBlock* entry, TBlock* last, double stepDegrees,
                          TDescribingCurve& out, const TDescribingProgress& progress = {});

// The shaper transformation of the hodograph for a pulse element as the
// nonlinear part: the pulse-amplitude element holds its sample for T/Q and
// samples every T (gain 1/T); the pulse-frequency modulator emits pulses of
// height h and length Tи, one per quantum d of its input's integral (gain
// h/d). Other classes leave the options as they are.
void ApplyPulseTransformation(const TChainClass& cls, THodographOptions& options);

}  // namespace vemo
