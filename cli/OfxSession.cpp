#include "cli/OfxSession.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "cli/CliError.h"
#include "cli/WorldPixels.h"
#include "ofxhost/SimOfxHost.h"

namespace kelvrix::cli {
namespace {

using Clock = std::chrono::steady_clock;

const char* OfxDepthOf(PF_PixelFormat format) {
  switch (format) {
    case PF_PixelFormat_ARGB64:
      return kOfxBitDepthShort;
    case PF_PixelFormat_ARGB128:
      return kOfxBitDepthFloat;
    default:
      return kOfxBitDepthByte;
  }
}

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// Host samples of a depth: 8-bit and 16-bit spanning 0..white, float as it is.
template <typename Sample>
void StoreSamples(uint8_t* pixel, const float* rgba, double white) {
  Sample samples[4];
  for (int c = 0; c < 4; ++c) {
    const double v = white > 0 ? std::round(std::fmin(std::fmax(rgba[c], 0.0f), 1.0f) * white)
                               : static_cast<double>(rgba[c]);
    samples[c] = static_cast<Sample>(v);
  }
  std::memcpy(pixel, samples, sizeof samples);
}

template <typename Sample>
void LoadSamples(const uint8_t* pixel, float* rgba, double white) {
  Sample samples[4];
  std::memcpy(samples, pixel, sizeof samples);
  for (int c = 0; c < 4; ++c) {
    rgba[c] = white > 0 ? static_cast<float>(samples[c] / white) : static_cast<float>(samples[c]);
  }
}

// The picture (rows top-down) into a host image (rows bottom-up) and back. Like a compositor
// decoding a layer, the host works in a buffer of its own, copies it into the image and frees
// it before the render: the heap then holds picture data for the effect to find, as in the
// After Effects tool.
void PaintHostImage(ofxhost::HostImage& image, const RgbaImage& picture) {
  const int top = image.bounds().y2 - 1;
  const size_t rowBytes = static_cast<size_t>(image.width()) * image.pixelBytes();
  std::vector<uint8_t> decoded(rowBytes * static_cast<size_t>(image.height()));
  for (int y = image.bounds().y1; y < image.bounds().y2; ++y) {
    uint8_t* row = decoded.data() + rowBytes * static_cast<size_t>(y - image.bounds().y1);
    for (int x = image.bounds().x1; x < image.bounds().x2; ++x) {
      const float* rgba = picture.At(x, top - y);
      uint8_t* pixel = row + static_cast<size_t>(x - image.bounds().x1) * image.pixelBytes();
      if (image.depth() == kOfxBitDepthByte) StoreSamples<uint8_t>(pixel, rgba, 255);
      if (image.depth() == kOfxBitDepthShort) StoreSamples<uint16_t>(pixel, rgba, 65535);
      if (image.depth() == kOfxBitDepthFloat) StoreSamples<float>(pixel, rgba, 0);
    }
    std::memcpy(image.Row(y), row, rowBytes);
  }
}

RgbaImage PictureOf(ofxhost::HostImage& image) {
  RgbaImage picture(image.width(), image.height());
  const int top = image.bounds().y2 - 1;
  for (int y = image.bounds().y1; y < image.bounds().y2; ++y) {
    for (int x = image.bounds().x1; x < image.bounds().x2; ++x) {
      float* rgba = picture.At(x, top - y);
      if (image.depth() == kOfxBitDepthByte) LoadSamples<uint8_t>(image.Pixel(x, y), rgba, 255);
      if (image.depth() == kOfxBitDepthShort) LoadSamples<uint16_t>(image.Pixel(x, y), rgba, 65535);
      if (image.depth() == kOfxBitDepthFloat) LoadSamples<float>(image.Pixel(x, y), rgba, 0);
    }
  }
  return picture;
}

// The After Effects tool's test for memory, on the same two pictures at the project's depth.
bool ShowsMemoryIn(const RgbaImage& output, const RgbaImage& layer, PF_PixelFormat format) {
  const A_long pixelBytes = format == PF_PixelFormat_ARGB32   ? 4
                            : format == PF_PixelFormat_ARGB64 ? 8
                                                              : 16;
  std::vector<uint8_t> outBytes(output.pixels.size() / 4 * pixelBytes);
  std::vector<uint8_t> inBytes(outBytes.size());
  auto worldOver = [&](std::vector<uint8_t>& bytes) {
    PF_EffectWorld world{};
    world.data = reinterpret_cast<PF_PixelPtr>(bytes.data());
    world.width = output.width;
    world.height = output.height;
    world.rowbytes = output.width * pixelBytes;
    return world;
  };
  PF_EffectWorld out = worldOver(outBytes);
  PF_EffectWorld in = worldOver(inBytes);
  PaintWorld(out, format, output);
  PaintWorld(in, format, layer);
  return ShowsMemory(out, in, format);
}

}  // namespace

bool IsOfxModule(const std::string& path) {
  std::string p = path;
  while (!p.empty() && (p.back() == '/' || p.back() == '\\')) p.pop_back();
  return EndsWith(p, ".ofx.bundle") || EndsWith(p, ".ofx");
}

OfxSession::OfxSession(const RenderOptions& options, int projectDepth, int styleDepth,
                       FrameCache& cache, const RgbaImage* input)
    : options_(options), format_(PixelFormatForDepth(projectDepth)), cache_(cache) {
  std::string path = options.modulePath;
  while (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  if (EndsWith(path, ".bundle")) path = ofxhost::OfxModule::BinaryInBundle(path);
  ofxhost::OfxModule module = ofxhost::OfxModule::Load(path);
  if (!module.ok()) throw CliError(kExitModule, "cannot load OpenFX module: " + module.error());
  layer_ = InputPictureFor(input, options.width, options.height);
  ofxhost::OfxHostOptions hostOptions;
  hostOptions.width = options.width;
  hostOptions.height = options.height;
  hostOptions.depth = OfxDepthOf(format_);
  hostOptions.threads = options.threads;
  hostOptions.sourceFill = [this](ofxhost::HostImage& image) { PaintHostImage(image, layer_); };
  host_ = std::make_unique<ofxhost::SimOfxHost>(std::move(module), hostOptions);
  const OfxPlugin* plugin = host_->plugin();
  if (plugin == nullptr || std::strcmp(plugin->pluginIdentifier, "com.torvendale.kelvrix") != 0) {
    throw CliError(kExitModule, "OpenFX module " + options.modulePath + " is not kelvrix");
  }
  const struct {
    const char* what;
    OfxStatus status;
  } steps[] = {{"load", host_->Load()},
               {"describe", host_->Describe()},
               {"describe in context", host_->DescribeInContext(kOfxImageEffectContextFilter)},
               {"create instance", host_->CreateInstance(kOfxImageEffectContextFilter)}};
  for (const auto& step : steps) {
    if (step.status != kOfxStatOK) {
      throw CliError(kExitCommand, std::string(step.what) + " returned OpenFX status " +
                                       std::to_string(step.status));
    }
  }
  host_->SetInt("style", styleDepth == 16 ? 1 : styleDepth == 32 ? 2 : 0);
}

OfxSession::~OfxSession() = default;

RgbaImage OfxSession::Render(int index, int total, FrameReport* report) {
  const double size =
      total <= 1 ? options_.sizeFrom
                 : options_.sizeFrom + (options_.sizeTo - options_.sizeFrom) * index / (total - 1);
  host_->SetDouble("size", size);
  report->index = index;
  report->total = total;
  report->size = size;
  const Clock::time_point start = Clock::now();
  const int abortsBefore = host_->AbortCalls();
  ofxhost::SimOfxHost::RenderRequest request;
  request.time = index;
  ofxhost::SimOfxHost::RenderResult result = host_->Render(request);
  if (result.status != kOfxStatOK) {
    throw CliError(kExitCommand, "render of frame " + std::to_string(index) +
                                     " returned OpenFX status " + std::to_string(result.status));
  }
  report->searchBlocks = host_->AbortCalls() - abortsBefore;
  RgbaImage image = PictureOf(result.output);
  report->memoryShown = ShowsMemoryIn(image, layer_, format_);
  const std::vector<uint8_t> kept = result.output.Packed();
  cache_.Put("frame " + std::to_string(index), kept.data(), kept.size());
  report->frameMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  return image;
}

}  // namespace kelvrix::cli
