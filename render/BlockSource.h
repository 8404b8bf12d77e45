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

// What the process heap holds for a block of `bytes` (see HeapBlockCost.h): this platform's heap.
size_t HeapBytesFor(size_t bytes);

}  // namespace kelvrix
