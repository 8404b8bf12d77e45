#include "text/Base64.h"

#include <cstring>
#include <new>

namespace kelvrix::text {
namespace {

uint32_t SextetOf(char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<uint32_t>(c - 'A');
  if (c >= 'a' && c <= 'z') return static_cast<uint32_t>(c - 'a' + 26);
  if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0' + 52);
  if (c == '+') return 62;
  if (c == '/') return 63;
  return 0;
}

}  // namespace

std::vector<uint8_t> DecodeBase64(const char* text) {
  std::vector<uint8_t> bytes;
  if (text == nullptr) return bytes;
  try {
    bytes.reserve(std::strlen(text) / 4 * 3 + 3);
    uint32_t acc = 0;
    int bits = 0;
    for (const char* c = text; *c != '\0' && *c != '='; ++c) {
      acc = (acc << 6) | SextetOf(*c);
      bits += 6;
      if (bits >= 8) {
        bits -= 8;
        bytes.push_back(static_cast<uint8_t>((acc >> bits) & 0xFF));
        // Only the undelivered bits stay, so acc never holds more than 13 bits.
        acc &= (1u << bits) - 1u;
      }
    }
  } catch (const std::bad_alloc&) {
    bytes.clear();
    bytes.shrink_to_fit();
  }
  return bytes;
}

}  // namespace kelvrix::text
