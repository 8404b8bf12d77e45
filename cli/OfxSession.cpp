#include "cli/OfxSession.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "cli/CliError.h"
#include "cli/WorldPixels.h"
#include "host/WorldStore.h"
#include "ofxhost/SimOfxHost.h"

namespace kelvrix::cli {
namespace {

constexpr char kLayerKey[] = "OpenFX layer";

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

// The picture's rows (top-down) into a host image's (bottom-up) and back, one depth per call.
template <typename Sample>
void StoreRows(const RgbaImage& picture, ofxhost::HostImage& image, uint8_t* rows, size_t rowBytes,
               double white) {
  const int top = image.bounds().y2 - 1;
  for (int y = image.bounds().y1; y < image.bounds().y2; ++y) {
    uint8_t* row = rows + rowBytes * static_cast<size_t>(y - image.bounds().y1);
    for (int x = 0; x < image.width(); ++x) {
      StoreSamples<Sample>(row + static_cast<size_t>(x) * 4 * sizeof(Sample),
                           picture.At(image.bounds().x1 + x, top - y), white);
    }
  }
}

template <typename Sample>
void LoadRows(ofxhost::HostImage& image, RgbaImage& picture, double white) {
  const int top = image.bounds().y2 - 1;
  for (int y = image.bounds().y1; y < image.bounds().y2; ++y) {
    const uint8_t* row = image.Row(y);
    for (int x = 0; x < image.width(); ++x) {
      LoadSamples<Sample>(row + static_cast<size_t>(x) * 4 * sizeof(Sample),
                          picture.At(image.bounds().x1 + x, top - y), white);
    }
  }
}

// The picture as a host image of the frame holds it: rows bottom-up, packed.
std::vector<uint8_t> HostBytesOf(const RgbaImage& picture, const std::string& depth) {
  ofxhost::HostImage image(depth, OfxRectI{0, 0, picture.width, picture.height}, false, 0, 0);
  const size_t rowBytes = static_cast<size_t>(image.width()) * image.pixelBytes();
  std::vector<uint8_t> bytes(rowBytes * static_cast<size_t>(image.height()));
  if (depth == kOfxBitDepthByte) {
    StoreRows<uint8_t>(picture, image, bytes.data(), rowBytes, 255);
  } else if (depth == kOfxBitDepthShort) {
    StoreRows<uint16_t>(picture, image, bytes.data(), rowBytes, 65535);
  } else {
    StoreRows<float>(picture, image, bytes.data(), rowBytes, 0);
  }
  return bytes;
}

RgbaImage PictureOf(ofxhost::HostImage& image) {
  RgbaImage picture(image.width(), image.height());
  if (image.depth() == kOfxBitDepthByte) {
    LoadRows<uint8_t>(image, picture, 255);
  } else if (image.depth() == kOfxBitDepthShort) {
    LoadRows<uint16_t>(image, picture, 65535);
  } else {
    LoadRows<float>(image, picture, 0);
  }
  return picture;
}

}  // namespace

bool IsOfxModule(const std::string& path) {
  std::string p = path;
  while (!p.empty() && (p.back() == '/' || p.back() == '\\')) p.pop_back();
  return EndsWith(p, ".ofx.bundle") || EndsWith(p, ".ofx");
}

OfxSession::OfxSession(const RenderOptions& options, int projectDepth, int styleDepth,
                       FrameCache& cache, const RgbaImage* input)
    : options_(options),
      format_(PixelFormatForDepth(projectDepth)),
      styleDepth_(styleDepth),
      cache_(cache),
      input_(input) {
  std::string path = options.modulePath;
  while (!path.empty() && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  if (EndsWith(path, ".bundle")) path = ofxhost::OfxModule::BinaryInBundle(path);
  ofxhost::OfxModule module = ofxhost::OfxModule::Load(path);
  if (!module.ok()) throw CliError(kExitModule, "cannot load OpenFX module: " + module.error());
  const RgbaImage layer = InputPictureFor(input, options.width, options.height);
  const A_long pixelBytes = host::BytesPerPixel(format_);
  layerWorld_.resize(layer.pixels.size() / 4 * static_cast<size_t>(pixelBytes));
  PF_EffectWorld world = WorldOver(layerWorld_, layer.width, layer.height, pixelBytes);
  PaintWorld(world, format_, layer);
  ofxhost::OfxHostOptions hostOptions;
  hostOptions.width = options.width;
  hostOptions.height = options.height;
  hostOptions.depth = OfxDepthOf(format_);
  hostOptions.threads = options.threads;
  hostOptions.sourceFill = [this](ofxhost::HostImage& image) { PaintSource(image); };
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

// As the After Effects tool paints its layer: the cached layer, at the host's depth, copied into
// the image.
void OfxSession::PaintSource(ofxhost::HostImage& image) {
  const size_t rowBytes = static_cast<size_t>(image.width()) * image.pixelBytes();
  const size_t frameBytes = rowBytes * static_cast<size_t>(image.height());
  const uint8_t* cached =
      CachedLayer(cache_, kLayerKey, input_, image.width(), image.height(), frameBytes,
                  [&](const RgbaImage& working) { return HostBytesOf(working, image.depth()); });
  if (cached == nullptr) return;
  for (int y = image.bounds().y1; y < image.bounds().y2; ++y) {
    std::memcpy(image.Row(y), cached + rowBytes * static_cast<size_t>(y - image.bounds().y1),
                rowBytes);
  }
}

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
  report->searchBytes = static_cast<size_t>(report->searchBlocks) *
                        SearchBlockBytes(size, styleDepth_, options_.width, options_.height);
  report->searchMs = SearchMilliseconds(report->searchBlocks, host_->LastAbortNanoseconds(),
                                        result.actionStartNanoseconds);
  RgbaImage image = PictureOf(result.output);
  // The After Effects tool's test for memory, on the output beside the layer.
  const A_long pixelBytes = host::BytesPerPixel(format_);
  std::vector<uint8_t> outBytes(layerWorld_.size());
  PF_EffectWorld out = WorldOver(outBytes, image.width, image.height, pixelBytes);
  PaintWorld(out, format_, image);
  PF_EffectWorld layer = WorldOver(layerWorld_, image.width, image.height, pixelBytes);
  report->memoryShown = ShowsMemory(out, layer, format_);
  const std::vector<uint8_t> kept = result.output.Packed();
  cache_.Put("frame " + std::to_string(index), kept.data(), kept.size());
  report->frameMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  return image;
}

}  // namespace kelvrix::cli
