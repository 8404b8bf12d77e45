#include "cli/ImageFiles.h"

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfOutputFile.h>
#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "cli/CliError.h"

namespace kelvrix::cli {
namespace {

uint16_t Quantized(float value, float full) {
  // NaN fails both comparisons and ends as 0.
  const float v = value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;
  return static_cast<uint16_t>(v * full + 0.5f);
}

struct PngFailure {
  char message[256];
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
  std::snprintf(failure->message, sizeof failure->message, "%s", message);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Everything with a destructor lives outside this function: libpng reports errors by
// longjmp, which must not skip destructors.
bool EncodePng(std::FILE* file, png_bytepp rows, png_uint_32 width, png_uint_32 height,
               int bitsPerChannel, PngFailure* failure) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, failure, OnPngError, OnPngWarning);
  if (png == nullptr) {
    std::snprintf(failure->message, sizeof failure->message, "out of memory");
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, bitsPerChannel, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  if (bitsPerChannel == 16) png_set_swap(png);  // rows hold native little-endian samples
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
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
  std::vector<png_bytep> rows(image.height);
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
    PngFailure failure{};
    const bool encoded =
        EncodePng(file, rows.data(), static_cast<png_uint_32>(image.width),
                  static_cast<png_uint_32>(image.height), bitsPerChannel, &failure);
    const bool closed = std::fclose(file) == 0;
    if (!encoded) throw CliError(kExitOutput, "cannot write " + path + ": " + failure.message);
    if (!closed) {
      throw CliError(kExitOutput, "cannot write " + path + ": " + std::strerror(errno));
    }
  });
}

void WriteExr(const std::string& path, const RgbaImage& image) {
  WriteAtomically(path, [&](const std::string& temporary) {
    try {
      Imf::Header header(image.width, image.height);
      for (const char* channel : {"R", "G", "B", "A"}) {
        header.channels().insert(channel, Imf::Channel(Imf::FLOAT));
      }
      Imf::OutputFile file(temporary.c_str(), header);
      Imf::FrameBuffer frame;
      const size_t xStride = 4 * sizeof(float);
      const size_t yStride = xStride * image.width;
      char* base = reinterpret_cast<char*>(const_cast<float*>(image.pixels.data()));
      const char* names[] = {"R", "G", "B", "A"};
      for (size_t c = 0; c < 4; ++c) {
        frame.insert(names[c], Imf::Slice(Imf::FLOAT, base + c * sizeof(float), xStride, yStride));
      }
      file.setFrameBuffer(frame);
      file.writePixels(image.height);
    } catch (const CliError&) {
      throw;
    } catch (const std::exception& e) {
      throw CliError(kExitOutput, "cannot write " + path + ": " + e.what());
    }
  });
}

RgbaImage ReadPng(const std::string& path) {
  std::error_code code;
  if (!std::filesystem::is_regular_file(path, code)) {
    throw CliError(kExitInput, "cannot read input " + path + ": " +
                                   (code ? code.message() : std::string("not a readable file")));
  }
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    const std::string why = png.message;
    png_image_free(&png);
    throw CliError(kExitInput, "unsupported input " + path + ": not a PNG file (" + why + ")");
  }
  png.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> bytes(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, bytes.data(), 0, nullptr)) {
    const std::string why = png.message;
    png_image_free(&png);
    throw CliError(kExitInput, "cannot read input " + path + ": " + why);
  }
  RgbaImage image(static_cast<int>(png.width), static_cast<int>(png.height));
  for (size_t i = 0; i < bytes.size(); ++i) image.pixels[i] = static_cast<float>(bytes[i]) / 255.0f;
  return image;
}

}  // namespace kelvrix::cli
