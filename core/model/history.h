// The edit history of a structure editor: a ring of at most 32 steps, each
// storing only what its edit touches and restoring it by swapping the stored
// state with the current one.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace vemo {

struct TField;

class THistoryStep {
 public:
  virtual ~THistoryStep() = default;
  virtual std::string GetName() const = 0;
  virtual void Undo(TField& field) = 0;
  virtual void Redo(TField& field) = 0;
  // Releases what the step owns (the destructor calls nothing else).
  virtual void Done() {}
};

// The seven kinds. Each is created before its edit is applied.
// Place: the cell is empty now and is about to get an object of typeCode.
std::unique_ptr<THistoryStep> MakePlaceStep(int col, int row, uint16_t typeCode);
// Remove: the object in the cell (with the first view point on it) is about to go.
std::unique_ptr<THistoryStep> MakeRemoveStep(const TField& field, int col, int row);
// Properties: the object in the cell as it is before its dialog opens.
std::unique_ptr<THistoryStep> MakePropertiesStep(const TField& field, int col, int row);
// Line: `count` cells from the start cell in direction `side` (TSide).
std::unique_ptr<THistoryStep> MakeLineStep(const TField& field, int col, int row, uint8_t side,
                                           int count);
// Mark: a view point is about to be placed on the cell.
std::unique_ptr<THistoryStep> MakeMarkStep(int col, int row);
// Unmark: the view point placed on the cell is about to be un-placed.
std::unique_ptr<THistoryStep> MakeUnmarkStep(const TField& field, int col, int row);
// Block: the rectangle (inclusive) with its view points, before a block operation.
std::unique_ptr<THistoryStep> MakeBlockStep(const TField& field, int left, int top, int right,
                                            int bottom);

inline constexpr int kHistorySlots = 33;

struct THistory {
  std::array<std::unique_ptr<THistoryStep>, kHistorySlots> Slots;
  int Head = 0;  // where the next step goes
  int Tail = 0;  // the oldest step
  int Cur = 0;   // the first step that can be redone

  THistory() = default;
  THistory(const THistory&) = delete;
  THistory& operator=(const THistory&) = delete;
  ~THistory() { Clear(); }

  // Drops the redo steps, stores the step, and drops the oldest one when full.
  void Push(std::unique_ptr<THistoryStep> step);
  bool CanUndo() const { return Cur != Tail; }
  bool CanRedo() const { return Cur != Head; }
  // Run one step back / forward on the field; false when there is none.
  // The caller marks the field modified and repaints.
  bool Undo(TField& field);
  bool Redo(TField& field);
  // Names of the step that Undo / Redo would run; empty when there is none.
  std::string UndoName() const;
  std::string RedoName() const;
  // Number of steps that can be undone.
  int UndoCount() const;
  // Releases every step.
  void Clear();
};

}  // namespace vemo
