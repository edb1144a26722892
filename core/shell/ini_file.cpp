#include "shell/ini_file.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "shell/file_read.h"
#include "shell/file_replace.h"

namespace vemo {

namespace {

// A settings file is a few kilobytes; anything far larger is not one.
constexpr size_t kMaxIniBytes = 4u << 20;
constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view Trim(std::string_view s) {
  const size_t b = s.find_first_not_of(kBlanks);
  if (b == std::string_view::npos) return {};
  const size_t e = s.find_last_not_of(kBlanks);
  return s.substr(b, e - b + 1);
}

char Lower(char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; }

std::string LowerCopy(std::string_view s) {
  std::string r(s);
  for (char& ch : r) ch = Lower(ch);
  return r;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// Text fit for one line of the file: line breaks become blanks, and blanks
// around it go (the reader drops them too).
std::string OneLine(std::string_view s) {
  std::string r(s);
  for (char& ch : r)
    if (ch == '\r' || ch == '\n') ch = ' ';
  return std::string(Trim(r));
}

// A key the reader would read back as written.
bool WritableKey(std::string_view key) {
  return !key.empty() && key.find('=') == std::string_view::npos && key[0] != ';' &&
         key[0] != '#' && key[0] != '[';
}

}  // namespace

void TIniFile::Parse(const std::string& text) {
  Sections_.clear();
  std::string_view rest(text);
  if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);  // a byte-order mark

  std::unordered_map<std::string, size_t> sectionIndex;
  std::vector<std::unordered_set<std::string>> keysSeen;
  size_t current = SIZE_MAX;
  while (!rest.empty()) {
    // CR LF, LF and a lone CR all end a line.
    const size_t eol = rest.find_first_of("\r\n");
    std::string_view line = Trim(rest.substr(0, eol));
    rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      const size_t close = line.find(']');
      if (close == std::string_view::npos) continue;  // not a section header
      const std::string_view name = Trim(line.substr(1, close - 1));
      auto [it, added] = sectionIndex.emplace(LowerCopy(name), Sections_.size());
      if (added) {
        Sections_.push_back(TSection{std::string(name), {}});
        keysSeen.emplace_back();
      }
      current = it->second;
      continue;
    }
    const size_t eq = line.find('=');
    if (current == SIZE_MAX || eq == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    if (key.empty()) continue;
    // The first of repeated keys counts, as in the system's own reader.
    if (!keysSeen[current].insert(LowerCopy(key)).second) continue;
    Sections_[current].Keys.emplace_back(std::string(key), std::string(Trim(line.substr(eq + 1))));
  }
}

std::string TIniFile::Text() const {
  std::string out;
  for (size_t i = 0; i < Sections_.size(); ++i) {
    if (i) out += "\r\n";
    out += '[';
    out += Sections_[i].Name;
    out += "]\r\n";
    for (const auto& [key, value] : Sections_[i].Keys) {
      out += key;
      out += '=';
      out += value;
      out += "\r\n";
    }
  }
  return out;
}

void TIniFile::Load(const std::string& fileName) {
  Sections_.clear();
  std::vector<uint8_t> bytes;
  if (ReadRegularFile(fileName, kMaxIniBytes, bytes) == TFileRead::Ok)
    Parse(std::string(bytes.begin(), bytes.end()));
}

bool TIniFile::Save(const std::string& fileName) const {
  const std::string text = Text();
  std::error_code ec;
  const std::filesystem::path parent = std::filesystem::path(fileName).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);
  return ReplaceFileContents(fileName, text.data(), text.size());
}

bool TIniFile::Has(const std::string& section, const std::string& key) const {
  for (const TSection& s : Sections_) {
    if (!SameName(s.Name, section)) continue;
    for (const auto& kv : s.Keys)
      if (SameName(kv.first, key)) return true;
    return false;
  }
  return false;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
  for (const TSection& s : Sections_) {
    if (!SameName(s.Name, section)) continue;
    for (const auto& kv : s.Keys)
      if (SameName(kv.first, key)) return kv.second;
    return def;
  }
  return def;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
  if (!Has(section, key)) return def;
  const std::string text = ReadString(section, key, "");
  std::string_view t = Trim(text);
  if (!t.empty() && t[0] == '+') t.remove_prefix(1);
  int v = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (t.empty() || r.ec != std::errc() || r.ptr != t.data() + t.size()) return def;
  return v;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  const std::string sec = OneLine(section);
  const std::string k = OneLine(key);
  if (sec.find(']') != std::string::npos || !WritableKey(k)) return;
  TSection* target = nullptr;
  for (TSection& s : Sections_)
    if (SameName(s.Name, sec)) { target = &s; break; }
  if (!target) {
    Sections_.push_back(TSection{sec, {}});
    target = &Sections_.back();
  }
  for (auto& kv : target->Keys) {
    if (SameName(kv.first, k)) {
      kv.second = OneLine(value);
      return;
    }
  }
  target->Keys.emplace_back(k, OneLine(value));
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

}  // namespace vemo
