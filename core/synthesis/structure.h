// Structure synthesis: a new scheme of typical elements built from a
// transfer function, and the three commands that use it: synthesis from a
// typed W(s), simplification of a contour, and controller synthesis for a
// plant contour. The analysed scheme is never changed.
#pragma once
#include <memory>
#include <string_view>
#include <vector>

#include "frequency/zero_pole.h"
#include "model/field.h"
#include "synthesis/elements.h"
#include "synthesis/layout.h"

namespace vemo {

// Caption of the project window that shows a synthesised field.
inline constexpr const char* kSynthesisCaption = "<Cинтез>";
// Smallest time constant the controller synthesis accepts (exclusive).
inline constexpr double kMinControllerTime = 0.0001;

inline constexpr const char* kBreakQuestion =
    "Сигнал никогда не проходит через нелинейную часть схемы. Схема сводится к разрыву. Продолжать?";
inline constexpr const char* kGeneratorQuestion =
    "Нелинейная часть схемы всегда находтся в активном состоянии. Схема сводится к генератору. Продолжать?";

struct TSynthRequest {
  // The transfer function to build; in the controller mode the controller
  // form of the plant.
  TZeroPoleForm Form;
  // Pure delay of the contour. In the controller mode it belongs to the
  // plant: the controller cannot undo a delay.
  Real Delay = 0.0L;
  TSynthMode Mode = TSynthMode::Structure;
  // The nonlinear part of the contour (nullptr: none): replaced by
  // equivalent elements placed before the linear elements when it begins
  // at the contour's start, after them otherwise.
  TBlock* NonlinearEntry = nullptr;
  TBlock* NonlinearLast = nullptr;
  bool NonlinearFirst = true;
  // Controller mode: the plant, laid out after the controller inside the
  // loop, so that the synthesised field is the whole closed system.
  const TZeroPoleForm* Plant = nullptr;
};

// The elements that stand for a nonlinear chain (classification of the
// chain: one equivalent standard block, the chain's blocks copied, or a
// generator when its output never depends on the input, after a question).
// Returns 0 or the error code (32, 34); dropLinear is set when the chain
// makes the linear part irrelevant.
uint8_t NonlinearElements(TBlock* entry, TBlock* last, std::vector<TSynthElement>& out, bool& dropLinear);

// The element list of a request (without layout); 0 or the error code.
uint8_t SynthesisChain(const TSynthRequest& request, std::vector<TSynthElement>& chain);

// Builds the field. nullptr with ErrorCode set (16, 32, 33, 34) on failure.
std::unique_ptr<TField> BuildStructure(const TSynthRequest& request);

enum class TSynthStatus {
  Ok,
  TextError,     // the typed W(s) did not parse; kTransferTextError was shown
  BadParameter,  // the controller's time constant is not above kMinControllerTime
  SchemeError,   // Prog.Err.ErrorCode tells which
};

struct TSynthOutcome {
  TSynthStatus Status = TSynthStatus::Ok;
  std::unique_ptr<TField> Field;  // the synthesised field on success
};

// "Синтез структуры по W(s)": parses the text into the current W(s),
// builds its zero/pole form and the structure.
TSynthOutcome RunSynthesisCommand(std::string_view text);
// "Упрощение структуры": W(s) of the contour of the field, its nonlinear
// part, and the structure that replaces them. Macro bodies stay loaded.
TSynthOutcome RunSimplifyCommand(TField& field, int start, int end);
// "Синтез регулятора": W(s) of the plant contour, its controller form for
// the time constant t, and the closed loop of controller and plant.
TSynthOutcome RunControllerCommand(TField& field, int start, int end, double t);

}  // namespace vemo
