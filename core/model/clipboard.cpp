#include "model/clipboard.h"

#include <algorithm>
#include <memory>

#include "model/field.h"
#include "model/project_file.h"

namespace vemo {

// The last column and row a pasted rectangle may reach.
static constexpr int kLastPasteCell = kGridSize - 2;

TSchemeClipboard& SchemeClipboard() {
  static TSchemeClipboard clip;
  return clip;
}

void ClipClear() {
  TSchemeClipboard& clip = SchemeClipboard();
  clip.ClipBuffer.clear();
  clip.ClipBuffer.shrink_to_fit();
  clip.ClipWidth = 0;
  clip.ClipHeight = 0;
}

void ClipCopy(const TField& field, int left, int top, int bottom, int right) {
  ClipClear();
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, kGridSize - 1);
  bottom = std::min(bottom, kGridSize - 1);
  if (left > right || top > bottom) return;

  TMemCursor measure = TMemCursor::Measuring();
  for (int row = top; row <= bottom; ++row)
    for (int col = left; col <= right; ++col) SaveCellObject(measure, field.Cell(col, row));
  if (measure.Pos == 0) return;
  std::vector<uint8_t> buf(measure.Pos);
  TMemCursor write = TMemCursor::Writing(buf);
  for (int row = top; row <= bottom; ++row)
    for (int col = left; col <= right; ++col) SaveCellObject(write, field.Cell(col, row));
  if (write.Overrun || write.Pos != buf.size()) return;

  TSchemeClipboard& clip = SchemeClipboard();
  clip.ClipBuffer = std::move(buf);
  clip.ClipWidth = static_cast<uint16_t>(right - left);
  clip.ClipHeight = static_cast<uint16_t>(bottom - top);
}

bool ClipCanPaste(int col, int row) {
  const TSchemeClipboard& clip = SchemeClipboard();
  return clip.HasData() && col >= 0 && row >= 0 && col + clip.ClipWidth <= kLastPasteCell &&
         row + clip.ClipHeight <= kLastPasteCell;
}

bool ClipPaste(TField& field, int col, int row) {
  if (!ClipCanPaste(col, row)) return false;
  const TSchemeClipboard& clip = SchemeClipboard();
  const int width = clip.ClipWidth + 1;
  const int height = clip.ClipHeight + 1;

  // Read the whole stream first: a damaged one changes nothing.
  std::vector<std::unique_ptr<TCellObject>> cells;
  cells.reserve(static_cast<size_t>(width) * height);
  TLoadCursor c(clip.ClipBuffer);
  bool ok = true;
  for (int i = 0; i < width * height && ok; ++i) cells.push_back(LoadCellObject(c, ok));
  if (!ok || c.Left() != 0) {  // short, unreadable, or more than the cells hold
    for (auto& o : cells)
      if (o) o->Done();
    return false;
  }

  const int right = col + width - 1;
  const int bottom = row + height - 1;
  for (TViewPoint& p : field.Points)
    if (p.Placed && p.Col >= col && p.Col <= right && p.Row >= row && p.Row <= bottom)
      p.Placed = 0;
  size_t i = 0;
  for (int r = row; r <= bottom; ++r)
    for (int k = col; k <= right; ++k) field.SetCell(k, r, std::move(cells[i++]));
  return true;
}

}  // namespace vemo
