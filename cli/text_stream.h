// Text written as a run produces it: lines gather in a large buffer that is
// written a block at a time, so a long run's text never has to fit in
// memory. Standard output gets "\n" line ends; a file gets CR LF and is
// written beside its target, renamed over it only when complete.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "shell/numtext.h"

namespace vemo::cli {

class TTextStream {
 public:
  // An empty path writes to standard output.
  explicit TTextStream(const std::string& path);
  ~TTextStream();
  TTextStream(const TTextStream&) = delete;
  TTextStream& operator=(const TTextStream&) = delete;

  // False when the file could not be created.
  bool Ok() const { return !Failed_; }
  // One real in the 23-character form; a blank; the end of a line.
  void Real(double v) {
    Room(kReal23Width);
    Used_ = WriteReal23(Used_, v);
  }
  void Blank() {
    Room(1);
    *Used_++ = ' ';
  }
  void EndLine() {
    Room(2);
    if (Crlf_) *Used_++ = '\r';
    *Used_++ = '\n';
  }
  // Writes what is left and, for a file, puts it in place. False after
  // "Ошибка в записи файла!" when any write failed.
  bool Finish();

 private:
  void Room(size_t n) {
    if (static_cast<size_t>(End_ - Used_) < n) Flush();
  }
  void Flush();

  std::string Path_, Temp_;
  std::FILE* File_ = nullptr;
  bool Crlf_ = false;
  bool Failed_ = false;
  bool Finished_ = false;
  std::vector<char> Buffer_;
  char* Used_ = nullptr;
  char* End_ = nullptr;
};

}  // namespace vemo::cli
