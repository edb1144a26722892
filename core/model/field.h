// A scheme: the 200 x 200 grid of cells, the run list, the step and the
// twelve view points A..L.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "blocks/cell_object.h"
#include "model/cell_grid.h"

namespace vemo {

inline constexpr int kGridSize = TCellGrid::kSize;
inline constexpr int kPointCount = 12;

struct TViewPoint {
  uint16_t Col = 0;
  uint16_t Row = 0;
  TBlock* Source = nullptr;  // set by CompileScheme
  uint8_t Placed = 0;
  uint8_t Shown = 1;
  uint32_t Color = 0;  // red in the low byte
  double Low = 0.0;
  double High = 1.0;
};

// Default curve colour of point k (0 = A).
uint32_t DefaultPointColor(int k);
// A cell as one number, column * 200 + row (how marked parameters name
// their block's cell).
inline int32_t CellIndex(int col, int row) { return col * kGridSize + row; }
inline char PointLetter(int k) { return static_cast<char>('A' + k); }

struct TField {
  // The occupied cells by column and row; the field owns the objects.
  TCellGrid Cells;
  TBlock* RunList = nullptr;
  // The run list as an array, rebuilt by SimInit for the step loop.
  std::vector<TBlock*> RunArray;
  // The step loop's records of the run list (SimInit; run_record.h).
  TRunPlan Plan;
  uint8_t Modified = 0;
  double Step = 0.01;
  uint8_t AutoStep = 1;
  std::array<TViewPoint, kPointCount> Points;
  TField* Owner = nullptr;
  uint8_t HasNonlinear = 0;
  uint8_t HasPulseElement = 0;
  // The project file the scheme was last read from or written to (an
  // absolute name; empty for a scheme never saved). Its folder is the
  // project's own, where the project's plug-in libraries may lie.
  std::string FileName;

  TField();
  ~TField();
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  static bool InGrid(int col, int row) {
    return col >= 0 && col < kGridSize && row >= 0 && row < kGridSize;
  }
  TCellObject* Cell(int col, int row) const { return Cells.Get(col, row); }
  // Puts an object into a cell, releasing whatever was there.
  void SetCell(int col, int row, std::unique_ptr<TCellObject> obj);
  // Takes the object out of a cell without releasing it.
  std::unique_ptr<TCellObject> TakeCell(int col, int row);
  // Releases the object of a cell (Done, free) and empties it.
  void FreeCell(int col, int row);
};

// A new empty field (Owner refers to the field itself).
std::unique_ptr<TField> CreateField();
// A field with the same scheme, every object duplicated through its record.
std::unique_ptr<TField> Clone(const TField& source);
// Duplicates one object through its record (measure, write, create, load).
std::unique_ptr<TCellObject> CloneObject(TCellObject& obj);
// Empties the field and zeroes the point table.
void Clear(TField& field);
// Releases the macro bodies loaded for the last compile, recursively.
void ReleaseMacroBodies(TField& field);
// Unplaces the points in the rectangle and releases its objects.
void DeleteRect(TField& field, int left, int top, int bottom, int right);

}  // namespace vemo
