#include "shell/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace vemo {

namespace {

// The file a name stands for when its last part is a symbolic link (also a
// chain of them): saving replaces that file and leaves the links alone. A
// link to nothing yet names the file to create.
std::string LinkTarget(const std::string& fileName) {
  std::string name = fileName;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st {};
    if (lstat(name.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return name;
    std::vector<char> buf(4096);
    const ssize_t n = readlink(name.c_str(), buf.data(), buf.size());
    if (n <= 0 || static_cast<size_t>(n) >= buf.size()) return name;
    std::string link(buf.data(), static_cast<size_t>(n));
    if (link[0] != '/') {
      const size_t slash = name.rfind('/');
      if (slash != std::string::npos) link = name.substr(0, slash + 1) + link;
    }
    name = link;
  }
  return name;
}

}  // namespace

bool ReplaceFileContents(const std::string& fileName, const void* data, size_t size) {
  const std::string target = LinkTarget(fileName);
  struct stat old {};
  const bool existed = stat(target.c_str(), &old) == 0;
  std::vector<char> name(target.begin(), target.end());
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
  if (ok) {
    // The new file takes the place of the old one with its owner, group and
    // mode (a private project stays private); the owner and group only
    // where the system lets this user give them. mkstemp made the file
    // readable by its owner only: a new file gets the usual permissions.
    mode_t mode;
    if (existed) {
      if (fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Not permitted: the group alone, when this user belongs to it.
        const int groupOnly = fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        (void)groupOnly;
      }
      mode = old.st_mode & 07777;
    } else {
      const mode_t mask = umask(0);
      umask(mask);
      mode = 0666 & ~mask;
    }
    if (fchmod(fd, mode) != 0) ok = false;
  }
  if (ok && fsync(fd) != 0) ok = false;
  if (close(fd) != 0) ok = false;
  if (ok && std::rename(temp.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) std::remove(temp.c_str());
  return ok;
}

}  // namespace vemo
