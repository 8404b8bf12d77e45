#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvrix::text {

constexpr uint32_t kReplacementCharacter = 0xFFFD;

// Decodes one code point of a NUL-terminated UTF-8 text starting at text[index] and moves index
// past it. A stray continuation byte or a lead byte of 0xF8 and above is skipped as U+FFFD; a
// sequence cut short by a byte that is not a continuation byte (the terminating NUL included) is
// U+FFFD with index left on that byte, so the decoder never reads past the NUL. Overlong forms,
// surrogates and values above U+10FFFF pass through. Tab, line feed, vertical tab, form feed and
// carriage return come back as a space: a line has no breaks.
uint32_t DecodeUtf8Step(const char* text, size_t& index);

}  // namespace kelvrix::text
