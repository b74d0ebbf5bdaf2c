#include "contour/point_array.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

#include "image/buffer.h"

namespace vx {
namespace {

constexpr std::size_t kChunkBytes = std::size_t{8} << 20;
constexpr std::size_t kHeaderBytes = 16;

// A chunk starts with its reference count: one for each array cut from it
// that is still live, plus one while it is a thread's current chunk. Arrays
// may be released by any thread; whoever drops the last reference gives the
// chunk back.
struct Chunk {
  std::atomic<std::int64_t> refs;
};

struct Header {
  Chunk* chunk;  // null: a block of its own from the picture allocator
  std::uint64_t unused;
};
static_assert(sizeof(Header) == kHeaderBytes);

Header* HeaderOf(C_POINT* points) {
  return reinterpret_cast<Header*>(reinterpret_cast<unsigned char*>(points) - kHeaderBytes);
}

C_POINT* PointsAfter(void* header) {
  return reinterpret_cast<C_POINT*>(static_cast<unsigned char*>(header) + kHeaderBytes);
}

void Release(Chunk* chunk) {
  if (chunk->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    chunk->~Chunk();
    FreeBytes(reinterpret_cast<unsigned char*>(chunk));
  }
}

// The chunk this thread cuts arrays from; released when the thread ends.
struct Current {
  Chunk* chunk = nullptr;
  std::size_t next = 0;  // offset of the next free byte in the chunk
  ~Current() {
    if (chunk != nullptr) Release(chunk);
  }
};

thread_local Current t_current;

// Bytes of a chunk array of count points, header included, in whole 16 bytes
// so that every header stays aligned.
std::size_t ChunkedSize(std::size_t count) { return (kHeaderBytes + count * sizeof(C_POINT) + 15) / 16 * 16; }

C_POINT* CutFromChunk(std::size_t count) {
  const std::size_t bytes = ChunkedSize(count);
  Current& current = t_current;
  if (current.chunk == nullptr || current.next + bytes > kChunkBytes) {
    unsigned char* block = TryAllocBytes(kChunkBytes);
    if (block == nullptr) throw std::bad_alloc();
    if (current.chunk != nullptr) Release(current.chunk);
    current.chunk = new (block) Chunk{1};
    current.next = 16;  // the count's own slot
  }
  unsigned char* at = reinterpret_cast<unsigned char*>(current.chunk) + current.next;
  current.next += bytes;
  current.chunk->refs.fetch_add(1, std::memory_order_relaxed);
  Header* header = new (at) Header{current.chunk, 0};
  return PointsAfter(header);
}

}  // namespace

C_POINT* AllocPointsBlock(std::size_t count) {
  if (count > (SIZE_MAX - kHeaderBytes) / sizeof(C_POINT)) throw std::bad_alloc();
  unsigned char* block = TryAllocBytes(kHeaderBytes + (count ? count : 1) * sizeof(C_POINT));
  if (block == nullptr) throw std::bad_alloc();
  return PointsAfter(new (block) Header{nullptr, 0});
}

C_POINT* AllocPoints(std::size_t count) {
  if (count * sizeof(C_POINT) >= kChunkedBytes) return AllocPointsBlock(count);
  return CutFromChunk(count ? count : 1);
}

C_POINT* GrowPoints(C_POINT* points, std::size_t kept, std::size_t count) {
  C_POINT* grown = AllocPointsBlock(count);
  if (kept) std::memcpy(grown, points, kept * sizeof(C_POINT));
  FreePoints(points);
  return grown;
}

C_POINT* DuplicatePoints(const C_POINT* points, std::size_t count) {
  C_POINT* copy = AllocPoints(count);
  if (count) std::memcpy(copy, points, count * sizeof(C_POINT));
  return copy;
}

void FreePoints(C_POINT* points) {
  if (points == nullptr) return;
  Header* header = HeaderOf(points);
  if (header->chunk == nullptr) {
    FreeBytes(reinterpret_cast<unsigned char*>(header));
  } else {
    Release(header->chunk);
  }
}

}  // namespace vx
