// Reading a whole file into memory without trusting what the name stands
// for: only a regular file is read (a device, a pipe or a directory could
// feed bytes without end or block forever), and never more than a limit.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vemo {

enum class TFileRead { Ok, CannotOpen, NotRegularFile, TooLarge, Failed };

// Reads the file into `out` when it is a regular file of at most maxBytes.
// On any other result `out` is empty.
TFileRead ReadRegularFile(const std::string& fileName, size_t maxBytes, std::vector<uint8_t>& out);

}  // namespace vemo
