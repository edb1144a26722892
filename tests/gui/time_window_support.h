// Shared by the tests of the time-domain windows: shipped examples and the
// bytes of files they save.
#pragma once
#include <QString>
#include <fstream>
#include <sstream>
#include <string>

namespace vemo::testing {

inline std::string ReadFile(const QString& name) {
  std::ifstream in(name.toStdString(), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::string Example(const char* name) {
  return std::string(VEMO_SOURCE_DIR) + "/examples/" + name;
}

}  // namespace vemo::testing
