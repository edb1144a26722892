#include "fuzzy/fuzzy_file.h"

#include <cstdio>
#include <cstring>

#include "shell/file_replace.h"
#include "shell/numtext.h"

namespace vemo {

namespace {

constexpr size_t kNameWidth = kFuzzyNameChars;  // a length byte and 12 characters

// Bytes of the smallest term, rule item and variable records (with their
// leading 1): a count never passes the bytes that remain.
constexpr size_t kMinTerm = 1 + 1 + kNameWidth + 4 + 4;
constexpr size_t kRuleRecord = 1 + 6;
constexpr size_t kMinVariable = 1 + 1 + kNameWidth;

void PutItems(TMemCursor& c, const TFuzzyModel& m) {
  c.Put(kFuzzyFileHeader, kFuzzyHeaderSize);
  c.U8(m.Method);
  for (const TFuzzyTerm& t : m.Terms) {
    c.U8(1);
    c.ShortString(t.Name, kNameWidth);
    SaveShape(c, t.Shape);
    c.U32(t.VarIndex);
  }
  c.U8(0);
  for (const TRuleItem& r : m.Rules) {
    c.U8(1);
    c.U16(r.VarIndex);
    c.U16(r.TermIndex);
    c.U16(r.Flags);
  }
  c.U8(0);
  for (const TFuzzyVar& v : m.Variables) {
    c.U8(1);
    c.ShortString(v.Name, kNameWidth);
  }
  c.U8(0);
}

// Whether another record follows (its leading byte is not 0) and at least
// `bytes` remain for it.
bool More(TLoadCursor& c, size_t bytes) {
  if (c.U8() == 0 || !c.Ok) return false;
  if (c.Left() + 1 < bytes) c.Ok = false;
  return c.Ok;
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
  while (c.Ok && More(c, kMinTerm)) {
    TFuzzyTerm t;
    t.Name = c.ShortString(kNameWidth);
    LoadShape(c, t.Shape);
    t.VarIndex = c.U32();
    if (c.Ok) m.Terms.push_back(std::move(t));
  }
  while (c.Ok && More(c, kRuleRecord)) {
    TRuleItem r;
    r.VarIndex = c.U16();
    r.TermIndex = c.U16();
    r.Flags = c.U16();
    m.Rules.push_back(r);
  }
  while (c.Ok && More(c, kMinVariable)) {
    std::string name = c.ShortString(kNameWidth);
    if (c.Ok) m.Variables.push_back({std::move(name), 0.0});
  }
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
  bytes.clear();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool LoadModelFile(TFuzzyModel& m, const std::string& path) {
  m.Clear();
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  return ParseModelFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), m);
}

}  // namespace vemo
