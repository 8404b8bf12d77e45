// What each process heap the effect runs on holds for one block: the block rounded up to the
// heap's granularity, with its header, at least the smallest block, or for a block the heap maps
// on its own, the whole pages it maps. All saturate at SIZE_MAX. The search charges its budget
// these figures, so the budget bounds what the heap really holds.
#pragma once

#include <cstddef>

namespace kelvrix {

size_t GlibcHeapBytesFor(size_t bytes);      // Linux
size_t WindowsHeapBytesFor(size_t bytes);    // HeapAlloc on the process heap
size_t LibmallocHeapBytesFor(size_t bytes);  // macOS

}  // namespace kelvrix
