// The optimised parameters: the program-wide table, their internal
// coordinates (logarithmic when asked), and the run state that the progress
// window, the methods and the network training share.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

namespace vemo {

struct TField;
class TCellObject;
class TParamBlock;

inline constexpr int kMaxOptParams = 1000;

struct TOptParam {
  uint8_t LogScale = 0;     // searched on a logarithmic scale, range [0; +inf]
  double* Value = nullptr;  // the value inside its block
  double Lower = 0.0;
  double Upper = 0.0;
  // Where the value lives, so that a copy of the field finds its own: the
  // cell of the owning block (column * 200 + row) and the slot inside it
  // (the parameter index, or the weight's place in a network).
  int32_t Cell = -1;
  int32_t Slot = 0;
};

// ln v on a logarithmic scale (values <= 0 taken as 1e-30), else v.
double ToInternal(const TOptParam& p, double v);
// e^x on a logarithmic scale, else x.
double FromInternal(const TOptParam& p, double x);
inline double InternalLower(const TOptParam& p) { return ToInternal(p, p.Lower); }
inline double InternalUpper(const TOptParam& p) { return ToInternal(p, p.Upper); }

// The address of value slot `slot` of a cell object: Params[slot] of a block
// with parameters, weight `slot` of a neural block's network counted layer by
// layer; nullptr when the object has no such slot.
double* OptSlotAddress(TCellObject& obj, int32_t slot);

// A parameter marked for optimisation in its block's dialog.
struct TMarkedParam {
  TParamBlock* Block = nullptr;
  int Index = 0;  // 0..3
  int32_t Cell = -1;
};
// The marked parameters of a compiled field: its run list in order, every
// block of the field's own cells edited by the parameter dialog, each
// parameter whose bit is set in OptMask; at most 1000. (Blocks of macro
// bodies are left out: their bodies are copies released after the command,
// so values tuned there would be lost.)
std::vector<TMarkedParam> MarkedParams(TField& field);

// Program-wide state of the optimiser.
struct TOptState {
  std::array<TOptParam, kMaxOptParams> Params;
  int OptParamCount = 0;
  int ErrorPoint = 0;  // 0..11, the view point whose signal is the error
  // Cancel requested ("Отмена", Ctrl+C); read by the runs on every thread.
  std::atomic<uint8_t> Stop{0};
  long RunsDone = 0;
  int64_t StartTicks = 0;
  // Network training: the error is the output point's signal less the
  // reference point's, and the methods stop below their accuracy.
  uint8_t TargetMode = 0;
  int ReferencePoint = 0;
};
TOptState& OptState();
void ResetOptState();

// Rebuilds the table by position from the marked parameters: entry i is
// bound to the i-th and keeps the bounds and scale it had. Returns the count.
int BindMarkedParams(const std::vector<TMarkedParam>& marked);

}  // namespace vemo
