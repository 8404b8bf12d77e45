// Builds without the OpenEXR library (the Windows cross build) write no EXR.
#include "cli/CliError.h"
#include "cli/ImageFiles.h"

namespace kelvrix::cli {

void WriteExr(const std::string& path, const RgbaImage&) {
  throw CliError(kExitOutput, "cannot write " + path +
                                  ": this build of kelvrix-render writes no EXR (built without "
                                  "OpenEXR); use .png");
}

}  // namespace kelvrix::cli
