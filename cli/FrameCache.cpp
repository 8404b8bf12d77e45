#include "cli/FrameCache.h"

#include <cstring>

namespace kelvrix::cli {

void FrameCache::Put(const std::string& key, const void* bytes, size_t size, bool pinned) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->key == key) {
      bytes_ -= it->size;
      entries_.erase(it);
      break;
    }
  }
  Entry entry;
  entry.key = key;
  // Plain new: the copy must live on the process heap like any host buffer.
  entry.bytes.reset(new uint8_t[size == 0 ? 1 : size]);
  if (size != 0) std::memcpy(entry.bytes.get(), bytes, size);
  entry.size = size;
  entry.pinned = pinned;
  entries_.push_front(std::move(entry));
  bytes_ += size;
  Evict();
}

const uint8_t* FrameCache::Find(const std::string& key, size_t* size) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->key != key) continue;
    entries_.splice(entries_.begin(), entries_, it);
    if (size != nullptr) *size = it->size;
    return it->bytes.get();
  }
  return nullptr;
}

void FrameCache::Evict() {
  auto it = entries_.end();
  while (bytes_ > budgetBytes_ && it != entries_.begin()) {
    --it;
    if (it->pinned) continue;
    bytes_ -= it->size;
    ++evictions_;
    it = entries_.erase(it);
  }
}

}  // namespace kelvrix::cli
