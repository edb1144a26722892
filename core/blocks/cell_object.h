// The polymorphic cell object: everything that can stand in a cell of the
// field. Three levels — the root object, the block, the block with
// parameters — with their virtual operations in a fixed order.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "blocks/block_pool.h"
#include "blocks/canvas.h"
#include "blocks/run_record.h"
#include "frequency/polynomial.h"
#include "model/bytes.h"

namespace vemo {

struct TField;
class TBlock;
class TCodeWriter;

// Sides of a cell, and the order of every per-side array.
enum TSide : uint8_t { Top = 0, Left = 1, Bottom = 2, Right = 3 };
inline constexpr uint8_t kNoSide = 255;
inline constexpr uint8_t OppositeSide(uint8_t s) { return static_cast<uint8_t>((s + 2) & 3); }

// Type codes of the special objects.
inline constexpr uint16_t kMacroCode = 0x2000;
inline constexpr uint16_t kWireCode = 0x3000;
inline constexpr uint16_t kMacroPortFirst = 0x4000;  // 0x4000..0x4002 inputs
inline constexpr uint16_t kMacroOutputCode = 0x4003;
inline constexpr uint16_t kCommentCode = 0x4010;
inline constexpr uint16_t kEmptyCellCode = 0xFFFF;

class TCellObject {
 public:
  uint16_t TypeCode = 0;  // set by the factory after construction

  virtual ~TCellObject() = default;
  // slot 0
  virtual void Draw(TCanvas& canvas, const TRect& r);
  // slot 1: the dialog that edits the object
  virtual uint8_t EditorKind() const { return 1; }
  // slot 2: called for every object before wiring resolution
  virtual void Prepare(TField* owner) { (void)owner; }
  // slot 3/4: the object's own record; Load returns false on damaged data
  virtual void Save(TMemCursor& c) { (void)c; }
  virtual bool Load(TLoadCursor& c) { (void)c; return true; }
  // slot 5: releases owned memory (tables, networks, libraries)
  virtual void Done() {}
  // slot 6: display name
  virtual std::string GetName() const { return {}; }

  virtual TBlock* AsBlock() { return nullptr; }
  bool IsBlock() const { return TypeCode < kWireCode; }
};

class TBlock : public TCellObject {
 public:
  TBlock* RunNext = nullptr;
  TBlock* RunPrev = nullptr;
  TBlock* Inputs[4] = {nullptr, nullptr, nullptr, nullptr};
  uint8_t Stepped = 1;
  uint8_t CodeVisited = 0;  // code generation; also the run-list sort's mark
  double Output = 0.0;
  // FirstInput() as captured when a run starts (SimInit); wiring clears it.
  TBlock* RunInput = nullptr;
  uint8_t Kind = 0;
  uint8_t OutSide = kNoSide;
  uint16_t CodeNumber = 0;

  // Blocks live in storage of their own, apart from wires (block_pool.h).
  static void* operator new(std::size_t size) { return AllocateBlockStorage(size); }
  static void operator delete(void* p, std::size_t size) noexcept { ReleaseBlockStorage(p, size); }

  TBlock* AsBlock() override { return this; }
  void Prepare(TField* owner) override;
  std::string GetName() const override;

  // slot 7: validates connections after wiring resolution (sets ErrorCode)
  virtual void Check() {}
  // slot 8: initial state of a run
  virtual void Start() { Output = 0.0; }
  // slot 9: computes Output for the current model time
  virtual void Step() {}
  // The run loop's form of Step (run_record.h): chooses r.Op and derives
  // r.C for the step dt. Called when a run starts, when the step changes and
  // when a parameter control has written a parameter of the block; the
  // default lets the loop call Step.
  virtual void PlanStep(TRunRecord& r, double dt) {
    (void)dt;
    r.Op = TRunOp::Virtual;
  }
  // Takes back the run state that PlanStep gave its record to carry (the
  // loop steps it there), before the record is planned again and whenever
  // the blocks are looked at (run_plan.h, SyncRunOutputs).
  virtual void UnplanStep(const TRunRecord& r) { (void)r; }
  // slot 10: end of a run, releases run-time buffers
  virtual void Stop() {}
  // slot 11: transfer function from the input on `side` to the output
  virtual void GetTransferFunction(int side, TPolynomial& num, TPolynomial& den);
  // slot 12: recommended integration step, seconds
  virtual double GetStepHint() { return 0.1; }
  // slot 13: emits the block's code; returns the name of its output variable
  virtual void GenerateCode(TCodeWriter& writer, std::string& varName);

  // The block in the first connected side, in side order; nullptr if none.
  TBlock* FirstInput() const {
    for (TBlock* b : Inputs)
      if (b) return b;
    return nullptr;
  }
  // The input the step functions read: the one captured for the run, else a
  // fresh look (blocks stepped outside a run, or without an input).
  const TBlock* StepInput() const { return RunInput ? RunInput : FirstInput(); }
  int InputCount() const {
    return (Inputs[0] != nullptr) + (Inputs[1] != nullptr) + (Inputs[2] != nullptr) +
           (Inputs[3] != nullptr);
  }
  // The single-input check shared by most kinds: more than one connected
  // side is error 2. Returns true when the check passed.
  bool CheckSingleInput();
};

class TParamBlock : public TBlock {
 public:
  uint16_t ParamCount = 0;
  double Params[4] = {0.0, 0.0, 0.0, 0.0};
  uint8_t OptMask = 0;

  void Save(TMemCursor& c) override;
  bool Load(TLoadCursor& c) override;
  // slot 14
  virtual std::string GetParamName(int index) const;
};

// The factory: a fresh object of the kind for the code with its default
// parameters, or nullptr for a code that names no kind.
std::unique_ptr<TCellObject> CreateCellObject(uint16_t typeCode);

}  // namespace vemo
