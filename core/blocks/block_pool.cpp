#include "blocks/block_pool.h"

#include <array>
#include <memory>
#include <new>
#include <vector>

namespace vemo {

namespace {

// Under AddressSanitizer every block gets storage of its own, so that the
// sanitizer sees each block's lifetime.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif
#else
constexpr bool kPooled = true;
#endif

constexpr std::size_t kGrain = 16;
constexpr std::size_t kLargest = 1024;
constexpr std::size_t kPageSize = 64 * 1024;

// Size classes of kGrain bytes, each with a free list threaded through the
// released blocks; new storage is cut from the current page. The program is
// single-threaded, as is every run.
struct TPool {
  std::array<void*, kLargest / kGrain + 1> Free{};
  std::vector<std::unique_ptr<std::byte[]>> Pages;
  std::byte* Next = nullptr;
  std::size_t Left = 0;

  void* Take(std::size_t cls) {
    if (void* p = Free[cls]) {
      Free[cls] = *static_cast<void**>(p);
      return p;
    }
    const std::size_t bytes = cls * kGrain;
    if (Left < bytes) {
      Pages.push_back(std::make_unique<std::byte[]>(kPageSize));
      Next = Pages.back().get();
      Left = kPageSize;
    }
    void* p = Next;
    Next += bytes;
    Left -= bytes;
    return p;
  }
  void Give(void* p, std::size_t cls) {
    *static_cast<void**>(p) = Free[cls];
    Free[cls] = p;
  }
};

TPool& Pool() {
  // Never destroyed: program-wide blocks (the zero source) may be released
  // during static destruction.
  static TPool* pool = new TPool;
  return *pool;
}

std::size_t SizeClass(std::size_t size) { return (size + kGrain - 1) / kGrain; }

}  // namespace

void* AllocateBlockStorage(std::size_t size) {
  if (!kPooled || size > kLargest) return ::operator new(size);
  return Pool().Take(SizeClass(size));
}

void ReleaseBlockStorage(void* p, std::size_t size) noexcept {
  if (!p) return;
  if (!kPooled || size > kLargest) {
    ::operator delete(p);
    return;
  }
  Pool().Give(p, SizeClass(size));
}

}  // namespace vemo
