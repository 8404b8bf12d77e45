// Fuzz target: the UTF-8 decoder on arbitrary NUL-terminated text. Each step must move forward
// and never past the terminating NUL.
#include <cstddef>
#include <cstdint>
#include <string>

#include "text/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const size_t length = std::char_traits<char>::length(text.c_str());
  for (size_t index = 0; text[index] != '\0';) {
    const size_t before = index;
    const uint32_t cp = kelvrix::text::DecodeUtf8Step(text.c_str(), index);
    if (index <= before || index > length || cp > 0x1FFFFF) __builtin_trap();
  }
  return 0;
}
