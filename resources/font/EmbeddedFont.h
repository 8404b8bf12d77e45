#pragma once

// Open Sans Regular (Apache-2.0, see OpenSans-LICENSE-Apache-2.0.txt) as one NUL-terminated base64
// text, generated at build time from OpenSans-Regular.ttf; decode it with DecodeBase64.
extern const char EmbeddedFontBase64[];
