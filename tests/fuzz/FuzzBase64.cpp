// Fuzz target: DecodeBase64 on arbitrary NUL-terminated text, checked against its size bound.
#include <cstddef>
#include <cstdint>
#include <string>

#include "text/Base64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<uint8_t> bytes = kelvrix::text::DecodeBase64(text.c_str());
  // Every character before the NUL or '=' yields six bits, so never more than 3/4 of a byte each.
  if (bytes.size() > text.size() * 3 / 4 + 1) __builtin_trap();
  return 0;
}
