#include <png.h>

#include <csetjmp>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "cli/CliError.h"
#include "cli/ImageFiles.h"
#include "cli/PngCodec.h"

namespace kelvrix::cli {
namespace {

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
bool Encode(std::FILE* file, png_bytepp rows, png_uint_32 width, png_uint_32 height,
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

}  // namespace

bool EncodePng(std::FILE* file, uint8_t* const* rows, uint32_t width, uint32_t height,
               int bitsPerChannel, std::string* failure) {
  PngFailure error{};
  const bool encoded =
      Encode(file, const_cast<png_bytepp>(rows), width, height, bitsPerChannel, &error);
  if (!encoded) *failure = error.message;
  return encoded;
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
