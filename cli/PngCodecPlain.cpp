// The PNG codec of builds without libpng (the Windows cross build): our own stored-block
// writer, and no PNG input.
#include "cli/CliError.h"
#include "cli/ImageFiles.h"
#include "cli/PngCodec.h"
#include "cli/PngStoredWriter.h"

namespace kelvrix::cli {

bool EncodePng(std::FILE* file, uint8_t* const* rows, uint32_t width, uint32_t height,
               int bitsPerChannel, std::string* failure) {
  return EncodePngStored(file, rows, width, height, bitsPerChannel, failure);
}

RgbaImage ReadPng(const std::string& path) {
  throw CliError(kExitInput, "cannot read input " + path +
                                 ": this build of kelvrix-render reads no PNG (built without "
                                 "libpng); use the built-in picture");
}

}  // namespace kelvrix::cli
