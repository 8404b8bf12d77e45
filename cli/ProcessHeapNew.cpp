// On Windows, kelvrix-render allocates the way a host application built with Microsoft's
// current C runtime does: every new and delete of the program (worlds, the input picture,
// the frame cache, working pictures) goes to the process heap, where that runtime's malloc
// lives. The runtime this build links, msvcrt.dll, may keep a heap of its own, and then the
// effect, which searches the process heap, would never meet the host's pictures.
#include <windows.h>

#include <new>

namespace {

void* ProcessHeapAllocate(std::size_t bytes) noexcept {
  return HeapAlloc(GetProcessHeap(), 0, bytes == 0 ? 1 : bytes);
}

void* AllocateOrThrow(std::size_t bytes) {
  for (;;) {
    if (void* block = ProcessHeapAllocate(bytes)) return block;
    std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}

void Release(void* block) noexcept {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace

void* operator new(std::size_t bytes) { return AllocateOrThrow(bytes); }
void* operator new[](std::size_t bytes) { return AllocateOrThrow(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
  return ProcessHeapAllocate(bytes);
}
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
  return ProcessHeapAllocate(bytes);
}
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
