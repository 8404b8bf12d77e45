#include "ofxhost/SimOfxHost.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "ofxhost/HostSuites.h"

namespace kelvrix::ofxhost {
namespace {

SimOfxHost* gCurrent = nullptr;

const void* FetchSuiteEntry(OfxPropertySetHandle, const char* name, int version) {
  return gCurrent != nullptr && name != nullptr ? gCurrent->FetchSuite(name, version) : nullptr;
}

// Set on the thread that sends Render: the images of that render.
thread_local const SimOfxHost::RenderState* tRender = nullptr;

template <typename Sample>
void FillRamps(HostImage& image, Sample white, double scale) {
  for (int y = image.bounds().y1; y < image.bounds().y2; ++y) {
    auto* p = reinterpret_cast<Sample*>(image.Row(y));
    for (int x = image.bounds().x1; x < image.bounds().x2; ++x, p += 4) {
      p[0] = static_cast<Sample>(((x * 5) % 256) * scale);
      p[1] = static_cast<Sample>(((y * 3) % 256) * scale);
      p[2] = static_cast<Sample>(((x + y) % 256) * scale);
      p[3] = white;
    }
  }
}

}  // namespace

void FillPattern(HostImage& image) {
  if (image.depth() == kOfxBitDepthByte) FillRamps<uint8_t>(image, 255, 1.0);
  if (image.depth() == kOfxBitDepthShort) FillRamps<uint16_t>(image, 65535, 257.0);
  if (image.depth() == kOfxBitDepthFloat) FillRamps<float>(image, 1.0f, 1.0 / 255);
}

SimOfxHost::SimOfxHost(OfxModule module, OfxHostOptions options)
    : module_(std::move(module)),
      options_(std::move(options)),
      workers_(std::make_unique<host::WorkerPool>(options_.threads > 0 ? options_.threads : 1)) {
  gCurrent = this;
  plugin_ = module_.Plugin(0);
  SeedHostProps();
  hostRecord_.host = hostProps_.handle();
  hostRecord_.fetchSuite = FetchSuiteEntry;
  descriptor_.props.SetString(kOfxPropType, 0, kOfxTypeImageEffect);
}

SimOfxHost::~SimOfxHost() {
  if (instance_) DestroyInstance();
  if (gCurrent == this) gCurrent = nullptr;
}

SimOfxHost* SimOfxHost::Current() { return gCurrent; }

void SimOfxHost::SeedHostProps() {
  PropertySet& p = hostProps_;
  p.SetString(kOfxPropType, 0, kOfxTypeImageEffectHost);
  p.SetString(kOfxPropName, 0, "com.torvendale.simofxhost");
  p.SetString(kOfxPropLabel, 0, "kelvrix simulated OpenFX host");
  p.SetInt(kOfxPropAPIVersion, 0, 1);
  p.SetInt(kOfxPropAPIVersion, 1, 5);
  p.SetInt(kOfxImageEffectHostPropIsBackground, 0, 1);
  p.SetInt(kOfxImageEffectPropSupportsMultiResolution, 0, 1);
  p.SetInt(kOfxImageEffectPropSupportsTiles, 0, 1);
  p.SetInt(kOfxImageEffectPropTemporalClipAccess, 0, 1);
  p.SetInt(kOfxImageEffectPropSupportsMultipleClipDepths, 0, 0);
  const char* depths[] = {kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat};
  for (int i = 0; i < 3; ++i) p.SetString(kOfxImageEffectPropSupportedPixelDepths, i, depths[i]);
  p.SetString(kOfxImageEffectPropSupportedComponents, 0, kOfxImageComponentRGBA);
  p.SetString(kOfxImageEffectPropSupportedContexts, 0, kOfxImageEffectContextFilter);
  p.SetString(kOfxImageEffectPropSupportedContexts, 1, kOfxImageEffectContextGeneral);
}

const void* SimOfxHost::FetchSuite(const char* name, int version) const {
  if (options_.missingSuites.count(name) != 0) return nullptr;
  const std::string n = name;
  if (n == kOfxPropertySuite && version == 1) return PropertySuite();
  if (n == kOfxImageEffectSuite && version == 1) return ImageEffectSuite();
  if (n == kOfxParameterSuite && version == 1) return ParameterSuite();
  if (n == kOfxMultiThreadSuite && version == 1 && options_.threads > 0) return MultiThreadSuite();
  if (n == kOfxMemorySuite && version == 1) return MemorySuite();
  if (n == kOfxMessageSuite && (version == 1 || version == 2)) return MessageSuite();
  return nullptr;
}

OfxStatus SimOfxHost::Call(const char* action, const void* handle, OfxPropertySetHandle in,
                           OfxPropertySetHandle out) {
  if (plugin_ == nullptr || plugin_->mainEntry == nullptr) return kOfxStatErrFatal;
  // The action arrives as the host's own string, never the plug-in's literal.
  const std::string ours = action;
  return plugin_->mainEntry(ours.c_str(), handle, in, out);
}

OfxStatus SimOfxHost::Load() {
  if (plugin_ == nullptr) return kOfxStatErrFatal;
  if (options_.callOfxSetHost && module_.setHost() != nullptr) {
    if (const OfxStatus s = module_.setHost()(&hostRecord_)) return s;
  }
  plugin_->setHost(&hostRecord_);
  return Call(kOfxActionLoad, nullptr, nullptr, nullptr);
}

OfxStatus SimOfxHost::Describe() {
  descriptor_.props.SetString(kOfxPluginPropFilePath, 0, "kelvrix.ofx.bundle");
  return Call(kOfxActionDescribe, descriptor_.handle(), nullptr, nullptr);
}

OfxStatus SimOfxHost::DescribeInContext(const char* context) {
  // A new descriptor per context, as the reference host makes.
  contextDescriptor_ = std::make_unique<Effect>();
  contextDescriptor_->props.SetString(kOfxPropType, 0, kOfxTypeImageEffect);
  PropertySet in;
  in.SetString(kOfxImageEffectPropContext, 0, context);
  return Call(kOfxImageEffectActionDescribeInContext, contextDescriptor_->handle(), in.handle(),
              nullptr);
}

OfxStatus SimOfxHost::Unload() { return Call(kOfxActionUnload, nullptr, nullptr, nullptr); }

void SimOfxHost::SeedInstance(const char* context) {
  Effect& e = *instance_;
  e.instance = true;
  e.props.SetString(kOfxPropType, 0, kOfxTypeImageEffectInstance);
  e.props.SetString(kOfxImageEffectPropContext, 0, context);
  e.props.SetPointer(kOfxPropInstanceData, 0, nullptr);
  e.props.SetPointer(kOfxImageEffectPropPluginHandle, 0, descriptor_.handle());
  e.props.SetDouble(kOfxImageEffectPropProjectSize, 0, options_.width);
  e.props.SetDouble(kOfxImageEffectPropProjectSize, 1, options_.height);
  e.props.SetDouble(kOfxImageEffectPropProjectExtent, 0, options_.width);
  e.props.SetDouble(kOfxImageEffectPropProjectExtent, 1, options_.height);
  e.props.SetInt(kOfxPropIsInteractive, 0, 0);
  // Clips and parameters as the context descriptor defined them, with their defaults.
  for (auto& [name, clip] : contextDescriptor_->clips) {
    auto made = std::make_unique<Clip>();
    made->name = name;
    made->props.SetString(kOfxPropType, 0, kOfxTypeClip);
    made->props.SetString(kOfxPropName, 0, name.c_str());
    const bool source = name == kOfxImageEffectSimpleSourceClipName;
    const char* depth =
        source && !options_.sourceConnected ? kOfxBitDepthNone : options_.depth.c_str();
    made->props.SetString(kOfxImageEffectPropPixelDepth, 0, depth);
    made->props.SetString(kOfxImageClipPropUnmappedPixelDepth, 0, depth);
    made->props.SetString(kOfxImageEffectPropComponents, 0, options_.components.c_str());
    made->props.SetInt(kOfxImageClipPropConnected, 0, source ? options_.sourceConnected : 1);
    e.clips[name] = std::move(made);
  }
  for (const std::string& name : contextDescriptor_->params.order) {
    const Param& d = *contextDescriptor_->params.params.at(name);
    auto p = std::make_unique<Param>();
    p->type = d.type;
    p->props.SetString(kOfxPropName, 0, name.c_str());
    p->props.SetString(kOfxParamPropType, 0, d.type.c_str());
    p->doubleValue = d.props.Double(kOfxParamPropDefault);
    p->intValue = d.props.Int(kOfxParamPropDefault);
    e.params.params[name] = std::move(p);
    e.params.order.push_back(name);
  }
}

OfxStatus SimOfxHost::CreateInstance(const char* context) {
  if (!contextDescriptor_) return kOfxStatErrBadHandle;
  instance_ = std::make_unique<Effect>();
  SeedInstance(context);
  const OfxStatus s = Call(kOfxActionCreateInstance, instance_->handle(), nullptr, nullptr);
  if (s != kOfxStatOK && s != kOfxStatReplyDefault) instance_.reset();
  return s;
}

OfxStatus SimOfxHost::DestroyInstance() {
  if (!instance_) return kOfxStatErrBadHandle;
  const OfxStatus s = Call(kOfxActionDestroyInstance, instance_->handle(), nullptr, nullptr);
  instance_.reset();  // whatever the effect answered
  return s;
}

OfxStatus SimOfxHost::Action(const char* action, OfxPropertySetHandle in,
                             OfxPropertySetHandle out) {
  return Call(action, instance_ ? instance_->handle() : nullptr, in, out);
}

OfxStatus SimOfxHost::ClipPreferences(PropertySet* out) {
  if (!instance_) return kOfxStatErrBadHandle;
  return Call(kOfxImageEffectActionGetClipPreferences, instance_->handle(), nullptr, out->handle());
}

OfxStatus SimOfxHost::RegionOfDefinition(double time, double scale, OfxRectD* rod) {
  if (!instance_) return kOfxStatErrBadHandle;
  PropertySet in, out;
  in.SetDouble(kOfxPropTime, 0, time);
  in.SetDouble(kOfxImageEffectPropRenderScale, 0, scale);
  in.SetDouble(kOfxImageEffectPropRenderScale, 1, scale);
  const OfxRectD frame = CanonicalFrame();
  const double project[] = {frame.x1, frame.y1, frame.x2, frame.y2};
  for (int i = 0; i < 4; ++i) out.SetDouble(kOfxImageEffectPropRegionOfDefinition, i, project[i]);
  const OfxStatus s = Call(kOfxImageEffectActionGetRegionOfDefinition, instance_->handle(),
                           in.handle(), out.handle());
  double* corner = &rod->x1;
  for (int i = 0; i < 4; ++i) corner[i] = out.Double(kOfxImageEffectPropRegionOfDefinition, i);
  return s;
}

bool SimOfxHost::TakeSpare(const OfxRectI& outputBounds, RenderResult* result) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!spare_ || spare_->output.depth() != options_.depth ||
      std::memcmp(&spare_->output.bounds(), &outputBounds, sizeof outputBounds) != 0) {
    return false;
  }
  result->output = std::move(spare_->output);
  result->source = std::move(spare_->source);
  spare_.reset();
  return true;
}

void SimOfxHost::GiveBack(RenderResult&& result) {
  std::lock_guard<std::mutex> lock(mutex_);
  spare_ = std::make_unique<RenderResult>(std::move(result));
}

OfxRectI SimOfxHost::FrameAt(double scale) const {
  const OfxRectD frame = CanonicalFrame();
  const auto at = [scale](double canonical) {
    return static_cast<int>(std::lround(canonical * scale));
  };
  return OfxRectI{at(frame.x1), at(frame.y1), at(frame.x2), at(frame.y2)};
}

OfxRectD SimOfxHost::CanonicalFrame() const {
  return OfxRectD{double(options_.originX), double(options_.originY),
                  double(options_.originX + options_.width),
                  double(options_.originY + options_.height)};
}

SimOfxHost::RenderResult SimOfxHost::Render(const RenderRequest& request) {
  RenderResult result;
  if (!instance_) {
    result.status = kOfxStatErrBadHandle;
    return result;
  }
  const OfxRectI frame = FrameAt(request.scale);
  OfxRectI window = request.window;
  if ((window.x2 <= window.x1 || window.y2 <= window.y1) && !request.emptyWindow) window = frame;
  const OfxRectI outputBounds = request.tile ? window : frame;
  if (!TakeSpare(outputBounds, &result)) {
    result.output =
        HostImage(options_.depth, outputBounds, options_.topDown, options_.rowPadding, 0xCD);
    if (options_.sourceConnected) {
      result.source = HostImage(options_.depth, frame, options_.topDown, options_.rowPadding, 0);
      if (options_.sourceFill) {
        options_.sourceFill(result.source);
      } else {
        FillPattern(result.source);
      }
    }
  }
  RenderState state{request.scale, options_.sourceConnected ? &result.source : nullptr,
                    &result.output};
  tRender = &state;
  PropertySet in;
  in.SetDouble(kOfxPropTime, 0, request.time);
  in.SetString(kOfxImageEffectPropFieldToRender, 0, kOfxImageFieldNone);
  const int corners[] = {window.x1, window.y1, window.x2, window.y2};
  for (int i = 0; i < 4; ++i) in.SetInt(kOfxImageEffectPropRenderWindow, i, corners[i]);
  in.SetDouble(kOfxImageEffectPropRenderScale, 0, request.scale);
  in.SetDouble(kOfxImageEffectPropRenderScale, 1, request.scale);
  in.SetInt(kOfxImageEffectPropSequentialRenderStatus, 0, 0);
  in.SetInt(kOfxImageEffectPropInteractiveRenderStatus, 0, 0);
  in.SetInt(kOfxImageEffectPropRenderQualityDraft, 0, 0);
  const auto start = std::chrono::steady_clock::now();
  result.actionStartNanoseconds =
      std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
  result.status = Call(kOfxImageEffectActionRender, instance_->handle(), in.handle(), nullptr);
  result.actionSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  tRender = nullptr;
  return result;
}

void SimOfxHost::FillImageProps(PropertySet& p, HostImage& image, const RenderState& state) {
  p.SetString(kOfxPropType, 0, kOfxTypeImage);
  p.SetString(kOfxImageEffectPropPixelDepth, 0, image.depth().c_str());
  p.SetString(kOfxImageEffectPropComponents, 0, options_.components.c_str());
  p.SetString(kOfxImageEffectPropPreMultiplication, 0, kOfxImageOpaque);
  p.SetDouble(kOfxImagePropPixelAspectRatio, 0, 1.0);
  if (options_.imageScaleProps) {
    p.SetDouble(kOfxImageEffectPropRenderScale, 0, state.scale);
    p.SetDouble(kOfxImageEffectPropRenderScale, 1, state.scale);
    p.SetString(kOfxImagePropField, 0, kOfxImageFieldNone);
  }
  p.SetPointer(kOfxImagePropData, 0, image.Data());
  const OfxRectI b = image.bounds();
  const OfxRectI f = FrameAt(state.scale);
  const int bounds[] = {b.x1, b.y1, b.x2, b.y2};
  const int rod[] = {f.x1, f.y1, f.x2, f.y2};
  for (int i = 0; i < 4; ++i) {
    p.SetInt(kOfxImagePropBounds, i, bounds[i]);
    if (options_.imageRegionOfDefinition) p.SetInt(kOfxImagePropRegionOfDefinition, i, rod[i]);
  }
  p.SetInt(kOfxImagePropRowBytes, 0, image.RowBytes());
  p.SetString(kOfxImagePropUniqueIdentifier, 0, std::to_string(++nextImageId_).c_str());
}

OfxStatus SimOfxHost::GetImage(Clip& clip, OfxPropertySetHandle* image) {
  if (tRender == nullptr) return kOfxStatFailed;  // images only during a render here
  const RenderState& state = *tRender;
  HostImage* picture = clip.name == kOfxImageEffectOutputClipName ? state.output : state.source;
  if (picture == nullptr) return kOfxStatFailed;
  auto props = std::make_unique<PropertySet>();
  FillImageProps(*props, *picture, state);
  *image = props->handle();
  std::lock_guard<std::mutex> lock(mutex_);
  liveImages_.insert(props.get());
  imageProps_.push_back(std::move(props));
  ++imagesFetched_;
  return kOfxStatOK;
}

OfxStatus SimOfxHost::ReleaseImage(OfxPropertySetHandle image) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (liveImages_.erase(PropertySet::Of(image)) == 0) return kOfxStatErrBadHandle;
  const auto it = std::find_if(imageProps_.begin(), imageProps_.end(),
                               [&](const auto& p) { return p.get() == PropertySet::Of(image); });
  if (it != imageProps_.end()) imageProps_.erase(it);
  return kOfxStatOK;
}

unsigned SimOfxHost::LaunchableThreads(unsigned n) {
  const int call = spawnCalls_++;
  if (call != options_.multiThreadFailCall) return n;
  return std::min(n, options_.multiThreadRunsBeforeFailing);
}

int SimOfxHost::Abort() {
  ++abortCalls_;
  lastAbortNs_ = std::chrono::duration_cast<std::chrono::nanoseconds>(
                     std::chrono::steady_clock::now().time_since_epoch())
                     .count();
  return abort_ ? 1 : 0;
}

void SimOfxHost::Said(std::string text) {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.push_back(std::move(text));
}

int SimOfxHost::LiveImages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(liveImages_.size());
}

std::vector<std::string> SimOfxHost::Messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

bool SimOfxHost::SetDouble(const char* name, double value) {
  if (!instance_) return false;
  const auto it = instance_->params.params.find(name);
  if (it == instance_->params.params.end() || !it->second->IsDouble()) return false;
  it->second->doubleValue = value;
  return true;
}

bool SimOfxHost::SetInt(const char* name, int value) {
  if (!instance_) return false;
  const auto it = instance_->params.params.find(name);
  if (it == instance_->params.params.end() || it->second->IsDouble()) return false;
  it->second->intValue = value;
  return true;
}

}  // namespace kelvrix::ofxhost
