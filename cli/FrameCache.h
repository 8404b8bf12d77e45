// The host's cache of the input and recent frames, as a compositor keeps one: copies in
// ordinary heap memory, bounded in bytes, least recently used out first. Evicted pictures are
// freed back to the heap, which is where the effect goes looking for memory to show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>

namespace kelvrix::cli {

class FrameCache {
 public:
  explicit FrameCache(size_t budgetBytes) : budgetBytes_(budgetBytes) {}

  // Stores a copy of `bytes` under `key` (replacing an entry of that key) and evicts the
  // oldest unpinned entries until the cache fits its budget again. A pinned entry (the
  // input) is never evicted.
  void Put(const std::string& key, const void* bytes, size_t size, bool pinned = false);
  // The entry's bytes, or null; a hit makes it the most recently used.
  const uint8_t* Find(const std::string& key, size_t* size = nullptr);

  size_t Bytes() const { return bytes_; }
  size_t Entries() const { return entries_.size(); }
  size_t Evictions() const { return evictions_; }

 private:
  struct Entry {
    std::string key;
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    bool pinned = false;
  };
  void Evict();

  size_t budgetBytes_;
  size_t bytes_ = 0;
  size_t evictions_ = 0;
  std::list<Entry> entries_;  // most recently used first
};

}  // namespace kelvrix::cli
