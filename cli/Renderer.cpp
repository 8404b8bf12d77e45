#include "cli/Renderer.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "cli/CliError.h"
#include "cli/ImageFiles.h"
#include "cli/OfxSession.h"
#include "cli/WorldPixels.h"
#include "host/InputPicture.h"
#include "host/SimHost.h"
#include "render/NativeFill.h"
#include "render/SmartPreRender.h"

namespace kelvrix::cli {
namespace {

using Clock = std::chrono::steady_clock;

constexpr PF_ParamIndex kSizeParam = 1;
constexpr PF_ParamIndex kFirstStyleBox = 3;  // Zesty, Cloudy, Tripping follow in order
constexpr size_t kEffectParams = 6;          // the input layer up to the last style box

double MillisecondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

long long NanosecondsOf(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

std::string ErrorText(PF_Err err, const char* returnMessage) {
  std::string text = "error " + std::to_string(err);
  switch (err) {
    case PF_Err_OUT_OF_MEMORY:
      text += " (out of memory)";
      break;
    case PF_Err_INTERNAL_STRUCT_DAMAGED:
      text += " (internal structure damaged)";
      break;
    case PF_Err_BAD_CALLBACK_PARAM:
      text += " (bad callback parameter)";
      break;
    case PF_Interrupt_CANCEL:
      text += " (interrupted)";
      break;
    default:
      break;
  }
  if (returnMessage != nullptr && returnMessage[0] != '\0') {
    text += ": ";
    text += std::string(returnMessage, strnlen(returnMessage, PF_MAX_EFFECT_MSG_LEN));
  }
  return text;
}

void CheckCommand(PF_Err err, const host::SimHost& host, const std::string& what) {
  if (err == PF_Err_NONE) return;
  throw CliError(kExitCommand, what + " returned " + ErrorText(err, host.LastOutData().return_msg));
}

double SizeAt(const RenderOptions& o, A_long time, int total) {
  if (total <= 1) return o.sizeFrom;
  return o.sizeFrom + (o.sizeTo - o.sizeFrom) * static_cast<double>(time) / (total - 1);
}

}  // namespace

size_t SearchBlockBytes(double size, int styleDepth, A_long width, A_long height) {
  const int32_t channelBytes = styleDepth / 8;
  return ImageSizeFor(RoundedSize(size) / channelBytes, width, height, channelBytes).blockBytes;
}

double SearchMilliseconds(int blocks, long long lastAbortNs, long long renderStartNs) {
  return blocks > 0 ? static_cast<double>(lastAbortNs - renderStartNs) / 1e6 : 0.0;
}

PF_PixelFormat PixelFormatForDepth(int bitsPerChannel) {
  switch (bitsPerChannel) {
    case 16:
      return PF_PixelFormat_ARGB64;
    case 32:
      return PF_PixelFormat_ARGB128;
    default:
      return PF_PixelFormat_ARGB32;
  }
}

const char* StyleName(int styleDepth) {
  switch (styleDepth) {
    case 16:
      return "Cloudy (16 bpc)";
    case 32:
      return "Tripping (32 bpc)";
    default:
      return "Zesty (8 bpc)";
  }
}

RgbaImage InputPictureFor(const RgbaImage* input, int width, int height) {
  if (input != nullptr) return ScaledNearest(*input, width, height);
  std::vector<uint8_t> floats(static_cast<size_t>(width) * height *
                              host::BytesPerPixel(PF_PixelFormat_ARGB128));
  PF_EffectWorld picture =
      WorldOver(floats, width, height, host::BytesPerPixel(PF_PixelFormat_ARGB128));
  host::PaintInputPicture(picture, PF_PixelFormat_ARGB128);
  return ImageFromWorld(picture, PF_PixelFormat_ARGB128);
}

const uint8_t* CachedLayer(FrameCache& cache, const std::string& key, const RgbaImage* input,
                           int width, int height, size_t frameBytes, const LayerEncoder& encode) {
  size_t cachedBytes = 0;
  const uint8_t* cached = cache.Find(key, &cachedBytes);
  if (cached == nullptr || cachedBytes != frameBytes) {
    const std::vector<uint8_t> bytes = encode(InputPictureFor(input, width, height));
    cache.Put(key, bytes.data(), bytes.size(), /*pinned=*/true);
    cached = cache.Find(key, &cachedBytes);
  }
  return cached != nullptr && cachedBytes == frameBytes ? cached : nullptr;
}

std::unique_ptr<FrameSession> OpenSession(const RenderOptions& options, int projectDepth,
                                          int styleDepth, FrameCache& cache,
                                          const RgbaImage* input) {
  if (IsOfxModule(options.modulePath)) {
    return std::make_unique<OfxSession>(options, projectDepth, styleDepth, cache, input);
  }
  return std::make_unique<EffectSession>(options, projectDepth, styleDepth, cache, input);
}

EffectSession::EffectSession(const RenderOptions& options, int projectDepth, int styleDepth,
                             FrameCache& cache, const RgbaImage* input)
    : options_(options),
      format_(PixelFormatForDepth(projectDepth)),
      styleDepth_(styleDepth),
      cache_(cache),
      input_(input),
      inputKey_("input " + std::to_string(projectDepth)) {
  host::PluginModule module = host::PluginModule::Load(options.modulePath);
  if (!module.Loaded()) {
    throw CliError(kExitModule,
                   "cannot load plug-in module " + options.modulePath + ": " + module.Error());
  }
  host::HostOptions hostOptions;
  hostOptions.threads = options.threads;
  hostOptions.width = options.width;
  hostOptions.height = options.height;
  hostOptions.format = format_;
  hostOptions.poisonNewWorlds = false;  // a real host hands out worlds as the heap gives them
  host_ = std::make_unique<host::SimHost>(std::move(module), hostOptions);

  const host::Registration reg = host_->Register();
  if (reg.result != PF_Err_NONE || reg.callbackCalls == 0) {
    throw CliError(kExitModule, "plug-in module " + options.modulePath +
                                    " did not register itself (result " +
                                    std::to_string(reg.result) + ")");
  }
  CheckCommand(host_->GlobalSetup(), *host_, "global setup");
  CheckCommand(host_->ParamsSetup(), *host_, "parameter setup");

  std::vector<PF_ParamDef>& params = host_->Params();
  bool isEffect =
      params.size() >= kEffectParams && params[kSizeParam].param_type == PF_Param_FLOAT_SLIDER;
  for (PF_ParamIndex i = kFirstStyleBox; isEffect && i < kFirstStyleBox + 3; ++i) {
    isEffect = params[i].param_type == PF_Param_CHECKBOX;
  }
  if (!isEffect) {
    throw CliError(kExitModule, "plug-in module " + options.modulePath +
                                    " is not kelvrix: it declares no Size slider and Style boxes");
  }
  params[kSizeParam].u.fs_d.value = options.sizeFrom;
  const int styles[] = {8, 16, 32};
  for (int k = 0; k < 3; ++k) {
    params[kFirstStyleBox + k].u.bd.value = styles[k] == styleDepth ? 1 : 0;
  }
  host_->SetInputPainter(
      [this](PF_EffectWorld& world, PF_PixelFormat format) { PaintInput(world, format); });
}

EffectSession::~EffectSession() = default;

void EffectSession::PaintInput(PF_EffectWorld& world, PF_PixelFormat format) {
  const A_long pixelBytes = host::BytesPerPixel(format);
  const size_t rowBytes = static_cast<size_t>(world.width) * pixelBytes;
  // At the project's depth.
  const uint8_t* cached = CachedLayer(cache_, inputKey_, input_, world.width, world.height,
                                      rowBytes * world.height, [&](const RgbaImage& working) {
                                        std::vector<uint8_t> bytes(rowBytes * world.height);
                                        PF_EffectWorld packed =
                                            WorldOver(bytes, world.width, world.height, pixelBytes);
                                        PaintWorld(packed, format, working);
                                        return bytes;
                                      });
  if (cached == nullptr) return;  // the host's fill stays
  for (A_long y = 0; y < world.height; ++y) {
    std::memcpy(reinterpret_cast<uint8_t*>(world.data) + static_cast<size_t>(y) * world.rowbytes,
                cached + rowBytes * y, rowBytes);
  }
}

RgbaImage EffectSession::Render(int index, int total, FrameReport* report) {
  const double size = SizeAt(options_, index, total);
  host_->AnimateParam(kSizeParam,
                      [this, total](A_long time) { return SizeAt(options_, time, total); });
  report->index = index;
  report->total = total;
  report->size = size;

  const Clock::time_point start = Clock::now();
  std::unique_ptr<host::Frame> frame = host_->NewFrame(index);
  try {
    CheckCommand(host_->PreRender(*frame), *host_,
                 "smart pre-render of frame " + std::to_string(index));
    const int pollsBefore = host_->AbortPolls();
    const Clock::time_point renderStart = Clock::now();
    CheckCommand(host_->Render(*frame), *host_, "smart render of frame " + std::to_string(index));
    report->searchBlocks = host_->AbortPolls() - pollsBefore;
    report->searchBytes = static_cast<size_t>(report->searchBlocks) *
                          SearchBlockBytes(size, styleDepth_, options_.width, options_.height);
    report->searchMs = SearchMilliseconds(report->searchBlocks, host_->LastAbortPollNanoseconds(),
                                          NanosecondsOf(renderStart));
  } catch (const std::bad_alloc&) {
    throw CliError(kExitFailure, "out of memory rendering frame " + std::to_string(index));
  } catch (const CliError&) {
    throw;
  } catch (const std::exception& e) {
    throw CliError(kExitFailure, "frame " + std::to_string(index) + ": " + e.what());
  }
  report->memoryShown = ShowsMemory(frame->output, frame->input, format_);
  RgbaImage image = ImageFromWorld(frame->output, format_);

  const PF_EffectWorld& out = frame->output;
  cache_.Put("frame " + std::to_string(index), out.data,
             static_cast<size_t>(out.rowbytes) * out.height);
  frame.reset();  // the host frees its worlds per frame
  report->frameMs = MillisecondsBetween(start, Clock::now());
  return image;
}

RenderSummary RenderSequence(const RenderOptions& options, RenderObserver& observer) {
  OutputKind kind = OutputKind::Png;
  OutputKindOf(options.outputPattern, &kind);
  RgbaImage input;
  if (!options.inputPath.empty()) input = ReadPng(options.inputPath);

  FrameCache cache(static_cast<size_t>(options.cacheMegabytes) << 20);
  std::unique_ptr<FrameSession> session =
      OpenSession(options, options.projectDepth, options.styleDepth, cache,
                  options.inputPath.empty() ? nullptr : &input);
  RenderSummary summary;
  observer.OnStart(options.frames);
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < options.frames; ++i) {
    FrameReport report;
    const RgbaImage image = session->Render(i, options.frames, &report);
    if (!options.noOutput) {
      report.path = OutputPathFor(options.outputPattern, i);
      if (kind == OutputKind::Exr) {
        WriteExr(report.path, image);
      } else {
        WritePng(report.path, image, options.projectDepth == 8 ? 8 : 16);
      }
    }
    ++summary.frames;
    summary.memoryFrames += report.memoryShown ? 1 : 0;
    summary.largestSearchBytes = std::max(summary.largestSearchBytes, report.searchBytes);
    summary.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    observer.OnFrame(report);
  }
  observer.OnFinish(summary);
  return summary;
}

}  // namespace kelvrix::cli
