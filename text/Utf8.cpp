#include "text/Utf8.h"

namespace kelvrix::text {

uint32_t DecodeUtf8Step(const char* text, size_t& index) {
  const auto lead = static_cast<uint8_t>(text[index]);
  ++index;
  int continuationBytes = 0;
  uint32_t value = 0;
  if (lead < 0x80) {
    value = lead & 0x7Fu;
  } else if ((lead & 0xE0) == 0xC0) {
    continuationBytes = 1;
    value = lead & 0x1Fu;
  } else if ((lead & 0xF0) == 0xE0) {
    continuationBytes = 2;
    value = lead & 0x0Fu;
  } else if ((lead & 0xF8) == 0xF0) {
    continuationBytes = 3;
    value = lead & 0x07u;
  } else {
    return kReplacementCharacter;
  }
  for (int i = 0; i < continuationBytes; ++i) {
    const auto byte = static_cast<uint8_t>(text[index]);
    if ((byte & 0xC0) != 0x80) return kReplacementCharacter;
    value = value * 64 + (byte & 0x3Fu);
    ++index;
  }
  if (value >= 0x09 && value <= 0x0D) return 0x20;
  return value;
}

}  // namespace kelvrix::text
