// A small INI reader/writer that keeps section and key names verbatim
// ("LAFC/PFC", "lgw min", "W(s)"), in their order, with CR LF line ends.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace vemo {

class TIniFile {
 public:
  // Reads the file; a missing or unreadable file gives an empty one.
  void Load(const std::string& fileName);
  // Writes every section; false when the file cannot be written (the old
  // file then stays as it was).
  bool Save(const std::string& fileName) const;
  void Parse(const std::string& text);
  std::string Text() const;

  // Names are compared without regard to ASCII case, as INI files are.
  bool Has(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& def) const;
  int ReadInteger(const std::string& section, const std::string& key, int def) const;
  bool ReadBool(const std::string& section, const std::string& key, bool def) const;
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

 private:
  struct TSection {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Keys;
  };
  std::vector<TSection> Sections_;
};

}  // namespace vemo
