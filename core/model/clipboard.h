// The program-wide scheme clipboard: a rectangle of cells in the cell-stream
// form of project files, so that a rectangle copied in one editor window can
// be pasted in another.
#pragma once
#include <cstdint>
#include <vector>

namespace vemo {

struct TField;

struct TSchemeClipboard {
  std::vector<uint8_t> ClipBuffer;  // empty = the clipboard holds nothing
  uint16_t ClipWidth = 0;           // number of columns - 1
  uint16_t ClipHeight = 0;          // number of rows - 1
  bool HasData() const { return !ClipBuffer.empty(); }
};

// The one clipboard of the program.
TSchemeClipboard& SchemeClipboard();

// Copies the inclusive rectangle (rows top..bottom, columns left..right).
void ClipCopy(const TField& field, int left, int top, int bottom, int right);
// The clipboard holds data and its rectangle with its top-left corner at
// (col, row) ends at column and row 198 at most.
bool ClipCanPaste(int col, int row);
// Un-places the view points in the target rectangle and refills its cells
// from the clipboard. Returns false (nothing changed) when ClipCanPaste fails
// or the stored stream is damaged.
bool ClipPaste(TField& field, int col, int row);
void ClipClear();

}  // namespace vemo
