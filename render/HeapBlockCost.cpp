#include "render/HeapBlockCost.h"

#include <algorithm>
#include <cstdint>

namespace kelvrix {
namespace {

// Rounds up to a multiple of `unit` (a power of two), saturating.
size_t RoundUp(size_t bytes, size_t unit) {
  return bytes > SIZE_MAX - (unit - 1) ? SIZE_MAX : (bytes + unit - 1) & ~(unit - 1);
}
size_t Add(size_t a, size_t b) { return a > SIZE_MAX - b ? SIZE_MAX : a + b; }

constexpr size_t kKiB = 1024;
constexpr size_t kMiB = 1024 * kKiB;

}  // namespace

// 16-byte chunks with an 8-byte header, 32 bytes at least; a chunk past the mapping threshold
// (128 KiB to start with, raised as mapped chunks are freed) is mapped on its own, in whole pages
// with 8 more bytes.
size_t GlibcHeapBytesFor(size_t bytes) {
  constexpr size_t kMappedFrom = 128 * kKiB;
  const size_t chunk = std::max<size_t>(32, RoundUp(Add(bytes, 8), 16));
  return chunk < kMappedFrom ? chunk : RoundUp(Add(chunk, 8), 4 * kKiB);
}

// Measured under Wine (spacing of successive blocks): 16-byte granularity with an 8-byte header
// and 48 bytes at least; from about 1 MiB on, a block of its own mapped at 64 KiB granularity with
// a 64-byte header. Windows' own heap keeps a 16-byte header on 64-bit, and maps its own blocks
// from 1016 KiB on: charged the larger of the two.
size_t WindowsHeapBytesFor(size_t bytes) {
  constexpr size_t kOwnMappingFrom = 1016 * kKiB;
  if (bytes >= kOwnMappingFrom) return RoundUp(Add(bytes, 64), 64 * kKiB);
  return std::max<size_t>(48, RoundUp(bytes + 16, 16));
}

// libmalloc keeps no header beside a block; its size classes (libmalloc's thresholds.h) round it:
// tiny up to 1008 bytes in 16-byte quanta (one quantum at least, malloc(0) too), small up to
// 32 KiB in 512-byte quanta, medium up to 8 MiB in 32 KiB quanta on Macs with 32 GiB or more, and
// large blocks in whole pages (16 KiB on Apple silicon, 4 KiB on Intel). Where a Mac may use either
// class or page size, the larger is charged. The xzone allocator of newer Apple-silicon systems has
// classes of its own, not modelled here.
size_t LibmallocHeapBytesFor(size_t bytes) {
  if (bytes <= 1008) return RoundUp(std::max<size_t>(bytes, 1), 16);
  if (bytes <= 32 * kKiB) return RoundUp(bytes, 512);
  if (bytes <= 8 * kMiB) return RoundUp(bytes, 32 * kKiB);
  return RoundUp(bytes, 16 * kKiB);
}

}  // namespace kelvrix
