#include "render/BlockSource.h"

#include "render/HeapBlockCost.h"

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

}  // namespace

size_t HeapBytesFor(size_t bytes) {
#if defined(_WIN32)
  return WindowsHeapBytesFor(bytes);
#elif defined(__APPLE__)
  return LibmallocHeapBytesFor(bytes);
#else
  return GlibcHeapBytesFor(bytes);
#endif
}

const BlockSource& ProcessHeapBlocks() {
  static const BlockSource source{HeapAllocate, HeapRelease};
  return source;
}

}  // namespace kelvrix
