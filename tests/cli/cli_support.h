// Running the built vemo-cli from the tests.
#pragma once
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace vemo::clitest {

struct TRun {
  int Status = -1;
  std::string Out;  // standard output; standard error is dropped
};

// Runs a shell command line: its exit status and standard output.
inline TRun Shell(const std::string& cmd) {
  TRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.Out.append(buf, n);
  const int st = pclose(p);
  r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

inline TRun Cli(const std::string& args) {
  return Shell(std::string(VEMO_CLI_PATH) + " " + args + " 2>/dev/null");
}

inline std::string Example(const char* name) {
  return std::string(VEMO_SOURCE_DIR) + "/examples/" + name;
}

inline std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The lines of a text (without their line ends).
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) v.push_back(line);
  return v;
}

}  // namespace vemo::clitest
