#include <gtest/gtest.h>

#include <vector>

#include "text/Utf8.h"

namespace kelvrix::text {
namespace {

// Every step of decoding `text`, as (code point, index after the step).
std::vector<std::pair<uint32_t, size_t>> Steps(const char* text) {
  std::vector<std::pair<uint32_t, size_t>> steps;
  for (size_t index = 0; text[index] != '\0';) {
    const uint32_t cp = DecodeUtf8Step(text, index);
    steps.emplace_back(cp, index);
  }
  return steps;
}

using Steps_t = std::vector<std::pair<uint32_t, size_t>>;

TEST(Utf8, DecodesOneToFourByteSequences) {
  EXPECT_EQ(Steps("A"), (Steps_t{{0x41, 1}}));
  EXPECT_EQ(Steps("\xC3\xA9"), (Steps_t{{0xE9, 2}}));
  EXPECT_EQ(Steps("\xE2\x82\xAC"), (Steps_t{{0x20AC, 3}}));
  EXPECT_EQ(Steps("\xF0\x9F\x98\x80x"), (Steps_t{{0x1F600, 4}, {0x78, 5}}));
}

TEST(Utf8, CutShortSequenceGivesReplacementAndLeavesTheBreakingByteForTheNextStep) {
  EXPECT_EQ(Steps("\xC3\x28"), (Steps_t{{0xFFFD, 1}, {0x28, 2}}));
  EXPECT_EQ(Steps("\xE2\x82"), (Steps_t{{0xFFFD, 2}}));
  EXPECT_EQ(Steps("\xF0\x9F\x98"), (Steps_t{{0xFFFD, 3}}));
}

TEST(Utf8, StrayContinuationAndInvalidLeadBytesAreSkippedAsReplacement) {
  EXPECT_EQ(Steps("\x80"
                  "A"),
            (Steps_t{{0xFFFD, 1}, {0x41, 2}}));
  EXPECT_EQ(Steps("\xF8\xFF"), (Steps_t{{0xFFFD, 1}, {0xFFFD, 2}}));
}

TEST(Utf8, OverlongFormsSurrogatesAndValuesPastUnicodePassThrough) {
  EXPECT_EQ(Steps("\xC0\x80"), (Steps_t{{0x0, 2}}));
  EXPECT_EQ(Steps("\xED\xA0\x80"), (Steps_t{{0xD800, 3}}));
  EXPECT_EQ(Steps("\xF7\xBF\xBF\xBF"), (Steps_t{{0x1FFFFF, 4}}));
}

TEST(Utf8, LineBreakingControlsBecomeSpacesAndOthersStay) {
  EXPECT_EQ(Steps("\t\n\v\f\r"), (Steps_t{{0x20, 1}, {0x20, 2}, {0x20, 3}, {0x20, 4}, {0x20, 5}}));
  EXPECT_EQ(Steps("\x08\x0E"), (Steps_t{{0x08, 1}, {0x0E, 2}}));
}

}  // namespace
}  // namespace kelvrix::text
