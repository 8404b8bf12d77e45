#include <gtest/gtest.h>

#include <vector>

#include "cli/FrameCache.h"

using namespace kelvrix::cli;

namespace {

auto Counts(const FrameCache& cache) {
  return std::make_tuple(cache.Bytes(), cache.Entries(), cache.Evictions());
}

TEST(FrameCache, KeepsCopiesEvictsTheLeastRecentlyUsedToItsBudgetButNeverThePinned) {
  FrameCache cache(100);
  std::vector<uint8_t> bytes(40, 1);
  cache.Put("a", bytes.data(), 40);
  cache.Put("a", bytes.data(), 3);
  bytes[0] = 9;
  size_t size = 0;
  const uint8_t* found = cache.Find("a", &size);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(std::make_pair(size, found[0]), std::make_pair(size_t{3}, uint8_t{1}));
  EXPECT_EQ(Counts(cache), std::make_tuple(3u, 1u, 0u));
  FrameCache lru(30);
  const std::vector<uint8_t> ten(10, 7);
  for (const char* key : {"a", "b", "c"}) lru.Put(key, ten.data(), 10);
  lru.Find("a");  // a is now the most recent; b the oldest
  lru.Put("d", ten.data(), 10);
  for (const char* key : {"a", "b", "c", "d"}) EXPECT_EQ(lru.Find(key) == nullptr, *key == 'b');
  EXPECT_EQ(Counts(lru), std::make_tuple(30u, 3u, 1u));
  FrameCache pinning(15);
  pinning.Put("input", ten.data(), 10, true);
  pinning.Put("frame 0", ten.data(), 10);
  EXPECT_EQ(pinning.Find("frame 0"), nullptr);
  pinning.Put("input 2", ten.data(), 10, true);  // over budget, and both stay
  EXPECT_NE(pinning.Find("input"), nullptr);
  EXPECT_EQ(Counts(pinning), std::make_tuple(20u, 2u, 1u));
}

}  // namespace
