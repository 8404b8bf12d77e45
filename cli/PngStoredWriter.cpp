#include "cli/PngStoredWriter.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <vector>

namespace kelvrix::cli {
namespace {

constexpr size_t kMaxStoredBlock = 65535;  // the largest length a stored block can declare

std::array<uint32_t, 256> CrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  static const std::array<uint32_t, 256> table = CrcTable();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFFu] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void AppendChunk(std::vector<uint8_t>& png, const char type[4], const std::vector<uint8_t>& data) {
  PutBigEndian32(png, static_cast<uint32_t>(data.size()));
  const size_t typeAt = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  PutBigEndian32(png, Crc32(png.data() + typeAt, png.size() - typeAt));
}

// The scanlines (filter byte 0, samples big-endian) as a zlib stream of stored blocks.
std::vector<uint8_t> ZlibStored(uint8_t* const* rows, uint32_t width, uint32_t height,
                                int bitsPerChannel) {
  const size_t rowBytes = static_cast<size_t>(width) * 4 * (bitsPerChannel == 16 ? 2 : 1);
  std::vector<uint8_t> raw;
  raw.reserve((rowBytes + 1) * height);
  for (uint32_t y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    const uint8_t* row = rows[y];
    for (size_t i = 0; i < rowBytes; i += bitsPerChannel == 16 ? 2 : 1) {
      if (bitsPerChannel == 16) {
        raw.push_back(row[i + 1]);  // rows hold little-endian samples; PNG wants big-endian
        raw.push_back(row[i]);
      } else {
        raw.push_back(row[i]);
      }
    }
  }
  std::vector<uint8_t> z = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
  size_t at = 0;
  do {
    const size_t n = std::min(kMaxStoredBlock, raw.size() - at);
    const bool last = at + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<uint8_t>(n));
    z.push_back(static_cast<uint8_t>(n >> 8));
    z.push_back(static_cast<uint8_t>(~n));
    z.push_back(static_cast<uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<ptrdiff_t>(at),
             raw.begin() + static_cast<ptrdiff_t>(at + n));
    at += n;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;  // Adler-32 of the uncompressed data
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521u;
    b = (b + a) % 65521u;
  }
  PutBigEndian32(z, (b << 16) | a);
  return z;
}

}  // namespace

bool EncodePngStored(std::FILE* file, uint8_t* const* rows, uint32_t width, uint32_t height,
                     int bitsPerChannel, std::string* failure) {
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBigEndian32(header, width);
  PutBigEndian32(header, height);
  header.push_back(static_cast<uint8_t>(bitsPerChannel));
  header.insert(header.end(), {6, 0, 0, 0});  // RGBA, deflate, adaptive filters, no interlace
  AppendChunk(png, "IHDR", header);
  AppendChunk(png, "IDAT", ZlibStored(rows, width, height, bitsPerChannel));
  AppendChunk(png, "IEND", {});
  if (std::fwrite(png.data(), 1, png.size(), file) != png.size()) {
    *failure = std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace kelvrix::cli
