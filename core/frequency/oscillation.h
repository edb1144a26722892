// Self-oscillations of a loop with one nonlinear part: the points where the
// hodograph of the linear part meets the describing-function curve
// -1/N(A), each with its frequency, amplitude and stability (or, for the
// pulse-frequency modulator's table, its rank), and their report blocks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "frequency/describing.h"

namespace vemo {

struct TOscillation {
  double W = 0.0;  // rad/s
  double A = 0.0;  // amplitude at the input of the nonlinear part
  bool Stable = false;
  uint8_t Rank = 0;  // 0: an ordinary curve; 1..10, 100: the table's rank
};

// Distance below which a hodograph point matches a lone table point (the
// table's rank of more than ten pulses).
inline constexpr double kPfmMatchTolerance = 0.02;

// Every segment of the hodograph is intersected with every segment of the
// curve (for the table: with the segments between successive entries of
// one rank; a rank of one entry matches hodograph points within
// kPfmMatchTolerance, the closest of each run of such points). The
// frequency is interpolated along the hodograph segment, the amplitude
// along the curve segment (for the table: factor times quantum times w).
// An intersection whose frequency is within 1e-6 of a recorded one is
// dropped. Stability is judged at the curve's next point P (the end of the
// curve segment, the larger amplitude): stable when the hodograph does not
// cross the line Im = Im P left of Re P.
std::vector<TOscillation> FindOscillations(const TPointList& hodograph, const TDescribingCurve& curve);

inline constexpr const char* kOscillationsLabel = "Возможны колебания:";
inline constexpr const char* kOscillationUnstableText = "Неустойчивы";
inline constexpr const char* kOscillationStableText = "Устойчивы (автоколебания)";
inline constexpr const char* kOscillationSeparator = "* * *";

// One block: "Частота: " w "rad/с = " w/2pi "Гц.", "Амплитуда: " A " ед.",
// then the stability (rank 0) or "Ранг: " rank ("Ранг: Более 10" for 100);
// each line ended by "\n".
std::string OscillationBlockText(const TOscillation& o);

// "Возможны колебания:" and the blocks separated by "* * *" lines; empty
// when there is none.
std::string OscillationsText(const std::vector<TOscillation>& list);

}  // namespace vemo
