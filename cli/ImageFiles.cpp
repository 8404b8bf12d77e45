#include "cli/ImageFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "cli/CliError.h"
#include "cli/PngCodec.h"

namespace kelvrix::cli {
namespace {

uint16_t Quantized(float value, float full) {
  // NaN fails both comparisons and ends as 0.
  const float v = value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;
  return static_cast<uint16_t>(v * full + 0.5f);
}

std::string Describe(const std::error_code& code) { return code.message(); }

}  // namespace

std::string TemporaryPathFor(const std::string& path) { return path + ".partial"; }

void RenameOrThrow(const std::string& from, const std::string& to) {
  std::error_code code;
  std::filesystem::rename(from, to, code);
  if (code) throw CliError(kExitOutput, "cannot write " + to + ": " + Describe(code));
}

void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

void WritePng(const std::string& path, const RgbaImage& image, int bitsPerChannel) {
  const size_t samples = static_cast<size_t>(image.width) * 4;
  const size_t rowBytes = samples * (bitsPerChannel == 16 ? 2 : 1);
  std::vector<uint8_t> bytes(rowBytes * image.height);
  std::vector<uint8_t*> rows(image.height);
  for (int y = 0; y < image.height; ++y) {
    uint8_t* row = bytes.data() + rowBytes * y;
    rows[y] = row;
    const float* p = image.At(0, y);
    for (size_t i = 0; i < samples; ++i) {
      if (bitsPerChannel == 16) {
        const uint16_t v = Quantized(p[i], 65535.0f);
        row[2 * i] = static_cast<uint8_t>(v & 0xFF);
        row[2 * i + 1] = static_cast<uint8_t>(v >> 8);
      } else {
        row[i] = static_cast<uint8_t>(Quantized(p[i], 255.0f));
      }
    }
  }
  WriteAtomically(path, [&](const std::string& temporary) {
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
      throw CliError(kExitOutput, "cannot write " + path + ": " + std::strerror(errno));
    }
    std::string failure;
    const bool encoded = EncodePng(file, rows.data(), static_cast<uint32_t>(image.width),
                                   static_cast<uint32_t>(image.height), bitsPerChannel, &failure);
    const bool closed = std::fclose(file) == 0;
    if (!encoded) throw CliError(kExitOutput, "cannot write " + path + ": " + failure);
    if (!closed) {
      throw CliError(kExitOutput, "cannot write " + path + ": " + std::strerror(errno));
    }
  });
}

}  // namespace kelvrix::cli
