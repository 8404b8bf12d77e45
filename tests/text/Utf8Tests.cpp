#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "text/Utf8.h"

namespace kelvrix::text {
namespace {

using Steps = std::vector<std::pair<uint32_t, size_t>>;  // (code point, index after the step)

// A cut-short sequence gives U+FFFD and leaves the byte that broke it for the next step; stray
// continuation and invalid lead bytes are skipped as U+FFFD; overlong forms, surrogates and values
// past Unicode pass through; line-breaking controls become spaces.
TEST(Utf8, DecodesEachStep) {
  const std::pair<const char*, Steps> cases[] = {
      {"A\xC3\xA9\xE2\x82\xAC", {{0x41, 1}, {0xE9, 3}, {0x20AC, 6}}},
      {"\xF0\x9F\x98\x80x", {{0x1F600, 4}, {0x78, 5}}},
      {"\xC3\x28", {{0xFFFD, 1}, {0x28, 2}}},
      {"\xE2\x82", {{0xFFFD, 2}}},
      {"\xF0\x9F\x98", {{0xFFFD, 3}}},
      {"\x80\xF8\xFF", {{0xFFFD, 1}, {0xFFFD, 2}, {0xFFFD, 3}}},
      {"\xC0\x80\xED\xA0\x80", {{0x0, 2}, {0xD800, 5}}},
      {"\xF7\xBF\xBF\xBF", {{0x1FFFFF, 4}}},
      {"\t\n\v\f\r\x08\x0E", {{32, 1}, {32, 2}, {32, 3}, {32, 4}, {32, 5}, {8, 6}, {14, 7}}}};
  for (const auto& [text, expected] : cases) {
    Steps steps;
    for (size_t i = 0; text[i] != '\0';) steps.emplace_back(DecodeUtf8Step(text, i), i);
    EXPECT_EQ(steps, expected) << text;
  }
}

}  // namespace
}  // namespace kelvrix::text
