// Writing a whole file so that a failed write never destroys the old one:
// the bytes go to a temporary file beside the target, which is renamed over
// the target only when every byte is on the disk. The new file keeps the
// old one's mode, owner and group, and a symbolic link is kept: the file it
// points to is replaced.
#pragma once
#include <cstddef>
#include <string>

namespace vemo {

// False when any step fails; the target then stays as it was.
bool ReplaceFileContents(const std::string& fileName, const void* data, size_t size);

}  // namespace vemo
