#include "render/BlockSource.h"

#include <algorithm>
#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cstdlib>
#endif

namespace kelvrix {
namespace {

#if defined(_WIN32)
void* HeapAllocate(size_t bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes); }
void HeapRelease(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}
#else
void* HeapAllocate(size_t bytes) { return std::malloc(bytes); }
void HeapRelease(void* block) { std::free(block); }
#endif

// Rounds up to a multiple of `unit` (a power of two), saturating.
size_t RoundUp(size_t bytes, size_t unit) {
  return bytes > SIZE_MAX - (unit - 1) ? SIZE_MAX : (bytes + unit - 1) & ~(unit - 1);
}
size_t Add(size_t a, size_t b) { return a > SIZE_MAX - b ? SIZE_MAX : a + b; }

}  // namespace

#if defined(_WIN32)
// Measured under Wine (HeapAlloc on the process heap, spacing of successive blocks): 16-byte
// granularity with an 8-byte header and 48 bytes at least; from about 1 MiB on, a block of its own
// mapped at 64 KiB granularity with a 64-byte header. Windows' own heap keeps a 16-byte header on
// 64-bit, and maps its own blocks from 1016 KiB on: charged the larger of the two.
size_t HeapBytesFor(size_t bytes) {
  constexpr size_t kOwnMappingFrom = 1016 * 1024;
  if (bytes >= kOwnMappingFrom) return RoundUp(Add(bytes, 64), 64 * 1024);
  return std::max<size_t>(48, RoundUp(bytes + 16, 16));
}
#else
// glibc's malloc on 64-bit: chunks of 16-byte granularity with an 8-byte header, 32 bytes at
// least; a chunk past the mapping threshold (128 KiB to start with, raised as mapped chunks are
// freed) is mapped on its own, in whole pages with 8 more bytes.
size_t HeapBytesFor(size_t bytes) {
  constexpr size_t kMappedFrom = 128 * 1024;
  const size_t chunk = std::max<size_t>(32, RoundUp(Add(bytes, 8), 16));
  return chunk < kMappedFrom ? chunk : RoundUp(Add(chunk, 8), 4096);
}
#endif

const BlockSource& ProcessHeapBlocks() {
  static const BlockSource source{HeapAllocate, HeapRelease};
  return source;
}

}  // namespace kelvrix
