// Project files (.vmo): a 30-byte header, the cell stream of all 40,000
// cells row by row, the point table, the step and the view time. Version 2
// files are read too.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/field.h"
#include "shell/dialogs.h"

namespace vemo {

inline constexpr size_t kHeaderSize = 30;
extern const char kHeaderV3[kHeaderSize + 1];
extern const char kHeaderV2[kHeaderSize + 1];
inline constexpr const char* kNotVemoFile = "Данный файл не является файлом Vemo 3.0";

// The largest project file the program reads and writes. Every cell of the
// 200 x 200 grid may hold an object with the longest fixed-length record
// (the macro block's caption and file name: 1 + 5 + 1 + 127 bytes); the
// records whose length grows with their content (the points of table
// blocks, fuzzy models, neural networks) share one allowance per project.
inline constexpr size_t kMaxFixedRecord = 134;
inline constexpr size_t kGrowingRecordsRoom = size_t{64} << 20;
inline constexpr size_t kMaxProjectSize =
    kHeaderSize + size_t{kGridSize} * kGridSize * (2 + kMaxFixedRecord) + kPointCount * 32 + 16 +
    kGrowingRecordsRoom;

enum class TLoadResult { Ok, NotVemoFile, ReadError };

// The file image of a field (header, cells, points, step, view time).
std::vector<uint8_t> FieldImage(const TField& field, double viewTime);
// Writes the file (through a temporary file renamed over the target); clears
// Modified on success. On failure (also for a scheme larger than
// kMaxProjectSize) shows the write-error message and returns false, leaving
// any previous file intact.
bool SaveField(TField& field, const std::string& fileName);

// Fills a freshly created field. Only a regular file of at most
// kMaxProjectSize bytes is read. Header mismatch: message, field unchanged,
// ErrorCode untouched. Read failure: message, ErrorCode 14, field cleared.
// On success the program's ViewTime is set from a version-3 file. A stored
// step that is not finite, or a view time that is not finite and positive,
// is refused with "Недопустимое значение параметра!" and fails the read.
TLoadResult LoadField(TField& field, const std::string& fileName);
// The same from bytes already in memory.
TLoadResult LoadFieldFromMemory(TField& field, const uint8_t* data, size_t size);

// The cell stream of a rectangle or a whole field (clipboard, history):
// type code then record, empty cells as 0xFFFF.
void SaveCellObject(TMemCursor& c, TCellObject* obj);
// Reads one cell record; nullptr with ok = true for an empty cell, and
// ok = false for a damaged record. Obsolete codes are converted.
std::unique_ptr<TCellObject> LoadCellObject(TLoadCursor& c, bool& ok);

// Loads each project file once and hands out its field (the batch program
// and the tests; the desktop program finds editor windows instead).
class TFileProjects : public TProjectSource {
 public:
  // Directories tried, in order, for a name that is not absolute.
  std::vector<std::string> SearchDirs;

  TField* OpenProject(const std::string& fileName) override;
  // Resolves a name the way OpenProject does ("" when no file exists).
  std::string Resolve(const std::string& fileName) const;

 private:
  std::map<std::string, std::unique_ptr<TField>> Loaded;
};

}  // namespace vemo
