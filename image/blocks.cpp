#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "image/buffer.h"

namespace vx {
namespace {

// Blocks from 2 MiB up are picture-sized. They are aligned to 2 MiB and
// rounded up to whole 2 MiB units, and the system is asked to back them with
// huge pages: a picture is written once right after it is allocated, and on
// virtual machines the first touch of every 4 KiB page can cost microseconds,
// which made filling a fresh 12-megapixel picture cost more than decoding it.
// Where huge pages are off the advice is ignored and nothing else changes.
constexpr std::size_t kLargeBlock = std::size_t{2} << 20;

// A few released picture-sized blocks are kept for the next requests, as the
// C library's heap keeps smaller ones. A picture taken from the system comes
// as pages the kernel must clear first (1 ms for 12 MB here, a quarter of
// the gray conversion); a pipeline that releases one picture and asks for
// the next of the same size gets the pages back at no cost. At most
// kKeptBlocks blocks and kKeptBytes bytes are kept, so the memory held after
// the last release is bounded; a larger block goes straight back.
constexpr int kKeptBlocks = 3;
constexpr std::size_t kKeptBytes = std::size_t{64} << 20;

struct KeptBlock {
  unsigned char* block = nullptr;
  std::size_t bytes = 0;  // usable bytes of the block
};

struct Kept {
  std::mutex mutex;
  KeptBlock slots[kKeptBlocks];  // slot 0 released most recently
  std::size_t bytes = 0;         // sum of the slots' bytes
};

Kept& KeptBlocks() {
  static Kept* kept = new Kept;  // never destroyed: blocks may be released during exit
  return *kept;
}

// A kept block of at least `bytes` and at most twice that (a small request
// does not pin a large block), or null.
unsigned char* TakeKept(std::size_t bytes) {
  Kept& kept = KeptBlocks();
  const std::lock_guard<std::mutex> lock(kept.mutex);
  for (int i = 0; i < kKeptBlocks; ++i) {
    KeptBlock& slot = kept.slots[i];
    if (slot.block == nullptr || slot.bytes < bytes || slot.bytes / 2 > bytes) continue;
    unsigned char* block = slot.block;
    kept.bytes -= slot.bytes;
    for (int j = i; j + 1 < kKeptBlocks; ++j) kept.slots[j] = kept.slots[j + 1];
    kept.slots[kKeptBlocks - 1] = KeptBlock{};
    return block;
  }
  return nullptr;
}

// Keeps a released block; returns the block (it or an older one) that must
// go back to the system, or null.
unsigned char* Keep(unsigned char* block, std::size_t bytes) {
  if (bytes > kKeptBytes) return block;
  Kept& kept = KeptBlocks();
  const std::lock_guard<std::mutex> lock(kept.mutex);
  // The oldest blocks make room for the new one.
  unsigned char* out = nullptr;
  int used = 0;
  while (used < kKeptBlocks && kept.slots[used].block != nullptr) ++used;
  while (used > 0 && (used == kKeptBlocks || kept.bytes + bytes > kKeptBytes)) {
    KeptBlock& oldest = kept.slots[--used];
    if (out != nullptr) std::free(out);
    out = oldest.block;
    kept.bytes -= oldest.bytes;
    oldest = KeptBlock{};
  }
  for (int j = used; j > 0; --j) kept.slots[j] = kept.slots[j - 1];
  kept.slots[0] = KeptBlock{block, bytes};
  kept.bytes += bytes;
  return out;
}

}  // namespace

unsigned char* TryAllocBytes(std::size_t n) {
  if (n < kLargeBlock) return static_cast<unsigned char*>(std::malloc(n == 0 ? 1 : n));
  if (n > SIZE_MAX - kLargeBlock) return nullptr;
  const std::size_t rounded = (n + kLargeBlock - 1) / kLargeBlock * kLargeBlock;
  if (unsigned char* kept = TakeKept(rounded)) return kept;
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

void ReleaseKeptBlocks() {
  Kept& kept = KeptBlocks();
  KeptBlock out[kKeptBlocks];
  {
    const std::lock_guard<std::mutex> lock(kept.mutex);
    for (int i = 0; i < kKeptBlocks; ++i) {
      out[i] = kept.slots[i];
      kept.slots[i] = KeptBlock{};
    }
    kept.bytes = 0;
  }
  for (const KeptBlock& block : out) std::free(block.block);
}

// Picture-sized blocks are known by their 2 MiB alignment and size; a small
// block that happens to pass both is kept all the same (it is a valid block
// of that many usable bytes).
void FreeBytes(unsigned char* block) {
  if (block != nullptr && reinterpret_cast<std::uintptr_t>(block) % kLargeBlock == 0) {
    const std::size_t bytes = malloc_usable_size(block);
    if (bytes >= kLargeBlock) block = Keep(block, bytes);
  }
  std::free(block);
}

}  // namespace vx
