// Where the block search's memory comes from and goes back to.
#pragma once

#include <cstddef>

namespace kelvrix {

struct BlockSource {
  void* (*allocate)(size_t bytes);  // null: no memory; zero bytes still give a valid block
  void (*release)(void* block);     // takes null
};

// The heap the host process allocates from, whose leftovers are the effect's picture. On
// Windows that is the process heap itself (HeapAlloc on GetProcessHeap()): the msvcrt.dll
// that this build links may serve malloc from a private heap of its own, where the effect
// would only ever see its own leftovers. Elsewhere malloc.
const BlockSource& ProcessHeapBlocks();

// What the process heap holds for a block of `bytes`: the block rounded up to the heap's
// granularity with its header, at least the smallest block, or for a block the heap maps on its
// own, the whole pages (Windows: the 64 KiB reservation) it maps. Saturates at SIZE_MAX.
size_t HeapBytesFor(size_t bytes);

}  // namespace kelvrix
