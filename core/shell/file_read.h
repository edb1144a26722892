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
TFileRead ReadRegularFile(const std::string& fileName, size_t maxBytes, std::string& out);

// The longest model, network or rule text read from a file of its own: as
// much as a project holds for all its records that grow with their content.
inline constexpr size_t kMaxDataFileBytes = size_t{64} << 20;

}  // namespace vemo
