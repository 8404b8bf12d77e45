// The 16-bit white point between the core (32768) and OpenFX hosts (65535).
#include <gtest/gtest.h>

#include <cmath>

#include "ofx/OfxPixelMap.h"

using kelvrix::ofx::SixteenFromHost;
using kelvrix::ofx::SixteenToHost;

namespace {

TEST(OfxPixelMap, SixteenBitWhiteAndBlackMapOntoEachOtherAndMiddlesRoundToNearest) {
  const struct {
    uint16_t core, host;
  } toHost[] = {{0, 0}, {1, 2}, {16384, 32768}, {32767, 65533}, {32768, 65535}, {40000, 65535}};
  for (const auto& c : toHost) EXPECT_EQ(SixteenToHost(c.core), c.host) << c.core;
  const struct {
    uint16_t host, core;
  } fromHost[] = {{0, 0}, {1, 1}, {2, 1}, {32768, 16384}, {65534, 32767}, {65535, 32768}};
  for (const auto& c : fromHost) EXPECT_EQ(SixteenFromHost(c.host), c.core) << c.host;
}

// Every core value survives the way out and back, and lands where exact arithmetic puts it:
// what the card dims from the source is what the host gave.
TEST(OfxPixelMap, EveryCoreSixteenBitValueRoundTripsThroughTheHostRange) {
  for (uint32_t v = 0; v <= 32768; ++v) {
    const uint16_t host = SixteenToHost(static_cast<uint16_t>(v));
    ASSERT_EQ(host, std::round(v * 65535.0 / 32768.0)) << v;
    ASSERT_EQ(SixteenFromHost(host), v) << v;
  }
  for (uint32_t v = 32769; v <= 65535; ++v) {  // past the core's white: white
    ASSERT_EQ(SixteenToHost(static_cast<uint16_t>(v)), 65535) << v;
  }
}

}  // namespace
