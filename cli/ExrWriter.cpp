#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfOutputFile.h>

#include "cli/CliError.h"
#include "cli/ImageFiles.h"

namespace kelvrix::cli {

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

}  // namespace kelvrix::cli
