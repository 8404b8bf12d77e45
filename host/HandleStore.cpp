#include "host/HandleStore.h"

#include <cstdlib>
#include <cstring>

namespace kelvrix::host {

HandleStore::~HandleStore() {
  for (auto& entry : blocks_) std::free(entry.second->pointer);
}

HandleStore::Block* HandleStore::Find(PF_Handle handle) const {
  auto it = blocks_.find(handle);
  return it == blocks_.end() ? nullptr : it->second.get();
}

PF_Handle HandleStore::New(A_HandleSize size) {
  auto block = std::make_unique<Block>();
  block->pointer = std::calloc(1, size == 0 ? 1 : static_cast<size_t>(size));
  if (block->pointer == nullptr) return nullptr;
  block->size = size;
  PF_Handle handle = &block->pointer;
  std::lock_guard<std::mutex> lock(mutex_);
  blocks_.emplace(handle, std::move(block));
  return handle;
}

void* HandleStore::Lock(PF_Handle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  Block* block = Find(handle);
  if (block == nullptr) return nullptr;
  ++block->locks;
  return block->pointer;
}

void HandleStore::Unlock(PF_Handle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  Block* block = Find(handle);
  if (block != nullptr && block->locks > 0) --block->locks;
}

void HandleStore::Dispose(PF_Handle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = blocks_.find(handle);
  if (it == blocks_.end()) return;
  std::free(it->second->pointer);
  blocks_.erase(it);
}

A_HandleSize HandleStore::Size(PF_Handle handle) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Block* block = Find(handle);
  return block == nullptr ? 0 : block->size;
}

PF_Err HandleStore::Resize(A_HandleSize size, PF_Handle* handle) {
  if (handle == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  std::lock_guard<std::mutex> lock(mutex_);
  Block* block = Find(*handle);
  if (block == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  void* grown = std::realloc(block->pointer, size == 0 ? 1 : static_cast<size_t>(size));
  if (grown == nullptr) return PF_Err_OUT_OF_MEMORY;
  if (size > block->size) {
    std::memset(static_cast<char*>(grown) + block->size, 0,
                static_cast<size_t>(size - block->size));
  }
  block->pointer = grown;
  block->size = size;
  return PF_Err_NONE;
}

bool HandleStore::Knows(PF_Handle handle) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return Find(handle) != nullptr;
}

int HandleStore::Locks(PF_Handle handle) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Block* block = Find(handle);
  return block == nullptr ? 0 : block->locks;
}

size_t HandleStore::Live() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return blocks_.size();
}

}  // namespace kelvrix::host
