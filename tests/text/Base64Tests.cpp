#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "resources/font/EmbeddedFont.h"
#include "text/Base64.h"

namespace kelvrix::text {
namespace {

using Bytes = std::vector<uint8_t>;

// Whole quads; padding ends the data; characters outside the alphabet are zero sextets, not
// skipped; trailing bits that do not fill a byte are dropped.
TEST(Base64, Decodes) {
  using namespace std::string_literals;
  const std::pair<const char*, std::string> cases[] = {
      {"QUJD", "ABC"},   {"+/+/", "\xFB\xFF\xBF"},        {"azAz", "k03"}, {"QUI=QUJD", "AB"},
      {"QU\nI", "A@\b"}, {"\xC3\xA9\xC3\xA9", "\0\0\0"s}, {"QQ", "A"},     {"Q", ""},
      {nullptr, ""}};
  for (const auto& [text, bytes] : cases)
    EXPECT_EQ(DecodeBase64(text), Bytes(bytes.begin(), bytes.end())) << (text ? text : "null");
}

TEST(Base64, EmbeddedFontDecodesToTheFontFileByteForByte) {
  std::ifstream file(KELVRIX_TEST_FONT_FILE, std::ios::binary);
  const Bytes expected{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  ASSERT_GT(expected.size(), 200000u);
  EXPECT_EQ(DecodeBase64(EmbeddedFontBase64), expected);
}

}  // namespace
}  // namespace kelvrix::text
