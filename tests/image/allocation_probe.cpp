#include "allocation_probe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Every block carries its size in a header of 16 bytes, which keeps the
// alignment operator new promises.
constexpr std::size_t kHeader = 16;

std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};
std::atomic<std::size_t> base{0};
std::atomic<std::size_t> largest{0};

void RaiseTo(std::atomic<std::size_t>& value, std::size_t candidate) {
  std::size_t seen = value.load();
  while (candidate > seen && !value.compare_exchange_weak(seen, candidate)) {
  }
}

void* Take(std::size_t n) noexcept {
  auto* block = static_cast<unsigned char*>(std::malloc(n + kHeader));
  if (block == nullptr) return nullptr;
  *reinterpret_cast<std::size_t*>(block) = n;
  RaiseTo(peak, live.fetch_add(n) + n);
  RaiseTo(largest, n);
  return block + kHeader;
}

void Give(void* p) noexcept {
  if (p == nullptr) return;
  auto* block = static_cast<unsigned char*>(p) - kHeader;
  live.fetch_sub(*reinterpret_cast<std::size_t*>(block));
  std::free(block);
}

void* TakeOrThrow(std::size_t n) {
  void* p = Take(n);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

namespace vxtest {

void AllocationProbe::Reset() {
  base = live.load();
  peak = live.load();
  largest = 0;
}

std::size_t AllocationProbe::Largest() { return largest; }

std::size_t AllocationProbe::PeakGrowth() { return peak - base; }

}  // namespace vxtest

void* operator new(std::size_t n) { return TakeOrThrow(n); }
void* operator new[](std::size_t n) { return TakeOrThrow(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Take(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Take(n); }
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, std::size_t) noexcept { Give(p); }
void operator delete[](void* p, std::size_t) noexcept { Give(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Give(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Give(p); }
