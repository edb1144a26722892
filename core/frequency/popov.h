// Absolute stability of a loop with one nonlinear part by Popov's
// criterion: the classification of the nonlinear chain (shared with the
// describing-function curve), the sector [0, K] of its static
// characteristic, the Popov line through -1/K on the modified hodograph and
// the verdict texts of the "Критерий Попова" report.
#pragma once
#include <string>
#include <vector>

#include "frequency/hodograph.h"

namespace vemo {

class TBlock;

// Classification codes of a nonlinear chain. Besides these, a standard
// nonlinearity's type code 20..28, the pulse-amplitude element 13 and the
// pulse-frequency modulator 101.
enum : int {
  kChainNumeric = 0,        // any other chain: handled numerically
  kChainBreak = 1000,       // the output is always 0
  kChainConstant = 1001,    // the output is a constant non-zero signal
  kChainUnsupported = 5000  // an unsupported combination of elements
};

inline constexpr const char* kChainBreakText =
    "Невозможно построить ЭККУ, потому что нелинейная часть эквивалентная разрыву цепи.";
inline constexpr const char* kChainConstantText =
    "Невозможно построить ЭККУ, потому что на выходе нелинейной части постоянный ненулевой сигнал.";
inline constexpr const char* kChainUnsupportedText =
    "Недопустимое сочитание нелинейных звеньев. Невозможно построить ЭККУ.";

// The message of a refusing code (1000, 1001, 5000); "" for the others.
const char* ChainRefusalText(int code);

// The chain as one equivalent element. Params by code:
// 20 {d}: dead zone of half-width d;
// 21 {b}: limit reached at input b (output +-b);
// 22 {d, L}: dead zone d, then a limit reached at input d + L;
// 23 {c}: ideal relay of level c;
// 24 {c, b}: relay of level c with hysteresis half-width b;
// 25 {c, b}: three-position relay of level c with threshold b;
// 26 {c, h, b}: three-position relay of level c, hysteresis width h,
//    upper threshold b;
// 27 {h}: quantiser of step h;
// 28 {b}: backlash of half-width b;
// 13 {T, Q}: the pulse-amplitude element;
// 101 {d, h, Tи}: the pulse-frequency modulator (quantum, pulse height,
//    pulse length).
struct TChainClass {
  int Code = kChainNumeric;
  double Params[3] = {0.0, 0.0, 0.0};
};

// The nonlinear chain from the entry block (its output enters the chain)
// to the last nonlinear block: the nonlinear blocks in stepping order,
// walking back from the last through the first connected inputs. Empty
// when the entry is not reached.
std::vector<TBlock*> NonlinearChain(TBlock* entry, TBlock* last);

// Classifies the chain between entry and last. Runs the chain blocks'
// Start when it has to find out whether the output is a constant.
TChainClass ClassifyNonlinearChain(TBlock* entry, TBlock* last);

// The sector [0, K] of the chain's static characteristic.
struct TPopovSector {
  bool Fits = false;
  double K = 0.0;
};

// The sector of a classified chain: 1 for the dead zone and the limits,
// 1e10 for the ideal relay, level / threshold for the three-position
// relays, 2 for the quantiser; the hysteresis relay, the backlash and the
// pulse-frequency modulator do not fit. Any other chain is sampled at x
// from -10000 to -1e-4 (factor 1/1.8), 1e-4 to 10000 (1.8) and back the
// same ways: the entry's output is set to x and the chain stepped; a point
// with y x < 0 does not fit, otherwise K is the largest y / x. K below
// 1e-7 does not fit. The refusing codes give no sector.
TPopovSector PopovSector(const TChainClass& cls, TBlock* entry, TBlock* last);

// The Popov line through -1/K for the modified hodograph (Re, w Im).
struct TPopovLine {
  bool Found = false;
  double ThetaMin = 0.0, ThetaMax = 0.0;
  // Direction of the line, radians: (max + min) / 2 - pi / 2.
  double Angle = 0.0;
};

// Largest spread of the angles seen from -1/K that still leaves the whole
// curve on one side of a line: pi plus 0.001.
inline constexpr double kPopovSpread = 3.1425926535897934;

TPopovLine FindPopovLine(const TPointList& modified, double k);

// The verdict of the report.
struct TPopovVerdict {
  TPopovSector Sector;
  TPopovLine Line;
};

inline constexpr const char* kPopovNonlinearityLabel = "Нелинейность:";
inline constexpr const char* kPopovLineLabel = "Прямая Попова:";
inline constexpr const char* kPopovConclusionLabel = "Вывод:";
inline constexpr const char* kSectorFitsText = "Вписывается в сектор [0,90°]";
inline constexpr const char* kSectorFailsText = "НЕ вписывается в сектор [0,90°]";
inline constexpr const char* kLineFoundPrefix = "Найдена -1/K=";
inline constexpr const char* kLineImpossibleText = "Провести невозможно.";
inline constexpr const char* kStableByPopovText = "Замкнутая система устойчива.";
inline constexpr const char* kNoAnswerText = "Критерий не дает ответа об устойчивости.";
inline constexpr const char* kCriterionMisplacedText = "Критерий неуместен!";

// The three report values (without their labels).
std::string PopovNonlinearityText(const TPopovVerdict& v);
std::string PopovLineText(const TPopovVerdict& v);
std::string PopovConclusionText(const TPopovVerdict& v);
// The report: label, one blank and value for each of the three, each line
// ended by "\n".
std::string PopovReportText(const TPopovVerdict& v);
// The plot window's caption of the line: "-1/k=" + the value of -1/K.
std::string PopovPlotLabel(double k);

}  // namespace vemo
