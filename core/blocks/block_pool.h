// Storage of blocks: blocks come from pages of their own, apart from the
// wire cells and comments of the grid, so that the blocks of a run lie close
// together in memory, in the order they were created, and the step loop
// touches as few cache lines as possible.
#pragma once
#include <cstddef>

namespace vemo {

void* AllocateBlockStorage(std::size_t size);
void ReleaseBlockStorage(void* p, std::size_t size) noexcept;

}  // namespace vemo
