#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "resources/font/EmbeddedFont.h"
#include "text/Base64.h"

namespace kelvrix::text {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(Base64, DecodesWholeQuadsAndStopsAtTheFirstPaddingCharacter) {
  EXPECT_EQ(DecodeBase64("QUJD"), (Bytes{0x41, 0x42, 0x43}));
  EXPECT_EQ(DecodeBase64("QUI="), (Bytes{0x41, 0x42}));
  EXPECT_EQ(DecodeBase64("QUI=QUJD"), (Bytes{0x41, 0x42}));
  EXPECT_EQ(DecodeBase64("+/+/"), (Bytes{0xFB, 0xFF, 0xBF}));
  EXPECT_EQ(DecodeBase64("azAz"), (Bytes{0x6B, 0x30, 0x33}));
}

TEST(Base64, TreatsCharactersOutsideTheAlphabetAsZeroSextetsWithoutSkippingThem) {
  EXPECT_EQ(DecodeBase64("QU I"), DecodeBase64("QUAI"));
  EXPECT_EQ(DecodeBase64("QU\nI"), DecodeBase64("QUAI"));
  EXPECT_EQ(DecodeBase64("\xC3\xA9\xC3\xA9"), (Bytes{0, 0, 0}));
}

TEST(Base64, DropsTrailingBitsThatDoNotFillAByte) {
  EXPECT_EQ(DecodeBase64("QQ"), (Bytes{0x41}));
  EXPECT_EQ(DecodeBase64("Q"), Bytes{});
  EXPECT_EQ(DecodeBase64(""), Bytes{});
  EXPECT_EQ(DecodeBase64(nullptr), Bytes{});
}

TEST(Base64, EmbeddedFontDecodesToTheFontFileByteForByte) {
  const Bytes decoded = DecodeBase64(EmbeddedFontBase64);
  std::ifstream file(KELVRIX_TEST_FONT_FILE, std::ios::binary);
  const Bytes expected{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  ASSERT_EQ(decoded.size(), 217360u);
  EXPECT_EQ(decoded, expected);
  EXPECT_EQ(Bytes(decoded.begin(), decoded.begin() + 4), (Bytes{0x00, 0x01, 0x00, 0x00}));
}

}  // namespace
}  // namespace kelvrix::text
