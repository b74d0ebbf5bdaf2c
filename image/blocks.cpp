#include "image/buffer.h"

#include <sys/mman.h>

#include <cstdlib>

namespace vx {
namespace {

// Blocks from 2 MiB up are picture-sized. They are aligned to 2 MiB and
// rounded up to whole 2 MiB units, and the system is asked to back them with
// huge pages: a picture is written once right after it is allocated, and on
// virtual machines the first touch of every 4 KiB page can cost microseconds,
// which made filling a fresh 12-megapixel picture cost more than decoding it.
// Where huge pages are off the advice is ignored and nothing else changes.
constexpr std::size_t kLargeBlock = std::size_t{2} << 20;

}  // namespace

unsigned char* TryAllocBytes(std::size_t n) {
  if (n < kLargeBlock) return static_cast<unsigned char*>(std::malloc(n == 0 ? 1 : n));
  if (n > SIZE_MAX - kLargeBlock) return nullptr;
  const std::size_t rounded = (n + kLargeBlock - 1) / kLargeBlock * kLargeBlock;
  void* block = std::aligned_alloc(kLargeBlock, rounded);
#ifdef MADV_HUGEPAGE
  if (block != nullptr) ::madvise(block, rounded, MADV_HUGEPAGE);
#endif
  return static_cast<unsigned char*>(block);
}

unsigned char* AllocBytes(std::size_t n) {
  unsigned char* block = TryAllocBytes(n);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void FreeBytes(unsigned char* block) { std::free(block); }

}  // namespace vx
