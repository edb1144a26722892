// The edits a structure editor makes to its field, without any window: laying
// a line, placing and removing objects, view points and comments. The editor
// records the history step (history.h) before it applies an edit.
#pragma once
#include <cstdint>
#include <string>

namespace vemo {

struct TField;

// A straight line from a start cell; the signal flows from the start to the end.
struct TLinePlan {
  int Col = 0, Row = 0;  // start cell
  uint8_t Side = 0;      // direction (TSide)
  int Count = 0;         // cells covered, start included; 0 = nothing to lay
};

// Snaps the end to a straight line through the start: vertical when the
// column distance is not larger than the row distance, else horizontal.
void SnapLineEnd(int pressCol, int pressRow, int& endCol, int& endRow);
// The line from the press cell to the (snapped) end cell.
TLinePlan PlanLine(int pressCol, int pressRow, int endCol, int endRow);
// Whether the line may be laid over the wires already in the field.
bool LineAllowed(const TField& field, const TLinePlan& plan);
// Lays the line: new wires in empty cells, blocks passed under, sides added,
// junction dots set. The caller has checked LineAllowed and pushed the step.
void ApplyLine(TField& field, const TLinePlan& plan);
inline constexpr const char* kLineRefused = "Так проложить линию связи нельзя!";

// Index (0..11) of the first placed view point on the cell, or -1.
int PointAt(const TField& field, int col, int row);
// Un-places every view point on the cell.
void UnplacePointsAt(TField& field, int col, int row);
// Puts a new object of the type code into an empty cell; false when the code
// names no kind.
bool PlaceObject(TField& field, int col, int row, uint16_t typeCode);
// Releases the object of the cell and un-places the view points on it.
void RemoveObject(TField& field, int col, int row);
// A comment holding the text cut to 30 characters; an object already there is
// released first. An empty text puts nothing.
void PutComment(TField& field, int col, int row, const std::string& utf8Text);

}  // namespace vemo
