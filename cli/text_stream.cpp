#include "text_stream.h"

#include <iostream>

namespace vemo::cli {

namespace {
constexpr size_t kBlock = 1 << 20;
}

TTextStream::TTextStream(const std::string& path) : Path_(path), Buffer_(kBlock) {
  Used_ = Buffer_.data();
  End_ = Used_ + Buffer_.size();
  if (path.empty()) {
    File_ = stdout;
    return;
  }
  Crlf_ = true;
  Temp_ = path + ".part";
  File_ = std::fopen(Temp_.c_str(), "wb");
  Failed_ = File_ == nullptr;
}

TTextStream::~TTextStream() {
  // An unfinished file (a run that ended early) is not left half-written.
  if (!Temp_.empty() && !Finished_) {
    if (File_) std::fclose(File_);
    std::remove(Temp_.c_str());
  }
}

void TTextStream::Flush() {
  const size_t n = static_cast<size_t>(Used_ - Buffer_.data());
  if (File_ && !Failed_ && n > 0 && std::fwrite(Buffer_.data(), 1, n, File_) != n) Failed_ = true;
  Used_ = Buffer_.data();
}

bool TTextStream::Finish() {
  Flush();
  Finished_ = true;
  bool ok = !Failed_;
  if (Temp_.empty()) {
    ok = std::fflush(stdout) == 0 && ok;
  } else {
    if (File_) ok = std::fclose(File_) == 0 && ok;
    File_ = nullptr;
    ok = ok && std::rename(Temp_.c_str(), Path_.c_str()) == 0;
    if (!ok) std::remove(Temp_.c_str());
  }
  if (!ok) std::cerr << kWriteError << "\n";
  return ok;
}

}  // namespace vemo::cli
