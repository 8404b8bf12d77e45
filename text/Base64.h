#pragma once

#include <cstdint>
#include <vector>

namespace kelvrix::text {

// Decodes standard base64 up to the terminating NUL or the first '='. Characters outside the
// alphabet are not skipped: each still contributes six zero bits, so a stray space shifts nothing
// that follows. Bits left over at the end (fewer than 8) are dropped. Returns an empty vector for a
// null text or when the output cannot be allocated.
std::vector<uint8_t> DecodeBase64(const char* text);

}  // namespace kelvrix::text
