#include "fuzzy/fuzzy_file.h"

#include <cstdio>
#include <cstring>

#include "shell/file_read.h"
#include "shell/file_replace.h"
#include "shell/numtext.h"

namespace vemo {

namespace {

constexpr size_t kNameWidth = kFuzzyNameChars;  // a length byte and 12 characters

void PutItems(TMemCursor& c, const TFuzzyModel& m) {
  c.Put(kFuzzyFileHeader, kFuzzyHeaderSize);
  c.U8(m.Method);
  SaveTerms(c, m.Terms, kNameWidth);
  SaveRuleItems(c, m.Rules);
  SaveVariables(c, m.Variables, kNameWidth);
}

}  // namespace

std::vector<uint8_t> ModelFileImage(const TFuzzyModel& m) {
  TMemCursor measure = TMemCursor::Measuring();
  PutItems(measure, m);
  std::vector<uint8_t> bytes(measure.Pos);
  TMemCursor write = TMemCursor::Writing(bytes);
  PutItems(write, m);
  return bytes;
}

bool ParseModelFile(const uint8_t* data, size_t size, TFuzzyModel& m) {
  m.Clear();
  if (size < kFuzzyHeaderSize || std::memcmp(data, kFuzzyFileHeader, kFuzzyHeaderSize) != 0)
    return false;
  TLoadCursor c(data + kFuzzyHeaderSize, size - kFuzzyHeaderSize);
  m.Method = c.U8();
  if (m.Method > kMaxMin) c.Ok = false;
  if (LoadTerms(c, m.Terms, kNameWidth) && LoadRuleItems(c, m.Rules))
    LoadVariables(c, m.Variables, kNameWidth);
  if (!c.Ok) {
    m.Clear();
    return false;
  }
  return true;
}

bool SaveModelFile(const TFuzzyModel& m, const std::string& path) {
  const std::vector<uint8_t> bytes = ModelFileImage(m);
  return ReplaceFileContents(path, bytes.data(), bytes.size());
}

std::string ShapeText(const TFuzzyShape& s) {
  std::string text;
  for (const TShapePoint& p : s.Points) text += FormatReal23(p.X) + " " + FormatReal23(p.Y) + " ";
  return text;
}

bool ParseShapeText(std::string_view text, TFuzzyShape& s) {
  s.Points.clear();
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  double pair[2];
  int have = 0;
  for (size_t i = 0; i < text.size();) {
    while (i < text.size() && blank(text[i])) ++i;
    size_t j = i;
    while (j < text.size() && !blank(text[j])) ++j;
    if (j == i) break;
    if (!ParseNumber(text.substr(i, j - i), pair[have])) return false;
    if (++have == 2) {
      s.Points.push_back({pair[0], pair[1]});
      have = 0;
    }
    i = j;
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  return ReadRegularFile(path, kMaxDataFileBytes, bytes) == TFileRead::Ok;
}

bool LoadModelFile(TFuzzyModel& m, const std::string& path) {
  m.Clear();
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  return ParseModelFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), m);
}

}  // namespace vemo
