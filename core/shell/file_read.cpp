#include "shell/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vemo {

namespace {

template <class TBytes>
TFileRead ReadInto(const std::string& fileName, size_t maxBytes, TBytes& out) {
  out.clear();
  // Look before opening: opening some devices has effects of its own.
  struct stat st {};
  if (stat(fileName.c_str(), &st) != 0) return TFileRead::CannotOpen;
  if (!S_ISREG(st.st_mode)) return TFileRead::NotRegularFile;
  // Non-blocking, so that a name swapped for a pipe in between cannot hang
  // the open; the descriptor is checked again below.
  const int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return TFileRead::CannotOpen;
  TFileRead result = TFileRead::Ok;
  if (fstat(fd, &st) != 0) result = TFileRead::Failed;
  else if (!S_ISREG(st.st_mode)) result = TFileRead::NotRegularFile;
  else if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > maxBytes)
    result = TFileRead::TooLarge;
  if (result == TFileRead::Ok) {
    out.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    // The file may grow while it is read: read one byte past the limit at
    // most, to notice.
    for (;;) {
      if (done == out.size()) {
        if (out.size() > maxBytes) break;
        out.resize(std::min(maxBytes + 1, out.size() + 65536));
      }
      const ssize_t n = read(fd, out.data() + done, out.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        result = TFileRead::Failed;
        break;
      }
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    out.resize(done);
    if (result == TFileRead::Ok && done > maxBytes) result = TFileRead::TooLarge;
  }
  close(fd);
  if (result != TFileRead::Ok) TBytes().swap(out);
  return result;
}

}  // namespace

TFileRead ReadRegularFile(const std::string& fileName, size_t maxBytes, std::vector<uint8_t>& out) {
  return ReadInto(fileName, maxBytes, out);
}

TFileRead ReadRegularFile(const std::string& fileName, size_t maxBytes, std::string& out) {
  return ReadInto(fileName, maxBytes, out);
}

}  // namespace vemo
