// Build step: writes the PiPL to the file named on the command line: the Windows resource bytes,
// or with --macos the Mac resource file (one 'PiPL' resource, id 16000).
#include <cstdio>
#include <cstring>

#include "hostapi/EffectConstants.h"
#include "resources/PiPL.h"
#include "resources/ResourceFile.h"

namespace {

// Mac hosts look for the PiPL by this id; Premiere on the Mac accepts no other.
constexpr int16_t kPiPLResourceId = 16000;

}  // namespace

int main(int argc, char** argv) {
  const bool macos = argc == 3 && std::strcmp(argv[1], "--macos") == 0;
  if (argc != 2 && !macos) {
    std::fprintf(stderr, "usage: %s [--macos] <output-file>\n", argv[0]);
    return 2;
  }
  const char* path = argv[argc - 1];
  const auto bytes =
      macos ? kelvrix::BuildResourceFile(static_cast<uint32_t>(PF_MultiCharCode("PiPL")),
                                         kPiPLResourceId, kelvrix::BuildMacPiPL())
            : kelvrix::BuildPiPL();
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) {
    std::perror(path);
    return 1;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !written) {
    std::fprintf(stderr, "%s: write failed\n", path);
    return 1;
  }
  return 0;
}
