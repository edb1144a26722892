// The fuzzy model file (".fz"): a text header line, the method, then the
// terms, the rule items and the variables, each list ended by a 0 byte.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzzy/fuzzy_model.h"

namespace vemo {

inline constexpr char kFuzzyFileHeader[] = "Fuzzy model file. Version 1.0\r\n";
inline constexpr size_t kFuzzyHeaderSize = sizeof kFuzzyFileHeader - 1;  // 31

// The bytes of the file for a model (variable values are not stored).
std::vector<uint8_t> ModelFileImage(const TFuzzyModel& m);
// Empties the model, then reads a file image. A wrong header, a damaged or
// short list leave the model empty and return false.
bool ParseModelFile(const uint8_t* data, size_t size, TFuzzyModel& m);

// Writes through a temporary file beside the target; false on any failure
// (the old file is kept).
bool SaveModelFile(const TFuzzyModel& m, const std::string& path);
// False when the file cannot be read or is not a model file (model empty).
bool LoadModelFile(TFuzzyModel& m, const std::string& path);

// The single membership function file: X and Y of each point, each in the
// 23-character real format followed by one blank, all on one line without a
// line end.
std::string ShapeText(const TFuzzyShape& s);
// Reads number pairs up to the end of the text (blanks, tabs and line ends
// between them). False at a word that is not a number; the points before it
// are kept. A lone last number is ignored.
bool ParseShapeText(std::string_view text, TFuzzyShape& s);

// The whole of a file, or false when it cannot be read, is no regular file
// or is longer than kMaxDataFileBytes.
bool ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace vemo
