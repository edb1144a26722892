#include "shell/file_replace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace vemo {

bool ReplaceFileContents(const std::string& fileName, const void* data, size_t size) {
  std::vector<char> name(fileName.begin(), fileName.end());
  const char suffix[] = ".XXXXXX";
  name.insert(name.end(), suffix, suffix + sizeof suffix);  // with the terminating zero
  const int fd = mkstemp(name.data());
  if (fd < 0) return false;
  const std::string temp = name.data();
  const auto* bytes = static_cast<const unsigned char*>(data);
  bool ok = true;
  size_t done = 0;
  while (ok && done < size) {
    const ssize_t n = write(fd, bytes + done, size - done);
    if (n <= 0) ok = false;
    else done += static_cast<size_t>(n);
  }
  if (ok && fsync(fd) != 0) ok = false;
  if (close(fd) != 0) ok = false;
  // mkstemp makes the file readable by its owner only; the result gets the
  // usual permissions of a new file.
  if (ok) {
    const mode_t mask = umask(0);
    umask(mask);
    chmod(temp.c_str(), 0666 & ~mask);
  }
  if (ok && std::rename(temp.c_str(), fileName.c_str()) != 0) ok = false;
  if (!ok) std::remove(temp.c_str());
  return ok;
}

}  // namespace vemo
