// Reading and writing picture files. Writers never leave a half-written file under the final
// name: they write a temporary file beside it and rename it when complete. Failures throw
// CliError with a one-line message naming the file and the cause.
#pragma once

#include <string>

#include "cli/RgbaImage.h"

namespace kelvrix::cli {

// 8 or 16 bits per channel, RGBA. Values are clamped to 0..1 (NaN to 0) and rounded.
void WritePng(const std::string& path, const RgbaImage& image, int bitsPerChannel);
// 32-bit float RGBA OpenEXR, values as they are.
void WriteExr(const std::string& path, const RgbaImage& image);
// Any PNG (grey, palette, with or without alpha, 8 or 16 bits), as 8-bit sRGB values.
RgbaImage ReadPng(const std::string& path);

// Runs write(temporaryPath) and renames the temporary file to `path`; on any failure the
// temporary file is removed and the error passed on.
template <typename Write>
void WriteAtomically(const std::string& path, Write write);

// The temporary name WriteAtomically uses for `path`.
std::string TemporaryPathFor(const std::string& path);
void RenameOrThrow(const std::string& from, const std::string& to);
void RemoveQuietly(const std::string& path);

template <typename Write>
void WriteAtomically(const std::string& path, Write write) {
  const std::string temporary = TemporaryPathFor(path);
  try {
    write(temporary);
    RenameOrThrow(temporary, path);
  } catch (...) {
    RemoveQuietly(temporary);
    throw;
  }
}

}  // namespace kelvrix::cli
