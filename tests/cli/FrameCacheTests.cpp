#include <gtest/gtest.h>

#include <vector>

#include "cli/FrameCache.h"

namespace kelvrix::cli {
namespace {

TEST(FrameCache, KeepsACopyAndCountsOnlyTheNewBytesOfAReplacedKey) {
  FrameCache cache(100);
  std::vector<uint8_t> bytes(40, 1);
  cache.Put("a", bytes.data(), 40);
  cache.Put("a", bytes.data(), 3);
  bytes[0] = 9;
  size_t size = 0;
  const uint8_t* found = cache.Find("a", &size);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(found[0], 1);
  EXPECT_EQ(cache.Find("b"), nullptr);
  EXPECT_EQ(cache.Bytes(), 3u);
  EXPECT_EQ(cache.Entries(), 1u);
}

TEST(FrameCache, EvictsTheLeastRecentlyUsedUntilItFitsItsBudgetButNeverThePinned) {
  FrameCache cache(30);
  const std::vector<uint8_t> ten(10, 7);
  for (const char* key : {"a", "b", "c"}) cache.Put(key, ten.data(), 10);
  ASSERT_NE(cache.Find("a"), nullptr);  // a is now the most recent; b the oldest
  cache.Put("d", ten.data(), 10);
  EXPECT_EQ(cache.Find("b"), nullptr);
  for (const char* key : {"a", "c", "d"}) EXPECT_NE(cache.Find(key), nullptr) << key;
  EXPECT_EQ(cache.Bytes(), 30u);
  EXPECT_EQ(cache.Evictions(), 1u);

  FrameCache pinning(15);
  pinning.Put("input", ten.data(), 10, true);
  pinning.Put("frame 0", ten.data(), 10);
  EXPECT_NE(pinning.Find("input"), nullptr);
  EXPECT_EQ(pinning.Find("frame 0"), nullptr);
  pinning.Put("input 2", ten.data(), 10, true);  // over budget, and both stay
  EXPECT_EQ(pinning.Entries(), 2u);
  EXPECT_EQ(pinning.Bytes(), 20u);
}

}  // namespace
}  // namespace kelvrix::cli
