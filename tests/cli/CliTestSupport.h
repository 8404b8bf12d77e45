// Helpers for the renderer's tests: a scratch folder per test, running a program and
// collecting its exit status and output, and independent readers of the files it writes
// (Debian's Python with PIL for PNG, the OpenEXR library for EXR).
#pragma once

#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputFile.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/RgbaImage.h"

namespace kelvrix::cli::testing {

// A fresh folder for one test, removed with everything in it at the end.
struct ScratchDir {
  std::string path =
      mkdtemp((std::filesystem::temp_directory_path() / "kelvrix-cli-XXXXXX").string().data());
  ~ScratchDir() { std::filesystem::remove_all(path); }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  std::vector<std::string> Files() const {  // sorted
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(path)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct RunResult {
  int status;
  std::string out, err;
};

// Runs the command line through the shell with standard output and error captured.
inline RunResult Run(const std::string& command, const ScratchDir& scratch) {
  const std::string out = scratch / "stdout.txt", err = scratch / "stderr.txt";
  const int raw = std::system((command + " >" + out + " 2>" + err).c_str());
  const RunResult result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return result;
}

// Runs Python with PIL on `code` (no single quotes), with the path in `p`; its first output
// line or the failure.
inline std::string Pil(const std::string& code, const std::string& path, const ScratchDir& dir) {
  const RunResult r =
      Run(std::string(KELVRIX_PYTHON) + " -c " +
              "'import sys\nfrom PIL import Image\np = sys.argv[1]\n" + code + "' " + path,
          dir);
  return r.status == 0 ? r.out.substr(0, r.out.find('\n')) : "python failed: " + r.err;
}

// "<width> <height> <mode> <bit depth> <colour type> <min alpha> <max alpha>" of a PNG as PIL
// and the file's own header see it.
inline std::string DescribePng(const std::string& path, const ScratchDir& dir) {
  return Pil(
      "data = open(p, \"rb\").read()\n"
      "assert data[:8] == b\"\\x89PNG\\r\\n\\x1a\\n\"\n"
      "im = Image.open(p)\n"
      "a = im.getchannel(\"A\").getextrema() if \"A\" in im.getbands() else (-1, -1)\n"
      "print(im.size[0], im.size[1], im.mode, data[24], data[25], a[0], a[1])\n",
      path, dir);
}

// An EXR's R, G, B and A as OpenEXR reads them; no pixels unless all four are 32-bit floats.
inline RgbaImage ReadExr(const std::string& path) {
  Imf::InputFile file(path.c_str());
  const Imath::Box2i window = file.header().dataWindow();
  RgbaImage image(window.max.x - window.min.x + 1, window.max.y - window.min.y + 1);
  Imf::FrameBuffer frame;
  for (size_t c = 0; c < 4; ++c) {
    const char* name = &"R\0G\0B\0A"[2 * c];
    const Imf::Channel* channel = file.header().channels().findChannel(name);
    if (channel == nullptr || channel->type != Imf::FLOAT) return {};
    frame.insert(name, Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(&image.pixels[c]),
                                  4 * sizeof(float), 4 * sizeof(float) * image.width));
  }
  file.setFrameBuffer(frame);
  file.readPixels(window.min.y, window.max.y);
  return image;
}

}  // namespace kelvrix::cli::testing
